// The host's floating-point state does not reach the library: under any
// control state the host sets (unmasked exceptions, another rounding mode,
// flush to zero, lowered x87 precision), every member gives the results and
// errors it gives under the default state, no floating-point trap reaches
// the host, and the host finds its state as it left it.
#include "support/host_record.h"
#include "support/late_bound.h"
#include "support/status_check.h"

#include <gtest/gtest.h>

#include <immintrin.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "numori10.h"

using namespace wine_tests;

namespace {

struct HostState {
    const char* label;
    std::uint32_t sse;
    std::uint16_t x87;
};

std::uint16_t x87Control() {
    std::uint16_t control = 0;
    asm volatile("fnstcw %0" : "=m"(control));
    return control;
}
void setX87Control(std::uint16_t control) { asm volatile("fldcw %0" : : "m"(control)); }

// What one call gave: its status and the bits of its number.
struct Outcome {
    HRESULT status = E_FAIL;
    std::uint64_t bits = 0;
    bool operator==(const Outcome&) const = default;
};

// A square record with the given elements, row by row, bounds from 1.
Matrix squareRecord(short n, const std::vector<double>& rowMajor) {
    Matrix record{n, n, nullptr};
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(n), 1}, {static_cast<ULONG>(n), 1}};
    record.Element = SafeArrayCreate(VT_R8, 2, bounds);
    double* data = nullptr;
    throwIfFailed(SafeArrayAccessData(record.Element, reinterpret_cast<void**>(&data)), "SafeArrayAccessData");
    // The first subscript (the row) varies fastest in the array's storage.
    for (short i = 0; i < n; ++i)
        for (short j = 0; j < n; ++j) data[j * n + i] = rowMajor[i * n + j];
    SafeArrayUnaccessData(record.Element);
    return record;
}

std::uint64_t firstElementBits(const Matrix& record) {
    if (record.Element == nullptr) return 0;
    double* data = nullptr;
    // Runs under the host's state, where throwing may be unsafe: recorded, not thrown.
    const HRESULT accessed = SafeArrayAccessData(record.Element, reinterpret_cast<void**>(&data));
    EXPECT_EQ(accessed, S_OK) << "SafeArrayAccessData";
    if (FAILED(accessed)) return 0;
    const double value = data[0];
    SafeArrayUnaccessData(record.Element);
    return std::bit_cast<std::uint64_t>(value);
}

template <class Interface>
ComPtr<Interface> create(const wchar_t* progId) {
    Creation created = createByProgId(progId);
    throwIfFailed(created.status, ("creating " + narrow(progId)).c_str());
    ComPtr<Interface> typed;
    if (created.object) throwIfFailed(created.object.As(&typed), "QueryInterface");
    return typed;
}

} // namespace

TEST(FloatingPointIsolation, MembersIgnoreAndRestoreTheHostState) {
    ComPtr<_clsVxNumsMatrixA> matrices = create<_clsVxNumsMatrixA>(L"Numoria10.clsVxNumsMatrixA");
    ComPtr<_clsVxNumsPerComA> counting = create<_clsVxNumsPerComA>(L"Numoria10.clsVxNumsPerComA");
    ComPtr<_clsVxNumsConversionsA> conversions = create<_clsVxNumsConversionsA>(L"Numoria10.clsVxNumsConversionsA");
    ASSERT_TRUE(matrices && counting && conversions);
    ComPtr<IDispatch> countingByName;
    ASSERT_EQ(counting.As(&countingByName), S_OK);

    // Inputs whose results depend on the rounding mode, and calls that meet
    // overflow and division by zero inside.
    Matrix rounding = squareRecord(3, {0.1, 0.2, 0.3, 0.4, 0.5, 0.7, 0.7, 0.8, 1.1});
    Matrix huge = squareRecord(1, {1e308});
    Matrix zero = squareRecord(1, {0.0});
    Matrix third = squareRecord(1, {3.0});
    Bstr hex;
    *hex.out() = SysAllocString(L"7FFFFFFF");
    // Each call runs under the host's state, where throwing may be unsafe: checks are EXPECT_*.
    struct Call {
        const char* label;
        std::function<Outcome()> run;
    };
    const std::vector<Call> calls = {
        {"Determinant 3x3",
         [&] {
             double value = 0;
             HRESULT status = matrices->Determinant(&rounding, &value);
             return Outcome{status, std::bit_cast<std::uint64_t>(value)};
         }},
        {"InvertMatrix 1x1 of 3",
         [&] {
             Matrix result{};
             HRESULT status = matrices->InvertMatrix(&third, &result);
             Outcome outcome{status, firstElementBits(result)};
             destroyResultArray(result, "InvertMatrix 1x1 of 3");
             return outcome;
         }},
        {"MultiplyMatrix overflow",
         [&] {
             Matrix result{};
             HRESULT status = matrices->MultiplyMatrix(&huge, &huge, &result);
             destroyResultArray(result, "MultiplyMatrix overflow");
             return Outcome{status, 0};
         }},
        {"InvertMatrix 1x1 of 0",
         [&] {
             Matrix result{};
             HRESULT status = matrices->InvertMatrix(&zero, &result);
             destroyResultArray(result, "InvertMatrix 1x1 of 0");
             return Outcome{status, 0};
         }},
        {"Factorial 171",
         [&] {
             short n = 171;
             double value = -1;
             HRESULT status = counting->Factorial(&n, &value);
             return Outcome{status, std::bit_cast<std::uint64_t>(value)};
         }},
        {"Combination 30 15",
         [&] {
             short n = 30, r = 15;
             double value = -1;
             HRESULT status = counting->Combination(&n, &r, &value);
             return Outcome{status, std::bit_cast<std::uint64_t>(value)};
         }},
        {"HexToDecimal",
         [&] {
             LONG value = 0;
             HRESULT status = conversions->HexToDecimal(hex.get(), &value);
             return Outcome{status, static_cast<std::uint64_t>(value)};
         }},
        {"Combination by name",
         [&] {
             VARIANT arguments[2];
             arguments[0].vt = VT_I2; // r, last first
             arguments[0].iVal = 15;
             arguments[1].vt = VT_I2;
             arguments[1].iVal = 30;
             DISPPARAMS params{arguments, nullptr, 2, 0};
             VARIANT result;
             VariantInit(&result);
             HRESULT status =
                 countingByName->Invoke(0x60030000, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
             return Outcome{status, result.vt == VT_R8 ? std::bit_cast<std::uint64_t>(result.dblVal) : 0};
         }},
    };

    const HostState states[] = {
        {"default", 0x1F80, 0x027F},
        {"all exceptions unmasked", 0x0000, 0x0240},
        {"round down", 0x3F80, 0x067F},
        {"round up", 0x5F80, 0x0A7F},
        {"round toward zero, 24-bit x87", 0x7F80, 0x0C7F},
        {"64-bit x87 precision, as a 32-bit process starts", 0x1F80, 0x037F},
        {"x87 exceptions unmasked at 64-bit precision", 0x1F80, 0x0340},
        {"x87 rounding up at 64-bit precision, SSE unmasked", 0x0000, 0x0B7F},
        {"flush to zero and denormals are zero", 0x9FC0, 0x027F},
        {"unmasked with the host's own flags pending", 0x0000 | 0x0020, 0x0240},
    };
    std::vector<Outcome> reference;
    for (const HostState& state : states) {
        SCOPED_TRACE(state.label);
        std::vector<Outcome> outcomes;
        std::vector<std::pair<std::uint32_t, std::uint16_t>> after;
        outcomes.reserve(calls.size());
        after.reserve(calls.size());
        const std::uint32_t savedSse = _mm_getcsr();
        const std::uint16_t savedX87 = x87Control();
        for (const Call& call : calls) {
            // Only the call runs under the host's state: the test's own code
            // would trap under some of them.
            _mm_setcsr(state.sse);
            setX87Control(state.x87);
            Outcome outcome = call.run();
            const std::uint32_t sseAfter = _mm_getcsr();
            const std::uint16_t x87After = x87Control();
            _mm_setcsr(savedSse);
            setX87Control(savedX87);
            outcomes.push_back(outcome);
            after.emplace_back(sseAfter, x87After);
        }
        EXPECT_EQ(SetErrorInfo(0, nullptr), S_OK);
        if (reference.empty()) reference = outcomes;
        for (std::size_t k = 0; k < calls.size(); ++k) {
            SCOPED_TRACE(calls[k].label);
            EXPECT_EQ(outcomes[k].status, reference[k].status);
            EXPECT_EQ(outcomes[k].bits, reference[k].bits) << "the same bits under every host state";
            EXPECT_EQ(after[k].first, state.sse) << "the host's SSE state comes back exactly";
            EXPECT_EQ(after[k].second, state.x87) << "the host's x87 control comes back exactly";
        }
    }
    // The reference itself is what the default state gives.
    EXPECT_EQ(reference[2].status, automationError(6));
    EXPECT_EQ(reference[3].status, automationError(11));
    EXPECT_EQ(reference[4], (Outcome{S_OK, 0}));
    EXPECT_EQ(reference[5].bits, std::bit_cast<std::uint64_t>(155117519.99999997));
    EXPECT_EQ(reference[6].bits, 2147483647u);

    for (Matrix* record : {&rounding, &huge, &zero, &third})
        EXPECT_EQ(SafeArrayDestroy(record->Element), S_OK) << "the inputs are left unlocked";
}
