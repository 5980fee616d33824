// A short tour of the arithmetic core: invert a 3 x 3 matrix, convert a few
// numbers between bases and compute some combinatorics.
#include <cstdio>
#include <string>

#include "combinatorics/combinatorics.h"
#include "conversions/conversions.h"
#include "matrix/matrix_operations.h"
#include "runtime/runtime_error.h"

namespace {

using namespace numoria;

void print(const char* title, const matrix::Matrix& record) {
    std::printf("%s (%d x %d)\n", title, record.m, record.n);
    for (std::int32_t i = 1; i <= record.m; ++i) {
        for (std::int32_t j = 1; j <= record.n; ++j) std::printf(" %10.6g", record.Element.get(i, j));
        std::printf("\n");
    }
}

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

} // namespace

int main() {
    const matrix::Matrix a = matrix::CreateMatrix(3, 3, matrix::DoubleValues{2, 0, 1, 1, 3, 2, 1, 1, 2});
    print("A", a);
    std::printf("Determinant(A) = %.17g\n", matrix::Determinant(a));
    print("InvertMatrix(A)", matrix::InvertMatrix(a));
    print("A x InvertMatrix(A)", matrix::MultiplyMatrix(a, matrix::InvertMatrix(a)));
    try {
        matrix::InvertMatrix(matrix::CreateMatrix(2, 2, matrix::DoubleValues{1, 2, 2, 4}));
    } catch (const RuntimeError& error) {
        std::printf("InvertMatrix of a singular matrix: error %d, %s: %s\n", error.number(), error.source().c_str(),
                    error.description().c_str());
    }

    std::printf("DecimalToBinary(37) = %s\n", narrow(conversions::DecimalToBinary(37)).c_str());
    std::printf("DecimalToHex(-1) = %s\n", narrow(conversions::DecimalToHex(-1)).c_str());
    std::printf("HexToDecimal(\"7FFFFFFF\") = %d\n", conversions::HexToDecimal(u"7FFFFFFF"));
    std::printf("OctalToDecimal(\"777\") = %d\n", conversions::OctalToDecimal(u"777"));
    std::printf("Factorial(20) = %.17g\n", combinatorics::Factorial(20));
    std::printf("Combination(52, 5) = %.17g\n", combinatorics::Combination(52, 5));
    std::printf("Combination(30, 15) = %.17g\n", combinatorics::Combination(30, 15));
    std::printf("Permutation(10, 3) = %.17g\n", combinatorics::Permutation(10, 3));
    return 0;
}
