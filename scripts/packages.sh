# The Debian packages each part of the build needs (sourced by the scripts).
NATIVE_PACKAGES=(cmake ninja-build g++ libgtest-dev)
BENCH_PACKAGES=(libbenchmark-dev libopenblas-dev)
