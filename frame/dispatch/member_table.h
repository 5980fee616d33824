// The member table: one entry per member of an interface, built from the
// typed handler function that implements it. The entry knows the member's
// name, dispatch identifier, invoke kind, parameter and result types, and a
// thunk that runs the handler on dispatch arguments. The virtual-table form
// calls the same handler through earlyCall.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <array>
#include <cstddef>
#include <span>
#include <tuple>
#include <type_traits>
#include <utility>

#include "frame/dispatch/argument_types.h"
#include "frame/errors/automation_error.h"
#include "runtime/fp_environment.h"

namespace numoria::frame {

struct ParameterType {
    VARTYPE type;
    bool byReference;
};

// Dispatch arguments in declaration order, by-reference VARIANTs followed
// through; a variable argument list arrives as one packed array.
using ArgumentList = std::span<const VARIANT* const>;

// The most parameters a member declares; the dispatcher keeps a call's
// arguments in fixed storage of this size rather than on the heap.
inline constexpr std::size_t kMaxParameters = 8;

struct Member {
    const wchar_t* name;
    DISPID dispid;
    WORD invokeKind; // DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUTREF
    std::span<const ParameterType> parameters;
    VARTYPE resultType;
    bool vararg; // the last parameter takes every trailing argument
    void (*invoke)(ArgumentList arguments, VARIANT* result);
};

using MemberTable = std::span<const Member>;

template <class Function>
struct Binding;

template <class R, class... A>
struct Binding<R (*)(A...)> {
    using Result = R;
    static constexpr std::size_t arity = sizeof...(A);
    static constexpr bool vararg = (std::is_same_v<A, const matrix::ValueList&> || ...);

    template <unsigned ByReferenceMask, std::size_t... I>
    static constexpr std::array<ParameterType, arity> parameterTypes(std::index_sequence<I...>) {
        return {ParameterType{Argument<A>::type,
                              Argument<A>::type == VT_RECORD || Argument<A>::type == (VT_ARRAY | VT_VARIANT) ||
                                  ((ByReferenceMask >> I) & 1u) != 0}...};
    }

    template <auto Handler, std::size_t... I>
    static void late([[maybe_unused]] ArgumentList arguments, VARIANT* result, std::index_sequence<I...>) {
        [[maybe_unused]] const ResultAllocation<std::decay_t<R>> allocation{};
        std::tuple<typename Argument<A>::Holder...> holders{Argument<A>::late(*arguments[I], I)...};
        if constexpr (std::is_void_v<R>) {
            std::apply(Handler, holders);
        } else {
            ResultType<std::decay_t<R>>::late(std::apply(Handler, holders), result);
        }
    }

    template <auto Handler, class... Raw>
    static R early(Raw... raw) {
        static_assert(sizeof...(Raw) == arity, "the virtual-table method's parameters do not match the handler");
        [[maybe_unused]] const ResultAllocation<std::decay_t<R>> allocation{};
        std::tuple<typename Argument<A>::Holder...> holders{Argument<A>::early(raw)...};
        return std::apply(Handler, holders);
    }
};

template <auto Handler, unsigned ByReferenceMask>
inline constexpr auto kParameterTypes = Binding<decltype(Handler)>::template parameterTypes<ByReferenceMask>(
    std::make_index_sequence<Binding<decltype(Handler)>::arity>());

template <auto Handler>
void invokeThunk(ArgumentList arguments, VARIANT* result) {
    using B = Binding<decltype(Handler)>;
    B::template late<Handler>(arguments, result, std::make_index_sequence<B::arity>());
}

// A table entry for `Handler`. Bit k of ByReferenceMask marks parameter k as
// passed by reference (records and the value list always are).
template <auto Handler, unsigned ByReferenceMask = 0>
constexpr Member member(const wchar_t* name, DISPID dispid, WORD invokeKind = DISPATCH_METHOD) {
    using B = Binding<decltype(Handler)>;
    static_assert(B::arity <= kMaxParameters, "more parameters than the dispatcher's argument storage holds");
    return Member{name,
                  dispid,
                  invokeKind,
                  kParameterTypes<Handler, ByReferenceMask>,
                  ResultType<std::decay_t<typename B::Result>>::type,
                  B::vararg,
                  &invokeThunk<Handler>};
}

// The virtual-table form of a member with a result: reads the raw
// parameters, runs the handler, stores its result, and turns any error into a
// status with error information for `iid`. Like every entry point it runs in
// the default floating-point environment and leaves the caller's as it was.
template <auto Handler, class Out, class... Raw>
HRESULT earlyCall(REFIID iid, Out* result, Raw... raw) noexcept {
    const fp::DefaultFloatingPointEnvironment environment;
    return guardedCall(iid, [&] {
        if (result == nullptr) throw FrameError(E_POINTER);
        using B = Binding<decltype(Handler)>;
        ResultType<std::decay_t<typename B::Result>>::early(B::template early<Handler>(raw...), result);
    });
}

// The virtual-table form of a member without a result.
template <auto Handler, class... Raw>
HRESULT earlyCallWithoutResult(REFIID iid, Raw... raw) noexcept {
    const fp::DefaultFloatingPointEnvironment environment;
    return guardedCall(iid, [&] { Binding<decltype(Handler)>::template early<Handler>(raw...); });
}

} // namespace numoria::frame
