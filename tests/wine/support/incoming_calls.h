// Watches the calls that reach the current single-threaded apartment from
// other apartments (its message filter): on which thread each arrived, and
// for which interface and virtual-table slot.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <vector>

namespace wine_tests {

struct IncomingCall {
    DWORD thread;
    IID iid;
    WORD method;
};

class IncomingCalls {
public:
    IncomingCalls(); // installs itself as the apartment's message filter
    IncomingCalls(const IncomingCalls&) = delete;
    IncomingCalls& operator=(const IncomingCalls&) = delete;
    ~IncomingCalls(); // puts the previous filter back

    bool installed() const { return installed_; }
    const std::vector<IncomingCall>& calls() const;

private:
    class Filter;
    Filter* filter_;
    IMessageFilter* previous_ = nullptr;
    bool installed_ = false;
};

} // namespace wine_tests
