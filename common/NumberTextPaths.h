#pragma once

#include "NumberText.h"

#include <optional>
#include <string>
#include <string_view>
#include <version>

// The number texts have two ways to convert between doubles and decimal digits: the C++
// library's from_chars and to_chars, and, for C++ libraries without them for floating point
// (Emscripten's), the C library's strtod and snprintf in the C locale. Both round correctly,
// so both give the same texts and the same values; the tests hold them to that.
namespace lse::numbertext {

enum class Conversion { charconv, cLibrary };

// The one this build's public functions use.
#if defined(__cpp_lib_to_chars)
inline constexpr Conversion kNativeConversion = Conversion::charconv;
#else
inline constexpr Conversion kNativeConversion = Conversion::cLibrary;
#endif

// Whether this build has the conversion.
bool available(Conversion conversion);

std::string doubleToText(double value, Digits digits, Conversion conversion);
std::optional<double> textToDouble(std::string_view text, Conversion conversion);

} // namespace lse::numbertext
