#!/usr/bin/env bash
# Proves the README's quick start on a fresh Debian 12: builds a minimal (minbase) Debian 12
# chroot with debootstrap from this machine's own apt source, clones the committed repository
# into it and runs the two quick-start commands there:
#   ./test.sh                  installs what is missing, builds, runs every test
#   ./run.sh --demo            under Xvfb for a few seconds; the "NQ501" window must appear
# Run it as root whenever the dependency list or the build changes. It takes 20-40 minutes
# (a full build from nothing), so it is not part of CI.
#
#   scripts/fresh-check.sh [--keep] [--dir DIR] [--repo DIR]
#
# DIR (default /var/tmp/nq501-fresh) holds the chroot and a copy of the pristine minbase
# system, so later runs skip debootstrap. --keep leaves the chroot in place for inspection.
set -euo pipefail

WORK=/var/tmp/nq501-fresh
REPO=$(cd "$(dirname "$0")/.." && pwd)
KEEP=0
while [ $# -gt 0 ]; do
  case "$1" in
    --keep) KEEP=1 ;;
    --dir) WORK=$2; shift ;;
    --repo) REPO=$2; shift ;;
    -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
    *) echo "fresh-check: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-check: debootstrap and chroot need root" >&2
  exit 2
fi
for tool in debootstrap git; do
  if ! command -v "$tool" >/dev/null; then
    echo "fresh-check: installing $tool"
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$tool"
  fi
done

# The machine's own Debian mirror: the first "deb" source of deb822 or one-line form.
mirror() {
  local uri=""
  if compgen -G "/etc/apt/sources.list.d/*.sources" >/dev/null; then
    uri=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  fi
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri=$(awk '$1 == "deb" {for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) {print $i; exit}}' /etc/apt/sources.list)
  fi
  echo "${uri:-http://deb.debian.org/debian}"
}
MIRROR=$(mirror)
BASE=$WORK/minbase.tar
ROOT=$WORK/root

unmount() {
  for m in dev/pts dev/shm dev proc sys; do
    if mountpoint -q "$ROOT/$m" 2>/dev/null; then umount -l "$ROOT/$m" || true; fi
  done
}
cleanup() {
  unmount
  if [ "$KEEP" -eq 0 ]; then rm -rf "$ROOT"; fi
}
trap cleanup EXIT

mkdir -p "$WORK"
unmount
rm -rf "$ROOT"
if [ ! -f "$BASE" ]; then
  echo "== debootstrap --variant=minbase bookworm from $MIRROR"
  rm -rf "$WORK/base"
  debootstrap --variant=minbase bookworm "$WORK/base" "$MIRROR" >"$WORK/debootstrap.log" 2>&1 \
    || { tail -20 "$WORK/debootstrap.log"; exit 1; }
  tar -C "$WORK/base" -cf "$BASE" .
  rm -rf "$WORK/base"
fi
echo "== fresh minbase Debian 12 in $ROOT"
mkdir -p "$ROOT"
tar -C "$ROOT" -xf "$BASE"
cp /etc/resolv.conf "$ROOT/etc/resolv.conf"
mount -t proc proc "$ROOT/proc"
mount -t sysfs sys "$ROOT/sys"
mount --bind /dev "$ROOT/dev"
mount -t devpts devpts "$ROOT/dev/pts" 2>/dev/null || true
mount -t tmpfs tmpfs "$ROOT/dev/shm"

COMMIT=$(git -C "$REPO" rev-parse --short HEAD)
echo "== cloning $COMMIT into the chroot"
git clone -q --no-hardlinks "$REPO" "$ROOT/root/nq501"

in_root() {
  chroot "$ROOT" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c "$1"
}

echo "== ./test.sh"
in_root 'cd /root/nq501 && ./test.sh' 2>&1 | tee "$WORK/test.log" | tail -40
[ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fresh-check: ./test.sh failed (log: $WORK/test.log)"; exit 1; }

echo "== ./run.sh --demo under Xvfb"
# xwininfo only looks for the window; it is installed after the quick start has run.
in_root 'DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends x11-utils >/dev/null'
in_root '
  cd /root/nq501
  Xvfb :57 -screen 0 1920x1080x24 -nolisten tcp >/tmp/xvfb.log 2>&1 &
  xvfb=$!
  export DISPLAY=:57 XDG_RUNTIME_DIR=/tmp/runtime
  for i in $(seq 1 60); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.5; done
  mkdir -p -m 0700 $XDG_RUNTIME_DIR
  ./run.sh --demo >/tmp/demo.log 2>&1 &
  app=$!
  found=""
  for i in $(seq 1 60); do
    if xwininfo -root -tree 2>/dev/null | grep -q "\"NQ501\""; then found=1; break; fi
    kill -0 $app 2>/dev/null || break
    sleep 0.5
  done
  if [ -n "$found" ]; then
    sleep 3
    xwininfo -root -tree | grep "\"NQ501\"" | head -1
    echo "window: NQ501 is shown"
  fi
  alive=0; kill -0 $app 2>/dev/null && alive=1
  kill $app 2>/dev/null; wait $app 2>/dev/null
  kill $xvfb 2>/dev/null
  if [ -n "$found" ] && [ $alive -eq 1 ]; then tail -3 /tmp/demo.log; exit 0; fi
  cat /tmp/demo.log; exit 1
' || { echo "fresh-check: the demo window did not appear"; exit 1; }
echo "fresh-check: passed ($COMMIT, Debian $(cat "$ROOT/etc/debian_version") minbase)"
