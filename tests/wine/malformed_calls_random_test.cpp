// A bounded randomized pass over the record members of clsVxNumsMatrixA
// through IDispatch::Invoke (fixed seed): random VARIANT arguments, random
// records with Element arrays of random shape, bounds and type, and argument
// counts now and then one off. Every call must return a status, leave its
// arguments exactly as they were (arrays unlocked), and hand back a result
// that is what the member declares and that clears cleanly.
#include "support/late_bound.h"
#include "support/record_arguments.h"
#include "support/status_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <iostream>
#include <map>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "numori10.h"

using namespace wine_tests;

namespace {

// A member: its dispatch identifier and its parameters in declaration order
// ('M' record, 's' 16-bit integer, 'd' double, 'v' the trailing values), and
// the type of its result.
struct RecordMember {
    const char* name;
    DISPID dispid;
    const char* parameters;
    VARTYPE result;
};

const RecordMember kMembers[] = {
    {"CreateMatrix", 0x60030001, "ssv", VT_RECORD},  {"TransposeMatrix", 0x60030002, "M", VT_RECORD},
    {"ScaleMatrix", 0x60030003, "Md", VT_RECORD},    {"AddMatrix", 0x60030004, "MM", VT_RECORD},
    {"SubMatrix", 0x60030005, "MM", VT_RECORD},      {"MultiplyMatrix", 0x60030006, "MM", VT_RECORD},
    {"Determinant", 0x60030007, "M", VT_R8},         {"InvertMatrix", 0x60030008, "M", VT_RECORD},
    {"InsertMatrix", 0x60030009, "MMss", VT_RECORD}, {"CombineMatrix", 0x6003000a, "MMss", VT_RECORD},
    {"SwapRow", 0x6003000b, "Mss", VT_RECORD},       {"SwapCol", 0x6003000c, "Mss", VT_RECORD},
    {"SubMat", 0x6003000d, "Mss", VT_RECORD},        {"PrintMatrix", 0x6003000e, "M", VT_EMPTY},
};

// Everything one call's arguments point at; nothing in rgvarg is cleared,
// the storage here owns it all.
struct CallStorage {
    std::deque<ArgumentRecord> records;
    std::deque<OwnedArray> arrays;
    std::deque<Bstr> texts;
    std::deque<VARIANT> referenced;
    std::deque<short> shorts;
};

class ArgumentMaker {
public:
    ArgumentMaker(std::mt19937& random, IRecordInfo* info, IRecordInfo* foreign)
            : random_(random), info_(info), foreign_(foreign) {}

    // Starts a call: at most one count of a call may be large, so that no
    // result is ever allocated large in both dimensions.
    void startCall() { largeLeft_ = 1; }

    VARIANT ofKind(char kind, CallStorage& storage) {
        if (chance(12)) return anything(storage);
        switch (kind) {
        case 'M': return record(storage);
        case 's': return smallInteger(storage);
        case 'd': return real();
        default: return value(storage);
        }
    }

    VARIANT value(CallStorage& storage) { return chance(30) ? anything(storage) : real(); }

private:
    bool chance(int percent) { return std::uniform_int_distribution<int>(0, 99)(random_) < percent; }
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }

    short count() {
        static const short large[] = {32767, -32768, 32766, 1000};
        if (largeLeft_ > 0 && chance(6)) {
            --largeLeft_;
            return large[pick(4)];
        }
        return static_cast<short>(pick(8) - 2); // -2 to 5
    }

    static VARIANT scalar(VARTYPE type, double value) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_R8;
        v.dblVal = value;
        if (type != VT_R8) throwIfFailed(VariantChangeType(&v, &v, 0, type), "VariantChangeType");
        return v;
    }

    VARIANT text(CallStorage& storage, const wchar_t* value) {
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = storage.texts.emplace_back(value).get();
        return v;
    }

    VARIANT real() {
        static const double values[] = {0.5,
                                        -2,
                                        3,
                                        0,
                                        1e308,
                                        -1e-310,
                                        std::numeric_limits<double>::infinity(),
                                        std::numeric_limits<double>::quiet_NaN()};
        return scalar(VT_R8, values[pick(8)]);
    }

    VARIANT smallInteger(CallStorage& storage) {
        const short value = count();
        switch (pick(10)) {
        case 0: return scalar(VT_I4, value);
        case 1: {
            VARIANT v;
            v.vt = VT_BYREF | VT_I2;
            v.piVal = &storage.shorts.emplace_back(value);
            return v;
        }
        case 2: return text(storage, std::to_wstring(value).c_str());
        default: return scalar(VT_I2, value);
        }
    }

    // An Element array: usually two-dimensional doubles with random bounds
    // and counts, sometimes absent, sometimes of another shape or type.
    OwnedArray element() {
        auto bound = [&] { return SAFEARRAYBOUND{static_cast<ULONG>(pick(5)), pick(5) - 2}; };
        switch (pick(10)) {
        case 0: return OwnedArray();
        case 1: return numberedArray(VT_R8, {bound()});
        case 2: return numberedArray(VT_R8, {bound(), bound(), bound()});
        case 3: {
            static const VARTYPE others[] = {VT_I4, VT_VARIANT, VT_BSTR, VT_R4};
            return numberedArray(others[pick(4)], {bound(), bound()});
        }
        default: return numberedArray(VT_R8, {bound(), bound()});
        }
    }

    VARIANT record(CallStorage& storage) {
        ArgumentRecord& host = storage.records.emplace_back();
        host.m = count();
        host.n = count();
        host.element = element();
        IRecordInfo* info = chance(90) ? info_ : (chance(50) ? nullptr : foreign_);
        const int passing = pick(10);
        VARIANT v = recordVariant(host, info, passing < 7);
        if (passing < 8) return v;
        // Through a VARIANT reference.
        VARIANT& target = storage.referenced.emplace_back(v);
        VARIANT reference;
        reference.vt = VT_BYREF | VT_VARIANT;
        reference.pvarVal = &target;
        return reference;
    }

    // Any argument at all, of a type that fits no parameter or that refers
    // to nothing.
    VARIANT anything(CallStorage& storage) {
        VARIANT v;
        VariantInit(&v);
        switch (pick(12)) {
        case 0: break;
        case 1: v.vt = VT_NULL; break;
        case 2:
            v.vt = VT_ERROR;
            v.scode = DISP_E_PARAMNOTFOUND;
            break;
        case 3: return text(storage, L"x");
        case 4: return text(storage, L"3");
        case 5: return scalar(VT_I4, 70000);
        case 6:
            v.vt = VT_DISPATCH;
            v.pdispVal = nullptr;
            break;
        case 7:
            v.vt = VT_BYREF | VT_I2;
            v.piVal = nullptr;
            break;
        case 8:
            v.vt = VT_BYREF | VT_VARIANT;
            v.pvarVal = nullptr;
            break;
        case 9:
            v.vt = VT_ARRAY | VT_R8;
            v.parray = storage.arrays.emplace_back(numberedArray(VT_R8, {{2, 1}, {2, 1}})).get();
            break;
        case 10:
            v.vt = VT_RECORD | VT_BYREF;
            v.pvRecord = nullptr;
            v.pRecInfo = info_;
            break;
        default: return scalar(VT_BOOL, -1);
        }
        return v;
    }

    std::mt19937& random_;
    IRecordInfo* info_;
    IRecordInfo* foreign_;
    int largeLeft_ = 1;
};

bool isArgumentStatus(HRESULT status) {
    return status == DISP_E_TYPEMISMATCH || status == DISP_E_OVERFLOW || status == DISP_E_BADVARTYPE ||
           status == E_INVALIDARG;
}

// A result as the member declares it, whose record (if any) is well-formed;
// it is then copied and cleared as a host would.
void expectCleanResult(const RecordMember& member, VARIANT& result) {
    ASSERT_EQ(result.vt, member.result);
    if (result.vt == VT_RECORD) {
        ASSERT_NE(result.pvRecord, nullptr);
        ASSERT_NE(result.pRecInfo, nullptr);
        const SAFEARRAY* element = static_cast<const Matrix*>(result.pvRecord)->Element;
        if (element) {
            EXPECT_EQ(element->cDims, 2u);
            EXPECT_EQ(element->cbElements, sizeof(double));
            EXPECT_EQ(element->cLocks, 0u);
        }
        VARIANT copy;
        VariantInit(&copy);
        EXPECT_EQ(VariantCopy(&copy, &result), S_OK);
        EXPECT_EQ(VariantClear(&copy), S_OK);
    }
    EXPECT_EQ(VariantClear(&result), S_OK);
}

} // namespace

TEST(MalformedCalls, RandomArgumentsToRecordMembersComeBackCleanly) {
    Creation created = createByProgId(L"Numoria10.clsVxNumsMatrixA");
    ASSERT_EQ(created.status, S_OK);
    ComPtr<IRecordInfo> info = platformMatrixInfo();
    ComPtr<IRecordInfo> foreign = foreignRecordInfo();
    ASSERT_TRUE(info);
    std::mt19937 random(20240611);
    ArgumentMaker maker(random, info.Get(), foreign.Get());
    std::size_t successes = 0;
    std::map<HRESULT, std::size_t> statuses; // a member's own error by its exception status
    constexpr int kCalls = 4000;
    for (int k = 0; k < kCalls; ++k) {
        const RecordMember& member = kMembers[random() % std::size(kMembers)];
        SCOPED_TRACE("call " + std::to_string(k) + ": " + member.name);
        CallStorage storage;
        maker.startCall();
        std::string kinds = member.parameters;
        if (kinds.back() == 'v') kinds.replace(kinds.size() - 1, 1, std::string(random() % 7, 'v'));
        if (random() % 20 == 0) kinds.pop_back();
        if (random() % 20 == 0) kinds.push_back('d');
        std::vector<VARIANT> reversed;
        for (auto it = kinds.rbegin(); it != kinds.rend(); ++it) reversed.push_back(maker.ofKind(*it, storage));
        std::vector<std::string> before;
        for (const VARIANT& v : reversed) before.push_back(deepDescribe(v));

        DISPPARAMS parameters{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()),
                              0};
        VARIANT result;
        VariantInit(&result);
        ExcepInfo exception;
        UINT argumentError = 0xDEADBEEF;
        const HRESULT status = created.object->Invoke(member.dispid, IID_NULL, 0, DISPATCH_METHOD, &parameters, &result,
                                                      exception.out(), &argumentError);
        ++statuses[status == DISP_E_EXCEPTION ? exception.value().scode : status];

        for (std::size_t a = 0; a < reversed.size(); ++a) EXPECT_EQ(deepDescribe(reversed[a]), before[a]) << a;
        if (status == S_OK) {
            ++successes;
            expectCleanResult(member, result);
            continue;
        }
        EXPECT_EQ(result.vt, VT_EMPTY);
        if (status == DISP_E_EXCEPTION) {
            EXPECT_TRUE(FAILED(exception.value().scode));
            EXPECT_NE(exception.value().bstrDescription, nullptr);
        } else if (isArgumentStatus(status)) {
            EXPECT_LT(argumentError, reversed.size());
        } else {
            EXPECT_EQ(status, DISP_E_BADPARAMCOUNT);
        }
        EXPECT_EQ(VariantClear(&result), S_OK);
    }
    for (const auto& [code, count] : statuses) {
        char line[48];
        std::snprintf(line, sizeof line, "0x%08lx: %zu\n", static_cast<unsigned long>(code), count);
        std::cout << line;
    }
    // The pass reaches the members' work, not only their argument checks.
    EXPECT_GT(successes, static_cast<std::size_t>(kCalls / 20));
}
