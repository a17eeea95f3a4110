// Built against the io library as its callers see it: the public header stands alone, and the
// readers' internals are out of reach.
#include "SystemReader.h"

#if __has_include("ByteSource.h") || __has_include("TextScanner.h")
#error "the io library shows its internals to its callers"
#endif
#if __has_include("TextFields.h") || __has_include("ReaderHelpers.h")
#error "the io library shows its internals to its callers"
#endif
#if __has_include("ReadFromSource.h") || __has_include("RowsReader.h")
#error "the io library shows its internals to its callers"
#endif

lse::io::LinearSystem publicSurfaceReads() {
    return lse::io::readSystem("1\n1\n1\n");
}
