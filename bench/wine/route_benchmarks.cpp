#include "route_benchmarks.h"

#include <benchmark/benchmark.h>

#include "bench_session.h"

namespace numoria_bench {

namespace {

template <class Call>
void timeRoute(benchmark::State& state, CallFixture& fixture, Call call, std::string (CallFixture::*check)() const,
               bool late) {
    const HRESULT first = call();
    if (FAILED(first)) {
        state.SkipWithError(("call failed: " + (late ? fixture.describeLate(first) : hexStatus(first))).c_str());
        return;
    }
    if (const std::string wrong = (fixture.*check)(); !wrong.empty()) {
        state.SkipWithError(("wrong result: " + wrong).c_str());
        return;
    }
    for (auto _ : state) {
        const HRESULT status = call();
        if (FAILED(status)) {
            state.SkipWithError(("call failed while timed: " + hexStatus(status)).c_str());
            break;
        }
    }
}

template <class Call>
void registerRoute(const std::string& name, const std::shared_ptr<CallFixture>& fixture, Call call,
                   std::string (CallFixture::*check)() const, bool late) {
    benchmark::RegisterBenchmark(name.c_str(), [fixture, call, check, late](benchmark::State& state) {
        timeRoute(
            state, *fixture, [&] { return call(*fixture); }, check, late);
    })->Unit(benchmark::kNanosecond);
}

} // namespace

void registerRoutes(const std::string& call, const std::shared_ptr<CallFixture>& fixture) {
    registerRoute(
        call + "/" + kEarlyRoute, fixture, [](CallFixture& f) { return f.callEarly(); }, &CallFixture::checkEarly,
        false);
    registerRoute(
        call + "/" + kInvokeRoute, fixture, [](CallFixture& f) { return f.callInvoke(); }, &CallFixture::checkLate,
        true);
    registerRoute(
        call + "/" + kDispInvokeRoute, fixture, [](CallFixture& f) { return f.callDispInvoke(); },
        &CallFixture::checkLate, true);
}

} // namespace numoria_bench
