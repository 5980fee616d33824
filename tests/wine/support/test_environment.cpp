#include "test_environment.h"

#include <windows.h>

#include <fstream>
#include <sstream>

namespace wine_tests {
namespace {

std::wstring freshTempFile() {
    wchar_t folder[MAX_PATH];
    wchar_t file[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"vxl", 0, file); // creates it empty
    return file;
}

std::vector<std::string> split(const std::string& line, const std::string& separator) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t at; (at = line.find(separator, start)) != std::string::npos; start = at + separator.size())
        fields.push_back(line.substr(start, at - start));
    fields.push_back(line.substr(start));
    return fields;
}

} // namespace

std::optional<std::wstring> environmentValue(const std::wstring& name) {
    wchar_t buffer[4096];
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableW(name.c_str(), buffer, 4096);
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::wstring(buffer, length);
}

ScopedEnvironment::ScopedEnvironment(std::wstring name, std::optional<std::wstring> value)
        : name_(std::move(name)), previous_(environmentValue(name_)) {
    SetEnvironmentVariableW(name_.c_str(), value ? value->c_str() : nullptr);
}

ScopedEnvironment::~ScopedEnvironment() {
    SetEnvironmentVariableW(name_.c_str(), previous_ ? previous_->c_str() : nullptr);
}

ScopedStandinLog::ScopedStandinLog() : path_(freshTempFile()), redirect_(L"NUMORIA_STANDIN_LOG", path_) {}

ScopedStandinLog::~ScopedStandinLog() { DeleteFileW(path_.c_str()); }

std::string ScopedStandinLog::contents() const {
    std::ifstream in(path_.c_str(), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::vector<std::string> ScopedStandinLog::lines() const {
    std::vector<std::string> result;
    std::istringstream in(contents());
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) result.push_back(line);
    }
    return result;
}

std::vector<std::vector<std::string>> ScopedStandinLog::calls(const std::string& call) const {
    std::vector<std::vector<std::string>> result;
    for (const std::string& line : lines()) {
        auto fields = split(line, " | ");
        if (fields.front() == call) result.push_back(std::move(fields));
    }
    return result;
}

std::wstring distFile(const std::wstring& name) {
    std::wstring folder = environmentValue(L"NUMORIA_TEST_DIST").value_or(L".");
    return folder + L"\\" + name;
}

bool fileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

} // namespace wine_tests
