// Handlers of the stand-in's members (one per member, named after it).
#pragma once

#include "named_dispatch.h"

namespace vxfu {

CallOutcome ensureEnvironmentStatus(const CallArguments& args, VARIANT* result);
CallOutcome appAbout(const CallArguments& args, VARIANT* result);
CallOutcome errorHandlerMessage(const CallArguments& args, VARIANT* result);

} // namespace vxfu
