#include "process_memory.h"

#include <psapi.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace numoria_bench {

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

FileHandle openFile(const std::wstring& path, DWORD access) {
    HANDLE handle =
        CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    return FileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

std::string readText(const std::wstring& path) {
    FileHandle file = openFile(path, GENERIC_READ);
    if (!file) return {};
    std::string text;
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &count, nullptr) && count > 0) text.append(buffer, count);
    return text;
}

// The value of "<key>:  <n> kB" in bytes, 0 when the key is missing.
SIZE_T kilobytesField(const std::string& status, const char* key) {
    const std::string label = std::string("\n") + key + ":";
    const std::size_t at = status.find(label);
    if (at == std::string::npos) return 0;
    return static_cast<SIZE_T>(std::strtoull(status.c_str() + at + label.size(), nullptr, 10)) * 1024;
}

} // namespace

std::optional<ProcessMemoryReader> ProcessMemoryReader::fromEnvironment() {
    const char* pid = std::getenv("NUMORIA_UNIX_PID");
    if (pid == nullptr || *pid == '\0') return std::nullopt;
    ProcessMemoryReader reader(L"Z:\\proc\\" + std::wstring(pid, pid + std::strlen(pid)));
    if (reader.read().resident == 0) return std::nullopt;
    return reader;
}

ProcessMemory ProcessMemoryReader::read() const {
    // A leading newline lets every key, the first included, be found as "\n<key>:".
    std::string status(1, '\n');
    status += readText(folder_ + L"\\status");
    ProcessMemory memory;
    memory.resident = kilobytesField(status, "VmRSS");
    memory.peakResident = kilobytesField(status, "VmHWM");
    memory.anonymousResident = kilobytesField(status, "RssAnon");
    memory.committed = kilobytesField(status, "VmData");
    return memory;
}

bool ProcessMemoryReader::resetPeakResident() const {
    FileHandle file = openFile(folder_ + L"\\clear_refs", GENERIC_WRITE);
    DWORD written = 0;
    // "5" resets the peak resident size (see the kernel's proc documentation).
    return file && WriteFile(file.get(), "5", 1, &written, nullptr) && written == 1;
}

PlatformMemoryCounters platformMemoryCounters() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    PlatformMemoryCounters figures;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return figures;
    figures.privateUsage = counters.PrivateUsage;
    figures.pagefileUsage = counters.PagefileUsage;
    figures.peakPagefileUsage = counters.PeakPagefileUsage;
    figures.workingSet = counters.WorkingSetSize;
    figures.peakWorkingSet = counters.PeakWorkingSetSize;
    return figures;
}

} // namespace numoria_bench
