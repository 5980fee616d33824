// Peak memory of one MultiplyMatrix of two n x n records (n = 2048 unless
// given), called through numori10.dll early-bound (or, given "late", through
// the library's IDispatch::Invoke with the records by reference and the
// result as VT_RECORD): how far the process's
// memory rises above a baseline taken once both input records exist,
// divided by the size of the result's elements. The headline figure is the
// kernel's peak resident size, reset at the baseline; the committed and
// anonymous resident sizes are sampled during the call as a cross-check.
// Exits non-zero when the call fails or its result is wrong.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>

#include "bench_session.h"
#include "call_forms.h"
#include "host_matrix.h"
#include "numori10.h"
#include "peak_sampler.h"
#include "process_memory.h"

using namespace numoria_bench;

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kTarget = 1.1;

// A spread of elements of the product compared with sums computed here.
bool productLooksRight(const Matrix& a, const Matrix& b, const Matrix& product) {
    if (product.m != a.m || product.n != b.n || product.Element == nullptr) return false;
    for (short step = 0; step < 16; ++step) {
        const short row = static_cast<short>(1 + (step * 131) % a.m);
        const short column = static_cast<short>(1 + (step * 197 + 5) % b.n);
        double sum = 0;
        for (short k = 1; k <= a.n; ++k) sum += elementAt(a, row, k) * elementAt(b, k, column);
        if (elementAt(product, row, column) != sum) return false;
    }
    return true;
}

void printRise(const char* what, SIZE_T peak, SIZE_T baseline, SIZE_T resultBytes, const char* note) {
    const double rise = static_cast<double>(peak) - static_cast<double>(baseline);
    std::printf("  %-44s %+9.1f MiB  = %5.2f x result%s\n", what, rise / kMiB, rise / static_cast<double>(resultBytes),
                note);
}

int measure(short size, bool late) {
    ComApartment apartment;
    auto object = createObject<_clsVxNumsMatrixA>(CLSID_clsVxNumsMatrixA);
    ComPtr<IRecordInfo> recordInfo = matrixRecordInfo();
    HostMatrix a(size, size);
    HostMatrix b(size, size);
    HostMatrix result;
    const SIZE_T resultBytes = HostMatrix::elementBytes(size, size);
    // Made before the baseline: its dispid lookup and argument array are not
    // part of the call.
    DispatchCall dispatch(object.Get(), L"MultiplyMatrix",
                          {recordReference(a.get(), recordInfo.Get()), recordReference(b.get(), recordInfo.Get())});
    const std::function<HRESULT()> call = [&] {
        return late ? dispatch.throughInvoke() : object->MultiplyMatrix(a.get(), b.get(), result.out());
    };
    const std::function<const Matrix*()> product = [&]() -> const Matrix* {
        if (!late) return result.get();
        const VARIANT& value = dispatch.result();
        return value.vt == VT_RECORD && value.pvRecord != nullptr ? static_cast<const Matrix*>(value.pvRecord)
                                                                  : nullptr;
    };
    const char* route = late ? "late-bound (the library's Invoke)" : "early-bound";

    const std::optional<ProcessMemoryReader> reader = ProcessMemoryReader::fromEnvironment();
    if (!reader) std::printf("NUMORIA_UNIX_PID is not set: only Wine's own counters are shown\n");
    std::optional<PeakSampler> sampler;
    if (reader) sampler.emplace(*reader); // started before the baseline, so its own thread is in it

    const PlatformMemoryCounters platformBefore = platformMemoryCounters();
    ProcessMemory before;
    bool peakReset = false;
    if (reader) {
        peakReset = reader->resetPeakResident();
        before = reader->read();
    }

    const auto start = std::chrono::steady_clock::now();
    const HRESULT status = call();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

    const SampledPeaks sampled = sampler ? sampler->stop() : SampledPeaks{};
    const ProcessMemory after = reader ? reader->read() : ProcessMemory{};
    const PlatformMemoryCounters platformAfter = platformMemoryCounters();

    if (FAILED(status)) {
        std::printf("MultiplyMatrix %d x %d failed with %s\n", size, size,
                    late ? dispatch.describe(status).c_str() : hexStatus(status).c_str());
        return 1;
    }
    if (product() == nullptr || !productLooksRight(*a.get(), *b.get(), *product())) {
        std::printf("MultiplyMatrix %d x %d gave a wrong product\n", size, size);
        return 1;
    }

    std::printf("MultiplyMatrix %d x %d, %s through numori10.dll: result %.1f MiB, call %.2f s\n", size, size, route,
                resultBytes / kMiB, elapsed.count());
    if (reader) {
        std::printf("  baseline with both inputs: resident %.1f MiB, committed %.1f MiB, anonymous %.1f MiB\n",
                    before.resident / kMiB, before.committed / kMiB, before.anonymousResident / kMiB);
        const double ratio =
            (static_cast<double>(after.peakResident) - static_cast<double>(before.resident)) / resultBytes;
        printRise(peakReset ? "peak resident (kernel, reset at the baseline)" : "peak resident (kernel, NOT reset)",
                  after.peakResident, before.resident, resultBytes, peakReset ? "" : "  (upper bound)");
        printRise("peak committed (sampled)", sampled.committed, before.committed, resultBytes, "");
        printRise("peak anonymous resident (sampled)", sampled.anonymousResident, before.anonymousResident, resultBytes,
                  "");
        std::printf("  %zu samples during the call (one every %.2f ms)\n", sampled.samples,
                    elapsed.count() * 1e3 / static_cast<double>(sampled.samples ? sampled.samples : 1));
        std::printf("peak memory ratio (peak - baseline) / result: %.2f (target <= %.1f)\n", ratio, kTarget);
    }
    std::printf(
        "  Wine's GetProcessMemoryInfo: PrivateUsage %.1f -> %.1f MiB, PeakPagefileUsage %.1f -> %.1f MiB,\n"
        "  PeakWorkingSetSize %.1f -> %.1f MiB (working set at the baseline %.1f MiB)\n",
        platformBefore.privateUsage / kMiB, platformAfter.privateUsage / kMiB, platformBefore.peakPagefileUsage / kMiB,
        platformAfter.peakPagefileUsage / kMiB, platformBefore.peakWorkingSet / kMiB,
        platformAfter.peakWorkingSet / kMiB, platformBefore.workingSet / kMiB);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const short size = static_cast<short>(argc > 1 ? std::atoi(argv[1]) : 2048);
    const bool late = argc > 2 && std::strcmp(argv[2], "late") == 0;
    if (size <= 0 || (argc > 2 && !late && std::strcmp(argv[2], "early") != 0)) {
        std::fprintf(stderr, "usage: numoria_wine_peak [n [early|late]]\n");
        return 2;
    }
    try {
        return measure(size, late);
    } catch (const BenchSetupError& error) {
        std::fprintf(stderr, "set-up failed: %s\n", error.what());
        return 1;
    }
}
