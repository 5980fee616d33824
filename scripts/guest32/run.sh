#!/usr/bin/env bash
# Runs one command in an emulated x86-64 guest whose kernel can execute
# 32-bit programs, so that the 32-bit Wine (and the 32-bit DLLs under it)
# runs although the host kernel cannot.
#
#   scripts/guest32/run.sh [--timeout MINUTES] [--] COMMAND [ARG...]
#
# The guest is QEMU with software emulation booting Debian's own kernel
# (prepared once into build/guest32 by prepare.sh); its root file system is
# the host's, shared over virtio-9p, so the command sees this machine's
# files, tools and build folders at the same paths, in the same working
# directory. /tmp and /dev/shm are private to the guest (in memory), so a
# Wine prefix for the command belongs there. Variables named NUMORIA_* and
# CI are passed on. The command's output streams to this terminal; its exit
# status becomes this script's (125 when the guest died before the command
# finished, 124 when the time ran out).
#
# Everything runs 10 to 30 times slower than on the host: time limits in
# the command need stretching, and no timing measured there means anything.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cache=${NUMORIA_GUEST32_CACHE:-$root/build/guest32}
timeout_minutes=50
while [ $# -gt 0 ]; do
    case $1 in
        --timeout) timeout_minutes=$2; shift 2 ;;
        --) shift; break ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--timeout MINUTES] [--] COMMAND [ARG...]" >&2; exit 2; }
# The guest mounts a /tmp of its own over the host's, so it cannot see a
# checkout, a build folder or a working directory there.
for path in "$root" "$cache" "$PWD"; do
    case "$(readlink -f "$path")/" in
        /tmp/*) echo "$0: $path is under /tmp, which the guest replaces with its own; use a checkout elsewhere" >&2
                exit 2 ;;
    esac
done

source "$root/scripts/packages.sh"
"$root/scripts/install-packages.sh" "${WINDOWS_PACKAGES[@]}" "${GUEST32_PACKAGES[@]}"
"$here/prepare.sh" "$cache"

jobs="$cache/jobs"
mkdir -p "$jobs"
job=$(mktemp -d "$jobs/job.XXXXXX")
trap 'rm -rf "$job"' EXIT
status_file="$job/status"
{
    echo '#!/bin/bash'
    echo 'export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 TERM=dumb'
    while IFS='=' read -r name _; do
        case $name in NUMORIA_*|CI) printf 'export %s=%q\n' "$name" "${!name}" ;; esac
    done < <(env)
    # Every Wine prefix made in this boot starts as a copy of the first.
    echo 'export NUMORIA_PREFIX_TEMPLATE=${NUMORIA_PREFIX_TEMPLATE:-/tmp/numoria-wine32/fresh-prefix}'
    printf 'cd %q || exit 1\n' "$PWD"
    printf '%q ' "$@"
    echo
    printf 'echo $? >%q\n' "$status_file"
} >"$job/run.sh"

qemu=(qemu-system-x86_64 -M pc -accel tcg,thread=multi -cpu max,-smap,-smep,-pku
      -smp "$(nproc)" -m 8192 -nographic -no-reboot -nic none -bios qboot.rom
      -kernel "$cache/vmlinux" -initrd "$cache/initramfs.cpio.gz"
      -append "console=ttyS0 quiet loglevel=1 panic=-1 numoria_job=$job/run.sh"
      -virtfs local,path=/,mount_tag=hostroot,security_model=passthrough,id=hostroot,multidevs=remap)
set +e
timeout -k 10 $((timeout_minutes * 60)) "${qemu[@]}" </dev/null
qemu_status=$?
set -e
if [ $qemu_status -eq 124 ]; then
    echo "guest: no result after $timeout_minutes minutes" >&2
    exit 124
fi
if [ ! -s "$status_file" ]; then
    echo "guest: the command did not finish (QEMU exited with $qemu_status)" >&2
    exit 125
fi
exit "$(cat "$status_file")"
