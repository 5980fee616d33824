// The trailing values of CreateMatrix as the fuzz input gives them: any
// count (up to past the 16-bit value index), values taken in a cycle from a
// short list in which a value may fail to convert, as a host's text or Null
// does.
#pragma once

#include <cstddef>
#include <vector>

#include "matrix/value_list.h"
#include "runtime/runtime_error.h"
#include "support/input_reader.h"

namespace numoria::fuzz {

class FuzzValues final : public matrix::ValueList {
public:
    explicit FuzzValues(InputReader& input) {
        switch (input.pick(0, 3)) {
        case 0: count_ = 0; break;
        case 1: count_ = static_cast<std::size_t>(input.pick(1, 40)); break;
        case 2: count_ = static_cast<std::size_t>(input.pick(32760, 32775)); break;
        default: count_ = static_cast<std::size_t>(input.pick(0, 70000)); break;
        }
        const int distinct = input.pick(1, 16);
        for (int k = 0; k < distinct; ++k) {
            const int kind = input.pick(0, 15);
            entries_.push_back({input.value(), kind == 0   ? ErrorNumber::TypeMismatch
                                               : kind == 1 ? ErrorNumber::InvalidUseOfNull
                                                           : ErrorNumber{0}});
        }
    }

    std::size_t count() const override { return count_; }

    double toDouble(std::size_t k) const override {
        const Entry& entry = entries_.at(k % entries_.size());
        if (entry.error != ErrorNumber{0}) raiseRuntimeError(entry.error);
        return entry.value;
    }

private:
    struct Entry {
        double value;
        ErrorNumber error;
    };

    std::size_t count_ = 0;
    std::vector<Entry> entries_;
};

} // namespace numoria::fuzz
