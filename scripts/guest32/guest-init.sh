#!/bin/busybox sh
# The guest's init: mounts the host's root over virtio-9p, runs the job
# named on the kernel command line (numoria_job=<script>) chrooted into it,
# and powers off. The job's output goes to the serial console, which QEMU
# hands to the host's terminal.
/bin/busybox --install -s /bin
export PATH=/bin
mkdir -p /proc /sys /dev /host
mount -t proc proc /proc
mount -t devtmpfs dev /dev
for module in $(cat /modules/order); do
    insmod "/modules/$module.ko" || echo "guest: insmod $module failed"
done
# Page-cached ("loose") access: Wine maps its programs from these files, and
# without the page cache 32-bit Wine finds parts of a mapped image empty.
# Nothing on the host changes the files while the guest runs.
if ! mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144,cache=loose hostroot /host; then
    echo "guest: cannot mount the host's root"
    poweroff -f
fi
job=$(sed -n 's/.*numoria_job=\([^ ]*\).*/\1/p' /proc/cmdline)

# Inside the chroot: the guest's own proc, sys and devices; /tmp and
# /dev/shm in memory, because the wineserver's socket cannot live on 9p;
# /dev/fd for bash's process substitution.
mount -t proc proc /host/proc
mount -t sysfs sys /host/sys
mount -t devtmpfs dev /host/dev
mkdir -p /host/dev/shm /host/dev/pts
mount -t tmpfs shm /host/dev/shm
mount -t devpts devpts /host/dev/pts
# Room for several Wine prefixes at once (each is hundreds of megabytes).
mount -t tmpfs -o size=75% tmp /host/tmp
ln -sf /proc/self/fd /host/dev/fd
stty -F /dev/console -onlcr 2>/dev/null

if [ -n "$job" ] && [ -f "/host$job" ]; then
    chroot /host /bin/bash "$job" </dev/null >/dev/console 2>&1
else
    echo "guest: no job script ($job)"
fi
sync
umount /host/tmp 2>/dev/null
poweroff -f
