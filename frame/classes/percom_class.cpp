// clsVxNumsPerComA: factorials, permutations and combinations; n and r are
// passed by reference.
#include "combinatorics/combinatorics.h"
#include "frame/server/automation_object.h"
#include "frame/server/class_catalogue.h"

namespace numoria::frame {

namespace {

namespace comb = numoria::combinatorics;

constexpr Member kPerComMembers[] = {
    member<&comb::Combination, 0b11>(L"Combination", 0x60030000),
    member<&comb::Permutation, 0b11>(L"Permutation", 0x60030001),
    member<&comb::Factorial, 0b1>(L"Factorial", 0x60030002),
};

class PerComObject final : public AutomationObject<_clsVxNumsPerComA> {
public:
    PerComObject() : AutomationObject(kPerComMembers) {}

    HRESULT STDMETHODCALLTYPE Combination(short* n, short* r, double* pRet) override {
        return earlyCall<&comb::Combination>(interfaceId(), pRet, n, r);
    }
    HRESULT STDMETHODCALLTYPE Permutation(short* n, short* r, double* pRet) override {
        return earlyCall<&comb::Permutation>(interfaceId(), pRet, n, r);
    }
    HRESULT STDMETHODCALLTYPE Factorial(short* n, double* pRet) override {
        return earlyCall<&comb::Factorial>(interfaceId(), pRet, n);
    }
};

} // namespace

IUnknown* newPerComObject() { return static_cast<_clsVxNumsPerComA*>(new (std::nothrow) PerComObject()); }

} // namespace numoria::frame
