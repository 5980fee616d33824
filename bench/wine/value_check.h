// Comparing a call's result with the value it must have, so that every
// route is checked before it is timed.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace numoria_bench {

// Empty when `actual` has the type of `expected` and the same value
// (doubles within a relative 1e-12); otherwise what differs.
std::string differenceFrom(const VARIANT& expected, const VARIANT& actual);

} // namespace numoria_bench
