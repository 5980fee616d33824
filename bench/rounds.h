// Contenders timed round by round in one process: every round times each
// contender once, in an order that rotates from round to round, so that load
// from neighbours falls on all of them alike and each round yields one ratio.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace numoria::bench {

struct Contender {
    std::string name;
    std::function<void()> call;
};

struct Spread {
    double min, median, max;
};

Spread spreadOf(std::vector<double> values);

// Seconds per call, one value per round and contender: the wall clock, and
// the processor time of the whole process (all its threads), which load from
// other processes on a shared machine inflates far less.
struct Timings {
    std::vector<std::vector<double>> wall, processor;
};

// A contender whose call is short is called in a batch lasting about
// `batchSeconds` (the batch size is fixed before the first round), its time
// divided out.
Timings timeInRounds(const std::vector<Contender>& contenders, int rounds, double batchSeconds);

} // namespace numoria::bench
