#include "machine.h"

#include <fstream>
#include <sstream>
#include <thread>

namespace numoria::bench {

namespace {

std::string firstLine(const char* path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

// The value of the first "key : value" line of /proc/cpuinfo with this key.
std::string cpuInfo(const std::string& key) {
    std::ifstream file("/proc/cpuinfo");
    for (std::string line; std::getline(file, line);) {
        if (line.rfind(key, 0) == 0 && line.find(':') != std::string::npos) return line.substr(line.find(':') + 2);
    }
    return "?";
}

} // namespace

std::string processorDescription() {
    std::ostringstream text;
    text << cpuInfo("model name") << " (family " << cpuInfo("cpu family") << ", model " << cpuInfo("model") << ", "
         << cpuInfo("cpu MHz") << " MHz), " << std::thread::hardware_concurrency() << " cores, L1d "
         << firstLine("/sys/devices/system/cpu/cpu0/cache/index0/size") << ", L2 "
         << firstLine("/sys/devices/system/cpu/cpu0/cache/index2/size") << ", L3 "
         << firstLine("/sys/devices/system/cpu/cpu0/cache/index3/size") << " per core or group";
    return text.str();
}

std::string loadAverage() { return firstLine("/proc/loadavg"); }

} // namespace numoria::bench
