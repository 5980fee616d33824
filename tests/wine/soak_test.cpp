// A million mixed calls into numori10.dll, then proof that nothing is left
// behind: every object gone (DllCanUnloadNow), every string and array freed
// (no block of the task allocator outstanding), and every call's outcome the
// same as the first time it was made.
#include "support/allocation_spy.h"
#include "support/host_record.h"
#include "support/late_bound.h"
#include "support/library_classes.h"
#include "support/loaded_server.h"
#include "support/status_check.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cwchar>
#include <functional>
#include <map>
#include <optional>

#include "numori10.h"

using namespace wine_tests;

namespace {

constexpr GUID kMatrixRecord = {0x624943a9, 0x50c8, 0x49dd, {0xbc, 0xa0, 0xc6, 0x35, 0x86, 0x76, 0x6c, 0x14}};

// What a call gave back, compared between repetitions of the same call.
struct Outcome {
    HRESULT status = S_OK;
    std::wstring text;
    std::vector<double> numbers;
    bool operator==(const Outcome&) const = default;
};

std::string describe(const Outcome& outcome) {
    std::string out = "status " + std::to_string(outcome.status);
    out += ", \"" + narrow(outcome.text);
    out += "\",";
    for (double number : outcome.numbers) {
        out += ' ';
        out += std::to_string(number);
    }
    return out;
}

// The source and description of the calling thread's error information,
// taken (and so cleared) from the thread.
std::wstring takeErrorInfo() {
    ComPtr<IErrorInfo> error;
    if (GetErrorInfo(0, &error) != S_OK) return L"(no error information)";
    Bstr source, description;
    throwIfFailed(error->GetSource(source.out()), "IErrorInfo::GetSource");
    throwIfFailed(error->GetDescription(description.out()), "IErrorInfo::GetDescription");
    return source.text() + L": " + description.text();
}

// Frees a record result through its own description. Wine 8's VariantClear
// only clears a record (RecordClear) and leaves its storage allocated;
// RecordDestroy clears and frees it on any platform.
void destroyRecordResult(VARIANT* value) {
    if (value->vt != VT_RECORD) return;
    HRESULT destroyed = S_OK;
    if (value->pRecInfo) {
        destroyed = value->pRecInfo->RecordDestroy(value->pvRecord);
        value->pRecInfo->Release();
    }
    value->vt = VT_EMPTY;
    throwIfFailed(destroyed, "IRecordInfo::RecordDestroy");
}

Outcome ofCall(CallResult&& call) {
    Outcome outcome{call.status, call.source + L": " + call.description, {static_cast<double>(call.scode)}};
    VARIANT* value = call.value.get();
    if (value->vt == VT_RECORD && value->pvRecord) {
        outcome.numbers = recordNumbers(*static_cast<const Matrix*>(value->pvRecord));
    } else if (value->vt != VT_EMPTY) {
        outcome.text += L" = " + call.value.text();
    }
    destroyRecordResult(value);
    return outcome;
}

Outcome ofRecord(HRESULT status, HostRecord& result) {
    if (FAILED(status)) return {status, takeErrorInfo(), {}};
    return {status, {}, recordNumbers(result.value())};
}

Variant recordReference(HostRecord& record, IRecordInfo* info) {
    Variant argument;
    argument.get()->vt = VT_RECORD | VT_BYREF;
    argument.get()->pvRecord = record.get();
    argument.get()->pRecInfo = info; // by reference: clearing does not release it
    return argument;
}

// A fixed stream of pseudo-random choices, the same on every run.
class Choices {
public:
    std::uint32_t next(std::uint32_t bound) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33) % bound;
    }

private:
    std::uint64_t state_ = 0x5eed;
};

const std::array<CLSID, 6> kClassIds = {__uuidof(clsVxNumoria10A),       __uuidof(clsVxNumsGeneralA),
                                        __uuidof(clsVxNumsAdvancedA),    __uuidof(clsVxNumsMatrixA),
                                        __uuidof(clsVxNumsConversionsA), __uuidof(clsVxNumsPerComA)};
const std::array<IID, 6> kInterfaceIds = {__uuidof(_clsVxNumoria10A),       __uuidof(_clsVxNumsGeneralA),
                                          __uuidof(_clsVxNumsAdvancedA),    __uuidof(_clsVxNumsMatrixA),
                                          __uuidof(_clsVxNumsConversionsA), __uuidof(_clsVxNumsPerComA)};
enum ClassIndex : std::size_t { kMatrix = 3, kConversions = 4, kPerCom = 5 };

// Everything the calls work on: one object of each class (made when first
// needed, replaced by every creation), the host's input records and
// strings, and the server's exports for its unload answer.
class SoakWorld {
public:
    SoakWorld() : server_(distFile(L"numori10.dll")) {
        throwIfFailed(GetRecordInfoFromGuids(LIBID_Numoria10, 1, 0, 0, kMatrixRecord, &recordInfo_),
                      "GetRecordInfoFromGuids");
    }
    bool ready() const { return server_.loaded() && server_.canUnloadNow && server_.getClassObject && recordInfo_; }

    IDispatch* object(std::size_t index) {
        if (!objects_[index]) {
            const HRESULT created = CoCreateInstance(kClassIds[index], nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                                     reinterpret_cast<void**>(objects_[index].GetAddressOf()));
            ++implicitCreations_;
            throwIfFailed(created, "CoCreateInstance");
        }
        return objects_[index].Get();
    }
    template <class Interface>
    ComPtr<Interface> early(std::size_t index) {
        ComPtr<Interface> typed;
        if (IDispatch* dispatch = object(index))
            throwIfFailed(dispatch->QueryInterface(__uuidof(Interface), &typed), "QueryInterface");
        return typed;
    }

    // Puts a new object in the class's place; the one it replaces must go
    // with its last reference. The outcome holds the status, whether the
    // object answers to its default interface and the replaced object's
    // remaining references.
    Outcome replace(std::size_t index, const CLSID& clsid) {
        ComPtr<IDispatch> created;
        const HRESULT status = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                                reinterpret_cast<void**>(created.GetAddressOf()));
        ComPtr<IUnknown> typed;
        const bool answers = created && SUCCEEDED(created->QueryInterface(kInterfaceIds[index], &typed));
        typed.Reset();
        const ULONG left = objects_[index] ? objects_[index].Detach()->Release() : 0;
        objects_[index] = created;
        return {status, {}, {answers ? 1.0 : 0.0, static_cast<double>(left)}};
    }

    void releaseAll() {
        for (ComPtr<IDispatch>& object : objects_) object.Reset();
    }

    LoadedServer& server() { return server_; }
    IRecordInfo* recordInfo() { return recordInfo_.Get(); }
    std::size_t implicitCreations() const { return implicitCreations_; }

    HostRecord wide{2, 3, {1, 2, 3, 4, 5, 6}};
    HostRecord otherWide{2, 3, {6, 5, 4, 3, 2, 1}};
    HostRecord square{3, 3, {2, 0, 1, 1, 3, 2, 1, 1, 2}};
    HostRecord singular{2, 2, {1, 2, 2, 4}};
    HostRecord block{1, 2, {10, 20}};
    HostRecord absent{2, 2, {}};
    const std::array<Bstr, 4> numerals = {Bstr(L"101101"), Bstr(L"7FFF"), Bstr(L"-17"), Bstr(L"\u00fcber")};

private:
    LoadedServer server_;
    ComPtr<IRecordInfo> recordInfo_;
    std::array<ComPtr<IDispatch>, 6> objects_;
    std::size_t implicitCreations_ = 0;
};

using Run = std::function<Outcome(SoakWorld&, std::uint32_t variant)>;

struct Operation {
    const char* name;
    std::uint32_t weight; // calls in every thousand
    std::uint32_t variants;
    Run run;
};

// Every matrix member early-bound, records in and out.
Outcome matrixEarly(SoakWorld& world, std::uint32_t variant) {
    ComPtr<_clsVxNumsMatrixA> matrix = world.early<_clsVxNumsMatrixA>(kMatrix);
    if (!matrix) return {E_NOINTERFACE, L"no matrix object", {}};
    HostRecord result;
    double number = 0;
    HRESULT status = E_FAIL;
    switch (variant) {
    case 0: {
        SAFEARRAY* values = SafeArrayCreateVector(VT_VARIANT, 0, 3);
        VARIANT* items = nullptr;
        throwIfFailed(SafeArrayAccessData(values, reinterpret_cast<void**>(&items)), "SafeArrayAccessData");
        items[0].vt = VT_I4;
        items[0].lVal = 7;
        items[1].vt = VT_R8;
        items[1].dblVal = -2.5;
        items[2].vt = VT_BSTR;
        items[2].bstrVal = SysAllocString(L"4.25");
        SafeArrayUnaccessData(values);
        status = matrix->CreateMatrix(2, 2, &values, result.get());
        throwIfFailed(SafeArrayDestroy(values), "SafeArrayDestroy");
        break;
    }
    case 1: status = matrix->TransposeMatrix(world.wide.get(), result.get()); break;
    case 2: status = matrix->ScaleMatrix(world.wide.get(), 0.5, result.get()); break;
    case 3: status = matrix->AddMatrix(world.wide.get(), world.otherWide.get(), result.get()); break;
    case 4: status = matrix->SubMatrix(world.wide.get(), world.otherWide.get(), result.get()); break;
    case 5: status = matrix->MultiplyMatrix(world.wide.get(), world.square.get(), result.get()); break;
    case 6: status = matrix->Determinant(world.square.get(), &number); return {status, {}, {number}};
    case 7: status = matrix->InvertMatrix(world.square.get(), result.get()); break;
    case 8: status = matrix->InsertMatrix(world.wide.get(), world.block.get(), 2, 2, result.get()); break;
    case 9: status = matrix->CombineMatrix(world.wide.get(), world.block.get(), 1, 1, result.get()); break;
    case 10: status = matrix->SwapRow(world.square.get(), 1, 3, result.get()); break;
    case 11: status = matrix->SwapCol(world.wide.get(), 1, 3, result.get()); break;
    case 12: status = matrix->SubMat(world.square.get(), 2, 2, result.get()); break;
    default: status = matrix->PrintMatrix(world.absent.get()); break;
    }
    return ofRecord(status, result);
}

// Matrix members by name: records by reference in, VT_RECORD results out.
Outcome matrixLate(SoakWorld& world, std::uint32_t variant) {
    IDispatch* matrix = world.object(kMatrix);
    IRecordInfo* info = world.recordInfo();
    switch (variant) {
    case 0:
        return ofCall(callByName(matrix, L"CreateMatrix",
                                 {Variant::ofI2(2), Variant::ofI2(3), Variant::ofI4(1), Variant::ofR8(2.5),
                                  Variant::ofText(L"3"), Variant::ofBool(true)},
                                 DISPATCH_METHOD));
    case 1: return ofCall(callByName(matrix, L"TransposeMatrix", {recordReference(world.wide, info)}, DISPATCH_METHOD));
    case 2:
        return ofCall(callByName(matrix, L"MultiplyMatrix",
                                 {recordReference(world.wide, info), recordReference(world.square, info)},
                                 DISPATCH_METHOD));
    case 3: return ofCall(callByName(matrix, L"Determinant", {recordReference(world.square, info)}, DISPATCH_METHOD));
    case 4:
        return ofCall(callByName(matrix, L"ScaleMatrix", {recordReference(world.square, info), Variant::ofText(L"2")},
                                 DISPATCH_METHOD));
    default: return ofCall(callByName(matrix, L"InvertMatrix", {recordReference(world.square, info)}, DISPATCH_METHOD));
    }
}

// Calls that fail: the status, and the error information the thread holds
// afterwards (taken, which clears it) or the dispatch exception.
Outcome failingCall(SoakWorld& world, std::uint32_t variant) {
    ComPtr<_clsVxNumsMatrixA> matrix = world.early<_clsVxNumsMatrixA>(kMatrix);
    IDispatch* late = world.object(kMatrix);
    if (!matrix || !late) return {E_NOINTERFACE, L"no matrix object", {}};
    HostRecord result;
    switch (variant) {
    case 0: {
        SAFEARRAY* values = SafeArrayCreateVector(VT_VARIANT, 0, 0);
        const HRESULT status = matrix->CreateMatrix(0, 2, &values, result.get());
        throwIfFailed(SafeArrayDestroy(values), "SafeArrayDestroy");
        return ofRecord(status, result);
    }
    case 1: return ofRecord(matrix->AddMatrix(world.wide.get(), world.square.get(), result.get()), result);
    case 2: return ofRecord(matrix->TransposeMatrix(world.absent.get(), result.get()), result);
    case 3: return ofRecord(matrix->InvertMatrix(world.singular.get(), result.get()), result);
    case 4: {
        Outcome outcome = ofCall(callByName(
            late, L"AddMatrix",
            {recordReference(world.wide, world.recordInfo()), recordReference(world.square, world.recordInfo())},
            DISPATCH_METHOD));
        outcome.text += L" | " + takeErrorInfo();
        return outcome;
    }
    case 5: {
        Outcome outcome = ofCall(callByName(
            late, L"CreateMatrix", {Variant::ofI2(2), Variant::ofI2(2), Variant::ofText(L"word")}, DISPATCH_METHOD));
        outcome.text += L" | " + takeErrorInfo();
        return outcome;
    }
    case 6: return ofCall(callByName(late, L"NoSuchMember", {}, DISPATCH_METHOD));
    default:
        return ofCall(
            callByName(late, L"ScaleMatrix", {recordReference(world.wide, world.recordInfo())}, DISPATCH_METHOD));
    }
}

// Numerals out of numbers and numbers out of numerals, early- and
// late-bound (late-bound with the argument coerced from the other type).
Outcome conversion(SoakWorld& world, std::uint32_t variant) {
    static const LONG kNumbers[] = {0, 45, -1, 32767, 0x7FFFFFFF, -2147483647 - 1};
    const LONG number = kNumbers[variant % std::size(kNumbers)];
    const Bstr& numeral = world.numerals[variant % world.numerals.size()];
    const std::uint32_t member = variant / 24 % 6;
    if (variant % 2 == 0) {
        ComPtr<_clsVxNumsConversionsA> conversions = world.early<_clsVxNumsConversionsA>(kConversions);
        if (!conversions) return {E_NOINTERFACE, L"no conversions object", {}};
        Bstr text;
        LONG value = 0;
        HRESULT status = E_FAIL;
        switch (member) {
        case 0: status = conversions->DecimalToBinary(number, text.out()); break;
        case 1: status = conversions->BinaryToDecimal(numeral.get(), &value); break;
        case 2: status = conversions->DecimalToHex(number, text.out()); break;
        case 3: status = conversions->HexToDecimal(numeral.get(), &value); break;
        case 4: status = conversions->DecimalToOctal(number, text.out()); break;
        default: status = conversions->OctalToDecimal(numeral.get(), &value); break;
        }
        return {status, text.text(), {static_cast<double>(value)}};
    }
    static const wchar_t* kMembers[] = {L"DecimalToBinary", L"BinaryToDecimal", L"DecimalToHex",
                                        L"HexToDecimal",    L"DecimalToOctal",  L"OctalToDecimal"};
    // Numbers given as text and numerals given as numbers, for coercion.
    Variant argument = member % 2 == 0 ? Variant::ofText(std::to_wstring(number)) : Variant::ofI4(number % 1000);
    return ofCall(callByName(world.object(kConversions), kMembers[member], {argument}, DISPATCH_METHOD));
}

Outcome combinatorics(SoakWorld& world, std::uint32_t variant) {
    static const std::pair<short, short> kArguments[] = {{5, 2}, {10, 10}, {20, 7}, {0, 0}, {-3, 1}, {170, 3}, {3, 5}};
    auto [n, r] = kArguments[variant % std::size(kArguments)];
    const std::uint32_t member = variant / std::size(kArguments) % 3;
    if (variant % 2 == 0) {
        ComPtr<_clsVxNumsPerComA> perCom = world.early<_clsVxNumsPerComA>(kPerCom);
        if (!perCom) return {E_NOINTERFACE, L"no combinatorics object", {}};
        double value = 0;
        HRESULT status = member == 0   ? perCom->Combination(&n, &r, &value)
                         : member == 1 ? perCom->Permutation(&n, &r, &value)
                                       : perCom->Factorial(&n, &value);
        return {status, {}, {value, static_cast<double>(n), static_cast<double>(r)}};
    }
    IDispatch* late = world.object(kPerCom);
    if (member == 2) return ofCall(callByName(late, L"Factorial", {Variant::ofI2(n)}));
    return ofCall(
        callByName(late, member == 0 ? L"Combination" : L"Permutation", {Variant::ofI2(n), Variant::ofI4(r)}));
}

Outcome creationByClassId(SoakWorld& world, std::uint32_t variant) {
    return world.replace(variant, kClassIds[variant]);
}

Outcome creationByProgId(SoakWorld& world, std::uint32_t variant) {
    CLSID clsid{};
    const HRESULT found = CLSIDFromProgID(libraryProgId(kLibraryClasses[variant]).c_str(), &clsid);
    if (FAILED(found)) return {found, L"no class identifier", {}};
    return world.replace(variant, clsid);
}

// With every object released the server may unload; a class factory held
// or a lock on one keeps it. Each answer is one call of the export.
Outcome unloadAnswers(SoakWorld& world, std::uint32_t) {
    world.releaseAll();
    LoadedServer& server = world.server();
    Outcome outcome;
    auto answer = [&] { outcome.numbers.push_back(server.canUnloadNow() == S_OK ? 1.0 : 0.0); };
    answer();
    ComPtr<IClassFactory> factory;
    outcome.status =
        server.getClassObject(kClassIds[kPerCom], IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
    if (!factory) return outcome;
    answer();
    throwIfFailed(factory->LockServer(TRUE), "IClassFactory::LockServer");
    factory.Reset();
    answer();
    throwIfFailed(
        server.getClassObject(kClassIds[kPerCom], IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
        "DllGetClassObject");
    if (!factory) return outcome;
    throwIfFailed(factory->LockServer(FALSE), "IClassFactory::LockServer");
    factory.Reset();
    answer();
    return outcome;
}

const std::vector<Operation>& operations() {
    static const std::vector<Operation> table = {
        {"creation by class identifier", 10, 6, creationByClassId},
        {"creation by programmatic identifier", 10, 6, creationByProgId},
        {"unload answers and factory locks", 1, 1, unloadAnswers},
        {"matrix records, early-bound", 250, 14, matrixEarly},
        {"matrix records, late-bound", 150, 6, matrixLate},
        {"errors with error information", 120, 8, failingCall},
        {"strings, conversions", 295, 144, conversion},
        {"combinatorics", 164, 42, combinatorics},
    };
    return table;
}

struct Tally {
    std::size_t calls = 0;
    std::size_t mismatches = 0;
    std::size_t leakingCalls = 0;
    std::string firstProblem;
    double seconds = 0;
};

} // namespace

TEST(Soak, AllocationSpySeesStringsAndArrays) {
    ASSERT_TRUE(disableStringCache()) << "oleaut32 has no SetOaNoCache";
    AllocationSpy spy;
    ASSERT_EQ(spy.registration(), S_OK);
    struct Case {
        const char* label;
        std::function<void*()> allocate;
        std::size_t blocks;
        std::function<void(void*)> free;
    };
    const Case cases[] = {
        {"string", [] { return static_cast<void*>(SysAllocString(L"text")); }, 1,
         [](void* p) { SysFreeString(static_cast<BSTR>(p)); }},
        {"reallocated string",
         [] {
             BSTR text = SysAllocString(L"short");
             SysReAllocString(&text, L"a string long enough to need a new block");
             return static_cast<void*>(text);
         },
         1, [](void* p) { SysFreeString(static_cast<BSTR>(p)); }},
        {"two-dimensional array of doubles",
         [] {
             SAFEARRAYBOUND bounds[2] = {{3, 1}, {4, 1}};
             return static_cast<void*>(SafeArrayCreate(VT_R8, 2, bounds));
         },
         2, [](void* p) { EXPECT_EQ(SafeArrayDestroy(static_cast<SAFEARRAY*>(p)), S_OK); }},
        // A vector's descriptor and elements share one block.
        {"vector of strings",
         [] {
             SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, 2);
             LONG index = 1;
             BSTR text = SysAllocString(L"element");
             EXPECT_EQ(SafeArrayPutElement(array, &index, text), S_OK); // copies it
             SysFreeString(text);
             return static_cast<void*>(array);
         },
         2, [](void* p) { EXPECT_EQ(SafeArrayDestroy(static_cast<SAFEARRAY*>(p)), S_OK); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::size_t before = spy.outstanding();
        void* block = c.allocate();
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(spy.outstanding() - before, c.blocks);
        c.free(block);
        EXPECT_EQ(spy.outstanding(), before);
    }
}

// A million calls by default; NUMORIA_SOAK_CALLS sets another count (the
// emulated 32-bit run takes twenty thousand, with the same accounting).
std::size_t soakCallCount() {
    constexpr std::size_t kDefaultCalls = 1'000'000;
    const std::optional<std::wstring> text = environmentValue(L"NUMORIA_SOAK_CALLS");
    if (!text) return kDefaultCalls;
    const std::size_t count = std::wcstoul(text->c_str(), nullptr, 10);
    return count > 0 ? count : kDefaultCalls;
}

TEST(Soak, MillionMixedCallsLeaveNothingBehind) {
    const std::size_t callCount = soakCallCount();
    ASSERT_TRUE(disableStringCache()) << "oleaut32 has no SetOaNoCache";
    SoakWorld world;
    ASSERT_TRUE(world.ready());

    // The draw: each of a thousand slots names an operation by its weight.
    std::vector<const Operation*> draw;
    for (const Operation& operation : operations()) draw.insert(draw.end(), operation.weight, &operation);
    ASSERT_EQ(draw.size(), 1000u);

    // Every variant once before counting: its outcome is the reference, and
    // whatever the platform sets up lazily on a first call is in place.
    std::map<std::pair<const Operation*, std::uint32_t>, Outcome> reference;
    for (const Operation& operation : operations())
        for (std::uint32_t variant = 0; variant < operation.variants; ++variant)
            reference[{&operation, variant}] = operation.run(world, variant);
    world.releaseAll();
    EXPECT_EQ(SetErrorInfo(0, nullptr), S_OK) << "clearing the error information the reference calls left";
    ASSERT_EQ(world.server().canUnloadNow(), S_OK);
    const Operation* unload = &operations()[2];
    const std::vector<double> unloadAnswersExpected = {1, 0, 0, 1};
    ASSERT_EQ((reference[{unload, 0}].numbers), unloadAnswersExpected)
        << "unload answers: released, factory held, factory locked, lock taken back";

    std::map<const Operation*, Tally> tallies;
    Choices choices;
    std::size_t allocations = 0, peak = 0, leftOver = 0;
    const std::size_t madeOnDemandBefore = world.implicitCreations();
    ScopedStandinLog frameworkLog;
    const auto start = std::chrono::steady_clock::now();
    {
        AllocationSpy spy;
        ASSERT_EQ(spy.registration(), S_OK);
        for (std::size_t call = 0; call < callCount; ++call) {
            const Operation* operation = draw[choices.next(1000)];
            const std::uint32_t variant = choices.next(operation->variants);
            const std::size_t before = spy.outstanding();
            const auto t0 = std::chrono::steady_clock::now();
            const Outcome outcome = operation->run(world, variant);
            const std::size_t after = spy.outstanding();
            Tally& tally = tallies[operation];
            tally.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            ++tally.calls;
            const Outcome& expected = reference[{operation, variant}];
            if (!(outcome == expected)) {
                if (tally.mismatches++ == 0)
                    tally.firstProblem = "call " + std::to_string(call) + ", variant " + std::to_string(variant) +
                                         ": " + describe(outcome) + " instead of " + describe(expected);
            }
            if (after != before) {
                if (tally.leakingCalls++ == 0 && tally.firstProblem.empty())
                    tally.firstProblem = "call " + std::to_string(call) + ", variant " + std::to_string(variant) +
                                         ": " + std::to_string(static_cast<long long>(after - before)) +
                                         " blocks left outstanding";
            }
        }
        world.releaseAll();
        EXPECT_EQ(SetErrorInfo(0, nullptr), S_OK) << "clearing the error information the soak left";
        allocations = spy.allocations();
        peak = spy.peak();
        leftOver = spy.outstanding();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    EXPECT_EQ(world.server().canUnloadNow(), S_OK) << "an object or lock of the library outlived the soak";
    EXPECT_EQ(leftOver, 0u) << "strings or arrays allocated during the soak were never freed";
    std::size_t total = 0;
    for (const Operation& operation : operations()) {
        const Tally& tally = tallies[&operation];
        total += tally.calls;
        EXPECT_EQ(tally.mismatches, 0u) << operation.name << ": " << tally.firstProblem;
        EXPECT_EQ(tally.leakingCalls, 0u) << operation.name << ": " << tally.firstProblem;
        std::printf("  %-38s %8zu calls %8.3f s\n", operation.name, tally.calls, tally.seconds);
    }
    EXPECT_EQ(total, callCount);
    // Every creation, asked for or made on demand, made one environment call.
    const std::size_t creations = tallies[&operations()[0]].calls + tallies[&operations()[1]].calls +
                                  world.implicitCreations() - madeOnDemandBefore;
    EXPECT_EQ(frameworkLog.calls("EnsureVxEnvironmentStatus").size(), creations);
    std::printf(
        "  %zu calls in %.1f s (%.0f calls/s); %zu objects made on demand; %zu blocks allocated, "
        "at most %zu outstanding, %zu left\n",
        total, seconds, total / seconds, world.implicitCreations(), allocations, peak, leftOver);
    RecordProperty("calls", static_cast<int>(total));
    RecordProperty("seconds", std::to_string(seconds));
}
