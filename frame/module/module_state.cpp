#include "frame/module/module_state.h"

#include <atomic>
#include <vector>

#include "frame/errors/frame_error.h"

namespace numoria::frame {

namespace {
HINSTANCE g_module = nullptr;
std::atomic<long> g_locks{0};
} // namespace

void setModuleHandle(HINSTANCE module) noexcept { g_module = module; }
HINSTANCE moduleHandle() noexcept { return g_module; }

std::wstring modulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(g_module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) throw FrameError(HRESULT_FROM_WIN32(GetLastError()));
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

void lockModule() noexcept { ++g_locks; }
void unlockModule() noexcept { --g_locks; }
bool moduleInUse() noexcept { return g_locks.load() != 0; }

} // namespace numoria::frame
