#include "SystemReader.h"

#include <algorithm>
#include <array>

namespace lse::io {

namespace {

struct NamedFormat {
    std::string_view name;
    InputFormat format;
};

constexpr std::array<NamedFormat, 5> kNamedFormats{{
    {"auto", InputFormat::automatic},
    {"plain", InputFormat::plain},
    {"rows", InputFormat::rows},
    {"matrix-market", InputFormat::matrixMarket},
    {"npy", InputFormat::numpy},
}};

} // namespace

std::optional<InputFormat> inputFormatNamed(std::string_view name) {
    const auto found = std::find_if(kNamedFormats.begin(), kNamedFormats.end(),
                                    [&](const NamedFormat& named) { return named.name == name; });
    if (found == kNamedFormats.end())
        return std::nullopt;
    return found->format;
}

std::span<const std::string_view> systemFileSuffixes() {
    static constexpr std::string_view kSuffixes[] = {".txt", ".csv", ".tsv",
                                                     ".dat", ".mtx", ".npy"};
    return kSuffixes;
}

const std::vector<std::string>& inputFormatNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const NamedFormat& named : kNamedFormats)
            all.emplace_back(named.name);
        return all;
    }();
    return names;
}

} // namespace lse::io
