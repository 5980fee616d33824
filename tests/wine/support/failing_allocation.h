// Makes one allocation of a loaded DLL fail: the DLL's import of the C
// runtime's malloc is pointed at a counter that, when armed, fails the n-th
// allocation the calling thread makes through it (operator new raises
// std::bad_alloc there). Unarmed, every allocation goes through as before.
#pragma once

#include <windows.h>

namespace wine_tests {

class FailingAllocation {
public:
    // Redirects `module`'s malloc (once for the process); false when the
    // module imports no malloc from msvcrt.dll.
    static bool redirect(HMODULE module);

    // The `n`-th malloc from now on this thread fails; 0 fails none.
    explicit FailingAllocation(unsigned n);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // True once the armed allocation has been failed.
    bool failed() const;
};

}  // namespace wine_tests
