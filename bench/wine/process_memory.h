// The memory figures of this process as the Linux kernel keeps them for
// the Wine process that runs it, read from /proc/<pid>/status through the
// Z: drive. Wine 8's own GetProcessMemoryInfo derives its figures from the
// same file but leaves PrivateUsage at 0, gives PagefileUsage as the
// anonymous resident memory and PeakPagefileUsage as that same current
// value: only the peak working set is a real peak there. The kernel's peak
// resident size can also be reset, which makes it a peak over one call.
//
// The Unix process id comes from the environment (NUMORIA_UNIX_PID): a
// Windows program cannot learn it, and /proc/self would name the
// wineserver, which opens files on the program's behalf.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

namespace numoria_bench {

struct ProcessMemory {
    SIZE_T resident = 0;          // VmRSS
    SIZE_T peakResident = 0;      // VmHWM, since the start or the last reset
    SIZE_T anonymousResident = 0; // RssAnon: private memory in use
    SIZE_T committed = 0;         // VmData: private writable mappings, what Wine has committed
};

class ProcessMemoryReader {
public:
    // Empty when NUMORIA_UNIX_PID is not set or its status file cannot be read.
    static std::optional<ProcessMemoryReader> fromEnvironment();

    ProcessMemory read() const;
    // Sets the kernel's peak resident size back to the current size.
    bool resetPeakResident() const;

private:
    explicit ProcessMemoryReader(std::wstring folder) : folder_(std::move(folder)) {}
    std::wstring folder_; // Z:\proc\<pid>
};

// What Wine's GetProcessMemoryInfo reports, for comparison.
struct PlatformMemoryCounters {
    SIZE_T privateUsage = 0;
    SIZE_T pagefileUsage = 0;
    SIZE_T peakPagefileUsage = 0;
    SIZE_T workingSet = 0;
    SIZE_T peakWorkingSet = 0;
};
PlatformMemoryCounters platformMemoryCounters();

} // namespace numoria_bench
