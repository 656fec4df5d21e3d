#!/busybox sh
# shellcheck shell=dash
# /init of the guest of vm-drivers.sh, run by busybox from the small initramfs. It loads the
# modules the shares need, builds a root from the host's /usr and /etc (read-only) around the
# initramfs, runs the checks with the host's bash and powers the machine off. The kernel console
# is ttyS0; the checks write what they find to /out, never to the console.
/busybox mkdir -p /proc /sys /dev /run /tmp /var /usr /etc /opt/brovane /out
/busybox mount -t devtmpfs dev /dev
exec </dev/console >/dev/console 2>&1
/busybox mount -t proc proc /proc
/busybox mount -t sysfs sys /sys

# The modules in load order (their dependencies first), listed by the host.
while read -r module; do
  /busybox insmod "/modules/$module" || echo "guest-init: cannot load $module"
done </modules.list

share() {
  /busybox mount -t 9p -o "trans=virtio,version=9p2000.L,msize=262144,$3" "$1" "$2" ||
    echo "guest-init: cannot mount the share $1 on $2"
}
share usr /usr ro
share etc /etc ro
share bin /opt/brovane ro
share out /out rw
# Debian's merged /usr.
for link in bin sbin lib lib64; do
  /busybox ln -sfn "usr/$link" "/$link"
done
/busybox mkdir -p /run/lock /dev/pts
/busybox ln -sfn /run/lock /var/lock
/busybox mount -t devpts devpts /dev/pts

/usr/bin/bash /out/guest-checks.sh >/out/guest.log 2>&1
echo "guest-init: the checks ended with $?"
/busybox sync
/busybox poweroff -f
