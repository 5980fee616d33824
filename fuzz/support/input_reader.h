// Turns the fuzz bytes into the arguments the core takes: 16-bit counts and
// positions, 32-bit values and lower bounds, doubles and UTF-16 texts. Each
// kind mixes the values that matter most (small numbers, the ends of the
// type's range, NaN, infinities) with arbitrary ones. Once the bytes run out,
// doubles come from a generator seeded by the input, so that a short input
// can still fill a large array with values other than zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

namespace numoria::fuzz {

class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size);

    bool flag();
    // A value from low to high, both included.
    int pick(int low, int high);

    // A row or column count or position: mostly small, often an end of the
    // 16-bit range, sometimes anything.
    std::int16_t count16();
    // A 32-bit value: small, an end of the range, or anything.
    std::int32_t value32();
    // An element count of an array dimension, up to the full 32-bit range.
    std::uint32_t count32();
    // An element value: small whole numbers, NaN, infinities, extremes or raw bits.
    double value();

    // A text of UTF-16 units, either read unit by unit or a short pattern
    // repeated up to a length that matters to the numeral readers (31, 256,
    // 32767, ...).
    std::u16string text();

    bool exhausted() { return data_.remaining_bytes() == 0; }

private:
    char16_t unit();
    double generatedValue();

    FuzzedDataProvider data_;
    std::uint64_t generator_;
};

} // namespace numoria::fuzz
