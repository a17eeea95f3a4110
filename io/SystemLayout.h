#pragma once

// What the readers of the different layouts share; not for use outside them.

#include "SystemReader.h"
#include "TextFields.h"

#include <string>
#include <string_view>

namespace lse::io {

// A zero-filled system of order n; InputError when the memory cannot be had.
LinearSystem makeSystem(int n, InputFormat format);

// "n = 40000 is more than 32766 equations"
std::string orderTooLarge(double n, int maxOrder);

// A field that must hold a whole number from least to most; otherwise InputError saying that
// `what` was expected.
long long wholeNumberAt(const Field& field, long line, long long least, long long most,
                        const std::string& what);

// The order given by a count field: refused as too large before anything is allocated.
int orderAt(const Field& field, long line, int maxOrder, const std::string& what);

// Without the UTF-8 mark that spreadsheets often put first and editors do not show.
std::string_view withoutByteOrderMark(std::string_view data);

bool isMatrixMarket(std::string_view data);
LinearSystem readMatrixMarket(std::string_view data, const ReadOptions& options);

} // namespace lse::io
