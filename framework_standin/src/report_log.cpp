#include "report_log.h"

#include "test_hooks.h"

#include <windows.h>

#include "frame/com/bstr.h"

namespace vxfu {
namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

} // namespace

void recordLine(const std::wstring& line) {
    OutputDebugStringW((L"VxFundara10: " + line + L"\n").c_str());

    std::wstring path = hooks::logPath();
    if (path.empty()) return;
    // Opened for each line in append mode, so several processes can share
    // one log and a reader sees every line as soon as the call returns.
    FileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return;
    std::string bytes = numoria::frame::narrow(std::wstring_view(line)) + "\r\n";
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

} // namespace vxfu
