#include "frame/module/type_library.h"

#include <atomic>

#include "frame/errors/frame_error.h"
#include "frame/module/module_state.h"

using Microsoft::WRL::ComPtr;

namespace numoria::frame {

namespace {

ComPtr<ITypeLib> loadedFrom(const std::wstring& path) {
    ComPtr<ITypeLib> library;
    throwIfFailed(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library));
    return library;
}

// A library loaded on first use and kept for the life of the module. Two
// threads that load it at once both succeed; the first to store its
// reference wins and the other lets its own go.
class CachedLibrary {
public:
    ComPtr<ITypeLib> get(std::wstring (*path)()) {
        if (ITypeLib* cached = library_.load(std::memory_order_acquire)) return cached;
        ComPtr<ITypeLib> loaded = loadedFrom(path());
        ITypeLib* expected = nullptr;
        if (library_.compare_exchange_strong(expected, loaded.Get(), std::memory_order_acq_rel)) {
            loaded->AddRef(); // the cache's own reference
            return loaded;
        }
        return expected;
    }
    void release() noexcept {
        if (ITypeLib* cached = library_.exchange(nullptr)) cached->Release();
    }

private:
    std::atomic<ITypeLib*> library_{nullptr};
};

CachedLibrary g_library;
CachedLibrary g_runtimeLibrary;

} // namespace

ComPtr<ITypeLib> embeddedTypeLibrary() { return g_library.get(&modulePath); }

std::wstring runtimeTypeLibraryPath() { return modulePath() + L"\\2"; }

ComPtr<ITypeLib> embeddedRuntimeTypeLibrary() { return g_runtimeLibrary.get(&runtimeTypeLibraryPath); }

ComPtr<ITypeInfo> typeInfoOf(REFGUID guid) {
    ComPtr<ITypeInfo> info;
    if (SUCCEEDED(embeddedTypeLibrary()->GetTypeInfoOfGuid(guid, &info))) return info;
    throwIfFailed(embeddedRuntimeTypeLibrary()->GetTypeInfoOfGuid(guid, &info));
    return info;
}

void releaseTypeLibraries(bool processEnding) noexcept {
    // A process that is ending reclaims everything itself.
    if (processEnding) return;
    g_library.release();
    g_runtimeLibrary.release();
}

} // namespace numoria::frame
