// clsVxNumoria10A: the library information class. Its interface is complete;
// the members themselves (App object, resource loaders, About, the
// per-thread BuddyObjectGlobal) are not implemented yet and raise
// E_NOTIMPL with a description.
#include <ocidl.h>

#include "frame/server/automation_object.h"
#include "frame/server/class_catalogue.h"

namespace numoria::frame {

namespace {

using Microsoft::WRL::ComPtr;

[[noreturn]] void notImplemented(const char16_t* member) {
    throw FrameError(E_NOTIMPL, std::u16string(u"clsVxNumoria10A.") + member + u" is not implemented yet");
}

ComPtr<IDispatch> getProStdProperties() { notImplemented(u"GetProStdProperties"); }
std::u16string getProResStrings(std::int32_t) { notImplemented(u"GetProResStrings"); }
ComPtr<IDispatch> getProResPicture(std::int32_t, std::int32_t) { notImplemented(u"GetProResPicture"); }
Variant getProResData(std::int32_t, const Variant&) { notImplemented(u"GetProResData"); }
std::int32_t about() { notImplemented(u"About"); }
ComPtr<IDispatch> getBuddyObjectGlobal() { notImplemented(u"BuddyObjectGlobal"); }
void putRefBuddyObjectGlobal(const ComPtr<IDispatch>&) { notImplemented(u"BuddyObjectGlobal"); }

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
