// Feeds the number-base conversions and the combinatorics. They trap every
// error themselves, so nothing at all may leave them. Besides, readers never
// give a negative total, every numeral a writer makes reads back as its value
// (negative values as 0), and the combinatorics give finite, non-negative
// results.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "combinatorics/combinatorics.h"
#include "conversions/conversions.h"
#include "runtime/runtime_error.h"
#include "support/input_reader.h"
#include "support/outcome.h"

namespace numoria::fuzz {
namespace {

using namespace conversions;

// A code page whose codes come from the input: any 16-bit code (a double-byte
// code page may give codes outside 0 to 255), or an error for some units.
class FuzzCodePage final : public AnsiCodePage {
public:
    explicit FuzzCodePage(InputReader& input) {
        for (int k = input.pick(1, 8); k > 0; --k) codes_.push_back(input.pick(0, 7) == 0 ? kRaises : input.count16());
    }

    std::int16_t characterCode(char16_t unit) const override {
        const int code = codes_[unit % codes_.size()];
        if (code == kRaises) raiseRuntimeError(ErrorNumber::Overflow);
        return static_cast<std::int16_t>(code);
    }

private:
    static constexpr int kRaises = std::numeric_limits<int>::max();
    std::vector<int> codes_;
};

template <typename Call>
auto trapped(Call call) {
    try {
        return call();
    } catch (...) {
        violated("an error left a method that traps every error");
    }
}

void checkReader(std::int32_t (*read)(std::u16string_view), const std::u16string& text) {
    require(trapped([&] { return read(text); }) >= 0, "a numeral reader gave a negative total");
}

void checkWriters(std::int32_t value) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::u16string binary = trapped([&] { return DecimalToBinary(value); });
    if (value >= 1 && value < kMax) {
        require(trapped([&] { return BinaryToDecimal(binary); }) == value, "a binary numeral does not read back");
    } else if (value == 0 || value == -1) {
        require(binary.empty(), "0 and -1 do not give the empty binary text");
    } else if (value < -1) {
        require(binary == u"0", "a value of -2 or less does not give the binary text 0");
    }

    const std::u16string hex = trapped([&] { return DecimalToHex(value); });
    const std::u16string octal = trapped([&] { return DecimalToOctal(value); });
    const std::int32_t expected = value >= 0 ? value : 0;
    require(trapped([&] { return HexToDecimal(hex); }) == expected, "a hexadecimal numeral does not read back");
    require(trapped([&] { return OctalToDecimal(octal); }) == expected, "an octal numeral does not read back");
    if (value < 0) require(hex.size() == 8 && octal.size() == 11, "a negative value is not written in full width");
}

void checkCount(double result) {
    require(std::isfinite(result) && result >= 0.0, "a combinatorics result is negative or not finite");
}

void run(InputReader& input) {
    switch (input.pick(0, 7)) {
    case 0: return checkReader(BinaryToDecimal, input.text());
    case 1: return checkReader(HexToDecimal, input.text());
    case 2: {
        const FuzzCodePage codePage(input);
        const std::u16string text = input.text();
        require(trapped([&] { return HexToDecimal(text, codePage); }) >= 0, "a numeral reader gave a negative total");
        return;
    }
    case 3: return checkReader(OctalToDecimal, input.text());
    case 4: return checkWriters(input.value32());
    case 5: {
        const std::int16_t n = input.count16(), r = input.count16();
        return checkCount(trapped([&] { return combinatorics::Combination(n, r); }));
    }
    case 6: {
        const std::int16_t n = input.count16(), r = input.count16();
        return checkCount(trapped([&] { return combinatorics::Permutation(n, r); }));
    }
    default: {
        const std::int16_t n = input.count16();
        return checkCount(trapped([&] { return combinatorics::Factorial(n); }));
    }
    }
}

} // namespace
} // namespace numoria::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    numoria::fuzz::InputReader input(data, size);
    numoria::fuzz::run(input);
    return 0;
}
