// Reading type descriptions in the client tests: the frame's owners of
// TYPEATTR, FUNCDESC, VARDESC and TLIBATTR, and the name of a type or member.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "frame/com/type_attributes.h"
#include "support/automation_raii.h"
#include "support/status_check.h"

namespace wine_tests {

using numoria::frame::FuncDesc;
using numoria::frame::LibAttr;
using numoria::frame::TypeAttr;
using numoria::frame::VarDesc;

// The name of a type (MEMBERID_NIL) or of one of its members; a failed
// lookup throws FailedStatus.
inline std::wstring nameOf(ITypeInfo* info, MEMBERID id = MEMBERID_NIL) {
    Bstr name;
    throwIfFailed(info->GetDocumentation(id, name.out(), nullptr, nullptr, nullptr), "ITypeInfo::GetDocumentation");
    return name.text();
}

} // namespace wine_tests
