// What a script host does before and while it calls by name: it asks for
// the type information of the object, and it calls with named arguments
// (GetIDsOfNames for the member and its parameter names, then Invoke with
// the named dispids). Both read the library's type library; these time them.
#include <benchmark/benchmark.h>

#include <array>

#include "bench_session.h"
#include "call_benchmarks.h"
#include "numori10.h"
#include "support/automation_raii.h"

namespace numoria_bench {

namespace {

using wine_tests::Variant;

constexpr short kItems = 20;
constexpr short kChosen = 7;
constexpr double kCombinations = 77520.0; // 20! / (7! 13!)

// Combination(r:=7, n:=20), the parameters named in the other order.
HRESULT callCombinationByName(IDispatch* object, double& result) {
    std::array<LPOLESTR, 3> names{const_cast<LPOLESTR>(L"Combination"), const_cast<LPOLESTR>(L"r"),
                                  const_cast<LPOLESTR>(L"n")};
    std::array<DISPID, 3> dispids{};
    HRESULT status = object->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()), LOCALE_USER_DEFAULT,
                                           dispids.data());
    if (FAILED(status)) return status;
    // rgvarg[k] is the argument of rgdispidNamedArgs[k].
    std::array<Variant, 2> arguments{Variant::ofI2(kChosen), Variant::ofI2(kItems)};
    std::array<VARIANT, 2> slots{*arguments[0].get(), *arguments[1].get()};
    DISPPARAMS parameters{slots.data(), &dispids[1], 2, 2};
    Variant value;
    wine_tests::ExcepInfo exception;
    UINT argumentError = 0;
    status = object->Invoke(dispids[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, value.out(),
                            exception.out(), &argumentError);
    if (FAILED(status)) return status;
    if (value.get()->vt != VT_R8) return DISP_E_TYPEMISMATCH;
    result = value.get()->dblVal;
    return S_OK;
}

} // namespace

void registerTypeInfoCallBenchmarks() {
    auto object = createObject<IDispatch>(CLSID_clsVxNumsPerComA);

    benchmark::RegisterBenchmark("GetTypeInfo", [object](benchmark::State& state) {
        for (auto _ : state) {
            ComPtr<ITypeInfo> info;
            const HRESULT status = object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.GetAddressOf());
            if (FAILED(status) || info == nullptr) {
                state.SkipWithError(("GetTypeInfo failed: " + hexStatus(status)).c_str());
                break;
            }
        }
    })->Unit(benchmark::kNanosecond);

    benchmark::RegisterBenchmark("Combination/named", [object](benchmark::State& state) {
        double result = 0;
        if (const HRESULT status = callCombinationByName(object.Get(), result);
            FAILED(status) || result != kCombinations) {
            state.SkipWithError(("named call failed or wrong: " + hexStatus(status)).c_str());
            return;
        }
        for (auto _ : state) {
            if (FAILED(callCombinationByName(object.Get(), result))) {
                state.SkipWithError("named call failed while timed");
                break;
            }
        }
    })->Unit(benchmark::kNanosecond);
}

} // namespace numoria_bench
