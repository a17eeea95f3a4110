#pragma once

#include "NumberText.h"

#include <optional>
#include <string>
#include <string_view>
#include <version>

// The number texts have three ways to convert between doubles and decimal digits: the C++
// library's from_chars and to_chars; for C++ libraries without them for floating point
// (Emscripten's), fast_float's from_chars, the algorithm libstdc++'s own is built on, for
// reading (the C library's strtod there computes in long doubles emulated in software, about
// 30 times slower); and the C library's strtod and snprintf in the C locale. All round
// correctly, so all give the same texts and the same values; the tests hold them to that.
// fast_float only reads: writing by it is writing by the C library. Without to_chars the fewest
// digits that read back are written by {fmt} (Debian's libfmt-dev, header only), whose
// shortest is to_chars's; the C library finds them by trying 1 to 17 digits, each printed and
// read back, some 20 µs a number in WebAssembly (3 minutes for a saved system of 3000
// equations). {fmt} only writes: reading by it is reading by the C library.
namespace lse::numbertext {

enum class Conversion { charconv, fastFloat, cLibrary, fmt };

// The ones this build's public functions use, to write and to read.
#if defined(__cpp_lib_to_chars)
inline constexpr Conversion kNativeConversion = Conversion::charconv;
inline constexpr Conversion kReadingConversion = Conversion::charconv;
#else
#if __has_include(<fmt/format.h>)
inline constexpr Conversion kNativeConversion = Conversion::fmt;
#else
inline constexpr Conversion kNativeConversion = Conversion::cLibrary;
#endif
#if __has_include(<fast_float/fast_float.h>)
inline constexpr Conversion kReadingConversion = Conversion::fastFloat;
#else
inline constexpr Conversion kReadingConversion = Conversion::cLibrary;
#endif
#endif

// Whether this build has the conversion.
bool available(Conversion conversion);

std::string doubleToText(double value, Digits digits, Conversion conversion);
std::optional<double> textToDouble(std::string_view text, Conversion conversion);

} // namespace lse::numbertext
