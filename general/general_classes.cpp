// clsVxNumsGeneralA and clsVxNumsAdvancedA: classes without members of their
// own. Their objects answer IDispatch with an empty member table.
#include "frame/classes/class_makers.h"
#include "frame/dispatch/automation_object.h"

namespace numoria::frame {

namespace {
constexpr auto kNoMembers = members();
} // namespace

IUnknown* newGeneralObject() { return newAutomationObject<_clsVxNumsGeneralA, kNoMembers>(); }
IUnknown* newAdvancedObject() { return newAutomationObject<_clsVxNumsAdvancedA, kNoMembers>(); }

} // namespace numoria::frame
