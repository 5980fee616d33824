#!/usr/bin/env bash
# Unpacks the source of Debian's Google Benchmark package (the one behind
# libbenchmark-dev, Debian patches applied) so it can be cross-built for
# Windows: Debian ships the library for the native architecture only.
#
#   scripts/fetch-benchmark-source.sh <folder>
#
# apt-get fetches it from the Debian archive the machine already uses, with
# a source index of its own kept in <folder>/apt: the machine's apt sources
# and lists are left as they are. The index and the .dsc checksums are
# verified as apt verifies any download. Prints the unpacked folder. Does
# nothing when it is already there.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 <folder>" >&2; exit 2; }
package=benchmark
suite=bookworm
mkdir -p "$1"
folder=$(readlink -f "$1")

existing=$(find "$folder" -maxdepth 1 -type d -name "$package-[0-9]*" | sort | tail -n 1)
if [ -n "$existing" ] && [ -f "$existing/CMakeLists.txt" ]; then
    echo "$existing"
    exit 0
fi

state="$folder/apt"
mkdir -p "$state/sources.list.d" "$state/lists/partial" "$state/cache/archives/partial"
cat >"$state/sources.list.d/debian-source.sources" <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $suite
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
apt_options=(
    -o "Dir::Etc::SourceList=$state/none.list"
    -o "Dir::Etc::SourceParts=$state/sources.list.d"
    -o "Dir::State::Lists=$state/lists"
    -o "Dir::Cache=$state/cache"
    -o "APT::Sandbox::User=root"
)
: >"$state/none.list"
apt-get "${apt_options[@]}" -qq update >&2
(cd "$folder" && apt-get "${apt_options[@]}" -q source "$package" >&2)

unpacked=$(find "$folder" -maxdepth 1 -type d -name "$package-[0-9]*" | sort | tail -n 1)
[ -n "$unpacked" ] && [ -f "$unpacked/CMakeLists.txt" ] || { echo "no unpacked $package source in $folder" >&2; exit 1; }
echo "$unpacked"
