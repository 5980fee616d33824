#include "matrix/element_array.h"

#include <cstring>
#include <limits>
#include <new>

#include "runtime/runtime_error.h"

namespace numoria::matrix {

namespace {

// Automation arrays address at most 2^31 bytes on a 32-bit host; the same
// ceiling keeps a 64-bit build from trying absurd allocations.
constexpr std::uint64_t kMaxElements = (std::uint64_t{1} << 31) / sizeof(double);

} // namespace

ElementArray ElementArray::withBounds(std::int32_t lower1, std::int32_t upper1,
                                      std::int32_t lower2, std::int32_t upper2) {
    if (upper1 < lower1 || upper2 < lower2) raiseRuntimeError(ErrorNumber::SubscriptOutOfRange);
    const auto count1 = static_cast<std::uint64_t>(static_cast<std::int64_t>(upper1) - lower1 + 1);
    const auto count2 = static_cast<std::uint64_t>(static_cast<std::int64_t>(upper2) - lower2 + 1);
    if (count1 > std::numeric_limits<std::uint32_t>::max() || count2 > std::numeric_limits<std::uint32_t>::max()) {
        raiseRuntimeError(ErrorNumber::OutOfMemory);
    }
    return withDimensions({lower1, static_cast<std::uint32_t>(count1)},
                          {lower2, static_cast<std::uint32_t>(count2)});
}

ElementArray ElementArray::withDimensions(Dimension rows, Dimension columns) {
    const std::uint64_t total = static_cast<std::uint64_t>(rows.count) * columns.count;
    if (total > kMaxElements) raiseRuntimeError(ErrorNumber::OutOfMemory);
    ElementArray array;
    try {
        array.data_.assign(static_cast<std::size_t>(total), 0.0);
    } catch (const std::bad_alloc&) {
        raiseRuntimeError(ErrorNumber::OutOfMemory);
    }
    array.present_ = true;
    array.rows_ = rows;
    array.columns_ = columns;
    return array;
}

bool operator==(const ElementArray& a, const ElementArray& b) {
    return a.present_ == b.present_ && a.rows_ == b.rows_ && a.columns_ == b.columns_ &&
           a.data_.size() == b.data_.size() &&
           (a.data_.empty() || std::memcmp(a.data_.data(), b.data_.data(), a.data_.size() * sizeof(double)) == 0);
}

std::size_t ElementArray::offsetOf(std::int32_t row, std::int32_t column) const {
    if (!present_ || !rows_.contains(row) || !columns_.contains(column)) {
        raiseRuntimeError(ErrorNumber::SubscriptOutOfRange);
    }
    const auto rowOffset = static_cast<std::size_t>(static_cast<std::int64_t>(row) - rows_.lowerBound);
    const auto columnOffset = static_cast<std::size_t>(static_cast<std::int64_t>(column) - columns_.lowerBound);
    return rowOffset + columnOffset * rows_.count;
}

} // namespace numoria::matrix
