#pragma once

#include "modChol.h"
#include "modGauss.h"

#include <string>

namespace lse::messages {

// Texts of the message boxes and input prompts that the window's logic shows, the solvers'
// failure messages included.
inline const std::string notANumber = "Enter a number damn you!!";
inline const std::string badCount =
    "The number of equations must be a whole number from 0 to 32766.";
inline const std::string gaussFailed = modGauss::errorText;
inline const std::string gaussFailedTitle = modGauss::errorTitle;
inline const std::string choleskyFailed = modChol::failureText;
inline const std::string choleskySolveFailed =
    "The Cholesky solution exceeds the range of numbers.";

std::string outOfMemory(long long count);
std::string coefficientPromptA(int row, int column);
std::string coefficientPromptB(int row);

} // namespace lse::messages
