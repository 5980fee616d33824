// Runs one of the fourteen matrix operations on records decoded from the
// input, and checks what holds for every call: it returns or raises a
// RuntimeError with a documented number; it leaves its argument records bit
// for bit as they were; where a fast path exists (product, determinant,
// inversion), every path and instruction set gives the exact path's result
// or error. A few operations have a cheap oracle of their own: transposition
// copies values bit for bit, and swapping twice gives the input back.
#include <bit>
#include <cfenv>
#include <cstddef>
#include <cstdint>

#include "matrix/kernel_paths.h"
#include "matrix/matrix_operations.h"
#include "support/capped_storage.h"
#include "support/fuzz_values.h"
#include "support/matrix_reader.h"
#include "support/outcome.h"
#include "support/same_results.h"

namespace numoria::fuzz {
namespace {

using namespace matrix;

enum class Operation {
    Create,
    Transpose,
    Scale,
    Add,
    Sub,
    Multiply,
    Determinant,
    Invert,
    Insert,
    Combine,
    SwapRow,
    SwapCol,
    SubMat,
    Print,
};
constexpr int kLastOperation = static_cast<int>(Operation::Print);

// Arrays small enough for quick runs; the inversion takes a determinant per
// element, so its operand stays smaller.
std::size_t elementBudget(Operation operation) { return operation == Operation::Invert ? 256 : 4096; }

constexpr std::initializer_list<ErrorNumber> kMatrixOperationErrors = {
    ErrorNumber::Overflow, ErrorNumber::OutOfMemory, ErrorNumber::SubscriptOutOfRange, ErrorNumber::DivisionByZero,
    ErrorNumber::MatrixError};
constexpr std::initializer_list<ErrorNumber> kCreateErrors = {
    ErrorNumber::Overflow,     ErrorNumber::OutOfMemory,      ErrorNumber::SubscriptOutOfRange,
    ErrorNumber::TypeMismatch, ErrorNumber::InvalidUseOfNull, ErrorNumber::MatrixError};

class Call {
public:
    explicit Call(InputReader& input)
            : operation_(static_cast<Operation>(input.pick(0, kLastOperation))),
              first_(readMatrix(input, elementBudget(operation_))),
              secondIsFirst_(input.pick(0, 7) == 0),
              second_(secondIsFirst_ ? Matrix{} : readMatrix(input, elementBudget(operation_), first_.n)),
              multiplier_(input.value()),
              position1_(input.count16()),
              position2_(input.count16()),
              staleFlags_(input.pick(0, 3) == 0 ? input.pick(0, 7) : 0),
              values_(input),
              firstBefore_(first_),
              secondBefore_(second_) {}

    void run() const;

private:
    const Matrix& second() const { return secondIsFirst_ ? first_ : second_; }

    // The call's outcome, with the floating-point flags a host may leave set
    // raised beforehand, and the arguments checked afterwards.
    template <typename Operate>
    auto outcome(Operate operate) const {
        static constexpr int kFlags[] = {FE_INVALID, FE_OVERFLOW, FE_DIVBYZERO};
        for (int bit = 0; bit < 3; ++bit) {
            if (staleFlags_ & (1 << bit)) std::feraiseexcept(kFlags[bit]);
        }
        auto result = outcomeOf(operate);
        require(first_ == firstBefore_ && second_ == secondBefore_, "an operation changed its argument record");
        return result;
    }

    void runTranspose() const;
    void runScale() const;
    void runSwap(Operation operation) const;
    void runMultiply() const;
    void runDeterminant() const;
    void runInvert() const;

    const Operation operation_;
    const Matrix first_;
    const bool secondIsFirst_;
    const Matrix second_;
    const double multiplier_;
    const std::int16_t position1_, position2_;
    const int staleFlags_;
    const FuzzValues values_;
    const Matrix firstBefore_, secondBefore_;
};

// Records made by the library have bounds (1 To m, 1 To n).
void requireLibraryBounds(const Outcome<Matrix>& outcome) {
    if (!outcome.value) return;
    const Matrix& record = *outcome.value;
    require(record.Element.present() && record.Element.rows() == Dimension{1, static_cast<std::uint32_t>(record.m)} &&
                record.Element.columns() == Dimension{1, static_cast<std::uint32_t>(record.n)},
            "a new record does not have bounds (1 To m, 1 To n)");
}

void Call::run() const {
    const Matrix& x = first_;
    const Matrix& y = second();
    const std::int16_t p = position1_, q = position2_;
    switch (operation_) {
    case Operation::Create: {
        const auto created = outcome([&] { return CreateMatrix(x.m, x.n, values_); });
        requireErrorAmong(created, kCreateErrors);
        requireLibraryBounds(created);
        return;
    }
    case Operation::Transpose: return runTranspose();
    case Operation::Scale: return runScale();
    case Operation::Add:
    case Operation::Sub: {
        const auto sum = outcome([&] { return operation_ == Operation::Add ? AddMatrix(x, y) : SubMatrix(x, y); });
        requireErrorAmong(sum, kMatrixOperationErrors);
        requireLibraryBounds(sum);
        return;
    }
    case Operation::Multiply: return runMultiply();
    case Operation::Determinant: return runDeterminant();
    case Operation::Invert: return runInvert();
    case Operation::Insert:
    case Operation::Combine:
        requireErrorAmong(outcome([&] {
                              return operation_ == Operation::Insert ? InsertMatrix(x, y, p, q)
                                                                     : CombineMatrix(x, y, p, q);
                          }),
                          kMatrixOperationErrors);
        return;
    case Operation::SwapRow:
    case Operation::SwapCol: return runSwap(operation_);
    case Operation::SubMat: {
        const auto minor = outcome([&] { return SubMat(x, p, q); });
        requireErrorAmong(minor, kMatrixOperationErrors);
        requireLibraryBounds(minor);
        return;
    }
    case Operation::Print:
        requireErrorAmong(outcome([&] {
                              PrintMatrix(x);
                              return true;
                          }),
                          {});
        return;
    }
}

void Call::runTranspose() const {
    const Matrix& x = first_;
    const auto transposed = outcome([&] { return TransposeMatrix(x); });
    requireErrorAmong(transposed, kMatrixOperationErrors);
    requireLibraryBounds(transposed);
    if (!transposed.value) return;
    const Matrix& t = *transposed.value;
    require(t.m == x.n && t.n == x.m, "the transpose does not swap the counts");
    for (std::int32_t i = 1; i <= x.m; ++i) {
        for (std::int32_t j = 1; j <= x.n; ++j) {
            require(
                std::bit_cast<std::uint64_t>(t.Element.get(j, i)) == std::bit_cast<std::uint64_t>(x.Element.get(i, j)),
                "the transpose changed a value's bits");
        }
    }
}

void Call::runScale() const {
    const Matrix& x = first_;
    const auto scaled = outcome([&] { return ScaleMatrix(x, multiplier_); });
    requireErrorAmong(scaled, kMatrixOperationErrors);
    if (!scaled.value) return;
    const Matrix& s = *scaled.value;
    require(s.m == x.m && s.n == x.n && s.Element.present() == x.Element.present() &&
                s.Element.rows() == x.Element.rows() && s.Element.columns() == x.Element.columns(),
            "the scaled record does not keep the input's counts and bounds");
    if (x.m < 1 || x.n < 1) require(s == x, "scaling a record without rows or columns changed it");
}

void Call::runSwap(Operation operation) const {
    const auto swap = [&](const Matrix& record) {
        return operation == Operation::SwapRow ? SwapRow(record, position1_, position2_)
                                               : SwapCol(record, position1_, position2_);
    };
    const auto once = outcome([&] { return swap(first_); });
    requireErrorAmong(once, kMatrixOperationErrors);
    if (!once.value) return;
    const auto twice = outcomeOf([&] { return swap(*once.value); });
    require(twice.value && *twice.value == first_, "swapping twice does not give the input back");
}

void Call::runMultiply() const {
    const Matrix& x = first_;
    const Matrix& y = second();
    const auto exact = outcome([&] { return MultiplyMatrixOn(KernelPath::Exact, x, y); });
    requireErrorAmong(exact, kMatrixOperationErrors);
    requireLibraryBounds(exact);
    requireSameOutcome(exact, outcome([&] { return MultiplyMatrixOn(KernelPath::Fast, x, y); }),
                       "the fast product differs from the exact one");
    requireSameOutcome(exact, outcome([&] { return MultiplyMatrix(x, y); }),
                       "MultiplyMatrix differs from the exact product");
    for (const kernels::InstructionSet set : kernels::supportedInstructionSets()) {
        requireSameOutcome(exact, outcome([&] { return MultiplyMatrixWith(set, x, y); }),
                           "a product kernel differs from the exact product");
    }
}

void Call::runDeterminant() const {
    const Matrix& x = first_;
    const auto exact = outcome([&] { return DeterminantOn(KernelPath::Exact, x); });
    requireErrorAmong(exact, kMatrixOperationErrors);
    requireSameOutcome(exact, outcome([&] { return DeterminantOn(KernelPath::Fast, x); }),
                       "the fast determinant differs from the exact one");
    requireSameOutcome(exact, outcome([&] { return Determinant(x); }),
                       "Determinant differs from the exact determinant");
    for (const kernels::InstructionSet set : kernels::supportedInstructionSets()) {
        requireSameOutcome(exact, outcome([&] { return DeterminantWith(set, x); }),
                           "a determinant kernel differs from the exact determinant");
    }
}

void Call::runInvert() const {
    const Matrix& x = first_;
    const auto exact = outcome([&] { return InvertMatrixOn(KernelPath::Exact, x); });
    requireErrorAmong(exact, kMatrixOperationErrors);
    requireLibraryBounds(exact);
    requireSameOutcome(exact, outcome([&] { return InvertMatrixOn(KernelPath::Fast, x); }),
                       "the fast inversion differs from the exact one");
    requireSameOutcome(exact, outcome([&] { return InvertMatrix(x); }),
                       "InvertMatrix differs from the exact inversion");
}

} // namespace
} // namespace numoria::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    numoria::fuzz::CappedStorage storage;
    numoria::fuzz::InputReader input(data, size);
    const numoria::fuzz::Call call(input);
    call.run();
    return 0;
}
