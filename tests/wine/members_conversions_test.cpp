// clsVxNumsConversionsA and clsVxNumsPerComA from a client: each member
// early-bound and by name, with the coercion of dispatch arguments to the
// declared parameter types.
#include "support/late_bound.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "numori10.h"

using namespace wine_tests;

namespace {

template <class Interface>
ComPtr<Interface> earlyBound(IDispatch* object) {
    ComPtr<Interface> typed;
    if (object) {
        EXPECT_EQ(object->QueryInterface(__uuidof(Interface), reinterpret_cast<void**>(typed.GetAddressOf())), S_OK);
    }
    return typed;
}

struct TextCase {
    std::wstring member;
    long value;
    std::wstring expected;
};

struct NumberCase {
    std::wstring member;
    std::wstring value;
    long expected;
};

} // namespace

TEST(MembersConversions, NumbersToNumeralsEarlyAndLateBound) {
    Creation created = createByProgId(L"Numoria10.clsVxNumsConversionsA");
    ASSERT_EQ(created.status, S_OK);
    auto early = earlyBound<_clsVxNumsConversionsA>(created.object.Get());
    ASSERT_TRUE(early);
    using Form = std::function<HRESULT(long, BSTR*)>;
    const std::map<std::wstring, Form> forms = {
        {L"DecimalToBinary", [&](long v, BSTR* r) { return early->DecimalToBinary(v, r); }},
        {L"DecimalToHex", [&](long v, BSTR* r) { return early->DecimalToHex(v, r); }},
        {L"DecimalToOctal", [&](long v, BSTR* r) { return early->DecimalToOctal(v, r); }},
    };
    const TextCase cases[] = {
        {L"DecimalToBinary", 10, L"1010"},       {L"DecimalToBinary", 0, L""},       {L"DecimalToBinary", -5, L"0"},
        {L"DecimalToHex", 255, L"FF"},           {L"DecimalToHex", -1, L"FFFFFFFF"}, {L"DecimalToOctal", 8, L"10"},
        {L"DecimalToOctal", -1, L"37777777777"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(narrow(c.member) + " " + std::to_string(c.value));
        Bstr text;
        ASSERT_EQ(forms.at(c.member)(c.value, text.out()), S_OK);
        EXPECT_EQ(text.text(), c.expected);
        CallResult late = callByName(created.object.Get(), c.member, {Variant::ofI4(c.value)}, DISPATCH_METHOD);
        ASSERT_EQ(late.status, S_OK);
        EXPECT_EQ(late.value.type(), VT_BSTR);
        EXPECT_EQ(late.value.text(), c.expected);
    }
}

TEST(MembersConversions, NumeralsToNumbersEarlyAndLateBound) {
    Creation created = createByProgId(L"Numoria10.clsVxNumsConversionsA");
    ASSERT_EQ(created.status, S_OK);
    auto early = earlyBound<_clsVxNumsConversionsA>(created.object.Get());
    ASSERT_TRUE(early);
    using Form = std::function<HRESULT(BSTR, LONG*)>;
    const std::map<std::wstring, Form> forms = {
        {L"BinaryToDecimal", [&](BSTR v, LONG* r) { return early->BinaryToDecimal(v, r); }},
        {L"HexToDecimal", [&](BSTR v, LONG* r) { return early->HexToDecimal(v, r); }},
        {L"OctalToDecimal", [&](BSTR v, LONG* r) { return early->OctalToDecimal(v, r); }},
    };
    const NumberCase cases[] = {
        {L"BinaryToDecimal", L"1010", 10},
        {L"BinaryToDecimal", L"", 0},
        {L"HexToDecimal", L"FF", 255},
        {L"HexToDecimal", L"10", 16},
        // Characters past F keep counting by their code: "G" is 16.
        {L"HexToDecimal", L"G", 16},
        {L"HexToDecimal", L"FFFFFFFFF", 0}, // overflow is trapped: 0
        {L"OctalToDecimal", L"17", 15},
        {L"OctalToDecimal", L"x", 0},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(narrow(c.member) + " " + narrow(c.value));
        Bstr text(c.value);
        LONG number = -99;
        ASSERT_EQ(forms.at(c.member)(text.get(), &number), S_OK);
        EXPECT_EQ(number, c.expected);
        CallResult late = callByName(created.object.Get(), c.member, {Variant::ofText(c.value)}, DISPATCH_METHOD);
        ASSERT_EQ(late.status, S_OK);
        EXPECT_EQ(late.value.type(), VT_I4);
        EXPECT_EQ(late.value.number(), c.expected);
    }
    // A null string is the empty text.
    LONG number = -99;
    EXPECT_EQ(early->BinaryToDecimal(nullptr, &number), S_OK);
    EXPECT_EQ(number, 0);
}

TEST(MembersConversions, DispatchArgumentsAreCoercedToTheDeclaredType) {
    Creation created = createByProgId(L"Numoria10.clsVxNumsConversionsA");
    ASSERT_EQ(created.status, S_OK);
    // A number where text is declared, text where a number is declared.
    CallResult hex = callByName(created.object.Get(), L"HexToDecimal", {Variant::ofI4(10)}, DISPATCH_METHOD);
    ASSERT_EQ(hex.status, S_OK);
    EXPECT_EQ(hex.value.number(), 16);
    CallResult binary = callByName(created.object.Get(), L"DecimalToBinary", {Variant::ofText(L"5")}, DISPATCH_METHOD);
    ASSERT_EQ(binary.status, S_OK);
    EXPECT_EQ(binary.value.text(), L"101");
    CallResult word = callByName(created.object.Get(), L"DecimalToBinary", {Variant::ofText(L"five")}, DISPATCH_METHOD);
    EXPECT_EQ(word.status, DISP_E_TYPEMISMATCH);
    CallResult none = callByName(created.object.Get(), L"DecimalToBinary", {}, DISPATCH_METHOD);
    EXPECT_EQ(none.status, DISP_E_BADPARAMCOUNT);
}

TEST(MembersPerCom, EveryMemberEarlyAndLateBound) {
    Creation created = createByProgId(L"Numoria10.clsVxNumsPerComA");
    ASSERT_EQ(created.status, S_OK);
    auto early = earlyBound<_clsVxNumsPerComA>(created.object.Get());
    ASSERT_TRUE(early);
    struct Case {
        std::wstring member;
        std::vector<short> arguments;
        double expected;
    };
    const Case cases[] = {
        {L"Factorial", {5}, 120},     {L"Factorial", {0}, 1},       {L"Factorial", {-3}, 1},
        {L"Factorial", {171}, 0},     {L"Permutation", {5, 2}, 20}, {L"Permutation", {2, 5}, 0},
        {L"Combination", {5, 2}, 10}, {L"Combination", {4, 4}, 1},  {L"Combination", {0, 1}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.member) + " " + std::to_string(c.arguments[0]));
        std::vector<short> storage = c.arguments;
        double result = -1;
        HRESULT status = E_FAIL;
        if (c.member == L"Factorial")
            status = early->Factorial(&storage[0], &result);
        else if (c.member == L"Permutation")
            status = early->Permutation(&storage[0], &storage[1], &result);
        else
            status = early->Combination(&storage[0], &storage[1], &result);
        ASSERT_EQ(status, S_OK);
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(storage, c.arguments) << "by-reference arguments are not written";

        // By name, once with values and once by reference as a script passes them.
        std::vector<Variant> values;
        for (short v : c.arguments) values.push_back(Variant::ofI2(v));
        CallResult byValue = callByName(created.object.Get(), c.member, values, DISPATCH_METHOD);
        ASSERT_EQ(byValue.status, S_OK);
        EXPECT_EQ(byValue.value.type(), VT_R8);
        EXPECT_EQ(byValue.value.number(), c.expected);
        std::vector<Variant> references;
        for (short& v : storage) references.push_back(Variant::ofRef(VT_I2, &v));
        CallResult byReference = callByName(created.object.Get(), c.member, references, DISPATCH_METHOD);
        ASSERT_EQ(byReference.status, S_OK);
        EXPECT_EQ(byReference.value.number(), c.expected);
    }
}

TEST(MembersPerCom, ScalarArgumentsAreCoercedOrRefusedWithTheirPosition) {
    Creation created = createByProgId(L"Numoria10.clsVxNumsPerComA");
    ASSERT_EQ(created.status, S_OK);
    IDispatch* object = created.object.Get();
    const DISPID permutation = dispidOf(object, L"permutation");
    ASSERT_EQ(permutation, 0x60030001);
    struct Case {
        const char* label;
        Variant n, r;
        HRESULT status;
        UINT argumentError;
        double expected;
    };
    const Case cases[] = {
        {"text to short", Variant::ofText(L"5"), Variant::ofI2(2), S_OK, 0, 20},
        {"long to short", Variant::ofI4(5), Variant::ofR8(2), S_OK, 0, 20},
        {"out of the 16-bit range", Variant::ofI4(70000), Variant::ofI2(2), DISP_E_OVERFLOW, 1, 0},
        {"second argument not a number", Variant::ofI2(5), Variant::ofText(L"x"), DISP_E_TYPEMISMATCH, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        VARIANT reversed[2] = {*c.r.get(), *c.n.get()};
        DISPPARAMS parameters{reversed, nullptr, 2, 0};
        Variant result;
        UINT argumentError = 99;
        EXPECT_EQ(object->Invoke(permutation, IID_NULL, 0, DISPATCH_METHOD, &parameters, result.get(), nullptr,
                                 &argumentError),
                  c.status);
        if (c.status == S_OK) {
            EXPECT_EQ(result.number(), c.expected);
        } else {
            EXPECT_EQ(argumentError, c.argumentError);
        }
    }
}
