#include "support/input_reader.h"

#include <array>
#include <bit>
#include <cfloat>
#include <limits>

namespace numoria::fuzz {

namespace {

template <typename T, std::size_t N>
T oneOf(FuzzedDataProvider& data, const std::array<T, N>& choices) {
    return choices[data.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
}

constexpr std::array<std::int16_t, 10> kCount16Extremes = {-32768, -32767, -2, -1, 0, 1, 2, 32766, 32767, 16384};

constexpr std::array<std::int32_t, 10> kValue32Extremes = {std::numeric_limits<std::int32_t>::min(),
                                                           std::numeric_limits<std::int32_t>::min() + 1,
                                                           -2,
                                                           -1,
                                                           0,
                                                           1,
                                                           std::numeric_limits<std::int32_t>::max() - 1,
                                                           std::numeric_limits<std::int32_t>::max(),
                                                           1 << 30,
                                                           -(1 << 30)};

// Element counts around the limits of an array: 2^14 x 2^14 doubles is 2^31 bytes.
constexpr std::array<std::uint32_t, 10> kCount32Extremes = {
    0, 1, 2, (1u << 14), (1u << 14) + 1, (1u << 28), (1u << 28) + 1, (1u << 31), 0xFFFFFFFEu, 0xFFFFFFFFu};

const std::array<double, 16> kNotableValues = {
    0.0,
    -0.0,
    1.0,
    -1.0,
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    std::numeric_limits<double>::quiet_NaN(),
    std::numeric_limits<double>::signaling_NaN(),
    DBL_MAX,
    -DBL_MAX,
    DBL_MIN,
    std::numeric_limits<double>::denorm_min(),
    1e308,
    1e-308,
    0.5,
    3.0,
};

// The lengths at which the numeral readers change behaviour.
constexpr std::array<std::size_t, 14> kTextLengths = {0,   1,   31,  32,    33,    255,   256,
                                                      257, 341, 342, 32767, 32768, 32769, 40000};

// Characters the readers treat differently from digits and letters (a lone
// surrogate among them).
constexpr std::array<char16_t, 12> kNotableUnits = {
    u' ', u'-', u'+', u'.', u'x', u':', u'@', u'\0', u'\u00FF', u'\u0100', char16_t{0xD800}, u'\uFFFF'};

} // namespace

InputReader::InputReader(const std::uint8_t* data, std::size_t size)
        : data_(data, size), generator_(0x9E3779B97F4A7C15ull ^ size) {
    generator_ ^= data_.ConsumeIntegral<std::uint32_t>();
}

bool InputReader::flag() { return data_.ConsumeBool(); }

int InputReader::pick(int low, int high) { return data_.ConsumeIntegralInRange<int>(low, high); }

std::int16_t InputReader::count16() {
    switch (pick(0, 3)) {
    case 0: return data_.ConsumeIntegralInRange<std::int16_t>(0, 6);
    case 1: return data_.ConsumeIntegralInRange<std::int16_t>(-3, 70);
    case 2: return oneOf(data_, kCount16Extremes);
    default: return data_.ConsumeIntegral<std::int16_t>();
    }
}

std::int32_t InputReader::value32() {
    switch (pick(0, 2)) {
    case 0: return data_.ConsumeIntegralInRange<std::int32_t>(-5, 300);
    case 1: return oneOf(data_, kValue32Extremes);
    default: return data_.ConsumeIntegral<std::int32_t>();
    }
}

std::uint32_t InputReader::count32() {
    switch (pick(0, 2)) {
    case 0: return data_.ConsumeIntegralInRange<std::uint32_t>(0, 40);
    case 1: return oneOf(data_, kCount32Extremes);
    default: return data_.ConsumeIntegral<std::uint32_t>();
    }
}

double InputReader::value() {
    if (exhausted()) return generatedValue();
    switch (pick(0, 3)) {
    case 0: return data_.ConsumeIntegralInRange<int>(-9, 9);
    case 1: return kNotableValues[data_.ConsumeIntegralInRange<std::size_t>(0, kNotableValues.size() - 1)];
    case 2:
        // A scale far from 1 in either direction, for overflow and underflow.
        return data_.ConsumeIntegralInRange<int>(-9, 9) * (flag() ? 1e300 : 1e-300);
    default: return std::bit_cast<double>(data_.ConsumeIntegral<std::uint64_t>());
    }
}

// SplitMix64: small whole numbers, the kind a regular matrix is made of.
double InputReader::generatedValue() {
    generator_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = generator_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(static_cast<int>(z % 19) - 9);
}

char16_t InputReader::unit() {
    switch (pick(0, 3)) {
    case 0: return static_cast<char16_t>(u'0' + pick(0, 9));
    case 1: return static_cast<char16_t>(pick(0, 1) == 0 ? u'A' + pick(0, 25) : u'a' + pick(0, 25));
    case 2: return oneOf(data_, kNotableUnits);
    default: return data_.ConsumeIntegral<char16_t>();
    }
}

std::u16string InputReader::text() {
    const bool repeated = flag();
    const std::size_t length = repeated ? oneOf(data_, kTextLengths) : data_.ConsumeIntegralInRange<std::size_t>(0, 48);
    const std::size_t distinct = repeated ? data_.ConsumeIntegralInRange<std::size_t>(1, 8) : length;
    std::u16string pattern;
    for (std::size_t k = 0; k < distinct; ++k) pattern += unit();
    std::u16string result;
    result.reserve(length);
    while (result.size() < length) result += pattern.substr(0, length - result.size());
    return result;
}

} // namespace numoria::fuzz
