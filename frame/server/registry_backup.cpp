#include "frame/server/registry_backup.h"

#include <algorithm>

#include "frame/errors/frame_error.h"
#include "frame/com/registry_key.h"

namespace numoria::frame {

namespace {

void check(LSTATUS status) {
    if (status != ERROR_SUCCESS) throw FrameError(HRESULT_FROM_WIN32(status));
}

bool isWithin(const std::wstring& path, const std::wstring& root) noexcept {
    return path.size() >= root.size() && _wcsnicmp(path.c_str(), root.c_str(), root.size()) == 0 &&
           (path.size() == root.size() || path[root.size()] == L'\\');
}

} // namespace

bool RegistryBackup::NoCaseLess::operator()(const std::wstring& a, const std::wstring& b) const noexcept {
    return _wcsicmp(a.c_str(), b.c_str()) < 0;
}

RegistryBackup::RegistryBackup(const std::vector<std::wstring>& roots) : roots_(roots) {
    for (const std::wstring& root : roots_) read(root, saved_);
}

void RegistryBackup::read(const std::wstring& path, Tree& into) {
    std::vector<std::wstring> children;
    {
        RegistryKey key;
        const LSTATUS opened = key.open(path, KEY_READ);
        if (opened == ERROR_FILE_NOT_FOUND) return;
        check(opened);
        Values& values = into[path];
        DWORD subkeyCount = 0, longestSubkey = 0, valueCount = 0, longestValueName = 0, largestValue = 0;
        check(RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeyCount, &longestSubkey, nullptr, &valueCount,
                               &longestValueName, &largestValue, nullptr, nullptr));
        std::vector<wchar_t> name(std::max(longestSubkey, longestValueName) + 1);
        std::vector<BYTE> data(largestValue);
        for (DWORD index = 0; index < valueCount; ++index) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD size = static_cast<DWORD>(data.size());
            DWORD type = REG_NONE;
            check(RegEnumValueW(key.get(), index, name.data(), &nameLength, nullptr, &type, data.data(), &size));
            values[std::wstring(name.data(), nameLength)] = Value{type, {data.begin(), data.begin() + size}};
        }
        for (DWORD index = 0; index < subkeyCount; ++index) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            check(RegEnumKeyExW(key.get(), index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr));
            children.push_back(path + L"\\" + std::wstring(name.data(), nameLength));
        }
    }
    for (const std::wstring& child : children) read(child, into);
}

bool RegistryBackup::restoreValues(const std::wstring& path, const Values& saved, const Values* current) noexcept {
    if (current != nullptr && *current == saved) return true;
    RegistryKey key;
    if (key.create(path, KEY_SET_VALUE) != ERROR_SUCCESS) return false;
    bool complete = true;
    if (current != nullptr)
        for (const auto& [name, value] : *current)
            if (!saved.contains(name)) complete &= RegDeleteValueW(key.get(), name.c_str()) == ERROR_SUCCESS;
    for (const auto& [name, value] : saved) {
        if (current != nullptr) {
            const auto now = current->find(name);
            if (now != current->end() && now->second == value) continue;
        }
        complete &= RegSetValueExW(key.get(), name.c_str(), 0, value.type, value.data.data(),
                                   static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
    }
    return complete;
}

bool RegistryBackup::restore() const noexcept {
    bool complete = true;
    for (const std::wstring& root : roots_) complete &= restoreRoot(root);
    return complete;
}

bool RegistryBackup::restoreRoot(const std::wstring& root) const noexcept {
    try {
        Tree current;
        read(root, current);
        bool complete = true;
        // Keys that were not there before go, with everything below them; a
        // key below one already removed is gone too.
        for (const auto& [path, values] : current) {
            if (saved_.contains(path)) continue;
            const LSTATUS removed = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
            complete &= removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
        }
        // A parent sorts before its children, so missing keys are made top
        // down.
        for (const auto& [path, values] : saved_) {
            if (!isWithin(path, root)) continue;
            const auto now = current.find(path);
            complete &= restoreValues(path, values, now == current.end() ? nullptr : &now->second);
        }
        return complete;
    } catch (...) {
        return false;
    }
}

} // namespace numoria::frame
