// Makes one allocation of a loaded DLL fail: the DLL's import of msvcrt's
// malloc is pointed at a counter that, while a FailingAllocation lives,
// fails the n-th allocation the calling thread makes through it (operator
// new raises std::bad_alloc there). Otherwise every allocation goes through.
#pragma once

#include <windows.h>

#include <cstring>

namespace wine_tests {

class FailingAllocation {
public:
    // Redirects `module`'s malloc (once for the process); false when the
    // module imports no malloc from msvcrt.dll.
    static bool redirect(HMODULE module) {
        if (!module) return false;
        auto* base = reinterpret_cast<BYTE*>(module);
        const auto* nt =
            reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports); entry->Name; ++entry) {
            if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), "msvcrt.dll") != 0) continue;
            const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
                    std::strcmp(reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name,
                                "malloc") != 0)
                    continue;
                if (slots->u1.Function == reinterpret_cast<ULONG_PTR>(&countedMalloc)) return true;
                DWORD protection = 0;
                if (!VirtualProtect(&slots->u1.Function, sizeof(ULONG_PTR), PAGE_READWRITE, &protection)) return false;
                realMalloc = reinterpret_cast<Malloc>(slots->u1.Function);
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(&countedMalloc);
                VirtualProtect(&slots->u1.Function, sizeof(ULONG_PTR), protection, &protection);
                return true;
            }
        }
        return false;
    }

    // The `n`-th malloc from now on this thread fails; 0 fails none.
    explicit FailingAllocation(unsigned n) {
        countdown = n;
        failed_ = false;
    }
    ~FailingAllocation() { countdown = 0; }
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // True once the armed allocation has been failed.
    bool failed() const { return failed_; }

private:
    using Malloc = void*(__cdecl*)(size_t);
    static void* __cdecl countedMalloc(size_t size) {
        if (countdown != 0 && --countdown == 0) {
            failed_ = true;
            return nullptr;
        }
        return realMalloc(size);
    }
    static inline Malloc realMalloc = nullptr;
    static inline thread_local unsigned countdown = 0;
    static inline thread_local bool failed_ = false;
};

} // namespace wine_tests
