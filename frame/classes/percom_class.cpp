// clsVxNumsPerComA: factorials, permutations and combinations; n and r are
// passed by reference (the interface method says so).
#include "combinatorics/combinatorics.h"
#include "frame/classes/class_makers.h"
#include "frame/dispatch/automation_object.h"

namespace numoria::frame {

namespace {

namespace comb = numoria::combinatorics;
using I = _clsVxNumsPerComA;

constexpr auto kPerComMembers = members(member<&I::Combination, &comb::Combination>(L"Combination", 0x60030000),
                                        member<&I::Permutation, &comb::Permutation>(L"Permutation", 0x60030001),
                                        member<&I::Factorial, &comb::Factorial>(L"Factorial", 0x60030002));

} // namespace

IUnknown* newPerComObject() { return newAutomationObject<I, kPerComMembers>(); }

} // namespace numoria::frame
