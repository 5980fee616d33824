#include "support/matrix_reader.h"

#include <algorithm>
#include <cstdint>

namespace numoria::fuzz {

namespace {

using matrix::Dimension;
using matrix::ElementArray;
using matrix::Matrix;

// What an array's dimension looks like beside the record's count.
Dimension readDimension(InputReader& input, std::int16_t count, bool libraryBounds) {
    if (libraryBounds) return {1, static_cast<std::uint32_t>(std::max<std::int16_t>(count, 0))};
    Dimension dimension;
    dimension.lowerBound = input.flag() ? input.pick(-2, 2) : input.value32();
    switch (input.pick(0, 2)) {
    case 0: dimension.count = static_cast<std::uint32_t>(std::max(0, count + input.pick(-2, 2))); break;
    case 1: dimension.count = static_cast<std::uint32_t>(input.pick(0, 8)); break;
    default: dimension.count = input.count32(); break;
    }
    return dimension;
}

} // namespace

Matrix readMatrix(InputReader& input, std::size_t elementBudget, std::optional<std::int16_t> likelyRows) {
    Matrix record;
    record.m = likelyRows && input.flag() ? *likelyRows : input.count16();
    record.n = input.pick(0, 2) == 0 ? record.m : input.count16();
    const int shape = input.pick(0, 7);
    if (shape == 0) return record; // the array is absent
    const bool libraryBounds = shape <= 5;
    Dimension rows = readDimension(input, record.m, libraryBounds);
    Dimension columns = readDimension(input, record.n, libraryBounds);
    rows.count = static_cast<std::uint32_t>(std::min<std::size_t>(rows.count, elementBudget));
    if (rows.count > 0) {
        columns.count = static_cast<std::uint32_t>(std::min<std::size_t>(columns.count, elementBudget / rows.count));
    }
    record.Element = ElementArray::withDimensions(rows, columns);
    for (std::size_t k = 0; k < record.Element.size(); ++k) record.Element.data()[k] = input.value();
    return record;
}

} // namespace numoria::fuzz
