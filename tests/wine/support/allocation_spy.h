// Counts the blocks of the task allocator (CoTaskMemAlloc) that are
// allocated while a spy is registered and not yet freed. Automation strings
// and arrays come from that allocator, so a leaked BSTR or SAFEARRAY shows
// up as an outstanding block.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <wrl/client.h>

#include <cstddef>

namespace wine_tests {

class AllocationSpy {
public:
    AllocationSpy(); // registers the spy for the process
    AllocationSpy(const AllocationSpy&) = delete;
    AllocationSpy& operator=(const AllocationSpy&) = delete;
    ~AllocationSpy(); // revokes it

    HRESULT registration() const { return registration_; }
    std::size_t outstanding() const;
    std::size_t allocations() const; // since registration
    std::size_t peak() const;        // most blocks outstanding at once

private:
    class Spy;
    Microsoft::WRL::ComPtr<Spy> spy_;
    HRESULT registration_ = E_FAIL;
};

// Turns off oleaut32's cache of freed strings (its SetOaNoCache export), so
// that freeing a BSTR frees its block instead of keeping it for reuse.
// False when the export is missing.
bool disableStringCache();

} // namespace wine_tests
