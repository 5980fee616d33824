// Builds element arrays from arbitrary bounds and dimensions (upper bounds
// below lower ones, zero counts, a lower bound plus a count past the 32-bit
// range, sizes around the 2^31-byte limit), owning their elements or
// borrowing them, and reaches into them. Checks: construction raises
// subscript out of range (9) exactly for an upper bound below its lower
// bound, out of memory (7) for anything above 2^31 bytes without ever asking
// for that much, and otherwise gives an array with the requested bounds that
// holds zeros (or the borrowed elements), unless this host's cap refuses the
// block (out of memory); an access succeeds exactly inside the bounds and
// raises 9 outside; what is stored reads back bit for bit at its place in
// storage order; copies are deep; borrowed elements are never written.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "matrix/element_array.h"
#include "support/capped_storage.h"
#include "support/input_reader.h"
#include "support/outcome.h"

namespace numoria::fuzz {
namespace {

using matrix::Dimension;
using matrix::ElementArray;

constexpr std::uint64_t kMaxBytes = std::uint64_t{1} << 31;

struct Request {
    Dimension rows, columns;
    bool invertedBounds = false;  // an upper bound below its lower bound
    bool tooLarge = false;        // more than 2^31 bytes, or a count past 32 bits
    std::vector<double> borrowed; // the elements lent to the array, when it borrows
    bool borrows = false;
};

std::int32_t upperBoundNear(InputReader& input, std::int32_t lower) {
    if (input.flag()) return input.value32();
    const std::int64_t upper = static_cast<std::int64_t>(lower) + input.pick(-2, 40);
    return std::in_range<std::int32_t>(upper) ? static_cast<std::int32_t>(upper) : lower;
}

bool exceedsLimit(std::uint64_t rows, std::uint64_t columns) {
    if (rows > std::numeric_limits<std::uint32_t>::max() || columns > std::numeric_limits<std::uint32_t>::max()) {
        return true;
    }
    return rows * columns > kMaxBytes / sizeof(double); // both below 2^32: no wrap
}

Outcome<ElementArray> allocateByBounds(InputReader& input, Request& request) {
    const std::int32_t lower1 = input.value32(), upper1 = upperBoundNear(input, lower1);
    const std::int32_t lower2 = input.value32(), upper2 = upperBoundNear(input, lower2);
    request.invertedBounds = upper1 < lower1 || upper2 < lower2;
    const auto count1 = static_cast<std::uint64_t>(static_cast<std::int64_t>(upper1) - lower1 + 1);
    const auto count2 = static_cast<std::uint64_t>(static_cast<std::int64_t>(upper2) - lower2 + 1);
    request.tooLarge = !request.invertedBounds && exceedsLimit(count1, count2);
    request.rows = {lower1, static_cast<std::uint32_t>(count1)};
    request.columns = {lower2, static_cast<std::uint32_t>(count2)};
    return outcomeOf([&] { return ElementArray::withBounds(lower1, upper1, lower2, upper2); });
}

Outcome<ElementArray> allocateByDimensions(InputReader& input, Request& request) {
    request.rows = {input.value32(), input.count32()};
    request.columns = {input.value32(), input.count32()};
    request.tooLarge = exceedsLimit(request.rows.count, request.columns.count);
    return outcomeOf([&] { return ElementArray::withDimensions(request.rows, request.columns); });
}

// Borrows a few elements, or claims a size above the limit (which must fail
// before anything is read).
Outcome<ElementArray> borrow(InputReader& input, Request& request) {
    request.borrows = true;
    request.rows = {input.value32(), static_cast<std::uint32_t>(input.pick(0, 8))};
    request.columns = {input.value32(), static_cast<std::uint32_t>(input.pick(0, 8))};
    const std::uint32_t claimedRows = input.count32(), claimedColumns = input.count32();
    if (exceedsLimit(claimedRows, claimedColumns)) {
        request.rows.count = claimedRows;
        request.columns.count = claimedColumns;
        request.tooLarge = true;
    } else {
        request.borrowed.resize(std::size_t{request.rows.count} * request.columns.count);
        for (double& element : request.borrowed) element = input.value();
    }
    return outcomeOf([&] { return ElementArray::borrowing(request.borrowed.data(), request.rows, request.columns); });
}

bool raised(const Outcome<ElementArray>& outcome, ErrorNumber number) {
    return outcome.error && outcome.error->number == static_cast<std::int32_t>(number);
}

void checkConstruction(const Outcome<ElementArray>& outcome, const Request& request, const CappedStorage& storage) {
    require(storage.largestRequestBytes() <= kMaxBytes, "an array asked for more than 2^31 bytes");
    if (request.invertedBounds) {
        require(raised(outcome, ErrorNumber::SubscriptOutOfRange), "inverted bounds did not raise error 9");
        return;
    }
    if (request.tooLarge) {
        require(raised(outcome, ErrorNumber::OutOfMemory), "an array above 2^31 bytes did not raise error 7");
        return;
    }
    if (!outcome.value) {
        require(!request.borrows && raised(outcome, ErrorNumber::OutOfMemory) &&
                    storage.largestRequestBytes() > kStorageCapBytes,
                "an array within every limit was refused");
        return;
    }
    const ElementArray& array = *outcome.value;
    require(array.present() && array.rows() == request.rows && array.columns() == request.columns &&
                array.size() == std::uint64_t{request.rows.count} * request.columns.count,
            "a new array does not have the requested bounds");
    for (std::size_t k = 0; k < array.size(); ++k) {
        const double expected = request.borrows ? request.borrowed[k] : 0.0;
        require(std::bit_cast<std::uint64_t>(array.data()[k]) == std::bit_cast<std::uint64_t>(expected),
                "a new array does not hold zeros or the elements it borrows");
    }
}

// A subscript at, just beside or far from a dimension's bounds.
std::int32_t subscriptFor(InputReader& input, const Dimension& dimension) {
    const std::int64_t candidates[] = {dimension.lowerBound - std::int64_t{1}, dimension.lowerBound,
                                       dimension.upperBound(), dimension.upperBound() + 1,
                                       dimension.lowerBound + std::int64_t{dimension.count} / 2};
    const int choice = input.pick(0, 5);
    if (choice == 5) return input.value32();
    const std::int64_t subscript = candidates[choice];
    return std::in_range<std::int32_t>(subscript) ? static_cast<std::int32_t>(subscript) : input.value32();
}

void checkAccesses(InputReader& input, ElementArray& array) {
    const Dimension rows = array.rows(), columns = array.columns();
    for (int access = input.pick(0, 12); access > 0; --access) {
        const std::int32_t row = subscriptFor(input, rows), column = subscriptFor(input, columns);
        const double stored = input.value();
        const bool inside = array.present() && rows.contains(row) && columns.contains(column);
        const auto write = outcomeOf([&] {
            array.set(row, column, stored);
            return true;
        });
        const auto read = outcomeOf([&] { return array.get(row, column); });
        if (!inside) {
            const auto outOfRange = RaisedError{9, kRuntimeErrorSource, standardDescription(9)};
            require(write.error == outOfRange && read.error == outOfRange,
                    "an access outside the bounds was not error 9");
            continue;
        }
        require(write.value && read.value, "an access inside the bounds failed");
        require(std::bit_cast<std::uint64_t>(*read.value) == std::bit_cast<std::uint64_t>(stored),
                "a stored value does not read back bit for bit");
        const std::uint64_t offset =
            static_cast<std::uint64_t>(static_cast<std::int64_t>(row) - rows.lowerBound) +
            static_cast<std::uint64_t>(static_cast<std::int64_t>(column) - columns.lowerBound) * rows.count;
        require(offset < array.size() &&
                    std::bit_cast<std::uint64_t>(array.data()[offset]) == std::bit_cast<std::uint64_t>(stored),
                "a stored value is not at its place in storage order");
    }
}

void checkDeepCopy(const ElementArray& array) {
    ElementArray copy = array;
    require(copy == array, "a copy differs from its original");
    if (array.size() == 0) return;
    const double before = array.data()[0];
    copy.data()[0] = std::bit_cast<double>(std::bit_cast<std::uint64_t>(before) ^ 1u);
    require(std::bit_cast<std::uint64_t>(array.data()[0]) == std::bit_cast<std::uint64_t>(before) && !(copy == array),
            "changing a copy changed its original");
}

void run(InputReader& input) {
    CappedStorage storage;
    const int kind = input.pick(0, 7);
    if (kind == 0) {
        ElementArray absent;
        checkAccesses(input, absent);
        return;
    }
    Request request;
    Outcome<ElementArray> outcome = kind <= 3   ? allocateByBounds(input, request)
                                    : kind <= 5 ? allocateByDimensions(input, request)
                                                : borrow(input, request);
    checkConstruction(outcome, request, storage);
    if (!outcome.value) return;
    const std::vector<double> lent = request.borrowed;
    checkAccesses(input, *outcome.value);
    checkDeepCopy(*outcome.value);
    require(request.borrowed.empty() ||
                std::memcmp(lent.data(), request.borrowed.data(), lent.size() * sizeof(double)) == 0,
            "an array wrote to the elements it borrows");
}

} // namespace
} // namespace numoria::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    numoria::fuzz::InputReader input(data, size);
    numoria::fuzz::run(input);
    return 0;
}
