// The member table: one line per member of an interface, naming the
// interface method (the widl header's virtual-table slot) and the typed
// handler function that implements it. The line knows the member's name,
// dispatch identifier, invoke kind, parameter and result types, and a thunk
// that runs the handler on dispatch arguments; the parameters passed by
// reference and the call signature come from the interface method. The
// virtual-table form (generated, see tools/early_bound) calls the same
// handler through earlyBound.
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
#include "frame/status/automation_error.h"
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

// The parameters of an interface's virtual-table method, as the widl header
// declares it: the member's by-reference parameters and its call signature
// are read from there.
template <class Method>
struct MethodTraits;

template <class Interface, class... Raw>
struct MethodTraits<HRESULT (STDMETHODCALLTYPE Interface::*)(Raw...)> {
    using Parameters = std::tuple<Raw...>;
    static constexpr std::size_t count = sizeof...(Raw);
};

// Whether a virtual-table parameter passes its value by reference: a pointer
// other than a string (BSTR) or an interface passed as it is.
template <class Raw>
inline constexpr bool kPassedByReference =
    std::is_pointer_v<Raw> && !std::is_same_v<Raw, BSTR> && !std::is_base_of_v<IUnknown, std::remove_pointer_t<Raw>>;

template <class Function>
struct Binding;

template <class R, class... A>
struct Binding<R (*)(A...)> {
    using Result = R;
    static constexpr std::size_t arity = sizeof...(A);
    static constexpr bool vararg = (takesTheRest<A>() || ...);

    template <class Method, std::size_t... I>
    static constexpr std::array<ParameterType, arity> parameterTypes(std::index_sequence<I...>) {
        using Raw = typename MethodTraits<Method>::Parameters;
        return {ParameterType{Argument<A>::type, kPassedByReference<std::tuple_element_t<I, Raw>>}...};
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

template <auto Method, auto Handler>
inline constexpr auto kParameterTypes = Binding<decltype(Handler)>::template parameterTypes<decltype(Method)>(
    std::make_index_sequence<Binding<decltype(Handler)>::arity>());

template <auto Handler>
void invokeThunk(ArgumentList arguments, VARIANT* result) {
    using B = Binding<decltype(Handler)>;
    B::template late<Handler>(arguments, result, std::make_index_sequence<B::arity>());
}

// One table line: the interface method `Method` (its virtual-table slot in
// the widl header) is served by `Handler`, by name through dispatch as
// `name`. The dispatch identifier and invoke kind are the IDL's, checked
// against the embedded type library by the client tests.
template <auto Method, auto Handler>
struct BoundMember {
    static constexpr auto method = Method;
    static constexpr auto handler = Handler;
    Member entry;
};

template <auto Method, auto Handler>
constexpr BoundMember<Method, Handler> member(const wchar_t* name, DISPID dispid, WORD invokeKind = DISPATCH_METHOD) {
    using B = Binding<decltype(Handler)>;
    using Result = std::decay_t<typename B::Result>;
    static_assert(B::arity <= kMaxParameters, "more parameters than the dispatcher's argument storage holds");
    static_assert(MethodTraits<decltype(Method)>::count == B::arity + (std::is_void_v<Result> ? 0 : 1),
                  "the interface method's parameters do not match the handler's");
    return {Member{name, dispid, invokeKind, kParameterTypes<Method, Handler>, ResultType<Result>::type, B::vararg,
                   &invokeThunk<Handler>}};
}

template <auto Value>
struct Constant {};

// The member table of one interface: its lines as the dispatcher reads them,
// and, for the virtual-table form, the handler of each interface method.
template <class... Bound>
struct MemberList {
    std::array<Member, sizeof...(Bound)> table;

    template <auto Method>
    static constexpr auto handlerFor() {
        constexpr std::size_t index = [] {
            std::size_t k = 0, found = sizeof...(Bound);
            ((std::is_same_v<Constant<Method>, Constant<Bound::method>> && found == sizeof...(Bound) ? found = k : 0,
              ++k),
             ...);
            return found;
        }();
        static_assert(index < sizeof...(Bound), "the interface method has no line in the member table");
        return std::tuple_element_t<index, std::tuple<Bound...>>::handler;
    }
};

template <class... Bound>
constexpr MemberList<Bound...> members(Bound... lines) {
    return {{lines.entry...}};
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

// A virtual-table method's parameters as the widl header declares them,
// its result pointer last where the handler has a result.
template <auto Handler, class... Raw>
HRESULT earlyBound(REFIID iid, Raw... raw) noexcept {
    if constexpr (std::is_void_v<typename Binding<decltype(Handler)>::Result>) {
        return earlyCallWithoutResult<Handler>(iid, raw...);
    } else {
        const std::tuple<Raw...> all{raw...};
        return [&]<std::size_t... I>(std::index_sequence<I...>) {
            return earlyCall<Handler>(iid, std::get<sizeof...(Raw) - 1>(all), std::get<I>(all)...);
        }
        (std::make_index_sequence<sizeof...(Raw) - 1>());
    }
}

} // namespace numoria::frame
