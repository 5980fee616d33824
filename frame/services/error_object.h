// A small error object (Number, Source, Description, read by name) that the
// framework services hand to the error handler of the framework library.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include "runtime/runtime_error.h"

namespace numoria::frame {

Microsoft::WRL::ComPtr<IDispatch> newErrorObject(const RuntimeError& error);

} // namespace numoria::frame
