// Calls that no well-behaved host makes: parameter blocks with null
// pointers, records without a Matrix description, Element arrays of the
// wrong shape or type, counts and bounds that do not fit the array,
// references to nothing, value lists that are no VARIANT array, null
// out-pointers and strings, and a randomized pass over the record members.
// Each must come back with a clear failure status (or its documented
// result), leave the caller's arguments as they were, and never crash.
#include "support/host_record.h"
#include "support/late_bound.h"
#include "support/record_arguments.h"
#include "support/status_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "numori10.h"

using namespace wine_tests;

namespace {

constexpr UINT kUnwritten = 0xDEADBEEF;

HRESULT runtime_error(long number) { return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number); }

enum MatrixMember : DISPID {
    kCreateMatrix = 0x60030001,
    kTransposeMatrix,
    kScaleMatrix,
    kAddMatrix,
    kSubMatrix,
    kMultiplyMatrix,
    kDeterminant,
    kInvertMatrix,
    kInsertMatrix,
    kCombineMatrix,
    kSwapRow,
    kSwapCol,
    kSubMat,
    kPrintMatrix,
};

// What a late-bound call gave back. A member's own error arrives as
// DISP_E_EXCEPTION; `failure` is then the exception's status, otherwise the
// call's.
struct Outcome {
    HRESULT status = E_FAIL;
    HRESULT failure = E_FAIL;
    std::optional<UINT> argumentError;
    Variant result;
};

// Calls `dispid` with raw arguments in declaration order. The VARIANTs are
// the caller's and are never cleared here.
Outcome invoke(IDispatch* object, DISPID dispid, std::vector<VARIANT> arguments, WORD flags = DISPATCH_METHOD) {
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS parameters{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    Outcome outcome;
    ExcepInfo exception;
    UINT argumentError = kUnwritten;
    outcome.status = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, outcome.result.out(),
                                    exception.out(), &argumentError);
    outcome.failure = outcome.status == DISP_E_EXCEPTION ? exception.value().scode : outcome.status;
    if (argumentError != kUnwritten) outcome.argumentError = argumentError;
    return outcome;
}

VARIANT rawI2(short value) {
    VARIANT v;
    v.vt = VT_I2;
    v.iVal = value;
    return v;
}

VARIANT rawR8(double value) {
    VARIANT v;
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}

VARIANT rawReference(VARTYPE type, void* storage) {
    VARIANT v;
    v.vt = static_cast<VARTYPE>(VT_BYREF | type);
    v.byref = storage;
    return v;
}

// The library's objects and the platform's Matrix description.
struct Objects {
    Objects() {
        auto create = [](const std::wstring& progId) {
            Creation created = createByProgId(progId);
            throwIfFailed(created.status, ("creating " + narrow(progId)).c_str());
            return created.object;
        };
        matrix = create(L"Numoria10.clsVxNumsMatrixA");
        conversions = create(L"Numoria10.clsVxNumsConversionsA");
        percom = create(L"Numoria10.clsVxNumsPerComA");
        if (matrix) throwIfFailed(matrix.As(&matrixEarly), "QueryInterface for _clsVxNumsMatrixA");
        if (conversions) throwIfFailed(conversions.As(&conversionsEarly), "QueryInterface for _clsVxNumsConversionsA");
        if (percom) throwIfFailed(percom.As(&percomEarly), "QueryInterface for _clsVxNumsPerComA");
        info = platformMatrixInfo();
    }
    bool ready() const { return matrixEarly && conversionsEarly && percomEarly && info; }

    ComPtr<IDispatch> matrix, conversions, percom;
    ComPtr<_clsVxNumsMatrixA> matrixEarly;
    ComPtr<_clsVxNumsConversionsA> conversionsEarly;
    ComPtr<_clsVxNumsPerComA> percomEarly;
    ComPtr<IRecordInfo> info;
};

ArgumentRecord recordOf(short m, short n, VARTYPE type, std::vector<SAFEARRAYBOUND> bounds) {
    ArgumentRecord host;
    host.m = m;
    host.n = n;
    host.element = numberedArray(type, bounds);
    return host;
}

// A two-dimensional array descriptor of doubles whose data was never allocated.
ArgumentRecord withoutData(short m, short n) {
    ArgumentRecord host;
    host.m = m;
    host.n = n;
    throwIfFailed(SafeArrayAllocDescriptorEx(VT_R8, 2, host.element.address()), "SafeArrayAllocDescriptorEx");
    host.element.get()->rgsabound[0] = {static_cast<ULONG>(n), 1};
    host.element.get()->rgsabound[1] = {static_cast<ULONG>(m), 1};
    return host;
}

ArgumentRecord square(short size) {
    return recordOf(size, size, VT_R8, {{static_cast<ULONG>(size), 1}, {static_cast<ULONG>(size), 1}});
}

} // namespace

TEST(MalformedCalls, ParameterBlocksWithNullPointersAreRefused) {
    Objects objects;
    ASSERT_TRUE(objects.ready());
    VARIANT five = rawI2(5);
    DISPID named[] = {0};
    struct Case {
        const char* label;
        IDispatch* object;
        DISPID dispid;
        bool noParameterBlock;
        DISPPARAMS parameters;
        HRESULT expected;
    };
    const Case cases[] = {
        {"no parameter block", objects.percom.Get(), 0x60030002, true, {}, E_INVALIDARG},
        {"no parameter block, matrix", objects.matrix.Get(), kTransposeMatrix, true, {}, E_INVALIDARG},
        {"arguments counted, none given",
         objects.percom.Get(),
         0x60030002,
         false,
         {nullptr, nullptr, 1, 0},
         E_INVALIDARG},
        {"arguments counted, none given, matrix",
         objects.matrix.Get(),
         kDeterminant,
         false,
         {nullptr, nullptr, 1, 0},
         E_INVALIDARG},
        {"value list counted, none given",
         objects.matrix.Get(),
         kCreateMatrix,
         false,
         {nullptr, nullptr, 4, 0},
         E_INVALIDARG},
        {"names counted, none given",
         objects.conversions.Get(),
         0x60030001,
         false,
         {&five, nullptr, 1, 1},
         E_INVALIDARG},
        {"more names than arguments", objects.conversions.Get(), 0x60030001, false, {&five, named, 1, 2}, E_INVALIDARG},
        {"names and arguments counted, none given",
         objects.percom.Get(),
         0x60030002,
         false,
         {nullptr, nullptr, 1, 1},
         E_INVALIDARG},
        {"no arguments, none given",
         objects.percom.Get(),
         0x60030002,
         false,
         {nullptr, nullptr, 0, 0},
         DISP_E_BADPARAMCOUNT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        DISPPARAMS parameters = c.parameters;
        Variant result;
        ExcepInfo exception;
        UINT argumentError = kUnwritten;
        EXPECT_EQ(c.object->Invoke(c.dispid, IID_NULL, 0, DISPATCH_METHOD, c.noParameterBlock ? nullptr : &parameters,
                                   result.out(), exception.out(), &argumentError),
                  c.expected);
        EXPECT_EQ(result.type(), VT_EMPTY);
    }
    // An interface identifier other than IID_NULL.
    DISPPARAMS one{&five, nullptr, 1, 0};
    EXPECT_EQ(objects.percom->Invoke(0x60030002, IID_IDispatch, 0, DISPATCH_METHOD, &one, nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
}

TEST(MalformedCalls, RecordArgumentsThatAreNoMatrixAreRefused) {
    Objects objects;
    ASSERT_TRUE(objects.ready());
    ComPtr<IRecordInfo> foreign = foreignRecordInfo();
    const std::vector<SAFEARRAYBOUND> twoByTwo = {{2, 1}, {2, 1}};
    struct Case {
        const char* label;
        ArgumentRecord host;
        IRecordInfo* info;
        bool noRecord = false;
    };
    Case cases[] = {
        {"no record description", square(2), nullptr},
        {"another record type's description", square(2), foreign.Get()},
        {"no record", square(2), objects.info.Get(), true},
        {"one-dimensional Element", recordOf(2, 2, VT_R8, {{4, 1}}), objects.info.Get()},
        {"three-dimensional Element", recordOf(2, 2, VT_R8, {{2, 1}, {2, 1}, {2, 1}}), objects.info.Get()},
        {"Element of 32-bit integers", recordOf(2, 2, VT_I4, twoByTwo), objects.info.Get()},
        {"Element of single-precision floats", recordOf(2, 2, VT_R4, twoByTwo), objects.info.Get()},
        {"Element of VARIANTs", recordOf(2, 2, VT_VARIANT, twoByTwo), objects.info.Get()},
        {"Element of strings", recordOf(2, 2, VT_BSTR, twoByTwo), objects.info.Get()},
        {"Element without data", withoutData(2, 2), objects.info.Get()},
    };
    for (Case& c : cases) {
        for (bool byReference : {false, true}) {
            SCOPED_TRACE(std::string(c.label) + (byReference ? " by reference" : " by value"));
            VARIANT argument = recordVariant(c.host, c.info, byReference);
            if (c.noRecord) argument.pvRecord = nullptr;
            const std::string before = deepDescribe(argument);
            // As the only argument, and as the second operand.
            Outcome alone = invoke(objects.matrix.Get(), kDeterminant, {argument});
            EXPECT_EQ(alone.status, DISP_E_TYPEMISMATCH);
            EXPECT_EQ(alone.argumentError, std::optional<UINT>(0));
            ArgumentRecord good = square(2);
            Outcome second =
                invoke(objects.matrix.Get(), kAddMatrix, {recordVariant(good, objects.info.Get(), true), argument});
            EXPECT_EQ(second.status, DISP_E_TYPEMISMATCH);
            EXPECT_EQ(second.argumentError, std::optional<UINT>(0));
            EXPECT_EQ(second.result.type(), VT_EMPTY);
            EXPECT_EQ(deepDescribe(argument), before);
        }
        if (c.info != objects.info.Get() || c.noRecord) continue;
        // Early-bound, the record itself is malformed.
        SCOPED_TRACE(std::string(c.label) + " early-bound");
        Matrix result{};
        EXPECT_EQ(objects.matrixEarly->TransposeMatrix(c.host.record(), &result), DISP_E_TYPEMISMATCH);
        EXPECT_EQ(result.Element, nullptr);
        double determinant = -1;
        EXPECT_EQ(objects.matrixEarly->Determinant(c.host.record(), &determinant), DISP_E_TYPEMISMATCH);
        EXPECT_EQ(c.host.element.get()->cLocks, 0u);
    }
}

TEST(MalformedCalls, CountsAndBoundsThatDoNotFitTheArrayFailCleanly) {
    Objects objects;
    ASSERT_TRUE(objects.ready());
    struct Case {
        const char* label;
        ArgumentRecord host;
        DISPID member;
        HRESULT expected; // of the early-bound and the late-bound call
    };
    Case cases[] = {
        {"bounds from 0", recordOf(2, 2, VT_R8, {{3, 0}, {3, 0}}), kDeterminant, S_OK},
        {"bounds from -5", recordOf(2, 2, VT_R8, {{2, -5}, {2, -5}}), kTransposeMatrix, runtime_error(9)},
        {"bounds from 2", recordOf(2, 2, VT_R8, {{2, 2}, {2, 2}}), kDeterminant, runtime_error(9)},
        {"counts beyond the array", recordOf(3, 3, VT_R8, {{2, 1}, {2, 1}}), kTransposeMatrix, runtime_error(9)},
        {"counts far beyond the array", recordOf(300, 300, VT_R8, {{1, 1}, {1, 1}}), kDeterminant, runtime_error(9)},
        {"32767 rows, one element", recordOf(32767, 1, VT_R8, {{1, 1}, {1, 1}}), kTransposeMatrix, runtime_error(9)},
        {"32767 square, one element", recordOf(32767, 32767, VT_R8, {{1, 1}, {1, 1}}), kDeterminant, runtime_error(9)},
        {"negative rows", recordOf(-1, 2, VT_R8, {{2, 1}, {2, 1}}), kTransposeMatrix, runtime_error(9)},
        // Equal negative counts pass both of Determinant's checks and give 1.
        {"negative square", recordOf(-3, -3, VT_R8, {{2, 1}, {2, 1}}), kDeterminant, S_OK},
        {"most negative counts", recordOf(-32768, -32768, VT_R8, {{2, 1}, {2, 1}}), kInvertMatrix, runtime_error(9)},
        {"rows without elements", recordOf(1, 1, VT_R8, {{0, 1}, {2, 1}}), kTransposeMatrix, runtime_error(9)},
        {"zero counts over an array", recordOf(0, 0, VT_R8, {{2, 1}, {2, 1}}), kTransposeMatrix, runtime_error(9)},
        {"one by one over a larger array, through CreateMatrix", recordOf(1, 1, VT_R8, {{2, 1}, {2, 1}}), kSubMat,
         runtime_error(1000)},
        {"absent array", recordOf(2, 2, VT_R8, {}), kSubMat, runtime_error(9)},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.host.element.get() == nullptr && c.member != kSubMat) {
            ADD_FAILURE() << "the array was not made";
            continue;
        }
        const bool positions = c.member == kSubMat;
        VARIANT argument = recordVariant(c.host, objects.info.Get(), true);
        const std::string before = deepDescribe(argument);
        std::vector<VARIANT> arguments = {argument};
        if (positions) arguments.insert(arguments.end(), {rawI2(1), rawI2(1)});
        Outcome late = invoke(objects.matrix.Get(), c.member, arguments);
        EXPECT_EQ(late.failure, c.expected);
        EXPECT_EQ(late.status, c.expected == S_OK ? S_OK : DISP_E_EXCEPTION);

        HRESULT early = E_FAIL;
        Matrix result{};
        double number = 0;
        switch (c.member) {
        case kDeterminant: early = objects.matrixEarly->Determinant(c.host.record(), &number); break;
        case kTransposeMatrix: early = objects.matrixEarly->TransposeMatrix(c.host.record(), &result); break;
        case kInvertMatrix: early = objects.matrixEarly->InvertMatrix(c.host.record(), &result); break;
        case kSubMat: early = objects.matrixEarly->SubMat(c.host.record(), 1, 1, &result); break;
        default: break;
        }
        EXPECT_EQ(early, c.expected);
        destroyResultArray(result, "the refused call");
        EXPECT_EQ(deepDescribe(argument), before);
    }
}

TEST(MalformedCalls, ReferencesToNothingAreRefusedWithTheirPosition) {
    Objects objects;
    ASSERT_TRUE(objects.ready());
    ArgumentRecord good = square(2);
    const VARIANT record = recordVariant(good, objects.info.Get(), true);
    VARIANT noRecord = record;
    noRecord.pvRecord = nullptr;
    VARIANT noVariant = rawReference(VT_VARIANT, nullptr);
    struct Case {
        const char* label;
        IDispatch* object;
        DISPID dispid;
        std::vector<VARIANT> arguments; // declaration order
        UINT position;                  // rgvarg index of the bad one
    };
    const Case cases[] = {
        {"16-bit row", objects.matrix.Get(), kSwapRow, {record, rawReference(VT_I2, nullptr), rawI2(1)}, 1},
        {"multiplier", objects.matrix.Get(), kScaleMatrix, {record, rawReference(VT_R8, nullptr)}, 0},
        {"record", objects.matrix.Get(), kTransposeMatrix, {noRecord}, 0},
        {"record through a VARIANT", objects.matrix.Get(), kTransposeMatrix, {noVariant}, 0},
        {"matrix size", objects.matrix.Get(), kCreateMatrix, {rawReference(VT_I2, nullptr), rawI2(1)}, 1},
        {"trailing value",
         objects.matrix.Get(),
         kCreateMatrix,
         {rawI2(1), rawI2(2), rawR8(1), rawReference(VT_I4, nullptr)},
         0},
        {"trailing VARIANT", objects.matrix.Get(), kCreateMatrix, {rawI2(1), rawI2(1), noVariant}, 0},
        {"numeral", objects.conversions.Get(), 0x60030002, {rawReference(VT_BSTR, nullptr)}, 0},
        {"number", objects.conversions.Get(), 0x60030001, {rawReference(VT_I4, nullptr)}, 0},
        {"VARIANT for a number", objects.conversions.Get(), 0x60030003, {noVariant}, 0},
        {"by-reference n", objects.percom.Get(), 0x60030000, {rawReference(VT_I2, nullptr), rawI2(1)}, 1},
        {"by-reference r", objects.percom.Get(), 0x60030001, {rawI2(3), rawReference(VT_I2, nullptr)}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Outcome outcome = invoke(c.object, c.dispid, c.arguments);
        EXPECT_EQ(outcome.status, DISP_E_TYPEMISMATCH);
        EXPECT_EQ(outcome.argumentError, std::optional<UINT>(c.position));
        EXPECT_EQ(outcome.result.type(), VT_EMPTY);
    }
}

TEST(MalformedCalls, ValueListsThatAreNoVariantArrayAreRefused) {
    Objects objects;
    ASSERT_TRUE(objects.ready());
    VARIANT nothing = rawReference(VT_I4, nullptr);
    OwnedArray holdingNothing(SafeArrayCreateVector(VT_VARIANT, 0, 2));
    {
        LONG at = 1;
        ASSERT_EQ(SafeArrayPutElement(holdingNothing.get(), &at, &nothing), S_OK)
            << "storing the value that refers to nothing";
    }
    OwnedArray untyped;
    ASSERT_EQ(SafeArrayAllocDescriptor(1, untyped.address()), S_OK);
    untyped.get()->cbElements = sizeof(VARIANT);
    untyped.get()->rgsabound[0] = {2, 0};
    ASSERT_EQ(SafeArrayAllocData(untyped.get()), S_OK);
    // Says it holds VARIANTs, but its elements are 8 bytes wide. It lives on
    // the stack and is never destroyed.
    VARIANT cells[2] = {};
    SAFEARRAY narrowCells{1, FADF_VARIANT | FADF_STATIC, 8, 0, cells, {{2, 0}}};
    SAFEARRAY* narrowPointer = &narrowCells;
    struct Case {
        const char* label;
        OwnedArray array;
        bool noPointer = false;
        HRESULT expected;
    };
    Case cases[] = {
        {"no array pointer", OwnedArray(), true, E_POINTER},
        {"no array", OwnedArray(), false, S_OK},
        {"array of 32-bit integers", numberedArray(VT_I4, {{4, 0}}), false, DISP_E_TYPEMISMATCH},
        {"array of doubles", numberedArray(VT_R8, {{4, 0}}), false, DISP_E_TYPEMISMATCH},
        {"array of strings", numberedArray(VT_BSTR, {{4, 0}}), false, DISP_E_TYPEMISMATCH},
        {"two-dimensional VARIANT array", numberedArray(VT_VARIANT, {{2, 0}, {2, 0}}), false, DISP_E_TYPEMISMATCH},
        {"array without a type", std::move(untyped), false, DISP_E_TYPEMISMATCH},
        {"VARIANT array from 5", numberedArray(VT_VARIANT, {{4, 5}}), false, S_OK},
        // A value that refers to nothing cannot be converted: type mismatch.
        {"a value referring to nothing", std::move(holdingNothing), false, runtime_error(13)},
    };
    {
        Matrix result{};
        EXPECT_EQ(objects.matrixEarly->CreateMatrix(1, 1, &narrowPointer, &result), DISP_E_TYPEMISMATCH);
        EXPECT_EQ(result.Element, nullptr);
        EXPECT_EQ(narrowCells.cLocks, 0u);
    }
    for (Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string before = deepDescribe(c.array.get());
        Matrix result{};
        const HRESULT status =
            objects.matrixEarly->CreateMatrix(2, 2, c.noPointer ? nullptr : c.array.address(), &result);
        EXPECT_EQ(status, c.expected);
        EXPECT_EQ(result.Element != nullptr, SUCCEEDED(c.expected));
        destroyResultArray(result, "the refused call");
        EXPECT_EQ(deepDescribe(c.array.get()), before);
    }
}

TEST(MalformedCalls, NullOutPointersAndStrings) {
    Objects objects;
    ASSERT_TRUE(objects.ready());
    ArgumentRecord good = square(2);
    short two = 2;
    struct Case {
        const char* label;
        std::function<HRESULT()> call;
        HRESULT expected;
    };
    _clsVxNumsMatrixA* mx = objects.matrixEarly.Get();
    _clsVxNumsConversionsA* cv = objects.conversionsEarly.Get();
    _clsVxNumsPerComA* pc = objects.percomEarly.Get();
    LONG number = -1;
    BSTR text = nullptr;
    double real = -1;
    Matrix result{};
    SAFEARRAY* noValues = nullptr;
    const Case cases[] = {
        {"CreateMatrix result", [&] { return mx->CreateMatrix(2, 2, &noValues, nullptr); }, E_POINTER},
        {"TransposeMatrix result", [&] { return mx->TransposeMatrix(good.record(), nullptr); }, E_POINTER},
        {"TransposeMatrix input", [&] { return mx->TransposeMatrix(nullptr, &result); }, E_POINTER},
        {"ScaleMatrix result", [&] { return mx->ScaleMatrix(good.record(), 2, nullptr); }, E_POINTER},
        {"AddMatrix second input", [&] { return mx->AddMatrix(good.record(), nullptr, &result); }, E_POINTER},
        {"MultiplyMatrix result", [&] { return mx->MultiplyMatrix(good.record(), good.record(), nullptr); }, E_POINTER},
        {"Determinant result", [&] { return mx->Determinant(good.record(), nullptr); }, E_POINTER},
        {"InsertMatrix source", [&] { return mx->InsertMatrix(good.record(), nullptr, 1, 1, &result); }, E_POINTER},
        {"SwapCol result", [&] { return mx->SwapCol(good.record(), 1, 2, nullptr); }, E_POINTER},
        {"PrintMatrix input", [&] { return mx->PrintMatrix(nullptr); }, E_POINTER},
        {"DecimalToBinary result", [&] { return cv->DecimalToBinary(5, nullptr); }, E_POINTER},
        {"BinaryToDecimal result", [&] { return cv->BinaryToDecimal(nullptr, nullptr); }, E_POINTER},
        {"null numeral", [&] { return cv->HexToDecimal(nullptr, &number); }, S_OK},
        {"null octal numeral", [&] { return cv->OctalToDecimal(nullptr, &number); }, S_OK},
        {"Factorial input", [&] { return pc->Factorial(nullptr, &real); }, E_POINTER},
        {"Combination second input", [&] { return pc->Combination(&two, nullptr, &real); }, E_POINTER},
        {"Permutation result", [&] { return pc->Permutation(&two, &two, nullptr); }, E_POINTER},
        {"DecimalToHex into a string", [&] { return cv->DecimalToHex(255, &text); }, S_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        number = -1;
        EXPECT_EQ(c.call(), c.expected);
        EXPECT_EQ(result.Element, nullptr);
        if (c.expected == S_OK && text == nullptr) {
            EXPECT_EQ(number, 0) << "a null numeral is the empty text";
        }
        SysFreeString(text);
        text = nullptr;
    }
    // A null string by name is the empty text too.
    VARIANT nullText;
    nullText.vt = VT_BSTR;
    nullText.bstrVal = nullptr;
    for (DISPID reader : {0x60030002, 0x60030004, 0x60030006}) {
        Outcome outcome = invoke(objects.conversions.Get(), reader, {nullText});
        EXPECT_EQ(outcome.status, S_OK);
        EXPECT_EQ(outcome.result.type(), VT_I4);
        EXPECT_EQ(outcome.result.get()->lVal, 0);
    }
}
