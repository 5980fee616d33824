#include "cross_apartment.h"

namespace wine_tests {

const char* routeName(Route route) {
    return route == Route::GlobalInterfaceTable ? "global interface table" : "marshaled stream";
}

CrossApartment::CrossApartment(Route route, IUnknown* object, REFIID iid) : route_(route) {
    if (route_ == Route::Stream) {
        published_ = CoMarshalInterThreadInterfaceInStream(iid, object, &stream_);
        return;
    }
    published_ = CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IGlobalInterfaceTable, reinterpret_cast<void**>(table_.GetAddressOf()));
    if (SUCCEEDED(published_)) published_ = table_->RegisterInterfaceInGlobal(object, iid, &cookie_);
}

CrossApartment::~CrossApartment() {
    if (stream_) {
        CoReleaseMarshalData(stream_);
        stream_->Release();
    }
    if (cookie_) table_->RevokeInterfaceFromGlobal(cookie_);
}

HRESULT CrossApartment::fetch(REFIID iid, void** object) {
    if (FAILED(published_)) return published_;
    if (route_ == Route::GlobalInterfaceTable) return table_->GetInterfaceFromGlobal(cookie_, iid, object);
    IStream* stream = stream_;
    stream_ = nullptr;
    return stream ? CoGetInterfaceAndReleaseStream(stream, iid, object) : E_UNEXPECTED;
}

} // namespace wine_tests
