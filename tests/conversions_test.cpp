#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "conversions/conversions.h"

namespace numoria::conversions {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

std::u16string repeated(std::size_t count, char16_t unit) { return std::u16string(count, unit); }

TEST(Conversions, WritersGiveTheNumeralOfEachValue) {
    struct Row {
        std::int32_t value;
        std::u16string binary, hex, octal;
    };
    const std::vector<Row> rows = {
        {0, u"", u"0", u"0"},
        {-1, u"", u"FFFFFFFF", u"37777777777"},
        {-2, u"0", u"FFFFFFFE", u"37777777776"},
        {kMin, u"0", u"80000000", u"20000000000"},
        {1, u"1", u"1", u"1"},
        {8, u"1000", u"8", u"10"},
        {255, u"11111111", u"FF", u"377"},
        {1073741824, u"1" + repeated(30, u'0'), u"40000000", u"10000000000"},
        {2147483646, repeated(30, u'1') + u"0", u"7FFFFFFE", u"17777777776"},
        {kMax, repeated(31, u'1'), u"7FFFFFFF", u"17777777777"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(DecimalToBinary(row.value), row.binary);
        EXPECT_EQ(DecimalToHex(row.value), row.hex);
        EXPECT_EQ(DecimalToOctal(row.value), row.octal);
    }
}

TEST(Conversions, ReadersWeighDigitsAndFallBackToZero) {
    using Reader = std::int32_t (*)(std::u16string_view);
    const Reader binary = BinaryToDecimal, octal = OctalToDecimal;
    const Reader hex = [](std::u16string_view text) { return HexToDecimal(text); };
    struct Row {
        const char* reader;
        Reader read;
        std::u16string text;
        std::int32_t expected;
    };
    const std::vector<Row> rows = {
        {"bin", binary, u"", 0},
        {"bin", binary, u"abc", 0},
        {"bin", binary, u"0101", 5},
        {"bin", binary, u"12", 2},
        {"bin", binary, repeated(31, u'1'), kMax},
        {"bin", binary, u"1" + repeated(30, u'0'), 1073741824},
        {"bin", binary, repeated(32, u'0'), 0},
        {"hex", hex, u"ff", 799},
        {"hex", hex, u"G", 16},
        {"hex", hex, u"0x10", 16656},
        {"hex", hex, u":@", 57},
        {"hex", hex, u"\u00e9", 8},
        {"hex", hex, u" 1", 0},
        {"hex", hex, u"7FFFFFFF", kMax},
        {"hex", hex, u"80000000", 0},
        {"hex", hex, repeated(255, u'0') + u"1", 1},
        {"hex", hex, repeated(256, u'0') + u"1", 0},
        {"oct", octal, u"777", 511},
        {"oct", octal, u"19", 17},
        {"oct", octal, u"7a", 0},
        {"oct", octal, u"17777777777", kMax},
        {"oct", octal, u"20000000000", 0},
        {"oct", octal, repeated(341, u'0') + u"1", 1},
        {"oct", octal, repeated(342, u'0') + u"1", 0},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(testing::Message() << "row " << i << ": " << row.reader << " of " << row.text.size() << " units");
        EXPECT_EQ(row.read(row.text), row.expected);
    }
}

// Counts its calls and maps every unit to one fixed code.
class FixedCodePage final : public AnsiCodePage {
public:
    explicit FixedCodePage(std::int16_t code) : code_(code) {}
    std::int16_t characterCode(char16_t) const override {
        ++calls;
        return code_;
    }
    mutable int calls = 0;

private:
    std::int16_t code_;
};

TEST(Conversions, HexReaderUsesThePluggedCodePage) {
    struct Row {
        std::int16_t code;
        std::u16string text;
        std::int32_t expected;
        bool consulted;
    };
    const std::vector<Row> rows = {
        {70, u"\u00e91", 241, true}, // code 70 is the digit 15
        {70, u"19", 25, false},      // digits 0 to 9 never ask the code page
        {310, u"\u4e00", 255, true}, // a double-byte code: 255 still fits 8 bits
        {311, u"\u4e00", 0, true},
        {-32768, u"\u4e00", 0, true},          // the 16-bit difference overflows
        {56, repeated(32767, u'x'), 0, true},  // reaches the digits, then overflows
        {56, repeated(32768, u'x'), 0, false}, // the index overflows first
        {56, repeated(65537, u'x'), 0, false}, // and does not wrap around
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "code " << row.code << ", " << row.text.size() << " units");
        const FixedCodePage page(row.code);
        EXPECT_EQ(HexToDecimal(row.text, page), row.expected);
        EXPECT_EQ(page.calls > 0, row.consulted);
    }
}

TEST(Conversions, ReadersGiveBackWhatWritersWrite) {
    std::vector<std::int32_t> values = {0, 1, 2, 7, 8, 15, 16, 255, 256, 1073741824, 2147483646, kMax};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::int32_t> anyPositive(1, kMax);
    for (int i = 0; i < 2000; ++i) values.push_back(anyPositive(random));
    for (const std::int32_t value : values) {
        SCOPED_TRACE(value);
        EXPECT_EQ(BinaryToDecimal(DecimalToBinary(value)), value);
        EXPECT_EQ(HexToDecimal(DecimalToHex(value)), value);
        EXPECT_EQ(OctalToDecimal(DecimalToOctal(value)), value);
        // Negative numerals are two's complement and do not read back.
        EXPECT_EQ(HexToDecimal(DecimalToHex(-value)), 0);
        EXPECT_EQ(OctalToDecimal(DecimalToOctal(-value)), 0);
    }
}

} // namespace
} // namespace numoria::conversions
