// Reading type descriptions in the client tests: a TYPEATTR released when it
// goes out of scope, and the name of a type or member.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "support/automation_raii.h"

namespace wine_tests {

class TypeAttr {
public:
    explicit TypeAttr(ITypeInfo* info) : info_(info) { info_->GetTypeAttr(&attr_); }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    ~TypeAttr() {
        if (attr_) info_->ReleaseTypeAttr(attr_);
    }
    const TYPEATTR* operator->() const { return attr_; }
    explicit operator bool() const { return attr_ != nullptr; }

private:
    ITypeInfo* info_;
    TYPEATTR* attr_ = nullptr;
};

inline std::wstring name_of(ITypeInfo* info, MEMBERID id = MEMBERID_NIL) {
    Bstr name;
    info->GetDocumentation(id, name.out(), nullptr, nullptr, nullptr);
    return name.text();
}

}  // namespace wine_tests
