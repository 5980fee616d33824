// clsVxNumoria10A: the library information class. Its members forward to the
// thread's App object, the resource loaders over this file, the framework's
// About box and the per-thread BuddyObjectGlobal storage.
#include <ocidl.h>

#include "frame/library_info/resource_loader.h"
#include "frame/library_info/thread_module_data.h"
#include "frame/server/automation_object.h"
#include "frame/server/class_catalogue.h"
#include "frame/services/framework_services.h"
#include "runtime/checked_int.h"

namespace numoria::frame {

namespace {

using Microsoft::WRL::ComPtr;

ComPtr<IDispatch> getProStdProperties() { return threadAppObject(); }
std::u16string getProResStrings(std::int32_t id) { return loadResourceString(id); }
// The kind is narrowed to 16 bits before anything is looked up.
ComPtr<IDispatch> getProResPicture(std::int32_t id, std::int32_t kind) {
    return loadResourcePicture(id, narrowChecked<std::int16_t>(kind));
}
Variant getProResData(std::int32_t id, const Variant& type) { return loadResourceData(id, *type.get()); }
std::int32_t about() {
    AppAboutVxfu_Pro(threadAppObject().Get());
    return 0;
}
ComPtr<IDispatch> getBuddyObjectGlobal() { return heldThreadObject(); }
void putRefBuddyObjectGlobal(const ComPtr<IDispatch>& object) { holdThreadObject(object); }

constexpr Member kInformationMembers[] = {
    member<&getProStdProperties>(L"GetProStdProperties", 0x68030004, DISPATCH_PROPERTYGET),
    member<&getProResStrings, 0b1>(L"GetProResStrings", 0x68030003, DISPATCH_PROPERTYGET),
    member<&getProResPicture, 0b11>(L"GetProResPicture", 0x68030002, DISPATCH_PROPERTYGET),
    member<&getProResData, 0b11>(L"GetProResData", 0x68030001, DISPATCH_PROPERTYGET),
    member<&about>(L"About", 0x60030005),
    member<&getBuddyObjectGlobal>(L"BuddyObjectGlobal", 0x68030000, DISPATCH_PROPERTYGET),
    member<&putRefBuddyObjectGlobal>(L"BuddyObjectGlobal", 0x68030000, DISPATCH_PROPERTYPUTREF),
};

class InformationObject final : public AutomationObject<_clsVxNumoria10A> {
public:
    InformationObject() : AutomationObject(kInformationMembers) {}

    HRESULT STDMETHODCALLTYPE get_GetProStdProperties(IDispatch** pRet) override {
        return earlyCall<&getProStdProperties>(interfaceId(), pRet);
    }
    HRESULT STDMETHODCALLTYPE get_GetProResStrings(LONG* lResId, BSTR* pRet) override {
        return earlyCall<&getProResStrings>(interfaceId(), pRet, lResId);
    }
    HRESULT STDMETHODCALLTYPE get_GetProResPicture(LONG* lResId, LoadResConstants* lRestype, IPictureDisp** pRet) override {
        return earlyCall<&getProResPicture>(interfaceId(), pRet, lResId, lRestype);
    }
    HRESULT STDMETHODCALLTYPE get_GetProResData(LONG* lResId, VARIANT* vRestype, VARIANT* pRet) override {
        return earlyCall<&getProResData>(interfaceId(), pRet, lResId, vRestype);
    }
    HRESULT STDMETHODCALLTYPE About(LONG* pRet) override { return earlyCall<&about>(interfaceId(), pRet); }
    HRESULT STDMETHODCALLTYPE get_BuddyObjectGlobal(IDispatch** pRet) override {
        return earlyCall<&getBuddyObjectGlobal>(interfaceId(), pRet);
    }
    HRESULT STDMETHODCALLTYPE putref_BuddyObjectGlobal(IDispatch* oNewValue) override {
        return earlyCallWithoutResult<&putRefBuddyObjectGlobal>(interfaceId(), oNewValue);
    }
};

} // namespace

IUnknown* newInformationObject() {
    return static_cast<_clsVxNumoria10A*>(new (std::nothrow) InformationObject());
}

} // namespace numoria::frame
