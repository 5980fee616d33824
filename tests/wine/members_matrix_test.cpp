// clsVxNumsMatrixA from a client: every member early-bound (virtual table)
// and late-bound (by name, records as VT_RECORD through the platform's
// record description), the variable argument list of CreateMatrix, errors
// with their status, error information and exception information, and the
// host's copying and clearing of a record result.
#include "support/late_bound.h"
#include "support/status_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "numori10.h"

using namespace wine_tests;

namespace {

constexpr GUID kMatrixRecord = {0x624943a9, 0x50c8, 0x49dd, {0xbc, 0xa0, 0xc6, 0x35, 0x86, 0x76, 0x6c, 0x14}};

// A record as the tests write and read it: counts, array bounds (or no
// array) and the elements row by row.
struct Grid {
    short m = 0;
    short n = 0;
    bool present = true;
    LONG rowLower = 1;
    ULONG rows = 0;
    LONG columnLower = 1;
    ULONG columns = 0;
    std::vector<double> rowMajor;

    bool operator==(const Grid&) const = default;
};

Grid grid(short m, short n, std::vector<double> values) {
    return Grid{m, n, true, 1, static_cast<ULONG>(m), 1, static_cast<ULONG>(n), std::move(values)};
}

Grid absent(short m, short n) { return Grid{m, n, false, 0, 0, 0, 0, {}}; }

std::ostream& operator<<(std::ostream& out, const Grid& g) {
    out << g.m << "x" << g.n;
    if (!g.present) return out << " (no array)";
    out << " (" << g.rowLower << "+" << g.rows << ", " << g.columnLower << "+" << g.columns << ") [";
    for (double v : g.rowMajor) out << v << " ";
    return out << "]";
}

// A record the host owns.
class HostMatrix {
public:
    explicit HostMatrix(const Grid& g) {
        record_.m = g.m;
        record_.n = g.n;
        record_.Element = nullptr;
        if (!g.present) return;
        SAFEARRAYBOUND bounds[2] = {{g.rows, g.rowLower}, {g.columns, g.columnLower}};
        record_.Element = SafeArrayCreate(VT_R8, 2, bounds);
        for (ULONG i = 0; i < g.rows; ++i)
            for (ULONG j = 0; j < g.columns; ++j) {
                LONG at[2] = {g.rowLower + static_cast<LONG>(i), g.columnLower + static_cast<LONG>(j)};
                double value = g.rowMajor.at(i * g.columns + j);
                throwIfFailed(SafeArrayPutElement(record_.Element, at, &value), "SafeArrayPutElement");
            }
    }
    HostMatrix(const HostMatrix&) = delete;
    HostMatrix& operator=(const HostMatrix&) = delete;
    ~HostMatrix() { clear(); }

    Matrix* get() { return &record_; }
    void clear() {
        if (record_.Element) SafeArrayDestroy(record_.Element);
        record_.Element = nullptr;
    }

private:
    Matrix record_{};
};

Grid read(const Matrix& record) {
    Grid g;
    g.m = record.m;
    g.n = record.n;
    g.present = record.Element != nullptr;
    if (!g.present) return absent(record.m, record.n);
    EXPECT_EQ(SafeArrayGetDim(record.Element), 2u);
    LONG upper = 0;
    throwIfFailed(SafeArrayGetLBound(record.Element, 1, &g.rowLower), "SafeArrayGetLBound");
    throwIfFailed(SafeArrayGetUBound(record.Element, 1, &upper), "SafeArrayGetUBound");
    g.rows = static_cast<ULONG>(upper - g.rowLower + 1);
    throwIfFailed(SafeArrayGetLBound(record.Element, 2, &g.columnLower), "SafeArrayGetLBound");
    throwIfFailed(SafeArrayGetUBound(record.Element, 2, &upper), "SafeArrayGetUBound");
    g.columns = static_cast<ULONG>(upper - g.columnLower + 1);
    for (ULONG i = 0; i < g.rows; ++i)
        for (ULONG j = 0; j < g.columns; ++j) {
            LONG at[2] = {g.rowLower + static_cast<LONG>(i), g.columnLower + static_cast<LONG>(j)};
            double value = 0;
            throwIfFailed(SafeArrayGetElement(record.Element, at, &value), "SafeArrayGetElement");
            g.rowMajor.push_back(value);
        }
    return g;
}

ComPtr<IRecordInfo> platformRecordInfo() {
    ComPtr<IRecordInfo> info;
    EXPECT_EQ(GetRecordInfoFromGuids(LIBID_Numoria10, 1, 0, 0, kMatrixRecord, &info), S_OK);
    return info;
}

using Argument = std::variant<const Grid*, short, double>;

// What a call hands back: its status, the automation error number and texts
// when it failed, and its record or number when it succeeded.
struct Outcome {
    HRESULT status = E_FAIL;
    long errorNumber = 0;
    std::wstring source;
    std::wstring description;
    std::optional<Grid> matrix;
    std::optional<double> number;
};

long numberOf(HRESULT status) { return HRESULT_FACILITY(status) == FACILITY_CONTROL ? HRESULT_CODE(status) : status; }

// The virtual-table form of each member, by name.
using EarlyForm = std::function<HRESULT(_clsVxNumsMatrixA*, std::vector<HostMatrix*>&, const std::vector<Argument>&,
                                        Matrix*, double*)>;

short i2(const Argument& a) { return std::get<short>(a); }

const std::map<std::wstring, EarlyForm>& earlyForms() {
    static const std::map<std::wstring, EarlyForm> forms = {
        {L"TransposeMatrix",
         [](auto* o, auto& r, auto&, Matrix* out, double*) { return o->TransposeMatrix(r[0]->get(), out); }},
        {L"ScaleMatrix", [](auto* o, auto& r, auto& a, Matrix* out,
                            double*) { return o->ScaleMatrix(r[0]->get(), std::get<double>(a[1]), out); }},
        {L"AddMatrix",
         [](auto* o, auto& r, auto&, Matrix* out, double*) { return o->AddMatrix(r[0]->get(), r[1]->get(), out); }},
        {L"SubMatrix",
         [](auto* o, auto& r, auto&, Matrix* out, double*) { return o->SubMatrix(r[0]->get(), r[1]->get(), out); }},
        {L"MultiplyMatrix", [](auto* o, auto& r, auto&, Matrix* out,
                               double*) { return o->MultiplyMatrix(r[0]->get(), r[1]->get(), out); }},
        {L"Determinant",
         [](auto* o, auto& r, auto&, Matrix*, double* out) { return o->Determinant(r[0]->get(), out); }},
        {L"InvertMatrix",
         [](auto* o, auto& r, auto&, Matrix* out, double*) { return o->InvertMatrix(r[0]->get(), out); }},
        {L"InsertMatrix", [](auto* o, auto& r, auto& a, Matrix* out,
                             double*) { return o->InsertMatrix(r[0]->get(), r[1]->get(), i2(a[2]), i2(a[3]), out); }},
        {L"CombineMatrix", [](auto* o, auto& r, auto& a, Matrix* out,
                              double*) { return o->CombineMatrix(r[0]->get(), r[1]->get(), i2(a[2]), i2(a[3]), out); }},
        {L"SwapRow", [](auto* o, auto& r, auto& a, Matrix* out,
                        double*) { return o->SwapRow(r[0]->get(), i2(a[1]), i2(a[2]), out); }},
        {L"SwapCol", [](auto* o, auto& r, auto& a, Matrix* out,
                        double*) { return o->SwapCol(r[0]->get(), i2(a[1]), i2(a[2]), out); }},
        {L"SubMat", [](auto* o, auto& r, auto& a, Matrix* out,
                       double*) { return o->SubMat(r[0]->get(), i2(a[1]), i2(a[2]), out); }},
        {L"PrintMatrix", [](auto* o, auto& r, auto&, Matrix*, double*) { return o->PrintMatrix(r[0]->get()); }},
    };
    return forms;
}

class MatrixClient {
public:
    MatrixClient() {
        Creation created = createByProgId(L"Numoria10.clsVxNumsMatrixA");
        EXPECT_EQ(created.status, S_OK);
        dispatch_ = created.object;
        if (dispatch_) {
            EXPECT_EQ(dispatch_.As(&early_), S_OK);
        }
        info_ = platformRecordInfo();
    }
    bool ready() const { return early_ && info_; }
    _clsVxNumsMatrixA* early() const { return early_.Get(); }
    IDispatch* late() const { return dispatch_.Get(); }
    IRecordInfo* info() const { return info_.Get(); }

    Outcome callEarly(const std::wstring& name, const std::vector<Argument>& arguments) const {
        std::vector<std::unique_ptr<HostMatrix>> owned;
        std::vector<HostMatrix*> records;
        for (const Argument& a : arguments)
            if (auto* g = std::get_if<const Grid*>(&a)) {
                owned.push_back(std::make_unique<HostMatrix>(**g));
                records.push_back(owned.back().get());
            }
        Matrix result{};
        double number = 0;
        Outcome outcome;
        throwIfFailed(SetErrorInfo(0, nullptr), "SetErrorInfo");
        outcome.status = earlyForms().at(name)(early_.Get(), records, arguments, &result, &number);
        if (SUCCEEDED(outcome.status)) {
            if (name == L"Determinant")
                outcome.number = number;
            else if (name != L"PrintMatrix")
                outcome.matrix = read(result);
            if (result.Element) throwIfFailed(SafeArrayDestroy(result.Element), "SafeArrayDestroy");
        } else {
            outcome.errorNumber = numberOf(outcome.status);
            ComPtr<IErrorInfo> error;
            if (GetErrorInfo(0, &error) == S_OK) {
                Bstr source, description;
                throwIfFailed(error->GetSource(source.out()), "IErrorInfo::GetSource");
                throwIfFailed(error->GetDescription(description.out()), "IErrorInfo::GetDescription");
                GUID guid{};
                throwIfFailed(error->GetGUID(&guid), "IErrorInfo::GetGUID");
                EXPECT_EQ(guid, __uuidof(_clsVxNumsMatrixA));
                outcome.source = source.text();
                outcome.description = description.text();
            }
        }
        return outcome;
    }

    // By name, records passed by reference as VT_RECORD | VT_BYREF.
    Outcome callLate(const std::wstring& name, const std::vector<Argument>& arguments) const {
        std::vector<std::unique_ptr<HostMatrix>> owned;
        std::vector<Variant> values;
        for (const Argument& a : arguments) {
            Variant v;
            if (auto* g = std::get_if<const Grid*>(&a)) {
                owned.push_back(std::make_unique<HostMatrix>(**g));
                v.get()->vt = VT_RECORD | VT_BYREF;
                v.get()->pvRecord = owned.back()->get();
                v.get()->pRecInfo = info_.Get();
                info_->AddRef();
            } else if (auto* s = std::get_if<short>(&a)) {
                v = Variant::ofI2(*s);
            } else {
                v = Variant::ofR8(std::get<double>(a));
            }
            values.push_back(v);
        }
        return outcomeOf(callByName(dispatch_.Get(), name, values, DISPATCH_METHOD));
    }

    static Outcome outcomeOf(const CallResult& call) {
        Outcome outcome;
        outcome.status = call.status == DISP_E_EXCEPTION ? static_cast<HRESULT>(call.scode) : call.status;
        if (FAILED(outcome.status)) {
            outcome.errorNumber = numberOf(outcome.status);
            outcome.source = call.source;
            outcome.description = call.description;
            return outcome;
        }
        const VARIANT* value = call.value.get();
        if (value->vt == VT_RECORD) {
            EXPECT_NE(value->pRecInfo, nullptr);
            outcome.matrix = read(*static_cast<const Matrix*>(value->pvRecord));
        } else if (value->vt == VT_R8) {
            outcome.number = value->dblVal;
        } else {
            EXPECT_EQ(value->vt, VT_EMPTY);
        }
        return outcome;
    }

private:
    ComPtr<IDispatch> dispatch_;
    ComPtr<_clsVxNumsMatrixA> early_;
    ComPtr<IRecordInfo> info_;
};

const Grid kA = grid(2, 3, {1, 2, 3, 4, 5, 6});
const Grid kB = grid(2, 3, {6, 5, 4, 3, 2, 1});
const Grid kSquare = grid(2, 2, {2, 0, 0, 4});
const Grid kSingular = grid(2, 2, {1, 2, 2, 4});
const Grid kThree = grid(3, 3, {2, 0, 1, 1, 3, 2, 1, 1, 2});
const Grid kOne = grid(1, 1, {5});
const Grid kBlock = grid(1, 2, {10, 20});
// Bounds (0 To 2, -1 To 3), m = 2 and n = 3: the operations read rows 1-2
// and columns 1-3 through the array's own bounds.
const Grid kOffset{2, 3, true, 0, 3, -1, 5, {0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 0, 0, 4, 5, 6}};
const Grid kNoArray = absent(2, 2);
const Grid kEmpty = absent(0, 0);

struct Case {
    std::wstring member;
    std::vector<Argument> arguments;
    std::optional<Grid> matrix = std::nullopt;   // expected record result
    std::optional<double> number = std::nullopt; // expected number result
    long errorNumber = 0;                        // expected error (0: success)
    std::wstring source = L"";
    std::wstring description = L"";
};

std::vector<Case> cases() {
    return {
        {L"TransposeMatrix", {&kA}, grid(3, 2, {1, 4, 2, 5, 3, 6})},
        {L"ScaleMatrix", {&kA, 0.5}, grid(2, 3, {0.5, 1, 1.5, 2, 2.5, 3})},
        {L"ScaleMatrix",
         {&kOffset, 2.0},
         Grid{2, 3, true, 0, 3, -1, 5, {0, 0, 0, 0, 0, 0, 0, 2, 4, 6, 0, 0, 8, 10, 12}}},
        {L"TransposeMatrix", {&kOffset}, grid(3, 2, {1, 4, 2, 5, 3, 6})},
        {L"AddMatrix", {&kA, &kB}, grid(2, 3, {7, 7, 7, 7, 7, 7})},
        {L"SubMatrix", {&kA, &kB}, grid(2, 3, {-5, -3, -1, 1, 3, 5})},
        {L"MultiplyMatrix", {&kA, &kThree}, grid(2, 3, {7, 9, 11, 19, 21, 26})},
        {L"Determinant", {&kThree}, std::nullopt, 6.0},
        {L"InvertMatrix", {&kSquare}, grid(2, 2, {0.5, 0, 0, 0.25})},
        {L"InsertMatrix", {&kA, &kBlock, short{2}, short{2}}, grid(2, 3, {1, 2, 3, 4, 10, 20})},
        {L"CombineMatrix", {&kA, &kBlock, short{1}, short{1}}, grid(2, 3, {11, 22, 3, 4, 5, 6})},
        {L"SwapRow", {&kA, short{1}, short{2}}, grid(2, 3, {4, 5, 6, 1, 2, 3})},
        {L"SwapCol", {&kA, short{1}, short{3}}, grid(2, 3, {3, 2, 1, 6, 5, 4})},
        {L"SubMat", {&kThree, short{2}, short{2}}, grid(2, 2, {2, 1, 1, 2})},
        {L"PrintMatrix", {&kNoArray}},
        {L"PrintMatrix", {&kEmpty}},
        {L"AddMatrix",
         {&kA, &kSquare},
         std::nullopt,
         std::nullopt,
         1000,
         L"ZizivaDav - AddMatrix",
         L"Cannot add matrices of different dimentions!"},
        {L"Determinant",
         {&kA},
         std::nullopt,
         std::nullopt,
         1000,
         L"ZizivaDav - Determinant",
         L"Cannot calculate Determinant of non-square matrix!"},
        {L"InvertMatrix",
         {&kSingular},
         std::nullopt,
         std::nullopt,
         1000,
         L"ZizivaDav - InvertMatrix",
         L"Cannot invert matrix with Determinant = 0!"},
        {L"SubMat",
         {&kOne, short{1}, short{1}},
         std::nullopt,
         std::nullopt,
         1000,
         L"ZizivaDav - CreateMatrix",
         L"Cannot create matrix with dimention = 0!"},
        {L"TransposeMatrix", {&kNoArray}, std::nullopt, std::nullopt, 9},
        {L"ScaleMatrix", {&kA, 1e308}, std::nullopt, std::nullopt, 6},
    };
}

void expectOutcome(const Case& c, const Outcome& actual) {
    if (c.errorNumber == 0) {
        ASSERT_EQ(actual.status, S_OK) << narrow(actual.description);
        EXPECT_EQ(actual.matrix, c.matrix);
        EXPECT_EQ(actual.number, c.number);
        return;
    }
    EXPECT_EQ(actual.status, MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, c.errorNumber));
    EXPECT_EQ(actual.errorNumber, c.errorNumber);
    EXPECT_FALSE(actual.description.empty());
    if (!c.source.empty()) {
        EXPECT_EQ(actual.source, c.source);
    }
    if (!c.description.empty()) {
        EXPECT_EQ(actual.description, c.description);
    }
}

} // namespace

TEST(MembersMatrix, EveryMemberGivesTheSameOutcomeEarlyAndLateBound) {
    MatrixClient client;
    ASSERT_TRUE(client.ready());
    for (const Case& c : cases()) {
        SCOPED_TRACE(narrow(c.member));
        {
            SCOPED_TRACE("early-bound");
            expectOutcome(c, client.callEarly(c.member, c.arguments));
        }
        {
            SCOPED_TRACE("late-bound");
            expectOutcome(c, client.callLate(c.member, c.arguments));
        }
    }
}

TEST(MembersMatrix, InputRecordsAreLeftUnchanged) {
    MatrixClient client;
    ASSERT_TRUE(client.ready());
    HostMatrix input(kOffset);
    Matrix result{};
    ASSERT_EQ(client.early()->ScaleMatrix(input.get(), 3.0, &result), S_OK);
    EXPECT_EQ(read(*input.get()), kOffset);
    EXPECT_NE(result.Element, input.get()->Element);
    EXPECT_EQ(SafeArrayDestroy(result.Element), S_OK) << "destroying the result's array";
}

TEST(MembersMatrix, CreateMatrixTakesAnyNumberOfTrailingValuesByName) {
    MatrixClient client;
    ASSERT_TRUE(client.ready());
    Variant nullValue;
    nullValue.get()->vt = VT_NULL;
    Variant emptyValue;
    struct VarargCase {
        const char* label;
        short m, n;
        std::vector<Variant> values;
        std::optional<Grid> expected;
        long errorNumber;
    };
    const std::vector<VarargCase> table = {
        {"no values", 3, 2, {}, grid(3, 2, {0, 0, 0, 0, 0, 0}), 0},
        {"all values",
         2,
         3,
         {Variant::ofI2(1), Variant::ofI4(2), Variant::ofR8(3), Variant::ofI2(4), Variant::ofI2(5), Variant::ofI2(6)},
         grid(2, 3, {1, 2, 3, 4, 5, 6}),
         0},
        {"fewer values",
         2,
         3,
         {Variant::ofI2(1), Variant::ofI2(2), Variant::ofI2(3), Variant::ofI2(4)},
         grid(2, 3, {1, 2, 3, 4, 0, 0}),
         0},
        {"one value", 1, 1, {Variant::ofI2(7)}, grid(1, 1, {7}), 0},
        {"coercions",
         2,
         2,
         {Variant::ofText(L"2.5"), Variant::ofBool(true), emptyValue, Variant::ofBool(false)},
         grid(2, 2, {2.5, -1, 0, 0}),
         0},
        {"surplus value never converted",
         2,
         2,
         {Variant::ofI2(1), Variant::ofI2(2), Variant::ofI2(3), Variant::ofI2(4), Variant::ofText(L"word")},
         grid(2, 2, {1, 2, 3, 4}),
         0},
        {"text", 2, 2, {Variant::ofI2(1), Variant::ofText(L"word")}, std::nullopt, 13},
        {"null", 2, 2, {nullValue}, std::nullopt, 94},
        {"zero rows", 0, 5, {}, std::nullopt, 1000},
        {"negative rows", -2, 3, {}, std::nullopt, 9},
    };
    for (const VarargCase& c : table) {
        SCOPED_TRACE(c.label);
        std::vector<Variant> arguments = {Variant::ofI2(c.m), Variant::ofI2(c.n)};
        arguments.insert(arguments.end(), c.values.begin(), c.values.end());
        Outcome late = MatrixClient::outcomeOf(callByName(client.late(), L"CreateMatrix", arguments, DISPATCH_METHOD));

        // The same values as the virtual table takes them: one array of VARIANT.
        SAFEARRAY* packed = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(c.values.size()));
        for (LONG k = 0; k < static_cast<LONG>(c.values.size()); ++k)
            ASSERT_EQ(
                SafeArrayPutElement(packed, &k, const_cast<VARIANT*>(c.values[static_cast<std::size_t>(k)].get())),
                S_OK)
                << "packing value " << k;
        Matrix result{};
        const HRESULT earlyStatus = client.early()->CreateMatrix(c.m, c.n, &packed, &result);
        EXPECT_EQ(SafeArrayDestroy(packed), S_OK) << "destroying the packed values after the call";

        if (c.errorNumber == 0) {
            ASSERT_EQ(late.status, S_OK) << narrow(late.description);
            EXPECT_EQ(late.matrix, c.expected);
            ASSERT_EQ(earlyStatus, S_OK);
            EXPECT_EQ(read(result), *c.expected);
            EXPECT_EQ(SafeArrayDestroy(result.Element), S_OK) << "destroying the result's array";
        } else {
            const HRESULT expected = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, c.errorNumber);
            EXPECT_EQ(late.status, expected);
            EXPECT_EQ(earlyStatus, expected);
        }
    }
}

TEST(MembersMatrix, DispatchConventionsAreEnforced) {
    MatrixClient client;
    ASSERT_TRUE(client.ready());
    IDispatch* object = client.late();
    const DISPID scale = dispidOf(object, L"scalematrix");
    EXPECT_EQ(scale, 0x60030003);
    EXPECT_EQ(dispidOf(object, L"PRINTMATRIX"), 0x6003000e);
    EXPECT_EQ(dispidOf(object, L"NoSuchMember"), DISPID_UNKNOWN);

    HostMatrix record(kA);
    // By reference: clearing such a VARIANT leaves the host's record alone.
    auto recordArgument = [&] {
        Variant v;
        v.get()->vt = VT_RECORD | VT_BYREF;
        v.get()->pvRecord = record.get();
        v.get()->pRecInfo = client.info();
        client.info()->AddRef();
        return v;
    };
    struct ConventionCase {
        const char* label;
        DISPID dispid;
        WORD flags;
        std::vector<Variant> arguments; // in declaration order
        HRESULT status;
        UINT argumentError; // checked when status is a type error
    };
    Variant textArgument = Variant::ofText(L"two");
    Variant noRecord;
    noRecord.get()->vt = VT_RECORD | VT_BYREF;
    const std::vector<ConventionCase> table = {
        {"too few", scale, DISPATCH_METHOD, {recordArgument()}, DISP_E_BADPARAMCOUNT, 0},
        {"too many",
         scale,
         DISPATCH_METHOD,
         {recordArgument(), Variant::ofR8(1), Variant::ofR8(1)},
         DISP_E_BADPARAMCOUNT,
         0},
        {"property put", scale, DISPATCH_PROPERTYPUT, {recordArgument(), Variant::ofR8(1)}, DISP_E_MEMBERNOTFOUND, 0},
        {"unknown dispid", 0x12345, DISPATCH_METHOD, {}, DISP_E_MEMBERNOTFOUND, 0},
        {"value list without sizes",
         dispidOf(object, L"CreateMatrix"),
         DISPATCH_METHOD,
         {Variant::ofI2(1)},
         DISP_E_BADPARAMCOUNT,
         0},
        {"text multiplier", scale, DISPATCH_METHOD, {recordArgument(), textArgument}, DISP_E_TYPEMISMATCH, 0},
        {"number for record", scale, DISPATCH_METHOD, {Variant::ofI2(1), Variant::ofR8(1)}, DISP_E_TYPEMISMATCH, 1},
        {"record without description", scale, DISPATCH_METHOD, {noRecord, Variant::ofR8(1)}, DISP_E_TYPEMISMATCH, 1},
        {"position overflow",
         dispidOf(object, L"SwapRow"),
         DISPATCH_METHOD,
         {recordArgument(), Variant::ofI4(70000), Variant::ofI2(1)},
         DISP_E_OVERFLOW,
         1},
    };
    for (const ConventionCase& c : table) {
        SCOPED_TRACE(c.label);
        std::vector<VARIANT> reversed;
        for (auto it = c.arguments.rbegin(); it != c.arguments.rend(); ++it) reversed.push_back(*it->get());
        DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        Variant result;
        ExcepInfo exception;
        UINT argumentError = 99;
        EXPECT_EQ(
            object->Invoke(c.dispid, IID_NULL, 0, c.flags, &parameters, result.get(), exception.out(), &argumentError),
            c.status);
        if (c.status == DISP_E_TYPEMISMATCH || c.status == DISP_E_OVERFLOW) {
            EXPECT_EQ(argumentError, c.argumentError);
        }
    }

    // A member's own error comes back as exception information.
    {
        HostMatrix other(kSquare);
        VARIANT reversed[2] = {};
        for (int k = 0; k < 2; ++k) {
            reversed[k].vt = VT_RECORD | VT_BYREF;
            reversed[k].pRecInfo = client.info();
        }
        reversed[1].pvRecord = record.get();
        reversed[0].pvRecord = other.get();
        DISPPARAMS parameters{reversed, nullptr, 2, 0};
        Variant result;
        ExcepInfo exception;
        EXPECT_EQ(object->Invoke(dispidOf(object, L"AddMatrix"), IID_NULL, 0, DISPATCH_METHOD, &parameters,
                                 result.get(), exception.out(), nullptr),
                  DISP_E_EXCEPTION);
        EXPECT_EQ(exception.value().scode, automationError(1000));
        EXPECT_EQ(exception.value().wCode, 0);
        EXPECT_EQ(std::wstring(exception.value().bstrSource), L"ZizivaDav - AddMatrix");
        EXPECT_EQ(std::wstring(exception.value().bstrDescription), L"Cannot add matrices of different dimentions!");
        EXPECT_EQ(result.type(), VT_EMPTY);
    }

    // Named arguments name their parameter by its position, in any order;
    // the variable argument list of CreateMatrix takes no names.
    std::vector<Variant> named = {Variant::ofR8(2), recordArgument()};
    std::vector<VARIANT> raw = {*named[0].get(), *named[1].get()};
    DISPID names[] = {1, 0};
    DISPPARAMS parameters{raw.data(), names, 2, 2};
    Variant result;
    ASSERT_EQ(object->Invoke(scale, IID_NULL, 0, DISPATCH_METHOD, &parameters, result.get(), nullptr, nullptr), S_OK);
    ASSERT_EQ(result.type(), VT_RECORD);
    EXPECT_EQ(read(*static_cast<const Matrix*>(result.get()->pvRecord)), grid(2, 3, {2, 4, 6, 8, 10, 12}));
    std::vector<Variant> sizes = {Variant::ofI2(2), Variant::ofI2(2)};
    std::vector<VARIANT> rawSizes = {*sizes[0].get(), *sizes[1].get()};
    DISPID sizeNames[] = {1, 0};
    DISPPARAMS varargParameters{rawSizes.data(), sizeNames, 2, 2};
    EXPECT_EQ(object->Invoke(dispidOf(object, L"CreateMatrix"), IID_NULL, 0, DISPATCH_METHOD, &varargParameters,
                             result.out(), nullptr, nullptr),
              DISP_E_NONAMEDARGS);
}

TEST(MembersMatrix, RecordsArePassedByValueByReferenceAndThroughVariantReferences) {
    MatrixClient client;
    ASSERT_TRUE(client.ready());
    HostMatrix record(kA);
    // Raw VARIANTs that are never cleared: the host owns the record.
    VARIANT byValue{};
    byValue.vt = VT_RECORD;
    byValue.pvRecord = record.get();
    byValue.pRecInfo = client.info();
    VARIANT byReference = byValue;
    byReference.vt = VT_RECORD | VT_BYREF;
    VARIANT throughVariant{};
    throughVariant.vt = VT_BYREF | VT_VARIANT;
    throughVariant.pvarVal = &byValue;
    VARIANT multiplier{};
    multiplier.vt = VT_BSTR;
    Bstr two(L"2");
    multiplier.bstrVal = two.get();
    VARIANT multiplierReference{};
    multiplierReference.vt = VT_BYREF | VT_VARIANT;
    multiplierReference.pvarVal = &multiplier;
    const DISPID scale = dispidOf(client.late(), L"ScaleMatrix");
    for (VARIANT* recordArgument : {&byValue, &byReference, &throughVariant}) {
        VARIANT reversed[2] = {multiplierReference, *recordArgument};
        DISPPARAMS parameters{reversed, nullptr, 2, 0};
        VARIANT result{};
        ASSERT_EQ(client.late()->Invoke(scale, IID_NULL, 0, DISPATCH_METHOD, &parameters, &result, nullptr, nullptr),
                  S_OK);
        ASSERT_EQ(result.vt, VT_RECORD);
        EXPECT_EQ(read(*static_cast<const Matrix*>(result.pvRecord)), grid(2, 3, {2, 4, 6, 8, 10, 12}));
        // The result's own description clears it.
        EXPECT_EQ(VariantClear(&result), S_OK);
    }
    EXPECT_EQ(read(*record.get()), kA);
}

TEST(MembersMatrix, MalformedElementArraysAreRefusedWithoutCrashing) {
    MatrixClient client;
    ASSERT_TRUE(client.ready());
    struct MalformedCase {
        const char* label;
        SAFEARRAY* array;
    };
    SAFEARRAYBOUND one[1] = {{4, 1}};
    SAFEARRAYBOUND two[2] = {{2, 1}, {2, 1}};
    const MalformedCase table[] = {
        {"one dimension", SafeArrayCreate(VT_R8, 1, one)},
        {"text elements", SafeArrayCreate(VT_BSTR, 2, two)},
        {"single-precision elements", SafeArrayCreate(VT_R4, 2, two)},
    };
    for (const MalformedCase& c : table) {
        SCOPED_TRACE(c.label);
        Matrix input{2, 2, c.array};
        Matrix result{};
        EXPECT_TRUE(FAILED(client.early()->TransposeMatrix(&input, &result)));
        EXPECT_EQ(result.Element, nullptr);
        EXPECT_EQ(SafeArrayDestroy(c.array), S_OK) << "the refused array is left unlocked and can be destroyed";
    }
    Matrix result{};
    EXPECT_EQ(client.early()->TransposeMatrix(nullptr, &result), E_POINTER);
    HostMatrix input(kA);
    EXPECT_EQ(client.early()->TransposeMatrix(input.get(), nullptr), E_POINTER);
}

TEST(MembersMatrix, HostCopiesAndClearsRecordResults) {
    MatrixClient client;
    ASSERT_TRUE(client.ready());
    CallResult call = callByName(
        client.late(), L"CreateMatrix",
        {Variant::ofI2(2), Variant::ofI2(2), Variant::ofI2(1), Variant::ofI2(2), Variant::ofI2(3), Variant::ofI2(4)},
        DISPATCH_METHOD);
    ASSERT_EQ(call.status, S_OK);
    ASSERT_EQ(call.value.type(), VT_RECORD);
    for (int round = 0; round < 200; ++round) {
        Variant copy;
        ASSERT_EQ(VariantCopy(copy.get(), const_cast<VARIANT*>(call.value.get())), S_OK);
        ASSERT_EQ(copy.type(), VT_RECORD);
        const auto* original = static_cast<const Matrix*>(call.value.get()->pvRecord);
        const auto* copied = static_cast<const Matrix*>(copy.get()->pvRecord);
        ASSERT_NE(copied->Element, original->Element) << "a copy owns its own array";
        EXPECT_EQ(read(*copied), grid(2, 2, {1, 2, 3, 4}));
    }
    // The record description handed out describes the Matrix record.
    IRecordInfo* info = call.value.get()->pRecInfo;
    GUID guid{};
    ASSERT_EQ(info->GetGuid(&guid), S_OK);
    EXPECT_EQ(guid, kMatrixRecord);
    EXPECT_TRUE(info->IsMatchingType(client.info()));
    ULONG size = 0;
    EXPECT_EQ(info->GetSize(&size), S_OK);
    EXPECT_EQ(size, sizeof(Matrix));
    Variant field;
    ASSERT_EQ(info->GetField(call.value.get()->pvRecord, L"n", field.get()), S_OK);
    EXPECT_EQ(field.number(), 2.0);
}
