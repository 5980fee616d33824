#include "registry_tree.h"

#include "automation_raii.h"
#include "status_check.h"
#include "frame/com/registry_key.h"

namespace wine_tests {
namespace {

using numoria::frame::RegistryKey;

// The one value a key that exists but cannot be read is given: the key
// still compares, and stays equal to itself while it stays unreadable.
const wchar_t kUnreadable[] = L"(unreadable)";

void readTree(const std::wstring& path, RegistryTree& into) {
    std::vector<std::wstring> children;
    {
        RegistryKey key;
        const LSTATUS opened = key.open(path, KEY_READ);
        if (opened == ERROR_FILE_NOT_FOUND) return;
        if (opened == ERROR_ACCESS_DENIED) {
            into[path][kUnreadable] = RegistryValue{REG_NONE, {}};
            return;
        }
        throwIfRegistryFailed(opened, "RegOpenKeyExW", path);
        RegistryValues& values = into[path];
        DWORD subkeys = 0, longestSubkey = 0, valueCount = 0, longestName = 0, largestValue = 0;
        throwIfRegistryFailed(RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr,
                                               &valueCount, &longestName, &largestValue, nullptr, nullptr),
                              "RegQueryInfoKeyW", path);
        std::vector<wchar_t> name(longestName + longestSubkey + 2);
        std::vector<BYTE> data(largestValue + 1);
        for (DWORD index = 0; index < valueCount; ++index) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD size = static_cast<DWORD>(data.size());
            DWORD type = REG_NONE;
            const LSTATUS status =
                RegEnumValueW(key.get(), index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
            if (status == ERROR_NO_MORE_ITEMS) break;
            throwIfRegistryFailed(status, "RegEnumValueW", path);
            values[std::wstring(name.data(), nameLength)] = {type, {data.begin(), data.begin() + size}};
        }
        for (DWORD index = 0; index < subkeys; ++index) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            const LSTATUS status =
                RegEnumKeyExW(key.get(), index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_NO_MORE_ITEMS) break;
            throwIfRegistryFailed(status, "RegEnumKeyExW", path);
            children.push_back(path + L"\\" + std::wstring(name.data(), nameLength));
        }
    }
    for (const std::wstring& child : children) readTree(child, into);
}

std::string describe(const RegistryValue& value) {
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()), value.data.size() / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        std::string quoted = "\"";
        quoted += narrow(text);
        return quoted + "\"";
    }
    return "type " + std::to_string(value.type) + ", " + std::to_string(value.data.size()) + " bytes";
}

} // namespace

bool NoCaseLess::operator()(const std::wstring& a, const std::wstring& b) const {
    return _wcsicmp(a.c_str(), b.c_str()) < 0;
}

RegistryTree readClassTrees(const std::vector<std::wstring>& roots) {
    RegistryTree tree;
    for (const std::wstring& root : roots) readTree(root, tree);
    return tree;
}

std::string treeDifferences(const RegistryTree& expected, const RegistryTree& actual) {
    std::string out;
    for (const auto& [path, values] : expected) {
        auto found = actual.find(path);
        if (found == actual.end()) {
            out += "missing key " + narrow(path) + "\n";
            continue;
        }
        for (const auto& [name, value] : values) {
            auto now = found->second.find(name);
            if (now == found->second.end())
                out += "missing value " + narrow(path) + " [" + narrow(name) + "]\n";
            else if (!(now->second == value))
                out += "changed value " + narrow(path) + " [" + narrow(name) + "]: " + describe(value) + " -> " +
                       describe(now->second) + "\n";
        }
        for (const auto& [name, value] : found->second)
            if (!values.contains(name))
                out += "extra value " + narrow(path) + " [" + narrow(name) + "] = " + describe(value) + "\n";
    }
    for (const auto& [path, values] : actual)
        if (!expected.contains(path)) out += "extra key " + narrow(path) + "\n";
    return out;
}

} // namespace wine_tests
