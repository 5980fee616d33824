// One member of one object, ready to be called by each route: early-bound
// through the dual interface's virtual table, through the object's own
// IDispatch::Invoke, and through the platform's DispInvoke. Each route's
// result can be checked against the value the member must give.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "call_forms.h"
#include "value_check.h"

namespace numoria_bench {

class CallFixture {
public:
    // `dualInterface` is the object's default interface (whose virtual
    // table DispInvoke calls), `vtableDescription` its TKIND_INTERFACE type
    // description, `arguments` the dispatch arguments in declaration order.
    // `argumentStorage` keeps alive what by-reference arguments point at.
    CallFixture(IDispatch* dualInterface, ITypeInfo* vtableDescription, const std::wstring& member,
                std::vector<Variant> arguments, std::shared_ptr<void> argumentStorage)
            : argumentStorage_(std::move(argumentStorage)),
              dualInterface_(dualInterface),
              vtableDescription_(vtableDescription),
              late_(dualInterface, member, std::move(arguments)) {}
    CallFixture(const CallFixture&) = delete;
    CallFixture& operator=(const CallFixture&) = delete;
    virtual ~CallFixture() = default;

    virtual HRESULT callEarly() = 0;
    HRESULT callInvoke() { return late_.throughInvoke(); }
    HRESULT callDispInvoke() { return late_.throughDispInvoke(dualInterface_.Get(), vtableDescription_.Get()); }

    // Empty when the last call's result is right; otherwise what is wrong.
    virtual std::string checkEarly() const = 0;
    virtual std::string checkLate() const = 0;

    std::string describeLate(HRESULT status) const { return late_.describe(status); }

protected:
    const VARIANT& lateResult() const { return late_.result(); }

private:
    std::shared_ptr<void> argumentStorage_;
    ComPtr<IDispatch> dualInterface_;
    ComPtr<ITypeInfo> vtableDescription_;
    DispatchCall late_;
};

// A member with a scalar result. `EarlyCall` is HRESULT(VARIANT* slot):
// it sets the slot's type and passes the address of its value as the
// virtual-table method's result; the slot is cleared before each call, as
// a host frees the previous result.
template <class EarlyCall>
class ScalarCallFixture final : public CallFixture {
public:
    ScalarCallFixture(IDispatch* dualInterface, ITypeInfo* vtableDescription, const std::wstring& member,
                      std::vector<Variant> arguments, std::shared_ptr<void> argumentStorage, EarlyCall early,
                      Variant expected)
            : CallFixture(dualInterface, vtableDescription, member, std::move(arguments), std::move(argumentStorage)),
              early_(std::move(early)),
              expected_(std::move(expected)) {}

    HRESULT callEarly() override { return early_(slot_.out()); }
    std::string checkEarly() const override { return differenceFrom(*expected_.get(), *slot_.get()); }
    std::string checkLate() const override { return differenceFrom(*expected_.get(), lateResult()); }

private:
    EarlyCall early_;
    Variant slot_;
    Variant expected_;
};

template <class EarlyCall>
std::shared_ptr<CallFixture> scalarFixture(IDispatch* dualInterface, ITypeInfo* vtableDescription,
                                           const std::wstring& member, std::vector<Variant> arguments,
                                           std::shared_ptr<void> argumentStorage, EarlyCall early, Variant expected) {
    return std::make_shared<ScalarCallFixture<EarlyCall>>(dualInterface, vtableDescription, member,
                                                          std::move(arguments), std::move(argumentStorage),
                                                          std::move(early), std::move(expected));
}

} // namespace numoria_bench
