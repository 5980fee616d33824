// Hands an interface pointer from the apartment that owns the object to
// another one, through the global interface table or a marshaled stream.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <wrl/client.h>

namespace wine_tests {

enum class Route { GlobalInterfaceTable, Stream };

const char* routeName(Route route);

class CrossApartment {
public:
    // On the owning thread.
    CrossApartment(Route route, IUnknown* object, REFIID iid);
    CrossApartment(const CrossApartment&) = delete;
    CrossApartment& operator=(const CrossApartment&) = delete;
    ~CrossApartment();

    HRESULT published() const { return published_; }
    // On the other thread: a proxy for the object (a stream is read once).
    HRESULT fetch(REFIID iid, void** object);

private:
    Route route_;
    HRESULT published_ = E_FAIL;
    Microsoft::WRL::ComPtr<IGlobalInterfaceTable> table_;
    DWORD cookie_ = 0;
    IStream* stream_ = nullptr;
};

} // namespace wine_tests
