#include "frame/library_info/thread_module_data.h"

#include <objbase.h>

#include <atomic>

#include "frame/com/ref_counted.h"
#include "frame/errors/frame_error.h"
#include "frame/library_info/app_object.h"
#include "frame/module/module_state.h"

using Microsoft::WRL::ComPtr;

namespace numoria::frame {

namespace {

// One thread's copy. Copies are kept in a list that only grows, so that a
// copy can be claimed and given back without a lock, and every copy can be
// found when the library is unloaded.
struct ThreadData {
    std::atomic<bool> claimed{false};
    ThreadData* next = nullptr;
    AppObject* app = nullptr;
    IDispatch* held = nullptr; // a counted reference; holds a module lock
    bool watchingApartment = false;
    ULARGE_INTEGER watchCookie{};
};

std::atomic<ThreadData*> g_allThreadData{nullptr};
DWORD g_slot = TLS_OUT_OF_INDEXES;

ThreadData* claimThreadData() {
    for (ThreadData* data = g_allThreadData.load(); data != nullptr; data = data->next) {
        bool expected = false;
        if (data->claimed.compare_exchange_strong(expected, true)) return data;
    }
    auto* data = new ThreadData();
    data->claimed = true;
    data->next = g_allThreadData.load();
    while (!g_allThreadData.compare_exchange_weak(data->next, data)) {
    }
    return data;
}

ThreadData* existingThreadData() noexcept {
    return g_slot == TLS_OUT_OF_INDEXES ? nullptr : static_cast<ThreadData*>(TlsGetValue(g_slot));
}

ThreadData& currentThreadData() {
    if (ThreadData* data = existingThreadData()) return *data;
    if (g_slot == TLS_OUT_OF_INDEXES) throw FrameError(E_UNEXPECTED);
    ThreadData* data = claimThreadData();
    TlsSetValue(g_slot, data);
    return *data;
}

// Drops what the copy holds. `mayRelease` says whether the held reference
// may be released (a call into its owner) or must only be forgotten.
void emptyThreadData(ThreadData& data, bool mayRelease) noexcept {
    if (IDispatch* held = data.held) {
        data.held = nullptr;
        if (mayRelease) held->Release();
        unlockModule();
    }
    dropFromCache(data.app);
    data.app = nullptr;
}

void stopWatchingApartment(ThreadData& data) noexcept;

// Watches the thread's apartment while the thread holds a reference, so
// that the reference is released when the apartment ends, while the objects
// of the apartment can still be called. One static instance serves every
// thread; COM's reference counting of it is not needed.
class ApartmentEndWatch final : public RefCounted<ApartmentEndWatch, IInitializeSpy> {
public:
    ULONG addReference() noexcept { return 2; }
    ULONG releaseReference() noexcept { return 1; }

    HRESULT STDMETHODCALLTYPE PreInitialize(DWORD, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostInitialize(HRESULT result, DWORD, DWORD) override { return result; }
    HRESULT STDMETHODCALLTYPE PreUninitialize(DWORD apartmentReferences) override {
        if (apartmentReferences != 1) return S_OK;
        if (ThreadData* data = existingThreadData()) {
            stopWatchingApartment(*data);
            emptyThreadData(*data, true);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostUninitialize(DWORD) override { return S_OK; }
};

ApartmentEndWatch g_apartmentEndWatch;

void startWatchingApartment(ThreadData& data) noexcept {
    if (data.watchingApartment) return;
    data.watchingApartment = SUCCEEDED(CoRegisterInitializeSpy(&g_apartmentEndWatch, &data.watchCookie));
}

void stopWatchingApartment(ThreadData& data) noexcept {
    if (!data.watchingApartment) return;
    CoRevokeInitializeSpy(data.watchCookie);
    data.watchingApartment = false;
}

} // namespace

ComPtr<IDispatch> threadAppObject() {
    ThreadData& data = currentThreadData();
    if (data.app == nullptr) data.app = newCachedAppObject();
    ComPtr<IDispatch> app;
    *app.GetAddressOf() = callerReference(*data.app);
    return app;
}

ComPtr<IDispatch> heldThreadObject() {
    ThreadData* data = existingThreadData();
    return data != nullptr ? ComPtr<IDispatch>(data->held) : ComPtr<IDispatch>();
}

void holdThreadObject(const ComPtr<IDispatch>& object) {
    ThreadData& data = currentThreadData();
    IDispatch* previous = data.held;
    if (object) {
        object->AddRef();
        if (previous == nullptr) lockModule();
        data.held = object.Get();
        startWatchingApartment(data);
    } else {
        data.held = nullptr;
        if (previous != nullptr) unlockModule();
        stopWatchingApartment(data);
    }
    // Released last: the release may run code that reads the storage again.
    if (previous != nullptr) previous->Release();
}

bool threadDataAttachProcess() noexcept {
    g_slot = TlsAlloc();
    return g_slot != TLS_OUT_OF_INDEXES;
}

void threadDataDetachThread() noexcept {
    ThreadData* data = existingThreadData();
    if (data == nullptr) return;
    emptyThreadData(*data, false);
    data->watchingApartment = false;
    TlsSetValue(g_slot, nullptr);
    data->claimed = false;
}

void threadDataDetachProcess(bool processEnding) noexcept {
    // A process that is ending reclaims everything itself.
    if (processEnding) return;
    ThreadData* data = g_allThreadData.exchange(nullptr);
    while (data != nullptr) {
        ThreadData* next = data->next;
        emptyThreadData(*data, false);
        delete data;
        data = next;
    }
    TlsFree(g_slot);
    g_slot = TLS_OUT_OF_INDEXES;
}

} // namespace numoria::frame
