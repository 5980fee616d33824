// Where element arrays keep their elements: arrays that read a host's
// elements in place, and blocks from the storage provider in effect.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "matrix/element_storage.h"
#include "matrix/kernel_paths.h"
#include "matrix_test_support.h"

namespace numoria::matrix {
namespace {

using testing::expectError;
using testing::runtimeError;
using testing::sameBits;

// Elements a host owns, in storage order, and records that read them in place.
class HostElements {
public:
    HostElements(Dimension rows, Dimension columns) : rows_(rows), columns_(columns) {
        values_.resize(static_cast<std::size_t>(rows.count) * columns.count);
        for (std::size_t k = 0; k < values_.size(); ++k) values_[k] = std::sin(static_cast<double>(k) + 0.5) * 4.0;
        if (values_.size() > 2) {
            values_[1] = -0.0;
            values_[2] = std::numeric_limits<double>::denorm_min();
        }
        pristine_ = values_;
    }

    Matrix view(std::int16_t m, std::int16_t n) const {
        Matrix record;
        record.m = m;
        record.n = n;
        record.Element = ElementArray::borrowing(values_.data(), rows_, columns_);
        return record;
    }
    bool untouched() const {
        return std::memcmp(values_.data(), pristine_.data(), values_.size() * sizeof(double)) == 0;
    }
    bool holds(const double* p) const { return p >= values_.data() && p < values_.data() + values_.size(); }

private:
    Dimension rows_, columns_;
    std::vector<double> values_, pristine_;
};

// Hands out heap blocks (or none) and notes every request.
class RecordingProvider final : public StorageProvider {
public:
    explicit RecordingProvider(bool refuse = false) : refuse_(refuse) { requests.reserve(64); }

    std::unique_ptr<ElementStorage> allocate(Dimension rows, Dimension columns) noexcept override {
        requests.push_back({rows, columns});
        return refuse_ ? nullptr : heapStorage().allocate(rows, columns);
    }

    struct Request {
        Dimension rows, columns;
    };
    std::vector<Request> requests;

private:
    bool refuse_;
};

using testing::Outcome;
using testing::outcomeOf;

TEST(BorrowedElements, ReadInPlaceAndCopiedIntoArraysOfTheirOwn) {
    const HostElements host({0, 3}, {-1, 4});
    Matrix view = host.view(3, 4);
    EXPECT_TRUE(view.Element.borrowed());
    EXPECT_TRUE(host.holds(std::as_const(view.Element).data()));
    EXPECT_EQ(view.Element.get(0, -1), std::sin(0.5) * 4.0);
    expectError([&] { view.Element.get(3, -1); }, runtimeError(ErrorNumber::SubscriptOutOfRange));

    const Matrix copy = view;
    EXPECT_FALSE(copy.Element.borrowed());
    EXPECT_FALSE(host.holds(copy.Element.data()));
    EXPECT_EQ(copy, view);

    // A write through the view itself goes to a copy of its own.
    view.Element.set(1, 0, 99.0);
    EXPECT_FALSE(view.Element.borrowed());
    EXPECT_EQ(view.Element.get(1, 0), 99.0);
    EXPECT_EQ(view.Element.get(2, 2), copy.Element.get(2, 2));
    EXPECT_TRUE(host.untouched());

    const double nothing = 0.0;
    expectError(
        [&] {
            ElementArray::borrowing(&nothing, {1, 1u << 16}, {1, 1u << 13});
        },
        runtimeError(ErrorNumber::OutOfMemory));
}

// Every operation gives the same outcome on a view of a host's elements as on
// a copy the core owns, never writes the host's elements and never hands
// them back as part of its result.
TEST(BorrowedElements, OperationsLeaveTheHostsElementsAlone) {
    const HostElements square({1, 40}, {1, 40});
    const HostElements offset({0, 5}, {0, 5});
    const HostElements wide({1, 3}, {1, 7});
    struct Case {
        const char* what;
        std::function<Matrix(const Matrix&, const Matrix&)> call;
        const HostElements* left;
        std::int16_t m, n;
        const HostElements* right;
        std::int16_t rightM, rightN;
    };
    const auto determinant = [](const Matrix& a) { return testing::fromRows({{Determinant(a)}}); };
    const std::vector<Case> cases = {
        {"transpose", [](auto& a, auto&) { return TransposeMatrix(a); }, &offset, 4, 5, &offset, 0, 0},
        {"scale keeps the bounds", [](auto& a, auto&) { return ScaleMatrix(a, -3.0); }, &offset, 4, 4, &offset, 0, 0},
        {"add", [](auto& a, auto& b) { return AddMatrix(a, b); }, &square, 40, 40, &square, 40, 40},
        {"subtract", [](auto& a, auto& b) { return SubMatrix(a, b); }, &wide, 3, 7, &wide, 3, 7},
        {"multiply on the fast path", [](auto& a, auto& b) { return MultiplyMatrix(a, b); }, &square, 40, 40, &square,
         40, 40},
        {"multiply on the exact path", [](auto& a, auto& b) { return MultiplyMatrixOn(KernelPath::Exact, a, b); },
         &wide, 3, 7, &square, 7, 9},
        {"multiply past the array", [](auto& a, auto& b) { return MultiplyMatrix(a, b); }, &wide, 3, 7, &wide, 7, 2},
        {"determinant", [&](auto& a, auto&) { return determinant(a); }, &square, 40, 40, &square, 0, 0},
        {"determinant on the exact path",
         [](auto& a, auto&) { return testing::fromRows({{DeterminantOn(KernelPath::Exact, a)}}); }, &square, 12, 12,
         &square, 0, 0},
        {"invert", [](auto& a, auto&) { return InvertMatrix(a); }, &square, 6, 6, &square, 0, 0},
        {"insert", [](auto& a, auto& b) { return InsertMatrix(a, b, 2, 3); }, &square, 40, 40, &wide, 3, 7},
        {"combine", [](auto& a, auto& b) { return CombineMatrix(a, b, 1, 1); }, &offset, 5, 5, &wide, 3, 4},
        {"swap rows", [](auto& a, auto&) { return SwapRow(a, 1, 3); }, &wide, 3, 7, &wide, 0, 0},
        {"swap columns", [](auto& a, auto&) { return SwapCol(a, 0, 5); }, &offset, 5, 5, &offset, 0, 0},
        {"minor", [](auto& a, auto&) { return SubMat(a, 2, 2); }, &square, 40, 40, &square, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Matrix left = c.left->view(c.m, c.n), right = c.right->view(c.rightM, c.rightN);
        const Matrix ownedLeft = left, ownedRight = right;
        const Outcome owned = outcomeOf([&] { return c.call(ownedLeft, ownedRight); });
        const Outcome viewed = outcomeOf([&] { return c.call(left, right); });
        EXPECT_TRUE(c.left->untouched());
        EXPECT_TRUE(c.right->untouched());
        ASSERT_EQ(viewed.error, owned.error);
        if (!owned.result) continue;
        EXPECT_EQ(*viewed.result, *owned.result);
        EXPECT_FALSE(viewed.result->Element.borrowed());
        EXPECT_FALSE(c.left->holds(viewed.result->Element.data()));
        EXPECT_FALSE(c.right->holds(viewed.result->Element.data()));
    }
}

TEST(StorageProviders, ArraysComeFromTheProviderInEffect) {
    const HostElements host({1, 30}, {1, 30});
    const Matrix a = host.view(30, 30);
    RecordingProvider outer;
    {
        const ScopedStorageProvider outerScope(outer);
        RecordingProvider inner;
        {
            const ScopedStorageProvider innerScope(inner);
            // The product of two views allocates its result and nothing else.
            const Matrix product = MultiplyMatrix(a, a);
            ASSERT_EQ(inner.requests.size(), 1u);
            EXPECT_EQ(inner.requests[0].rows, (Dimension{1, 30}));
            EXPECT_EQ(inner.requests[0].columns, (Dimension{1, 30}));
            EXPECT_NE(product.Element.storage(), nullptr);
        }
        const Matrix copy = a; // the outer provider is back in effect
        EXPECT_EQ(inner.requests.size(), 1u);
        ASSERT_EQ(outer.requests.size(), 1u);
        EXPECT_EQ(outer.requests[0].rows, (Dimension{1, 30}));
    }
    const Matrix fromHeap = CreateMatrix(2, 2);
    EXPECT_EQ(outer.requests.size(), 1u);
}

TEST(StorageProviders, ARefusedBlockIsOutOfMemory) {
    const HostElements host({1, 4}, {1, 4});
    const Matrix view = host.view(4, 4);
    const Matrix owned = view;
    RecordingProvider refusing(true);
    const ScopedStorageProvider scope(refusing);
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"create", [] { CreateMatrix(3, 2); }},
        {"copy of a view", [&] { const Matrix copy = view; }},
        {"copy of an owned array", [&] { const Matrix copy = owned; }},
        {"first write through a view",
         [&] {
             Matrix w = host.view(4, 4);
             w.Element.set(1, 1, 2.0);
         }},
        {"scale", [&] { ScaleMatrix(view, 2.0); }},
        {"multiply", [&] { MultiplyMatrix(view, view); }},
    };
    for (const auto& [what, call] : cases) {
        SCOPED_TRACE(what);
        expectError(call, runtimeError(ErrorNumber::OutOfMemory));
    }
    // Arrays without elements need no block.
    EXPECT_TRUE(ElementArray::withDimensions({1, 0}, {1, 5}).present());
    EXPECT_TRUE(host.untouched());
}

TEST(StorageProviders, AHandedOverBlockKeepsTheElements) {
    Matrix record = testing::fromRows({{1, 2}, {3, 4}});
    const double* elements = record.Element.data();
    const std::unique_ptr<ElementStorage> block = record.Element.releaseStorage();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->elements(), elements);
    EXPECT_TRUE(sameBits(block->elements()[1], 3.0));
    EXPECT_FALSE(record.Element.present());
    EXPECT_EQ(record.Element.releaseStorage(), nullptr);
}

} // namespace
} // namespace numoria::matrix
