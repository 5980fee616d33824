// Handlers of the stand-in's members (one per member, named after it).
#pragma once

#include "named_dispatch.h"

namespace vxfu {

CallOutcome ensure_environment_status(const CallArguments& args, VARIANT* result);
CallOutcome app_about(const CallArguments& args, VARIANT* result);
CallOutcome error_handler_message(const CallArguments& args, VARIANT* result);

} // namespace vxfu
