// clsVxNumsMatrixA: the matrix operations of the core behind the member
// table; dispatch and the virtual table both run its handlers.
#include "frame/classes/class_makers.h"
#include "frame/classes/matrix_arguments.h"
#include "frame/dispatch/automation_object.h"
#include "matrix/matrix_operations.h"

namespace numoria::frame {

namespace {

namespace ops = numoria::matrix;
using I = _clsVxNumsMatrixA;

constexpr auto createMatrix =
    static_cast<CoreMatrix (*)(std::int16_t, std::int16_t, const ops::ValueList&)>(&ops::CreateMatrix);

constexpr auto kMatrixMembers = members(
    member<&I::CreateMatrix, createMatrix>(L"CreateMatrix", 0x60030001),
    member<&I::TransposeMatrix, &ops::TransposeMatrix>(L"TransposeMatrix", 0x60030002),
    member<&I::ScaleMatrix, &ops::ScaleMatrix>(L"ScaleMatrix", 0x60030003),
    member<&I::AddMatrix, &ops::AddMatrix>(L"AddMatrix", 0x60030004),
    member<&I::SubMatrix, &ops::SubMatrix>(L"SubMatrix", 0x60030005),
    member<&I::MultiplyMatrix, &ops::MultiplyMatrix>(L"MultiplyMatrix", 0x60030006),
    member<&I::Determinant, &ops::Determinant>(L"Determinant", 0x60030007),
    member<&I::InvertMatrix, &ops::InvertMatrix>(L"InvertMatrix", 0x60030008),
    member<&I::InsertMatrix, &ops::InsertMatrix>(L"InsertMatrix", 0x60030009),
    member<&I::CombineMatrix, &ops::CombineMatrix>(L"CombineMatrix", 0x6003000a),
    member<&I::SwapRow, &ops::SwapRow>(L"SwapRow", 0x6003000b),
    member<&I::SwapCol, &ops::SwapCol>(L"SwapCol", 0x6003000c), member<&I::SubMat, &ops::SubMat>(L"SubMat", 0x6003000d),
    member<&I::PrintMatrix, &ops::PrintMatrix>(L"PrintMatrix", 0x6003000e));

} // namespace

IUnknown* newMatrixObject() { return newAutomationObject<I, kMatrixMembers>(); }

} // namespace numoria::frame
