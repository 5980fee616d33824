// Members with scalar parameters and results: every route can serve them.
#include <array>

#include "bench_session.h"
#include "call_benchmarks.h"
#include "numori10.h"
#include "route_benchmarks.h"

namespace numoria_bench {

namespace {

// 8011545 is "7A3F19" in hexadecimal.
constexpr LONG kDecimal = 8011545;
constexpr const wchar_t* kHex = L"7A3F19";

void registerConversions() {
    auto object = createObject<_clsVxNumsConversionsA>(CLSID_clsVxNumsConversionsA);
    ComPtr<ITypeInfo> description = vtableTypeInfo(__uuidof(_clsVxNumsConversionsA));

    registerRoutes("DecimalToHex",
                   scalarFixture(
                       object.Get(), description.Get(), L"DecimalToHex", {Variant::ofI4(kDecimal)}, nullptr,
                       [object](VARIANT* slot) {
                           slot->vt = VT_BSTR;
                           slot->bstrVal = nullptr;
                           return object->DecimalToHex(kDecimal, &slot->bstrVal);
                       },
                       Variant::ofText(kHex)));

    const Variant hex = Variant::ofText(kHex);
    registerRoutes("HexToDecimal", scalarFixture(
                                       object.Get(), description.Get(), L"HexToDecimal", {hex}, nullptr,
                                       [object, hex](VARIANT* slot) {
                                           slot->vt = VT_I4;
                                           return object->HexToDecimal(hex.get()->bstrVal, &slot->lVal);
                                       },
                                       Variant::ofI4(kDecimal)));
}

void registerCombinatorics() {
    auto object = createObject<_clsVxNumsPerComA>(CLSID_clsVxNumsPerComA);
    ComPtr<ITypeInfo> description = vtableTypeInfo(__uuidof(_clsVxNumsPerComA));

    // Both members take their 16-bit integers by reference; the dispatch
    // routes pass VT_I2 | VT_BYREF pointing at this storage.
    auto factorialOf = std::make_shared<short>(10);
    registerRoutes("Factorial", scalarFixture(
                                    object.Get(), description.Get(), L"Factorial",
                                    {Variant::ofRef(VT_I2, factorialOf.get())}, factorialOf,
                                    [object, n = *factorialOf](VARIANT* slot) mutable {
                                        slot->vt = VT_R8;
                                        return object->Factorial(&n, &slot->dblVal);
                                    },
                                    Variant::ofR8(3628800.0)));

    auto choose = std::make_shared<std::array<short, 2>>(std::array<short, 2>{20, 7});
    registerRoutes("Combination",
                   scalarFixture(
                       object.Get(), description.Get(), L"Combination",
                       {Variant::ofRef(VT_I2, &(*choose)[0]), Variant::ofRef(VT_I2, &(*choose)[1])}, choose,
                       [object, n = (*choose)[0], r = (*choose)[1]](VARIANT* slot) mutable {
                           slot->vt = VT_R8;
                           return object->Combination(&n, &r, &slot->dblVal);
                       },
                       Variant::ofR8(77520.0)));
}

} // namespace

void registerScalarCallBenchmarks() {
    registerConversions();
    registerCombinatorics();
}

} // namespace numoria_bench
