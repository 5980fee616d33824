// clsVxNumsArraysA from a client: every operation compared bit for bit, with
// its errors, against the record class on the same elements; arrays of
// doubles and of VARIANTs with any lower bounds, by value and by reference,
// and an object with a Value property in their place; malformed arguments;
// the add-in's registration keys.
#include "support/host_record.h"
#include "support/late_bound.h"
#include "support/status_check.h"
#include "support/test_environment.h"
#include "support/type_info.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "numori10.h"
#include "numori10arrays.h"
#include "support/property_object.h"

using namespace wine_tests;

namespace {

const wchar_t kArraysProgId[] = L"Numoria10Arrays.clsVxNumsArraysA";

struct Grid {
    short rows;
    short columns;
    std::vector<double> values; // row by row
};

// A new 2-D array of `type` (VT_R8 or VT_VARIANT doubles) holding the grid,
// first subscripts from `rowLower` and `columnLower`.
Variant arrayOf(const Grid& g, VARTYPE type = VT_VARIANT, LONG rowLower = 1, LONG columnLower = 1) {
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(g.rows), rowLower}, {static_cast<ULONG>(g.columns), columnLower}};
    SAFEARRAY* array = SafeArrayCreate(type, 2, bounds);
    for (short i = 0; i < g.rows; ++i)
        for (short j = 0; j < g.columns; ++j) {
            LONG at[2] = {rowLower + i, columnLower + j};
            const double value = g.values.at(i * g.columns + j);
            if (type == VT_R8) {
                throwIfFailed(SafeArrayPutElement(array, at, const_cast<double*>(&value)), "SafeArrayPutElement");
            } else {
                Variant element = Variant::ofR8(value);
                throwIfFailed(SafeArrayPutElement(array, at, element.get()), "SafeArrayPutElement");
            }
        }
    Variant result;
    result->vt = VT_ARRAY | type;
    result->parray = array;
    return result;
}

// A result as record_numbers() writes a record: counts, each dimension's
// lower bound and count, the elements row by row; every element must be a
// double.
std::vector<double> arrayNumbers(const VARIANT& value) {
    EXPECT_EQ(value.vt, VT_ARRAY | VT_VARIANT);
    if (value.vt != (VT_ARRAY | VT_VARIANT)) return {};
    SAFEARRAY* array = value.parray;
    EXPECT_EQ(SafeArrayGetDim(array), 2u);
    LONG lower[2], upper[2];
    for (UINT d = 0; d < 2; ++d) {
        throwIfFailed(SafeArrayGetLBound(array, d + 1, &lower[d]), "SafeArrayGetLBound");
        throwIfFailed(SafeArrayGetUBound(array, d + 1, &upper[d]), "SafeArrayGetUBound");
    }
    const LONG rows = upper[0] - lower[0] + 1, columns = upper[1] - lower[1] + 1;
    std::vector<double> numbers{double(rows), double(columns),  double(lower[0]),
                                double(rows), double(lower[1]), double(columns)};
    for (LONG i = lower[0]; i <= upper[0]; ++i)
        for (LONG j = lower[1]; j <= upper[1]; ++j) {
            LONG at[2] = {i, j};
            Variant element;
            throwIfFailed(SafeArrayGetElement(array, at, element.get()), "SafeArrayGetElement");
            EXPECT_EQ(element.type(), VT_R8);
            numbers.push_back(element->dblVal);
        }
    return numbers;
}

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// An outcome both classes are compared by: the status, error texts and numbers.
struct Outcome {
    HRESULT status = E_FAIL;
    std::wstring source;
    std::wstring description;
    std::vector<double> numbers;
};

std::wstring textOf(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

Outcome recordOutcome(HRESULT status, const std::vector<double>& numbers) {
    Outcome outcome;
    outcome.status = status;
    if (FAILED(status)) {
        ComPtr<IErrorInfo> info;
        if (GetErrorInfo(0, &info) == S_OK) {
            Bstr source, description;
            throwIfFailed(info->GetSource(source.out()), "IErrorInfo::GetSource");
            throwIfFailed(info->GetDescription(description.out()), "IErrorInfo::GetDescription");
            outcome.source = textOf(source.get());
            outcome.description = textOf(description.get());
        }
    } else {
        outcome.numbers = numbers;
    }
    return outcome;
}

// One call of an operation: its matrices and its scalar arguments.
struct Call {
    std::wstring operation;
    std::vector<Grid> matrices;
    std::vector<short> positions;
    double multiplier = 0;
};

// The record class early-bound on the call's matrices.
Outcome callRecordClass(_clsVxNumsMatrixA* mx, const Call& call) {
    std::vector<std::unique_ptr<HostRecord>> in;
    for (const Grid& g : call.matrices) in.push_back(std::make_unique<HostRecord>(g.rows, g.columns, g.values));
    HostRecord out;
    auto a = [&](std::size_t k) { return in.at(k)->get(); };
    auto p = [&](std::size_t k) { return call.positions.at(k); };
    const std::map<std::wstring, std::function<HRESULT()>> operations = {
        {L"TransposeMatrix", [&] { return mx->TransposeMatrix(a(0), out.get()); }},
        {L"ScaleMatrix", [&] { return mx->ScaleMatrix(a(0), call.multiplier, out.get()); }},
        {L"AddMatrix", [&] { return mx->AddMatrix(a(0), a(1), out.get()); }},
        {L"SubMatrix", [&] { return mx->SubMatrix(a(0), a(1), out.get()); }},
        {L"MultiplyMatrix", [&] { return mx->MultiplyMatrix(a(0), a(1), out.get()); }},
        {L"InvertMatrix", [&] { return mx->InvertMatrix(a(0), out.get()); }},
        {L"InsertMatrix", [&] { return mx->InsertMatrix(a(0), a(1), p(0), p(1), out.get()); }},
        {L"CombineMatrix", [&] { return mx->CombineMatrix(a(0), a(1), p(0), p(1), out.get()); }},
        {L"SwapRow", [&] { return mx->SwapRow(a(0), p(0), p(1), out.get()); }},
        {L"SwapCol", [&] { return mx->SwapCol(a(0), p(0), p(1), out.get()); }},
        {L"SubMat", [&] { return mx->SubMat(a(0), p(0), p(1), out.get()); }},
    };
    if (call.operation == L"Determinant") {
        double determinant = 0;
        const HRESULT status = mx->Determinant(a(0), &determinant);
        return recordOutcome(status, {determinant});
    }
    if (call.operation == L"CreateMatrix") {
        SAFEARRAY* values = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(call.matrices[0].values.size()));
        for (LONG k = 0; k < static_cast<LONG>(call.matrices[0].values.size()); ++k) {
            Variant value = Variant::ofR8(call.matrices[0].values[k]);
            throwIfFailed(SafeArrayPutElement(values, &k, value.get()), "SafeArrayPutElement");
        }
        const HRESULT status = mx->CreateMatrix(p(0), p(1), &values, out.get());
        throwIfFailed(SafeArrayDestroy(values), "SafeArrayDestroy");
        return recordOutcome(status, recordNumbers(out.value()));
    }
    const HRESULT status = operations.at(call.operation)();
    return recordOutcome(status, SUCCEEDED(status) ? recordNumbers(out.value()) : std::vector<double>{});
}

// The array class by name, each matrix given as made by `argument`.
Outcome callArrayClass(IDispatch* arrays, const Call& call, const std::function<Variant(const Grid&)>& argument) {
    std::vector<Variant> arguments;
    if (call.operation == L"CreateMatrix") {
        for (short position : call.positions) arguments.push_back(Variant::ofI2(position));
        for (double value : call.matrices[0].values) arguments.push_back(Variant::ofR8(value));
    } else {
        for (const Grid& g : call.matrices) arguments.push_back(argument(g));
        if (call.operation == L"ScaleMatrix") arguments.push_back(Variant::ofR8(call.multiplier));
        for (short position : call.positions) arguments.push_back(Variant::ofI2(position));
    }
    CallResult result = callByName(arrays, call.operation, arguments, DISPATCH_METHOD);
    if (result.status == DISP_E_EXCEPTION) return {result.scode, result.source, result.description, {}};
    Outcome outcome;
    outcome.status = result.status;
    if (result.value.type() == VT_R8)
        outcome.numbers = {result.value->dblVal};
    else
        outcome.numbers = arrayNumbers(*result.value.get());
    return outcome;
}

// Elements with fractions, so that a change in the order of operations
// shows in the last bits.
Grid fractions(short rows, short columns, unsigned seed) {
    Grid g{rows, columns, {}};
    for (int k = 0; k < rows * columns; ++k) {
        seed = seed * 1103515245u + 12345u;
        g.values.push_back(static_cast<double>((seed >> 8) % 2001) / 97.0 - 10.0);
    }
    return g;
}

const Grid k23{2, 3, {1, 2, 3, 4, 5, 6}};
const Grid k32{3, 2, {1, 2, 3, 4, 5, 6}};
const Grid k22{2, 2, {3, 1, 2, 2}};

std::vector<Call> calls() {
    const Grid f5 = fractions(5, 5, 1), g5 = fractions(5, 5, 2), f43 = fractions(4, 3, 3), f35 = fractions(3, 5, 4);
    return {
        {L"CreateMatrix", {{0, 0, {1, 2, 3, 4}}}, {2, 3}},
        {L"CreateMatrix", {{0, 0, {}}}, {0, 5}},
        {L"CreateMatrix", {{0, 0, {1}}}, {-2, 3}},
        {L"TransposeMatrix", {f43}},
        {L"ScaleMatrix", {f5}, {}, 1.0 / 3.0},
        {L"ScaleMatrix", {{1, 1, {1e308}}}, {}, 10},
        {L"AddMatrix", {f5, g5}},
        {L"AddMatrix", {k23, k32}},
        {L"SubMatrix", {f5, g5}},
        {L"SubMatrix", {k23, k22}},
        {L"MultiplyMatrix", {f43, f35}},
        {L"MultiplyMatrix", {f5, g5}},
        {L"MultiplyMatrix", {k23, k23}},
        {L"Determinant", {f5}},
        {L"Determinant", {{3, 3, {1, -1, 3, 1, -1, 0, -1, 2, 1}}}},
        {L"Determinant", {k23}},
        {L"InvertMatrix", {f5}},
        {L"InvertMatrix", {k22}},
        {L"InvertMatrix", {{1, 1, {0}}}},
        {L"InvertMatrix", {{2, 2, {1, 2, 2, 4}}}},
        {L"InvertMatrix", {k32}},
        {L"InsertMatrix", {f5, k22}, {2, 3}},
        {L"InsertMatrix", {f5, k22}, {5, 1}},
        {L"CombineMatrix", {f5, k23}, {1, 2}},
        {L"SwapRow", {f43}, {1, 4}},
        {L"SwapRow", {f43}, {1, 5}},
        {L"SwapCol", {f43}, {3, 1}},
        {L"SubMat", {f5}, {2, 4}},
        {L"SubMat", {{1, 3, {1, 2, 3}}}, {1, 1}},
    };
}

class Arrays : public ::testing::Test {
protected:
    void SetUp() override {
        Creation created = createByProgId(kArraysProgId);
        ASSERT_EQ(created.status, S_OK);
        arrays = created.object;
        Creation records = createByProgId(L"Numoria10.clsVxNumsMatrixA");
        ASSERT_EQ(records.status, S_OK);
        ASSERT_EQ(records.object.As(&matrix), S_OK);
    }
    ComPtr<IDispatch> arrays;
    ComPtr<_clsVxNumsMatrixA> matrix;
};

std::string describe(const Call& call) {
    return narrow(call.operation) + " of " + std::to_string(call.matrices.size());
}

TEST_F(Arrays, EveryOperationMatchesTheRecordClassBitForBitInEveryArgumentForm) {
    // Each form of a matrix argument the array class takes.
    const std::map<std::string, std::function<Variant(const Grid&)>> forms = {
        {"VARIANT doubles from 1", [](const Grid& g) { return arrayOf(g); }},
        {"doubles from 0 and -3", [](const Grid& g) { return arrayOf(g, VT_R8, 0, -3); }},
        {"VARIANT doubles from 5 and 0", [](const Grid& g) { return arrayOf(g, VT_VARIANT, 5, 0); }},
        {"an object's Value",
         [](const Grid& g) {
             ComPtr<IDispatch> range = makePropertyObject({{L"Value", arrayOf(g)}});
             return Variant::ofObject(range.Get());
         }},
    };
    std::vector<Variant> kept; // the storage by-reference arguments point at
    kept.reserve(200);
    for (const Call& call : calls()) {
        const Outcome expected = callRecordClass(matrix.Get(), call);
        for (const auto& [name, form] : forms) {
            const Outcome actual = callArrayClass(arrays.Get(), call, form);
            EXPECT_EQ(actual.status, expected.status) << describe(call) << ", " << name;
            EXPECT_EQ(actual.source, expected.source) << describe(call) << ", " << name;
            EXPECT_EQ(actual.description, expected.description) << describe(call) << ", " << name;
            EXPECT_TRUE(sameBits(actual.numbers, expected.numbers)) << describe(call) << ", " << name;
        }
        // By reference: a VARIANT that refers to the array.
        const Outcome byReference = callArrayClass(arrays.Get(), call, [&](const Grid& g) {
            kept.push_back(arrayOf(g, VT_R8));
            return Variant::ofRef(VT_VARIANT, kept.back().get());
        });
        EXPECT_TRUE(sameBits(byReference.numbers, expected.numbers)) << describe(call) << ", by reference";
    }
}

// A 2-D array of `type` with these counts and no elements filled.
Variant blankArray(VARTYPE type, std::vector<SAFEARRAYBOUND> bounds) {
    Variant value;
    value->parray = SafeArrayCreate(type, static_cast<UINT>(bounds.size()), bounds.data());
    value->vt = VT_ARRAY | type;
    return value;
}

// An array descriptor that claims these counts and holds no data at all.
Variant descriptorOnly(ULONG rows, ULONG columns) {
    SAFEARRAY* array = nullptr;
    throwIfFailed(SafeArrayAllocDescriptorEx(VT_R8, 2, &array), "SafeArrayAllocDescriptorEx");
    array->cbElements = sizeof(double);
    array->rgsabound[1] = {rows, 1};
    array->rgsabound[0] = {columns, 1};
    Variant value;
    value->vt = VT_ARRAY | VT_R8;
    value->parray = array;
    return value;
}

TEST_F(Arrays, MalformedArgumentsRaiseErrorsAndNeverCrash) {
    ComPtr<IDispatch> holder = makePropertyObject({{L"Value", Variant::ofR8(1)}});
    Variant nullValue;
    nullValue->vt = VT_NULL;
    Variant objects = blankArray(VT_DISPATCH, {{2, 0}, {2, 0}});
    Variant objectElement = blankArray(VT_VARIANT, {{1, 0}, {1, 0}});
    {
        LONG at[2] = {0, 0};
        Variant element = Variant::ofObject(holder.Get());
        ASSERT_EQ(SafeArrayPutElement(objectElement->parray, at, element.get()), S_OK) << "storing the object element";
    }
    Variant text = blankArray(VT_VARIANT, {{1, 0}, {1, 0}});
    {
        LONG at[2] = {0, 0};
        Variant element = Variant::ofText(L"two");
        ASSERT_EQ(SafeArrayPutElement(text->parray, at, element.get()), S_OK) << "storing the text element";
    }
    struct Case {
        const char* label;
        Variant argument;
        long number;
        const wchar_t* description;
    };
    Case cases[] = {
        {"1-D", blankArray(VT_VARIANT, {{3, 0}}), 13, L"Type mismatch"},
        {"3-D", blankArray(VT_VARIANT, {{2, 0}, {2, 0}, {2, 0}}), 13, L"Type mismatch"},
        {"array of objects", std::move(objects), 13, L"Type mismatch"},
        {"object element", std::move(objectElement), 13, L"Type mismatch"},
        {"array of longs", blankArray(VT_I4, {{2, 0}, {2, 0}}), 13, L"Type mismatch"},
        {"text that is no number", std::move(text), 13, L"Type mismatch"},
        {"Null", std::move(nullValue), 94, L"Invalid use of Null"},
        {"Empty", Variant(), 13, L"Type mismatch"},
        {"a number", Variant::ofR8(4), 13, L"Type mismatch"},
        {"an object whose Value is a number", Variant::ofObject(holder.Get()), 13, L"Type mismatch"},
        {"no rows", blankArray(VT_VARIANT, {{0, 1}, {2, 1}}), 5, L"The array has no elements"},
        {"32768 rows", descriptorOnly(32768, 1), 6, L"The array has more than 32767 rows or columns"},
        {"4 billion columns", descriptorOnly(1, 0xFFFFFFFFu), 6, L"The array has more than 32767 rows or columns"},
        {"counts without data", descriptorOnly(3, 3), 13, L"Type mismatch"},
    };
    // Each argument by reference, so the call sees the host's VARIANT itself.
    for (Case& c : cases) {
        for (const wchar_t* operation : {L"Determinant", L"TransposeMatrix"}) {
            CallResult result =
                callByName(arrays.Get(), operation, {Variant::ofRef(VT_VARIANT, c.argument.get())}, DISPATCH_METHOD);
            EXPECT_EQ(result.status, DISP_E_EXCEPTION) << c.label;
            EXPECT_EQ(result.errorNumber(), c.number) << c.label;
            EXPECT_EQ(result.source, L"Numoria10") << c.label;
            EXPECT_EQ(result.description, c.description) << c.label;
        }
    }
    EXPECT_EQ(callByName(arrays.Get(), L"Determinant", {arrayOf(k22)}).status, S_OK);
}

TEST_F(Arrays, TheMemberTableAndTheVirtualTableAgreeWithTheTypeLibrary) {
    // Every member of the embedded description answers its name with its identifier.
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(arrays->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
    const TypeAttr attributes(info.Get());
    ASSERT_TRUE(attributes);
    int members = 0;
    for (UINT k = 0; k < attributes->cFuncs; ++k) {
        const FuncDesc function(info.Get(), k);
        if (function->memid < 0x60030000) continue; // IDispatch's own
        ++members;
        EXPECT_EQ(dispidOf(arrays.Get(), nameOf(info.Get(), function->memid)), function->memid);
    }
    EXPECT_EQ(members, 13);

    ComPtr<_clsVxNumsArraysA> early;
    ASSERT_EQ(arrays.As(&early), S_OK);
    Variant input = arrayOf(k22, VT_R8, 0, 0);
    Variant inverse;
    ASSERT_EQ(early->InvertMatrix(*input.get(), inverse.out()), S_OK);
    CallResult late = callByName(arrays.Get(), L"InvertMatrix", {input});
    EXPECT_TRUE(sameBits(arrayNumbers(*inverse.get()), arrayNumbers(*late.value.get())));
    double determinant = 0;
    EXPECT_EQ(early->Determinant(*arrayOf(k23).get(), &determinant), automationError(1000));
    ComPtr<IErrorInfo> error;
    ASSERT_EQ(GetErrorInfo(0, &error), S_OK);
    Bstr source;
    ASSERT_EQ(error->GetSource(source.out()), S_OK) << "reading the error's source";
    EXPECT_EQ(textOf(source.get()), L"ZizivaDav - Determinant");
}

std::wstring keyText(const std::wstring& path) {
    wchar_t value[512] = {};
    LONG size = sizeof(value);
    return RegQueryValueW(HKEY_CLASSES_ROOT, path.c_str(), value, &size) == ERROR_SUCCESS ? value : L"<missing>";
}

bool keyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

TEST(ArraysRegistration, RegistersAsAnAutomationAddInAndRemovesEveryKey) {
    wchar_t text[40] = {};
    StringFromGUID2(__uuidof(clsVxNumsArraysA), text, 40);
    const std::wstring classKey = std::wstring(L"CLSID\\") + text;
    const std::wstring path = distFile(L"numori10arrays.dll");
    HMODULE dll = LoadLibraryW(path.c_str());
    ASSERT_NE(dll, nullptr);
    using Export = HRESULT(STDAPICALLTYPE*)();
    auto registerServer = reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    auto unregisterServer =
        reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(dll, "DllUnregisterServer")));
    ASSERT_TRUE(registerServer && unregisterServer);
    ASSERT_EQ(registerServer(), S_OK);
    const std::map<std::wstring, std::wstring> expected = {
        {classKey, kArraysProgId},
        {classKey + L"\\InprocServer32", path},
        {classKey + L"\\ProgID", kArraysProgId},
        {std::wstring(kArraysProgId) + L"\\CLSID", text},
        {classKey + L"\\Programmable", L""},
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(keyText(key), value) << narrow(key);
    ASSERT_EQ(unregisterServer(), S_OK);
    for (const auto& [key, value] : expected) EXPECT_FALSE(keyExists(key)) << narrow(key);
    StringFromGUID2(LIBID_Numoria10Arrays, text, 40);
    EXPECT_FALSE(keyExists(std::wstring(L"TypeLib\\") + text));
    // numori10.dll's registration is untouched, and the prefix is left registered.
    EXPECT_TRUE(keyExists(L"Numoria10.clsVxNumsMatrixA\\CLSID"));
    EXPECT_EQ(registerServer(), S_OK);
    FreeLibrary(dll);
}

} // namespace
