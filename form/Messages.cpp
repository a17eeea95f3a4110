#include "Messages.h"

#include "NumberText.h"

namespace lse::messages {

Message outOfMemory(long long count) {
    return {"There is not enough memory for a system of " + intToText(count) + " equations."};
}

Message exactFailed(const std::string& why) {
    return {"The exact solution could not be computed: " + why};
}

Message refusedNumber(const std::string& fault) {
    return {"The number typed is refused: " + fault + "."};
}

Message unreadableSystem(const std::string& why, const std::string& fileName) {
    return {fileName.empty() ? why : fileName + ": " + why};
}

Message unsaved(const std::string& why, const std::string& fileName) {
    return {"Cannot save " + fileName + ": " + why + ". The file is as it was.",
            MessageStyle::OkOnlyExclamation};
}

std::string coefficientPromptA(int row, int column) {
    return "Enter A coefficient (" + intToText(row) + "," + intToText(column) + ")";
}

std::string coefficientPromptB(int row) {
    return "Enter B coefficient (" + intToText(row) + ")";
}

std::optional<Message> about(const GaussOutcome& outcome) {
    if (outcome.solved() || outcome.status == GaussStatus::cancelled)
        return std::nullopt;
    return gaussFailed;
}

std::optional<Message> about(const CholeskyOutcome& outcome) {
    if (outcome.decomposed() || outcome.status == CholeskyStatus::cancelled)
        return std::nullopt;
    return choleskyFailed;
}

std::optional<Message> about(CholeskySolveStatus status) {
    if (status == CholeskySolveStatus::solved)
        return std::nullopt;
    return choleskySolveFailed;
}

std::string progressText(const WorkStatus& status, std::chrono::milliseconds elapsed) {
    const long long tenths = elapsed.count() / 100;
    const std::string seconds = intToText(tenths / 10) + "." + intToText(tenths % 10) + " s";
    if (status.cancel)
        return status.title + ": cancelling, " + seconds;
    const int total = status.total;
    if (total == 0)
        return status.title + ": " + seconds;
    return status.title + ": " + intToText(status.done) + " of " + intToText(total) + " " +
           status.unit + ", " + seconds;
}

} // namespace lse::messages
