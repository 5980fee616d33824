// A copy of some keys below HKEY_CLASSES_ROOT, with everything beneath them,
// taken before registration changes them, so that a registration that fails
// part-way can put the registry back as it found it.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace numoria::frame {

class RegistryBackup {
public:
    // Reads every key below `roots`; throws FrameError when one cannot be
    // read, before anything has been changed.
    explicit RegistryBackup(const std::vector<std::wstring>& roots);

    // Puts the saved keys back, touching only the keys and values that now
    // differ (so a key's access list or volatility survives where nothing in
    // it changed). Returns false when some part could not be put back.
    bool restore() const noexcept;

private:
    struct NoCaseLess {
        bool operator()(const std::wstring& a, const std::wstring& b) const noexcept;
    };
    struct Value {
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
        bool operator==(const Value&) const = default;
    };
    using Values = std::map<std::wstring, Value, NoCaseLess>;
    // Full key path to its values; a key that does not exist has no entry.
    using Tree = std::map<std::wstring, Values, NoCaseLess>;

    static void read(const std::wstring& path, Tree& into);
    bool restoreRoot(const std::wstring& root) const noexcept;
    static bool restoreValues(const std::wstring& path, const Values& saved, const Values* current) noexcept;

    std::vector<std::wstring> roots_;
    Tree saved_;
};

} // namespace numoria::frame
