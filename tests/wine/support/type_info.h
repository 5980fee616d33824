// Reading type descriptions in the client tests: the frame's owners of
// TYPEATTR, FUNCDESC, VARDESC and TLIBATTR, and the name of a type or member.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "frame/com/type_attributes.h"
#include "support/automation_raii.h"

namespace wine_tests {

using numoria::frame::FuncDesc;
using numoria::frame::LibAttr;
using numoria::frame::TypeAttr;
using numoria::frame::VarDesc;

inline std::wstring nameOf(ITypeInfo* info, MEMBERID id = MEMBERID_NIL) {
    Bstr name;
    info->GetDocumentation(id, name.out(), nullptr, nullptr, nullptr);
    return name.text();
}

} // namespace wine_tests
