// Helpers shared by the matrix tests: records from rows, error expectations
// and a value list that behaves like a host's VARIANTs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "matrix/matrix_operations.h"
#include "runtime/runtime_error.h"

namespace numoria::matrix::testing {

using Rows = std::vector<std::vector<double>>;

// A record with bounds (1 To rows, 1 To columns) holding the given rows.
inline Matrix fromRows(const Rows& rows) {
    Matrix record;
    record.m = static_cast<std::int16_t>(rows.size());
    record.n = static_cast<std::int16_t>(rows.empty() ? 0 : rows.front().size());
    record.Element = ElementArray::withBounds(1, record.m, 1, record.n);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = 0; j < rows[i].size(); ++j) {
            record.Element.set(static_cast<std::int32_t>(i + 1), static_cast<std::int32_t>(j + 1), rows[i][j]);
        }
    }
    return record;
}

// The values of rows 1..m, columns 1..n, read through the record's bounds.
inline Rows toRows(const Matrix& record) {
    Rows rows;
    for (std::int32_t i = 1; i <= record.m; ++i) {
        rows.emplace_back();
        for (std::int32_t j = 1; j <= record.n; ++j) rows.back().push_back(record.Element.get(i, j));
    }
    return rows;
}

inline bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Asserts that the record has the given counts, bounds (1 To m, 1 To n) and values.
inline void expectMatrix(const Matrix& actual, const Rows& expected) {
    const auto m = static_cast<std::int16_t>(expected.size());
    const auto n = static_cast<std::int16_t>(expected.empty() ? 0 : expected.front().size());
    EXPECT_EQ(actual.m, m);
    EXPECT_EQ(actual.n, n);
    ASSERT_TRUE(actual.Element.present());
    EXPECT_EQ(actual.Element.rows().lowerBound, 1);
    EXPECT_EQ(actual.Element.rows().count, static_cast<std::uint32_t>(m));
    EXPECT_EQ(actual.Element.columns().lowerBound, 1);
    EXPECT_EQ(actual.Element.columns().count, static_cast<std::uint32_t>(n));
    EXPECT_EQ(toRows(actual), expected);
}

struct ExpectedError {
    std::int32_t number;
    std::string source;      // empty: any source
    std::string description; // empty: the standard text of the number
};

inline ExpectedError matrixError(const std::string& method, const std::string& description) {
    return {1000, "ZizivaDav - " + method, description};
}
inline ExpectedError runtimeError(ErrorNumber number) {
    return {static_cast<std::int32_t>(number), kRuntimeErrorSource,
            standardDescription(static_cast<std::int32_t>(number))};
}

inline void expectError(const std::function<void()>& call, const ExpectedError& expected) {
    try {
        call();
        ADD_FAILURE() << "expected error " << expected.number << " but the call succeeded";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), expected.number);
        EXPECT_EQ(error.source(), expected.source);
        EXPECT_EQ(error.description(), expected.description);
    }
}

// A host value as CreateMatrix receives it.
struct Empty {};
struct Null {};
using HostValue = std::variant<double, bool, Empty, Null, std::string>;

// Converts like the automation runtime's coercion to double, and counts
// which values were converted.
class HostValues final : public ValueList {
public:
    HostValues(std::initializer_list<HostValue> values) : values_(values) {}
    explicit HostValues(std::vector<HostValue> values) : values_(std::move(values)) {}

    std::size_t count() const override { return values_.size(); }
    double toDouble(std::size_t k) const override {
        converted_.push_back(k);
        const HostValue& value = values_.at(k);
        if (const auto* number = std::get_if<double>(&value)) return *number;
        if (const auto* flag = std::get_if<bool>(&value)) return *flag ? -1.0 : 0.0;
        if (std::holds_alternative<Empty>(value)) return 0.0;
        if (std::holds_alternative<Null>(value)) raiseRuntimeError(ErrorNumber::InvalidUseOfNull);
        const std::string& text = std::get<std::string>(value);
        std::size_t used = 0;
        try {
            const double parsed = std::stod(text, &used);
            if (used == text.size()) return parsed;
        } catch (const std::exception&) {
        }
        raiseRuntimeError(ErrorNumber::TypeMismatch);
    }
    const std::vector<std::size_t>& converted() const { return converted_; }

private:
    std::vector<HostValue> values_;
    mutable std::vector<std::size_t> converted_;
};

// What an operation gave: its record, or the error it raised.
struct Outcome {
    std::optional<Matrix> result;
    std::int32_t error = 0;
    std::string source, description;
};

template <typename Call>
Outcome outcomeOf(Call call) {
    Outcome outcome;
    try {
        outcome.result = call();
    } catch (const RuntimeError& error) {
        outcome.error = error.number();
        outcome.source = error.source();
        outcome.description = error.description();
    }
    return outcome;
}

} // namespace numoria::matrix::testing
