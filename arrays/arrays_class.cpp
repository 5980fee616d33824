// clsVxNumsArraysA: the matrix operations of the core on two-dimensional
// arrays. Each line of the member table is a core operation in its array
// form (frame/dispatch/array_arguments.h), so results and errors are those of
// the record class on the same elements.
#include "arrays/arrays_class.h"

#include "frame/dispatch/array_arguments.h"
#include "frame/dispatch/automation_object.h"
#include "frame/dispatch/value_list_argument.h"
#include "matrix/matrix_operations.h"

namespace numoria::frame {

namespace {

namespace ops = numoria::matrix;
using I = _clsVxNumsArraysA;

template <auto Operation>
constexpr auto arrayForm = &ArrayOperation<Operation>::call;

constexpr auto createMatrix =
    static_cast<ops::Matrix (*)(std::int16_t, std::int16_t, const ops::ValueList&)>(&ops::CreateMatrix);

constexpr auto kArraysMembers =
    members(member<&I::CreateMatrix, arrayForm<createMatrix>>(L"CreateMatrix", 0x60030001),
            member<&I::TransposeMatrix, arrayForm<&ops::TransposeMatrix>>(L"TransposeMatrix", 0x60030002),
            member<&I::ScaleMatrix, arrayForm<&ops::ScaleMatrix>>(L"ScaleMatrix", 0x60030003),
            member<&I::AddMatrix, arrayForm<&ops::AddMatrix>>(L"AddMatrix", 0x60030004),
            member<&I::SubMatrix, arrayForm<&ops::SubMatrix>>(L"SubMatrix", 0x60030005),
            member<&I::MultiplyMatrix, arrayForm<&ops::MultiplyMatrix>>(L"MultiplyMatrix", 0x60030006),
            member<&I::Determinant, arrayForm<&ops::Determinant>>(L"Determinant", 0x60030007),
            member<&I::InvertMatrix, arrayForm<&ops::InvertMatrix>>(L"InvertMatrix", 0x60030008),
            member<&I::InsertMatrix, arrayForm<&ops::InsertMatrix>>(L"InsertMatrix", 0x60030009),
            member<&I::CombineMatrix, arrayForm<&ops::CombineMatrix>>(L"CombineMatrix", 0x6003000a),
            member<&I::SwapRow, arrayForm<&ops::SwapRow>>(L"SwapRow", 0x6003000b),
            member<&I::SwapCol, arrayForm<&ops::SwapCol>>(L"SwapCol", 0x6003000c),
            member<&I::SubMat, arrayForm<&ops::SubMat>>(L"SubMat", 0x6003000d));

} // namespace

IUnknown* newArraysObject() { return newAutomationObject<I, kArraysMembers>(); }

} // namespace numoria::frame
