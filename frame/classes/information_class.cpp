// clsVxNumoria10A: the library information class. Its members forward to the
// thread's App object, the resource loaders over this file, the framework's
// About box and the per-thread BuddyObjectGlobal storage.
#include <ocidl.h>

#include "frame/classes/class_makers.h"
#include "frame/library_info/resource_loader.h"
#include "frame/library_info/thread_module_data.h"
#include "frame/dispatch/automation_object.h"
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

using I = _clsVxNumoria10A;

constexpr auto kInformationMembers = members(
    member<&I::get_GetProStdProperties, &getProStdProperties>(L"GetProStdProperties", 0x68030004, DISPATCH_PROPERTYGET),
    member<&I::get_GetProResStrings, &getProResStrings>(L"GetProResStrings", 0x68030003, DISPATCH_PROPERTYGET),
    member<&I::get_GetProResPicture, &getProResPicture>(L"GetProResPicture", 0x68030002, DISPATCH_PROPERTYGET),
    member<&I::get_GetProResData, &getProResData>(L"GetProResData", 0x68030001, DISPATCH_PROPERTYGET),
    member<&I::About, &about>(L"About", 0x60030005),
    member<&I::get_BuddyObjectGlobal, &getBuddyObjectGlobal>(L"BuddyObjectGlobal", 0x68030000, DISPATCH_PROPERTYGET),
    member<&I::putref_BuddyObjectGlobal, &putRefBuddyObjectGlobal>(L"BuddyObjectGlobal", 0x68030000,
                                                                   DISPATCH_PROPERTYPUTREF));

} // namespace

IUnknown* newInformationObject() { return newAutomationObject<I, kInformationMembers>(); }

} // namespace numoria::frame
