#include "apartment_thread.h"

#include <atomic>
#include <memory>
#include <thread>

namespace wine_tests {

const char* apartmentName(Apartment apartment) {
    return apartment == Apartment::SingleThreaded ? "single-threaded apartment" : "multithreaded apartment";
}

bool runInApartment(Apartment apartment, const std::function<void()>& body, DWORD timeLimitMs) {
    // Shared with the thread, which may outlive this call when it hangs.
    struct Shared {
        HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::atomic<bool> started{false};
        std::function<void()> body;
        ~Shared() { CloseHandle(done); }
    };
    auto shared = std::make_shared<Shared>();
    shared->body = body;
    const DWORD model = apartment == Apartment::SingleThreaded ? COINIT_APARTMENTTHREADED : COINIT_MULTITHREADED;
    std::thread thread([shared, model] {
        if (SUCCEEDED(CoInitializeEx(nullptr, model))) {
            shared->started = true;
            shared->body();
            CoUninitialize();
        }
        SetEvent(shared->done);
    });
    DWORD index = 0;
    const HRESULT waited = CoWaitForMultipleHandles(0, timeLimitMs, 1, &shared->done, &index);
    if (waited != S_OK) {
        thread.detach();
        return false;
    }
    thread.join();
    return shared->started;
}

} // namespace wine_tests
