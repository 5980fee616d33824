#include "allocation_spy.h"
#include "heap_com_object.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <unordered_set>

namespace wine_tests {

class AllocationSpy::Spy final : public HeapComObject<AllocationSpy::Spy, IMallocSpy> {
public:
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
    void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
        if (actual) {
            std::lock_guard lock(mutex_);
            add(actual);
        }
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override {
        std::lock_guard lock(mutex_);
        live_.erase(request);
        return request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override {
        std::lock_guard lock(mutex_);
        reallocated_ = live_.erase(request) ? request : nullptr;
        reallocatedToNothing_ = size == 0;
        *newRequest = request;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override {
        std::lock_guard lock(mutex_);
        // A failed reallocation keeps the old block; one to size 0 frees it.
        if (actual)
            add(actual);
        else if (reallocated_ && !reallocatedToNothing_)
            live_.insert(reallocated_);
        reallocated_ = nullptr;
        return actual;
    }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

    std::size_t outstanding() const {
        std::lock_guard lock(mutex_);
        return live_.size();
    }
    std::size_t allocations() const {
        std::lock_guard lock(mutex_);
        return allocations_;
    }
    std::size_t peak() const {
        std::lock_guard lock(mutex_);
        return peak_;
    }

private:
    void add(void* block) {
        live_.insert(block);
        ++allocations_;
        peak_ = std::max(peak_, live_.size());
    }

    mutable std::mutex mutex_;
    std::unordered_set<void*> live_;
    std::size_t allocations_ = 0;
    std::size_t peak_ = 0;
    void* reallocated_ = nullptr;
    bool reallocatedToNothing_ = false;
};

AllocationSpy::AllocationSpy() {
    *spy_.GetAddressOf() = new Spy();
    registration_ = CoRegisterMallocSpy(spy_.Get());
    // Wine 8 looks a freed block up in its list of spied blocks, and crashes
    // while that list does not exist yet: one spied block creates it.
    if (SUCCEEDED(registration_)) CoTaskMemFree(CoTaskMemAlloc(1));
}

AllocationSpy::~AllocationSpy() {
    if (SUCCEEDED(registration_)) CoRevokeMallocSpy();
}

std::size_t AllocationSpy::outstanding() const { return spy_->outstanding(); }
std::size_t AllocationSpy::allocations() const { return spy_->allocations(); }
std::size_t AllocationSpy::peak() const { return spy_->peak(); }

bool disableStringCache() {
    HMODULE automation = GetModuleHandleW(L"oleaut32.dll");
    auto setNoCache = reinterpret_cast<void(WINAPI*)()>(
        reinterpret_cast<void*>(automation ? GetProcAddress(automation, "SetOaNoCache") : nullptr));
    if (!setNoCache) return false;
    setNoCache();
    return true;
}

} // namespace wine_tests
