#!/bin/sh
# Tries the README's quick start as a new user would: on a minimal Debian 12
# (debootstrap --variant=minbase bookworm, then git and make) in a chroot, it
# clones this project's committed HEAD and runs "make run" and "make test",
# and says how long each took. Root only; not part of CI.
# usage: tools/fresh-check.sh [CACHE_DIR]   (default /var/cache/vario-fresh-check)
# The bare system is kept in CACHE_DIR as a tarball after the first run.
set -e
[ "$(id -u)" = 0 ] || { echo "fresh-check: run as root" >&2; exit 1; }
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${1:-/var/cache/vario-fresh-check}
tarball=$cache/bookworm-minbase.tar.gz
mirror=http://deb.debian.org/debian
export DEBIAN_FRONTEND=noninteractive

if ! command -v debootstrap >/dev/null; then
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
fi

chroot_dir=$(mktemp -d /var/tmp/vario-fresh.XXXXXX)
cleanup() {
    # Processes left in the chroot (a wineserver that waits before it ends)
    # would keep its mounts busy.
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/root" 2>/dev/null)" = "$chroot_dir" ] && kill "${proc#/proc/}" 2>/dev/null
    done
    sleep 1
    for mount in dev sys proc; do
        umount -R "$chroot_dir/$mount" 2>/dev/null || true
    done
    rm -rf --one-file-system "$chroot_dir"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

mkdir -p "$cache"
if [ -f "$tarball" ]; then
    tar -xzf "$tarball" -C "$chroot_dir"
else
    echo "fresh-check: making a minimal Debian 12 in $chroot_dir (cached as $tarball)"
    debootstrap --variant=minbase bookworm "$chroot_dir" "$mirror" >/dev/null
    tar -czf "$tarball.tmp" -C "$chroot_dir" . && mv "$tarball.tmp" "$tarball"
fi

mount -t proc proc "$chroot_dir/proc"
mount -t sysfs sysfs "$chroot_dir/sys"
mount --rbind /dev "$chroot_dir/dev"
# Unmounting the chroot's /dev must not reach the machine's own.
mount --make-rslave "$chroot_dir/dev"
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
git -C "$root" bundle create "$chroot_dir/root/vario.bundle" HEAD 2>/dev/null
echo "fresh-check: $(git -C "$root" log -1 --format='%h %s')"

chroot "$chroot_dir" /usr/bin/env -i HOME=/root TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin sh -e -c '
apt-get update -qq
apt-get install -y -qq --no-install-recommends git make ca-certificates >/dev/null
git -c advice.detachedHead=false clone -q /root/vario.bundle /root/vario
cd /root/vario
for command in run test; do
    start=$(date +%s)
    status=0
    make $command >/root/make-$command.log 2>&1 || status=$?
    tail -n 40 /root/make-$command.log
    echo "fresh-check: make $command: exit $status after $(( $(date +%s) - start )) s"
    [ $status = 0 ] || exit $status
done'
