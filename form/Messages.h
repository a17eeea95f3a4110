#pragma once

#include "Platform.h"
#include "modChol.h"
#include "modGauss.h"

#include <chrono>
#include <optional>
#include <string>
#include <utility>

namespace lse {

// A message box as the window shows it.
struct Message {
    Message(std::string text, MessageStyle style = MessageStyle::OkOnly,
            std::optional<std::string> title = std::nullopt)
        : text(std::move(text)), style(style), title(std::move(title)) {}

    std::string text;
    MessageStyle style;
    std::optional<std::string> title; // none: the program's own title

    bool operator==(const Message&) const = default;
};

// The texts of the message boxes and input prompts of the window's logic.
namespace messages {

inline const Message notANumber{"Enter a number damn you!!"};
// A reply written as a number that the parser still refuses, with its reason (numberFault):
// "Enter a number" would not say what is wrong with 1e400 or 1/0.
Message refusedNumber(const std::string& fault);
inline const Message badCount{"The number of equations must be a whole number from 0 to 32766."};
inline const Message gaussFailed{"Aborting analysis", MessageStyle::OkOnlyCritical,
                                 "Gauss Elimination Error"};
inline const Message choleskyFailed{"Cholesky Decomposition Failed"};
// The solve step reports nothing of its own; without a word the empty box would look like a
// fault.
inline const Message choleskySolveFailed{"The Cholesky solution exceeds the range of numbers."};

Message outOfMemory(long long count);
// Compute Exact Solution where the platform has no exact solver, or where it failed.
inline const Message exactUnavailable{"The exact solution cannot be computed here."};
Message exactFailed(const std::string& why);
// A system that a text or a file does not hold: the reader's one line, after the file's name.
Message unreadableSystem(const std::string& why, const std::string& fileName = {});
// Save System… or Save Results… could not write its file: the file's name and the reason.
Message unsaved(const std::string& why, const std::string& fileName);
// The progress box's line for long work that has run `elapsed`: what runs, how far (where it
// counts), or that it is cancelling, and the time in tenths of a second.
std::string progressText(const WorkStatus& status, std::chrono::milliseconds elapsed);
std::string coefficientPromptA(int row, int column);
std::string coefficientPromptB(int row);

// What the window says about a solver's status: nothing when it succeeded or was cancelled.
std::optional<Message> about(const GaussOutcome& outcome);
std::optional<Message> about(const CholeskyOutcome& outcome);
std::optional<Message> about(CholeskySolveStatus status);

} // namespace messages
} // namespace lse
