// Uninitialised buffers of doubles for scratch that is written before it is
// read (packed panels, the determinant's working copy). Zeroing them, or
// having the system map and clear fresh pages for them, on every call would
// cost as much as a small product or determinant; so a buffer given up is
// kept for the next call that needs one no larger, up to a few, bounded in
// size, held until the library is unloaded.
#pragma once

#include <cstddef>
#include <memory>

namespace numoria::matrix::kernels {

class ScratchBuffer {
public:
    ScratchBuffer() = default;
    ScratchBuffer(const ScratchBuffer&) = delete;
    ScratchBuffer& operator=(const ScratchBuffer&) = delete;
    ScratchBuffer(ScratchBuffer&& other) noexcept;
    ScratchBuffer& operator=(ScratchBuffer&& other) noexcept;
    ~ScratchBuffer();

    // Room for `wanted` values (throws std::bad_alloc); the old ones are lost when it grows.
    void reserve(std::size_t wanted);
    // Whether the last reserve() had to allocate: the system then maps each
    // page when it is first written, at a cost of its own.
    bool freshlyAllocated() const { return fresh_; }
    double* data() const { return values_.get(); }
    // The buffer from its first cache line, so that no packed vector straddles two lines.
    double* aligned() const;

private:
    void release();
    std::unique_ptr<double[]> values_;
    std::size_t size_ = 0;
    bool fresh_ = false;
};

} // namespace numoria::matrix::kernels
