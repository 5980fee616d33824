// The process environment of a test: variables set for one scope, the
// stand-in's log redirected to a private file, the paths of the built DLLs.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace wine_tests {

// Sets (or with nullopt removes) one variable and restores it on exit.
// Win32 environment, so the DLLs loaded in this process see it at once.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::wstring name, std::optional<std::wstring> value);
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment();

private:
    std::wstring name_;
    std::optional<std::wstring> previous_;
};

// Points NUMORIA_STANDIN_LOG at a fresh empty file for one scope.
class ScopedStandinLog {
public:
    ScopedStandinLog();
    ScopedStandinLog(const ScopedStandinLog&) = delete;
    ScopedStandinLog& operator=(const ScopedStandinLog&) = delete;
    ~ScopedStandinLog();

    std::vector<std::string> lines() const;
    // Lines whose first field (before " | ") is `call`, each split into fields.
    std::vector<std::vector<std::string>> calls(const std::string& call) const;
    std::string contents() const;

private:
    std::wstring path_;
    ScopedEnvironment redirect_;
};

std::optional<std::wstring> environmentValue(const std::wstring& name);

// Windows path of a file in the folder of built DLLs (NUMORIA_TEST_DIST).
std::wstring distFile(const std::wstring& name);
bool fileExists(const std::wstring& path);

} // namespace wine_tests
