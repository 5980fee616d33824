#include "value_check.h"

#include <cmath>

#include "bench_session.h"
#include "support/automation_raii.h"

namespace numoria_bench {

namespace {

std::string shown(const VARIANT& value) {
    wine_tests::Variant copy;
    check(VariantCopy(copy.get(), const_cast<VARIANT*>(&value)), "VariantCopy");
    return wine_tests::narrow(copy.text()) + " (vt " + std::to_string(value.vt) + ")";
}

bool sameValue(const VARIANT& expected, const VARIANT& actual) {
    if (expected.vt != actual.vt) return false;
    if (expected.vt == VT_R8) {
        return std::fabs(expected.dblVal - actual.dblVal) <= 1e-12 * std::fabs(expected.dblVal);
    }
    return VarCmp(const_cast<VARIANT*>(&expected), const_cast<VARIANT*>(&actual), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
}

} // namespace

std::string differenceFrom(const VARIANT& expected, const VARIANT& actual) {
    if (sameValue(expected, actual)) return {};
    return "expected " + shown(expected) + ", got " + shown(actual);
}

} // namespace numoria_bench
