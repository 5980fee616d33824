# The Debian packages each part of the build needs (sourced by the scripts).
NATIVE_PACKAGES=(cmake ninja-build g++ libgtest-dev)
# The Windows builds and the Wine tests: the mingw-w64 cross compilers, widl,
# the standard IDL files, the 64-bit Wine with its VBScript host, and the
# GoogleTest sources that are cross-built for the Wine client; wixl and
# msiinfo (msitools) for the installer packages; osslsigncode and openssl
# for signing them and its test.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools libwine-dev wine64 googletest python3
                  msitools wixl osslsigncode openssl)
BENCH_PACKAGES=(libbenchmark-dev libopenblas-dev)
# The fuzz drivers: clang with libFuzzer and the sanitizer runtimes, and the
# symbolizer that puts file and line into their reports.
FUZZ_PACKAGES=(cmake ninja-build clang libclang-rt-14-dev llvm-14)
# The benchmarks through the DLL under Wine: apt-get source unpacks Google
# Benchmark's Debian source package with dpkg-source (dpkg-dev, xz-utils).
BENCH_WINE_PACKAGES=(dpkg-dev xz-utils)
# The 32-bit test group: QEMU runs an x86-64 guest with Debian's own kernel
# (its 32-bit emulation is what the host kernel lacks), a busybox initramfs
# boots it into the host's own root, and the 32-bit Wine runs there.
GUEST32_PACKAGES=(qemu-system-x86 busybox-static cpio xz-utils wine32:i386)
