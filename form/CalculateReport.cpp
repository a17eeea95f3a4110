#include "CalculateReport.h"

namespace lse {

std::vector<Vector> CalculateReport::solutions() const {
    std::vector<Vector> all;
    for (const MethodReport& result : methods)
        if (result.solved)
            all.push_back(result.x);
    return all;
}

} // namespace lse
