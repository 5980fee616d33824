// The trailing values of CreateMatrix. The automation frame converts host
// VARIANTs with the runtime's coercion; the core and its tests plug in their
// own lists. Values are converted one at a time and only when the fill takes
// them, so a value past the last element filled is never looked at.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <vector>

namespace numoria::matrix {

class ValueList {
public:
    virtual ~ValueList() = default;
    virtual std::size_t count() const = 0;
    // Value k as a double; raises type mismatch (13) or invalid use of Null (94).
    virtual double toDouble(std::size_t k) const = 0;
};

// A list of values that are already doubles.
class DoubleValues final : public ValueList {
public:
    DoubleValues() = default;
    DoubleValues(std::initializer_list<double> values) : values_(values) {}
    explicit DoubleValues(std::vector<double> values) : values_(std::move(values)) {}

    std::size_t count() const override { return values_.size(); }
    double toDouble(std::size_t k) const override { return values_.at(k); }

private:
    std::vector<double> values_;
};

} // namespace numoria::matrix
