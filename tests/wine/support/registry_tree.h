// Every key and value below some keys of HKEY_CLASSES_ROOT, read in depth,
// so two registry states can be compared value by value.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace wine_tests {

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RegistryValue&) const = default;
};

struct NoCaseLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};

// Key path (below HKEY_CLASSES_ROOT) to its values by name ("" is the
// default value). A key that does not exist has no entry; one that exists
// but refuses to be read has the single value "(unreadable)" of type
// REG_NONE, and nothing below it is read.
using RegistryValues = std::map<std::wstring, RegistryValue, NoCaseLess>;
using RegistryTree = std::map<std::wstring, RegistryValues, NoCaseLess>;

// Throws FailedStatus, naming the key, when a key can be neither read nor
// told absent or unreadable.
RegistryTree readClassTrees(const std::vector<std::wstring>& roots);

// The keys and values in which two trees differ, one per line.
std::string treeDifferences(const RegistryTree& expected, const RegistryTree& actual);

} // namespace wine_tests
