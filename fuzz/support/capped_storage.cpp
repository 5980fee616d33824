#include "support/capped_storage.h"

#include <algorithm>

namespace numoria::fuzz {

std::unique_ptr<matrix::ElementStorage> CappedStorage::allocate(matrix::Dimension rows,
                                                                matrix::Dimension columns) noexcept {
    const std::uint64_t bytes = std::uint64_t{rows.count} * columns.count * sizeof(double);
    largestRequestBytes_ = std::max(largestRequestBytes_, bytes);
    if (bytes > kStorageCapBytes) return nullptr;
    return matrix::heapStorage().allocate(rows, columns);
}

} // namespace numoria::fuzz
