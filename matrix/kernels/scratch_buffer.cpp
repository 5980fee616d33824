#include "matrix/kernels/scratch_buffer.h"

#include <cstdint>
#include <mutex>
#include <utility>

namespace numoria::matrix::kernels {

namespace {

constexpr std::size_t kLineDoubles = 8; // doubles per cache line

// Buffers given up, for the next ones asked for.
class IdleBuffers {
public:
    // A kept buffer of at least `wanted` values (the smallest such), or none.
    std::unique_ptr<double[]> take(std::size_t wanted, std::size_t& size) {
        const std::lock_guard<std::mutex> lock(mutex_);
        Slot* best = nullptr;
        for (Slot& slot : slots_) {
            if (slot.values && slot.size >= wanted && (!best || slot.size < best->size)) best = &slot;
        }
        if (!best) return nullptr;
        size = best->size;
        kept_ -= best->size;
        return std::move(best->values);
    }

    // Keeps the buffer if a slot is free and the total stays in bounds;
    // otherwise it is freed.
    void give(std::unique_ptr<double[]> values, std::size_t size) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (kept_ + size > kMostKept) return;
        for (Slot& slot : slots_) {
            if (slot.values) continue;
            slot.values = std::move(values);
            slot.size = size;
            kept_ += size;
            return;
        }
    }

private:
    static constexpr std::size_t kMostKept = std::size_t{4} << 20; // doubles: 32 MiB in all
    struct Slot {
        std::unique_ptr<double[]> values;
        std::size_t size = 0;
    };
    std::mutex mutex_;
    Slot slots_[8];
    std::size_t kept_ = 0;
};

IdleBuffers& idleBuffers() {
    static IdleBuffers buffers;
    return buffers;
}

} // namespace

ScratchBuffer::ScratchBuffer(ScratchBuffer&& other) noexcept
        : values_(std::move(other.values_)), size_(std::exchange(other.size_, 0)) {}

ScratchBuffer& ScratchBuffer::operator=(ScratchBuffer&& other) noexcept {
    if (this != &other) {
        release();
        values_ = std::move(other.values_);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

ScratchBuffer::~ScratchBuffer() { release(); }

void ScratchBuffer::release() {
    if (values_) idleBuffers().give(std::move(values_), size_);
    size_ = 0;
}

void ScratchBuffer::reserve(std::size_t wanted) {
    fresh_ = false;
    if (size_ >= wanted) return;
    release();
    std::size_t size = 0;
    if (auto kept = idleBuffers().take(wanted, size)) {
        values_ = std::move(kept);
        size_ = size;
        return;
    }
    values_.reset(new double[wanted]);
    size_ = wanted;
    fresh_ = true;
}

double* ScratchBuffer::aligned() const {
    constexpr std::uintptr_t line = kLineDoubles * sizeof(double);
    const auto address = reinterpret_cast<std::uintptr_t>(values_.get());
    return values_.get() + ((line - address % line) % line) / sizeof(double);
}

} // namespace numoria::matrix::kernels
