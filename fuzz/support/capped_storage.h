// The drivers run as a host with little memory: while a run lasts, element
// blocks come from a provider that refuses any block above a cap (the core
// then raises out of memory, 7), so that counts up to 32767 never make a run
// touch gigabytes. The provider also remembers the largest block it was
// asked for, which the core promises never exceeds 2^31 bytes.
#pragma once

#include <cstdint>
#include <memory>

#include "matrix/element_storage.h"

namespace numoria::fuzz {

inline constexpr std::uint64_t kStorageCapBytes = std::uint64_t{32} << 20;

class CappedStorage final : public matrix::StorageProvider {
public:
    CappedStorage() : scope_(*this) {}

    std::unique_ptr<matrix::ElementStorage> allocate(matrix::Dimension rows,
                                                     matrix::Dimension columns) noexcept override;

    // The largest block asked for, granted or not, in bytes.
    std::uint64_t largestRequestBytes() const noexcept { return largestRequestBytes_; }

private:
    std::uint64_t largestRequestBytes_ = 0;
    matrix::ScopedStorageProvider scope_;
};

} // namespace numoria::fuzz
