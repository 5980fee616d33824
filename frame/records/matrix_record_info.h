// The library's own description of the Matrix record (IRecordInfo). Hosts
// receive it with every record result; it creates, copies and clears records
// with their SAFEARRAY field handled as an owned array.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace numoria::frame {

// The one instance; each reference a host holds keeps the module loaded.
IRecordInfo* matrixRecordInfo() noexcept;

// True when `info` describes the Matrix record (ours or the platform's).
bool describesMatrix(IRecordInfo* info) noexcept;

} // namespace numoria::frame
