#include "CalculateReport.h"

#include <utility>

namespace lse {

std::vector<Vector> CalculateReport::solutions() const {
    std::vector<Vector> all;
    for (const MethodReport& result : methods)
        if (result.solved)
            all.push_back(result.x);
    return all;
}

void CalculateReport::setExact(exact::ExactReport answer) {
    exact = std::move(answer);
    // The errors follow the solved methods in order, where the doubles' system was solved.
    std::size_t next = 0;
    for (MethodReport& result : methods) {
        result.measured.reset();
        if (result.solved && next < exact->errors.size())
            result.measured = exact->errors[next++];
    }
}

} // namespace lse
