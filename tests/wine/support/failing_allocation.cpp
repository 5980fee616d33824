#include "failing_allocation.h"

#include <cstdlib>
#include <cstring>

namespace wine_tests {

namespace {

using Malloc = void*(__cdecl*)(size_t);
Malloc g_malloc = nullptr;
thread_local unsigned t_countdown = 0;
thread_local bool t_failed = false;

void* __cdecl counted_malloc(size_t size) {
    if (t_countdown != 0 && --t_countdown == 0) {
        t_failed = true;
        return nullptr;
    }
    return g_malloc(size);
}

}  // namespace

bool FailingAllocation::redirect(HMODULE module) {
    if (!module) return false;
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name != 0; ++entry) {
        if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), "msvcrt.dll") != 0) continue;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(name->Name), "malloc") != 0) continue;
            if (reinterpret_cast<Malloc>(slots->u1.Function) == &counted_malloc) return true;
            DWORD protection = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection))
                return false;
            g_malloc = reinterpret_cast<Malloc>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(&counted_malloc);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return true;
        }
    }
    return false;
}

FailingAllocation::FailingAllocation(unsigned n) {
    t_countdown = n;
    t_failed = false;
}

FailingAllocation::~FailingAllocation() { t_countdown = 0; }

bool FailingAllocation::failed() const { return t_failed; }

}  // namespace wine_tests
