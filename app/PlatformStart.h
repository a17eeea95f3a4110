#pragma once

namespace lse::app {

// Qt's messages are held while QApplication connects to its platform. When that fails, the
// causes Qt gave are printed as one line, "lineq: no display to open the window on (...)",
// and the program exits with status 2; once it succeeds, the held messages go out as Qt would
// have printed them.
void holdPlatformMessages();
void releasePlatformMessages();

} // namespace lse::app
