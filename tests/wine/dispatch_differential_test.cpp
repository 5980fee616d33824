// The library's dispatcher against the platform's: every member without
// records (clsVxNumsConversionsA, clsVxNumsPerComA, the resource loaders of
// clsVxNumoria10A) is called through the
// object's own IDispatch::Invoke and through the standard DispInvoke over the
// interface's type description, with the same arguments, and the two
// outcomes are compared: status, result (type and exact value), exception
// information, the argument position where the platform reports one, and the
// caller's arguments afterwards.
//
// The library departs from the platform on purpose in four ways, and every
// other outcome must be the same (the result of a call that fails is not
// compared: the platform leaves it set to an empty value of the member's
// result type, the library leaves it Empty):
// - a by-reference parameter (n and r of clsVxNumsPerComA) takes a
//   reference of another type, or a VARIANT reference (how a script passes
//   its variables), coerced like a value; the platform refuses it with
//   DISP_E_TYPEMISMATCH;
// - a by-reference parameter given a null pointer is refused as an argument
//   (DISP_E_TYPEMISMATCH and its position); the platform hands the null
//   pointer to the member, which fails with E_POINTER;
// - a named argument that names no parameter gives DISP_E_PARAMNOTFOUND
//   with its position, as IDispatch::Invoke documents; the platform runs
//   short of arguments and gives DISP_E_BADPARAMCOUNT;
// - arguments are never written: the platform writes a by-value argument of
//   a by-reference parameter back, converted to the parameter's type.
#include "support/dispatch_call.h"
#include "support/late_bound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "numori10.h"

using namespace wine_tests;

namespace {

// A member, the arguments that make a good call of it, and which of its
// parameters the generated cases vary.
struct MemberUnderTest {
    const char* name;
    DISPID dispid;
    std::vector<Variant> goodArguments;
    std::vector<std::size_t> variedPositions;
    // The type of its by-reference parameters (VT_EMPTY: by value).
    VARTYPE referenceType = VT_EMPTY;
    WORD flags = DISPATCH_METHOD;
};

// One class: its object, its early-bound interface and its type description.
class ComparedClass {
public:
    ComparedClass(const wchar_t* progId, const IID& iid) {
        Creation created = createByProgId(progId);
        EXPECT_EQ(created.status, S_OK);
        object_ = created.object;
        if (object_) {
            EXPECT_EQ(object_->QueryInterface(iid, reinterpret_cast<void**>(early_.GetAddressOf())), S_OK);
        }
        info_ = embeddedInterfaceInfo(iid);
    }
    bool ready() const { return object_ && early_ && info_; }
    Observation throughLibrary(const DispatchCall& call) const { return observe(ownInvoke(object_.Get()), call); }
    Observation throughPlatform(const DispatchCall& call) const {
        return observe(standardInvoke(early_.Get(), info_.Get()), call);
    }

    // The identifiers of a member name and its parameter names.
    struct Identifiers {
        HRESULT status;
        std::vector<DISPID> ids;
    };
    Identifiers idsThroughLibrary(std::vector<std::wstring> names) const {
        return idsOf(names, [&](LPOLESTR* raw, UINT count, DISPID* ids) {
            return object_->GetIDsOfNames(IID_NULL, raw, count, LOCALE_USER_DEFAULT, ids);
        });
    }
    Identifiers idsThroughPlatform(std::vector<std::wstring> names) const {
        return idsOf(names, [&](LPOLESTR* raw, UINT count, DISPID* ids) {
            return DispGetIDsOfNames(info_.Get(), raw, count, ids);
        });
    }

private:
    template <class Lookup>
    static Identifiers idsOf(std::vector<std::wstring>& names, Lookup lookup) {
        std::vector<LPOLESTR> raw;
        for (std::wstring& name : names) raw.push_back(name.data());
        Identifiers found{E_FAIL, std::vector<DISPID>(names.size(), 12345)};
        found.status = lookup(raw.data(), static_cast<UINT>(raw.size()), found.ids.data());
        return found;
    }

    ComPtr<IDispatch> object_;
    ComPtr<IUnknown> early_;
    ComPtr<ITypeInfo> info_;
};

Variant text(const wchar_t* value) { return Variant::ofText(value); }

Variant ofType(VARTYPE type) {
    Variant v;
    v.get()->vt = type;
    return v;
}

struct Sample {
    std::string label;
    Variant value;
};

// Argument values of many types, at and beyond the 16- and 32-bit limits.
std::vector<Sample> argumentSamples() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    Variant nullString;
    nullString.get()->vt = VT_BSTR;
    return {
        {"I1 -128", scalar<signed char>(VT_I1, -128)},
        {"I1 7", scalar<signed char>(VT_I1, 7)},
        {"UI1 255", scalar<unsigned char>(VT_UI1, 255)},
        {"I2 5", scalar<short>(VT_I2, 5)},
        {"I2 32767", scalar<short>(VT_I2, 32767)},
        {"I2 -32768", scalar<short>(VT_I2, -32768)},
        {"UI2 32768", scalar<unsigned short>(VT_UI2, 32768)},
        {"UI2 65535", scalar<unsigned short>(VT_UI2, 65535)},
        {"I4 12", scalar<LONG>(VT_I4, 12)},
        {"I4 32768", scalar<LONG>(VT_I4, 32768)},
        {"I4 -32769", scalar<LONG>(VT_I4, -32769)},
        {"I4 2147483647", scalar<LONG>(VT_I4, 2147483647)},
        {"I4 -2147483648", scalar<LONG>(VT_I4, -2147483647 - 1)},
        {"UI4 2147483648", scalar<ULONG>(VT_UI4, 2147483648u)},
        {"UI4 4294967295", scalar<ULONG>(VT_UI4, 4294967295u)},
        {"INT 9", scalar<INT>(VT_INT, 9)},
        {"I8 2147483647", scalar<LONGLONG>(VT_I8, 2147483647LL)},
        {"I8 2147483648", scalar<LONGLONG>(VT_I8, 2147483648LL)},
        {"I8 -2147483649", scalar<LONGLONG>(VT_I8, -2147483649LL)},
        {"UI8 3", scalar<ULONGLONG>(VT_UI8, 3)},
        {"R4 2.5", scalar<float>(VT_R4, 2.5f)},
        {"R4 1e10", scalar<float>(VT_R4, 1e10f)},
        {"R8 0.5", scalar<double>(VT_R8, 0.5)},
        {"R8 1.5", scalar<double>(VT_R8, 1.5)},
        {"R8 2.5", scalar<double>(VT_R8, 2.5)},
        {"R8 -0.5", scalar<double>(VT_R8, -0.5)},
        {"R8 -0", scalar<double>(VT_R8, -0.0)},
        {"R8 32767.5", scalar<double>(VT_R8, 32767.5)},
        {"R8 -32768.5", scalar<double>(VT_R8, -32768.5)},
        {"R8 2147483647.4", scalar<double>(VT_R8, 2147483647.4)},
        {"R8 2147483647.5", scalar<double>(VT_R8, 2147483647.5)},
        {"R8 -2147483648.5", scalar<double>(VT_R8, -2147483648.5)},
        {"R8 1e300", scalar<double>(VT_R8, 1e300)},
        {"R8 NaN", scalar<double>(VT_R8, nan)},
        {"R8 infinity", scalar<double>(VT_R8, infinity)},
        {"CY 12.3456", scalar<LONGLONG>(VT_CY, 123456)},
        {"CY 32767.5", scalar<LONGLONG>(VT_CY, 327675000)},
        {"CY 2147483648", scalar<LONGLONG>(VT_CY, 21474836480000LL)},
        {"DATE 3.25", scalar<double>(VT_DATE, 3.25)},
        {"DATE 40000", scalar<double>(VT_DATE, 40000.0)},
        {"BOOL true", scalar<VARIANT_BOOL>(VT_BOOL, VARIANT_TRUE)},
        {"BOOL false", scalar<VARIANT_BOOL>(VT_BOOL, VARIANT_FALSE)},
        {"ERROR E_FAIL", scalar<SCODE>(VT_ERROR, E_FAIL)},
        {"ERROR missing", Variant::missing()},
        {"BSTR '12'", text(L"12")},
        {"BSTR '-7'", text(L"-7")},
        {"BSTR ' 8 '", text(L" 8 ")},
        {"BSTR '1e3'", text(L"1e3")},
        {"BSTR '2.5'", text(L"2.5")},
        {"BSTR '&H10'", text(L"&H10")},
        {"BSTR '70000'", text(L"70000")},
        {"BSTR '101'", text(L"101")},
        {"BSTR 'FF'", text(L"FF")},
        {"BSTR 'abc'", text(L"abc")},
        {"BSTR ''", text(L"")},
        {"BSTR null", nullString},
        {"EMPTY", ofType(VT_EMPTY)},
        {"NULL", ofType(VT_NULL)},
        {"DISPATCH null", ofType(VT_DISPATCH)},
        {"UNKNOWN null", ofType(VT_UNKNOWN)},
    };
}

const std::vector<std::pair<const char*, Passing>> kPassings = {
    {"by value", Passing::Value},
    {"by reference", Passing::Reference},
    {"through a VARIANT reference", Passing::VariantReference},
    {"through two VARIANT references", Passing::NestedVariantReference},
    {"by a null reference", Passing::NullReference},
};

std::vector<MemberUnderTest> conversionsMembers() {
    return {
        {"DecimalToBinary", 0x60030001, {scalar<LONG>(VT_I4, 37)}, {0}},
        {"BinaryToDecimal", 0x60030002, {text(L"101")}, {0}},
        {"DecimalToHex", 0x60030003, {scalar<LONG>(VT_I4, 255)}, {0}},
        {"HexToDecimal", 0x60030004, {text(L"FF")}, {0}},
        {"DecimalToOctal", 0x60030005, {scalar<LONG>(VT_I4, 8)}, {0}},
        {"OctalToDecimal", 0x60030006, {text(L"17")}, {0}},
    };
}

std::vector<MemberUnderTest> percomMembers() {
    return {
        {"Combination", 0x60030000, {scalar<short>(VT_I2, 40), scalar<short>(VT_I2, 2)}, {0, 1}, VT_I2},
        {"Permutation", 0x60030001, {scalar<short>(VT_I2, 10), scalar<short>(VT_I2, 3)}, {0, 1}, VT_I2},
        {"Factorial", 0x60030002, {scalar<short>(VT_I2, 5)}, {0}, VT_I2},
    };
}

// The resource loaders of clsVxNumoria10A: property gets whose identifier
// (and picture kind) are 32-bit integers by reference.
std::vector<MemberUnderTest> informationMembers() {
    return {
        {"GetProResStrings", 0x68030003, {scalar<LONG>(VT_I4, 1)}, {0}, VT_I4, DISPATCH_PROPERTYGET},
        {"GetProResPicture",
         0x68030002,
         {scalar<LONG>(VT_I4, 1), scalar<LONG>(VT_I4, 0)},
         {0, 1},
         VT_I4,
         DISPATCH_PROPERTYGET},
        {"GetProResData", 0x68030001, {scalar<LONG>(VT_I4, 1), text(L"TYPELIB")}, {0}, VT_I4, DISPATCH_PROPERTYGET},
    };
}

std::vector<CallArgument> byValue(const std::vector<Variant>& values) {
    std::vector<CallArgument> arguments;
    for (const Variant& v : values) arguments.push_back({v, Passing::Value});
    return arguments;
}

// Where the library departs from the platform on purpose (see the top of
// this file).
enum class Departure { None, ReferenceCoerced, NullReference, UnknownName };

struct GeneratedCase {
    std::string label;
    DispatchCall call;
    Departure departure = Departure::None;
    // The varied argument's position in declaration order; for a wrong name,
    // the name's index in rgvarg.
    std::size_t position = 0;
};

Departure departureOf(const MemberUnderTest& member, const Variant& sample, Passing passing) {
    if (member.referenceType == VT_EMPTY) return Departure::None;
    const bool exactType = sample.type() == member.referenceType;
    if ((passing == Passing::Reference && !exactType) || passing == Passing::VariantReference)
        return Departure::ReferenceCoerced;
    if (passing == Passing::NullReference && exactType) return Departure::NullReference;
    return Departure::None;
}

// Every sample in every passing at every varied position of the member.
std::vector<GeneratedCase> argumentCases(const MemberUnderTest& member) {
    std::vector<GeneratedCase> cases;
    for (const Sample& sample : argumentSamples())
        for (const auto& [passingLabel, passing] : kPassings)
            for (std::size_t position : member.variedPositions) {
                DispatchCall call;
                call.dispid = member.dispid;
                call.flags = member.flags;
                call.positional = byValue(member.goodArguments);
                call.positional[position] = {sample.value, passing};
                cases.push_back({sample.label + " " + passingLabel + " at " + std::to_string(position), call,
                                 departureOf(member, sample.value, passing), position});
            }
    return cases;
}

// Calls that are wrong as a whole: argument counts, named arguments, invoke
// flags, omitted out-pointers, unknown members.
std::vector<GeneratedCase> shapeCases(const MemberUnderTest& member) {
    const std::vector<CallArgument> good = byValue(member.goodArguments);
    std::vector<GeneratedCase> cases;
    auto add = [&](std::string label, auto&& adjust) {
        DispatchCall call;
        call.dispid = member.dispid;
        call.flags = member.flags;
        call.positional = good;
        adjust(call);
        cases.push_back({std::move(label), call});
    };
    // The last case names no free parameter with rgvarg[misnamed].
    auto namedWrongly = [&](std::size_t misnamed) {
        cases.back().departure = Departure::UnknownName;
        cases.back().position = misnamed;
    };
    add("good call", [](DispatchCall&) {});
    add("no arguments", [](DispatchCall& c) { c.positional.clear(); });
    add("one argument too many", [](DispatchCall& c) { c.positional.push_back({scalar<LONG>(VT_I4, 1)}); });
    add("two arguments too many", [](DispatchCall& c) {
        c.positional.push_back({scalar<LONG>(VT_I4, 1)});
        c.positional.push_back({text(L"2")});
    });
    add("every argument named by position", [](DispatchCall& c) {
        for (std::size_t k = c.positional.size(); k-- > 0;)
            c.named.push_back({static_cast<DISPID>(k), c.positional[k]});
        c.positional.clear();
    });
    add("last argument named", [](DispatchCall& c) {
        const DISPID last = static_cast<DISPID>(c.positional.size() - 1);
        c.named.push_back({last, c.positional.back()});
        c.positional.pop_back();
    });
    add("named with an unknown identifier", [](DispatchCall& c) {
        c.named.push_back({7, c.positional.back()});
        c.positional.pop_back();
    });
    namedWrongly(0);
    add("named as a property value", [](DispatchCall& c) {
        c.named.push_back({DISPID_PROPERTYPUT, c.positional.back()});
        c.positional.pop_back();
    });
    namedWrongly(0);
    add("the same name twice", [](DispatchCall& c) {
        c.named.push_back({0, c.positional.front()});
        c.named.push_back({0, c.positional.front()});
        c.positional.clear();
    });
    namedWrongly(1);
    add("more names than arguments", [](DispatchCall& c) {
        c.named.push_back({0, c.positional.front()});
        c.positional.clear();
        c.namedCountOverride = 2;
    });
    const std::vector<std::pair<const char*, WORD>> flags = {
        {"property get", DISPATCH_PROPERTYGET},
        {"method or property get", DISPATCH_METHOD | DISPATCH_PROPERTYGET},
        {"property put", DISPATCH_PROPERTYPUT},
        {"property put by reference", DISPATCH_PROPERTYPUTREF},
        {"no invoke kind", 0},
    };
    for (const auto& [label, flag] : flags)
        add(std::string("flags: ") + label, [flag = flag](DispatchCall& c) { c.flags = flag; });
    add("unknown member", [](DispatchCall& c) { c.dispid = 0x60030077; });
    add("default member", [](DispatchCall& c) { c.dispid = DISPID_VALUE; });
    add("null VARIANT reference", [](DispatchCall& c) { c.positional.back().passing = Passing::NullVariantReference; });
    // A by-reference parameter given a null pointer.
    cases.back().departure = Departure::NullReference;
    cases.back().position = good.size() - 1;
    add("no result pointer", [](DispatchCall& c) { c.wantResult = false; });
    add("no exception pointer", [](DispatchCall& c) { c.wantException = false; });
    add("no position pointer, bad argument", [](DispatchCall& c) {
        c.wantArgumentError = false;
        c.positional.back() = {scalar<SCODE>(VT_ERROR, E_FAIL)};
    });
    add("nothing wanted back, bad argument", [](DispatchCall& c) {
        c.wantResult = c.wantException = c.wantArgumentError = false;
        c.positional.back() = {text(L"not a number at all")};
    });
    return cases;
}

// The rgvarg index of the argument at `position` of `count` positional ones.
UINT rgvargIndex(std::size_t position, std::size_t count) { return static_cast<UINT>(count - 1 - position); }

// Checks one departure: the platform's outcome is the one it is known to
// give, and the library's is the one it gives on purpose.
void expectDeparture(const GeneratedCase& c, const Observation& ours, const Observation& theirs,
                     const Observation& platformByValue) {
    const UINT at = rgvargIndex(c.position, c.call.positional.size());
    switch (c.departure) {
    case Departure::ReferenceCoerced:
        // Coerced as the platform coerces the same value passed by value.
        EXPECT_EQ(theirs.status, DISP_E_TYPEMISMATCH);
        EXPECT_EQ(ours.status, platformByValue.status);
        if (SUCCEEDED(ours.status))
            EXPECT_EQ(describe(*ours.result.get()), describe(*platformByValue.result.get()));
        else
            EXPECT_EQ(ours.scode, platformByValue.scode);
        break;
    case Departure::NullReference:
        EXPECT_EQ(theirs.status, DISP_E_EXCEPTION);
        EXPECT_EQ(theirs.scode, E_POINTER);
        EXPECT_EQ(ours.status, DISP_E_TYPEMISMATCH);
        EXPECT_EQ(ours.argumentError, std::optional<UINT>(at));
        break;
    case Departure::UnknownName:
        EXPECT_EQ(theirs.status, DISP_E_BADPARAMCOUNT);
        EXPECT_EQ(ours.status, DISP_E_PARAMNOTFOUND);
        EXPECT_EQ(ours.argumentError, std::optional<UINT>(static_cast<UINT>(c.position)));
        break;
    case Departure::None: break;
    }
}

struct Tally {
    std::size_t calls = 0;
    std::map<Departure, std::size_t> departures;
    std::size_t platformWriteBacks = 0;
};

void compareMember(const ComparedClass& compared, const MemberUnderTest& member, Tally& tally) {
    std::vector<GeneratedCase> cases = argumentCases(member);
    for (GeneratedCase& c : shapeCases(member)) cases.push_back(std::move(c));
    for (const GeneratedCase& c : cases) {
        SCOPED_TRACE(std::string(member.name) + " / " + c.label);
        ++tally.calls;
        const Observation ours = compared.throughLibrary(c.call);
        const Observation theirs = compared.throughPlatform(c.call);
        EXPECT_EQ(ours.argumentsAfter, ours.argumentsBefore) << "the library wrote an argument";
        if (theirs.argumentsAfter != theirs.argumentsBefore) ++tally.platformWriteBacks;

        std::vector<std::string> found;
        const bool bothFailed = FAILED(ours.status) && ours.status == theirs.status;
        for (const std::string& line : differences(ours, theirs))
            if (line.rfind("rgvarg[", 0) != 0 && !(bothFailed && line.rfind("result:", 0) == 0)) found.push_back(line);
        if (found.empty()) continue;
        if (c.departure == Departure::None) {
            for (const std::string& line : found) ADD_FAILURE() << line;
            continue;
        }
        ++tally.departures[c.departure];
        DispatchCall byValue = c.call;
        if (c.departure == Departure::ReferenceCoerced) byValue.positional[c.position].passing = Passing::Value;
        expectDeparture(c, ours, theirs, compared.throughPlatform(byValue));
    }
}

} // namespace

TEST(DispatchDifferential, MembersWithoutRecordsAnswerAsThePlatformDoes) {
    ComparedClass conversions(L"Numoria10.clsVxNumsConversionsA", __uuidof(_clsVxNumsConversionsA));
    ComparedClass percom(L"Numoria10.clsVxNumsPerComA", __uuidof(_clsVxNumsPerComA));
    ASSERT_TRUE(conversions.ready());
    ASSERT_TRUE(percom.ready());
    Tally tally;
    for (const MemberUnderTest& member : conversionsMembers()) compareMember(conversions, member, tally);
    for (const MemberUnderTest& member : percomMembers()) compareMember(percom, member, tally);
    ComparedClass information(L"Numoria10.clsVxNumoria10A", __uuidof(_clsVxNumoria10A));
    ASSERT_TRUE(information.ready());
    for (const MemberUnderTest& member : informationMembers()) compareMember(information, member, tally);
    std::cout << tally.calls << " calls compared; departures: " << tally.departures[Departure::ReferenceCoerced]
              << " coerced references, " << tally.departures[Departure::NullReference] << " null references, "
              << tally.departures[Departure::UnknownName] << " unknown names; the platform wrote "
              << tally.platformWriteBacks << " argument blocks back\n";
}

TEST(DispatchDifferential, ParameterNamesGiveThePositionsThePlatformGives) {
    ComparedClass conversions(L"Numoria10.clsVxNumsConversionsA", __uuidof(_clsVxNumsConversionsA));
    ComparedClass percom(L"Numoria10.clsVxNumsPerComA", __uuidof(_clsVxNumsPerComA));
    ASSERT_TRUE(conversions.ready());
    ASSERT_TRUE(percom.ready());
    struct NameCase {
        const ComparedClass* compared;
        std::vector<std::wstring> names;
        std::vector<DISPID> expected = {}; // checked where given
    };
    const NameCase cases[] = {
        {&percom, {L"Combination", L"n", L"r"}, {0x60030000, 0, 1}},
        {&percom, {L"permutation", L"R"}, {0x60030001, 1}},
        {&percom, {L"Factorial", L"n"}},
        {&percom, {L"Combination", L"x"}},
        {&percom, {L"Combination", L"n", L"x"}},
        {&percom, {L"Factorial", L"pRet"}},
        {&conversions, {L"DecimalToBinary", L"pValue"}},
        {&conversions, {L"HEXTODECIMAL", L"PVALUE"}},
        {&conversions, {L"OctalToDecimal", L"n"}},
        {&conversions, {L"NoSuchMember", L"pValue"}},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(narrow(c.names[0] + L" " + c.names[1]));
        const auto ours = c.compared->idsThroughLibrary(c.names);
        const auto theirs = c.compared->idsThroughPlatform(c.names);
        EXPECT_EQ(ours.status, theirs.status);
        EXPECT_EQ(ours.ids, theirs.ids);
        if (!c.expected.empty()) {
            EXPECT_EQ(ours.status, S_OK);
            EXPECT_EQ(ours.ids, c.expected);
        }
    }
}

// The platform never reports an argument position, so the library's own are
// checked here: a named argument's position is its index in rgvarg.
TEST(DispatchDifferential, NamedArgumentsThatDoNotConvertReportTheirIndex) {
    ComparedClass percom(L"Numoria10.clsVxNumsPerComA", __uuidof(_clsVxNumsPerComA));
    ASSERT_TRUE(percom.ready());
    struct Case {
        const char* label;
        std::vector<CallArgument> positional;
        std::vector<NamedArgument> named;
        UINT position;
    };
    const Case cases[] = {
        {"named r after positional n", {{scalar<short>(VT_I2, 5)}}, {{1, {text(L"x")}}}, 0},
        {"both named, n second", {}, {{1, {scalar<short>(VT_I2, 2)}}, {0, {text(L"x")}}}, 1},
        {"positional n before named r", {{text(L"x")}}, {{1, {scalar<short>(VT_I2, 2)}}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        DispatchCall call;
        call.dispid = 0x60030001; // Permutation
        call.positional = c.positional;
        call.named = c.named;
        const Observation ours = percom.throughLibrary(call);
        EXPECT_EQ(ours.status, DISP_E_TYPEMISMATCH);
        EXPECT_EQ(ours.argumentError, std::optional<UINT>(c.position));
        EXPECT_EQ(percom.throughPlatform(call).status, DISP_E_TYPEMISMATCH);
    }
}
