// basVxfuCommonA: the services of the sibling framework library, reached by
// late binding. Each creates a fresh framework object, calls one method by
// name and releases it. Errors of those steps are reported through the
// framework's error handler and the next step runs; an error inside the
// report itself leaves the service.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "runtime/runtime_error.h"

namespace numoria::frame {

// Run by the initialisation of every public object.
void EnsureVxEnvironmentStatus_Pro();

// Has the framework show its About box for the library's App object.
void AppAboutVxfu_Pro(IDispatch* app);

// Reports `error`, met at `location`, to the framework's error handler.
void ErrorHandlerMessageVx_Pro(const wchar_t* location, const RuntimeError& error);

} // namespace numoria::frame
