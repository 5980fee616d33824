#include "matrix/element_array.h"

#include <cstring>
#include <limits>
#include <utility>

#include "runtime/runtime_error.h"

namespace numoria::matrix {

namespace {

// Automation arrays address at most 2^31 bytes on a 32-bit host; the same
// ceiling keeps a 64-bit build from trying absurd allocations.
constexpr std::uint64_t kMaxElements = (std::uint64_t{1} << 31) / sizeof(double);

std::size_t elementCount(Dimension rows, Dimension columns) {
    const std::uint64_t total = static_cast<std::uint64_t>(rows.count) * columns.count;
    if (total > kMaxElements) raiseRuntimeError(ErrorNumber::OutOfMemory);
    return static_cast<std::size_t>(total);
}

// A zeroed block from the provider in effect; out of memory (7) without one.
std::unique_ptr<ElementStorage> allocateStorage(Dimension rows, Dimension columns) {
    std::unique_ptr<ElementStorage> storage = currentStorageProvider().allocate(rows, columns);
    if (storage == nullptr) raiseRuntimeError(ErrorNumber::OutOfMemory);
    return storage;
}

} // namespace

ElementArray::ElementArray(const ElementArray& other)
        : present_(other.present_), rows_(other.rows_), columns_(other.columns_), size_(other.size_) {
    if (size_ == 0) return;
    storage_ = allocateStorage(rows_, columns_);
    std::memcpy(storage_->elements(), other.elements_, size_ * sizeof(double));
    elements_ = storage_->elements();
}

ElementArray::ElementArray(ElementArray&& other) noexcept { *this = std::move(other); }

ElementArray& ElementArray::operator=(const ElementArray& other) {
    if (this != &other) *this = ElementArray(other);
    return *this;
}

ElementArray& ElementArray::operator=(ElementArray&& other) noexcept {
    if (this == &other) return *this;
    present_ = std::exchange(other.present_, false);
    rows_ = std::exchange(other.rows_, {});
    columns_ = std::exchange(other.columns_, {});
    size_ = std::exchange(other.size_, 0);
    elements_ = std::exchange(other.elements_, nullptr);
    storage_ = std::move(other.storage_);
    return *this;
}

ElementArray ElementArray::withBounds(std::int32_t lower1, std::int32_t upper1, std::int32_t lower2,
                                      std::int32_t upper2) {
    if (upper1 < lower1 || upper2 < lower2) raiseRuntimeError(ErrorNumber::SubscriptOutOfRange);
    const auto count1 = static_cast<std::uint64_t>(static_cast<std::int64_t>(upper1) - lower1 + 1);
    const auto count2 = static_cast<std::uint64_t>(static_cast<std::int64_t>(upper2) - lower2 + 1);
    if (count1 > std::numeric_limits<std::uint32_t>::max() || count2 > std::numeric_limits<std::uint32_t>::max()) {
        raiseRuntimeError(ErrorNumber::OutOfMemory);
    }
    return withDimensions({lower1, static_cast<std::uint32_t>(count1)}, {lower2, static_cast<std::uint32_t>(count2)});
}

ElementArray ElementArray::withDimensions(Dimension rows, Dimension columns) {
    ElementArray array;
    array.size_ = elementCount(rows, columns);
    if (array.size_ != 0) {
        array.storage_ = allocateStorage(rows, columns);
        array.elements_ = array.storage_->elements();
    }
    array.present_ = true;
    array.rows_ = rows;
    array.columns_ = columns;
    return array;
}

ElementArray ElementArray::borrowing(const double* elements, Dimension rows, Dimension columns) {
    ElementArray array;
    array.size_ = elementCount(rows, columns);
    array.elements_ = array.size_ != 0 ? elements : nullptr;
    array.present_ = true;
    array.rows_ = rows;
    array.columns_ = columns;
    return array;
}

std::unique_ptr<ElementStorage> ElementArray::releaseStorage() noexcept {
    std::unique_ptr<ElementStorage> storage = std::move(storage_);
    *this = ElementArray();
    return storage;
}

bool operator==(const ElementArray& a, const ElementArray& b) {
    return a.present_ == b.present_ && a.rows_ == b.rows_ && a.columns_ == b.columns_ && a.size_ == b.size_ &&
           (a.size_ == 0 || std::memcmp(a.elements_, b.elements_, a.size_ * sizeof(double)) == 0);
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
