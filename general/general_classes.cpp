// clsVxNumsGeneralA and clsVxNumsAdvancedA: classes without members of their
// own. Their objects answer IDispatch with an empty member table.
#include "frame/server/automation_object.h"
#include "frame/server/class_catalogue.h"

namespace numoria::frame {

namespace {

class GeneralObject final : public AutomationObject<_clsVxNumsGeneralA> {
public:
    GeneralObject() : AutomationObject({}) {}
};

class AdvancedObject final : public AutomationObject<_clsVxNumsAdvancedA> {
public:
    AdvancedObject() : AutomationObject({}) {}
};

} // namespace

IUnknown* newGeneralObject() { return static_cast<_clsVxNumsGeneralA*>(new (std::nothrow) GeneralObject()); }
IUnknown* newAdvancedObject() { return static_cast<_clsVxNumsAdvancedA*>(new (std::nothrow) AdvancedObject()); }

} // namespace numoria::frame
