// The descriptions a type library hands out and takes back (TYPEATTR,
// TLIBATTR, FUNCDESC, VARDESC), each released to its owner when it goes out
// of scope.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace numoria::frame {

// One description `Attribute` that `Owner` hands out and takes back by `Give`.
template <class Owner, class Attribute, void (STDMETHODCALLTYPE Owner::*Give)(Attribute*)>
class TypeDescription {
public:
    TypeDescription() = default;
    TypeDescription(const TypeDescription&) = delete;
    TypeDescription& operator=(const TypeDescription&) = delete;
    ~TypeDescription() { reset(); }

    // The slot for `owner`'s getter; the description held so far is given back first.
    Attribute** out(Owner* owner) noexcept {
        reset();
        owner_ = owner;
        return &attribute_;
    }
    const Attribute* get() const noexcept { return attribute_; }
    const Attribute* operator->() const noexcept { return attribute_; }
    explicit operator bool() const noexcept { return attribute_ != nullptr; }
    // The getter's status, where a constructor called it.
    HRESULT status() const noexcept { return status_; }

protected:
    // Records the status of a getter that has written into out().
    void keep(HRESULT status) noexcept {
        status_ = status;
        if (FAILED(status)) attribute_ = nullptr;
    }

private:
    void reset() noexcept {
        if (attribute_ != nullptr) (owner_->*Give)(attribute_);
        attribute_ = nullptr;
        owner_ = nullptr;
    }

    Owner* owner_ = nullptr;
    Attribute* attribute_ = nullptr;
    HRESULT status_ = S_OK;
};

// Each read in its constructor; empty (false) when the getter fails (or the
// owner is null), with the getter's status kept.
class TypeAttr : public TypeDescription<ITypeInfo, TYPEATTR, &ITypeInfo::ReleaseTypeAttr> {
public:
    TypeAttr() = default;
    explicit TypeAttr(ITypeInfo* info) { keep(info != nullptr ? info->GetTypeAttr(out(info)) : E_POINTER); }
};

class FuncDesc : public TypeDescription<ITypeInfo, FUNCDESC, &ITypeInfo::ReleaseFuncDesc> {
public:
    FuncDesc() = default;
    FuncDesc(ITypeInfo* info, UINT index) { keep(info != nullptr ? info->GetFuncDesc(index, out(info)) : E_POINTER); }
};

class VarDesc : public TypeDescription<ITypeInfo, VARDESC, &ITypeInfo::ReleaseVarDesc> {
public:
    VarDesc() = default;
    VarDesc(ITypeInfo* info, UINT index) { keep(info != nullptr ? info->GetVarDesc(index, out(info)) : E_POINTER); }
};

class LibAttr : public TypeDescription<ITypeLib, TLIBATTR, &ITypeLib::ReleaseTLibAttr> {
public:
    LibAttr() = default;
    explicit LibAttr(ITypeLib* library) { keep(library != nullptr ? library->GetLibAttr(out(library)) : E_POINTER); }
};

} // namespace numoria::frame
