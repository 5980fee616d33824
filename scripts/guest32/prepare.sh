#!/usr/bin/env bash
# Prepares what the 32-bit guest boots: Debian's current kernel, unpacked
# to an uncompressed image for a direct (PVH) boot, and an initramfs with
# busybox, the virtio and 9p modules and the guest's init script.
#
#   scripts/guest32/prepare.sh <cache-dir>
#
# Everything lands in <cache-dir> (normally build/guest32) and is made once:
# a later call with the same kernel version does nothing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -eq 1 ] || { echo "usage: $0 <cache-dir>" >&2; exit 2; }
cache=$1
mkdir -p "$cache"
cache=$(readlink -f "$cache")

# The modules that mount the host's root over virtio-9p, in load order.
modules=(virtio_ring virtio virtio_pci_legacy_dev virtio_pci_modern_dev virtio_pci
         netfs fscache 9pnet 9pnet_virtio 9p)

kernel_package=$(apt-cache depends linux-image-amd64 | awk '/Depends: linux-image-/ {print $2; exit}')
[ -n "$kernel_package" ] || { echo "no kernel package behind linux-image-amd64" >&2; exit 1; }
stamp="$cache/$kernel_package-$(sha1sum "$here/guest-init.sh" | cut -c1-12).ready"
[ -f "$stamp" ] && exit 0

work="$cache/unpack"
rm -rf "$work" && mkdir -p "$work"
(cd "$work" && apt-get download -q "$kernel_package" 2>/dev/null) ||
    (cd "$work" && apt-get download "$kernel_package")
dpkg-deb -x "$work"/"$kernel_package"_*.deb "$work/root"

# vmlinuz is a boot stub followed by an xz stream (magic FD 37 7A 58 5A 00);
# the stream is the kernel's ELF image, which QEMU boots directly.
vmlinuz=$(ls "$work"/root/boot/vmlinuz-*)
offset=$({ LC_ALL=C grep -obUaP '\xfd7zXZ\x00' "$vmlinuz" || true; } | head -1 | cut -d: -f1)
[ -n "$offset" ] || { echo "no xz stream in $vmlinuz" >&2; exit 1; }
{ tail -c +$((offset + 1)) "$vmlinuz" | xz -dc --single-stream || true; } >"$cache/vmlinux"
[ -s "$cache/vmlinux" ] || { echo "cannot unpack $vmlinuz" >&2; exit 1; }

initramfs="$work/initramfs"
mkdir -p "$initramfs/bin" "$initramfs/modules"
cp /bin/busybox "$initramfs/bin/busybox"
cp "$here/guest-init.sh" "$initramfs/init"
chmod 755 "$initramfs/init"
for module in "${modules[@]}"; do
    file=$(find "$work"/root/lib/modules -name "$module.ko" | head -1)
    [ -n "$file" ] || { echo "module $module not in $kernel_package" >&2; exit 1; }
    cp "$file" "$initramfs/modules/"
done
printf '%s\n' "${modules[@]}" >"$initramfs/modules/order"
(cd "$initramfs" && find . | cpio -o -H newc --quiet) | gzip -1 >"$cache/initramfs.cpio.gz"

rm -rf "$work"
rm -f "$cache"/*.ready
echo "$kernel_package" >"$stamp"
echo "guest prepared: $kernel_package"
