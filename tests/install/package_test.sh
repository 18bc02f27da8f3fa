#!/usr/bin/env bash
# The Debian package, round trip: made by CPack from the build, checked by
# lintian, installed with apt-get into a throwaway root, used there (the
# installed corvellin-fx on a shipped mask, the installed editor under Xvfb
# with a picture on its command line, the desktop entry as the JPEG handler),
# then purged, leaving nothing of it behind.
#
# The throwaway root is an overlay: this machine's root as the read-only lower
# layer and a tmpfs as the upper one, so apt and dpkg inside it change only
# the tmpfs, and the upper layer lists exactly what the package left.
set -euo pipefail
build="$1"
top=$(mktemp -d /tmp/corvellin-package-XXXXXX)
root="$top/root"
xvfb_pid="" editor_pid=""
cleanup() {
  [[ -n "$editor_pid" ]] && kill "$editor_pid" 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  for m in "$root/proc" "$root/dev" "$root" "$top/layer"; do
    mountpoint -q "$m" && umount -l "$m"
  done
  rm -rf "$top"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root/home LANG=C.UTF-8 "$@"; }

# The package, from the build's CPack configuration, into a folder of its own.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$top/deb" >"$top/cpack.log" 2>&1 || fail "cpack: $(cat "$top/cpack.log")"
deb=$(ls "$top"/deb/corvellin-photo_*.deb)
[[ -f "$deb" ]] || fail "no package"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "Depends lacks the shared libraries: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Depends | grep -q "fonts-dejavu-core" || fail "Depends lacks a font"
dpkg-deb -f "$deb" Depends | grep -q "fonts-noto-cjk" || fail "Depends lacks the CJK font"
dpkg-deb -f "$deb" Recommends | grep -q "qt6-wayland" || fail "Recommends lacks the Wayland plug-in"

# lintian: no errors (and, today, no warnings either).
lintian --fail-on error,warning "$deb" >"$top/lintian.log" 2>&1 || fail "lintian: $(cat "$top/lintian.log")"

# The same tree as cmake --install --prefix /usr.
DESTDIR="$top/tree" cmake --install "$build" --prefix /usr >/dev/null
(cd "$top/tree" && find . -mindepth 1 | sed 's|^\./|/|' | sort) >"$top/tree.list"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' | grep -v '^/\?$' | sort >"$top/deb.list"
diff "$top/tree.list" "$top/deb.list" >"$top/tree.diff" || fail "package and install tree differ: $(cat "$top/tree.diff")"

# The throwaway root.
mkdir -p "$top/layer" "$root"
mount -t tmpfs -o size=2g tmpfs "$top/layer"
mkdir "$top/layer/upper" "$top/layer/work"
mount -t overlay overlay -o "lowerdir=/,upperdir=$top/layer/upper,workdir=$top/layer/work" "$root"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
in_root dpkg -s corvellin-photo >/dev/null 2>&1 && fail "the throwaway root has the package already"
mkdir -p "$root/root/home" "$root/tmp/package"
cp "$deb" "$root/tmp/package/"
in_root apt-get install -y --no-install-recommends -o Dpkg::Use-Pty=0 "/tmp/package/$(basename "$deb")" \
  >"$top/install.log" 2>&1 || fail "apt-get install: $(tail -20 "$top/install.log")"
in_root dpkg -s corvellin-photo | grep -q "Status: install ok installed" || fail "not installed"

# corvellin-fx from PATH on a shipped mask.
in_root corvellin-fx apply /usr/lib/corvellin-photo/pic/default.jpg /tmp/fx-out.jpg star:3 frame:0 \
  || fail "corvellin-fx apply"
[[ -s "$root/tmp/fx-out.jpg" ]] || fail "corvellin-fx wrote nothing"

# The desktop entry is the handler the desktop offers for JPEG pictures.
handler=$(in_root xdg-mime query default image/jpeg)
[[ "$handler" == "corvellin-photo.desktop" ]] || fail "xdg-mime names '$handler' for image/jpeg"

# The installed editor under Xvfb, with a picture on its command line.
exec {fd}<> <(:)
in_root Xvfb -displayfd "$fd" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 display <&"$fd" || fail "Xvfb did not start"
cp "$root/usr/lib/corvellin-photo/pic/default.jpg" "$root/tmp/holiday.jpg"
in_root DISPLAY=":$display" XDG_RUNTIME_DIR=/tmp corvellin /tmp/holiday.jpg >"$top/editor.log" 2>&1 &
editor_pid=$!
window=""
for _ in $(seq 1 150); do
  window=$(in_root DISPLAY=":$display" xdotool search --onlyvisible --name '^holiday\.jpg .* Corvellin Photo Editor$' 2>/dev/null | head -n 1 || true)
  [[ -n "$window" ]] && break
  sleep 0.2
done
[[ -n "$window" ]] || fail "no editor window naming the picture; log: $(cat "$top/editor.log")"
# No window manager: File > E&xit through the menu.
in_root DISPLAY=":$display" xdotool mousemove --window "$window" 18 10 click 1
sleep 0.5
in_root DISPLAY=":$display" xdotool key x
for _ in $(seq 1 50); do kill -0 "$editor_pid" 2>/dev/null || break; sleep 0.2; done
kill -0 "$editor_pid" 2>/dev/null && fail "the editor did not close from File > Exit"
wait "$editor_pid" && status=0 || status=$?
editor_pid=""
[[ $status -eq 0 ]] || fail "the editor exited with $status; log: $(cat "$top/editor.log")"
kill "$xvfb_pid" 2>/dev/null || true
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=""

# Purge, then nothing of the package is left: no file or folder of that name,
# and no trace in the caches that the desktop triggers rebuild. The logs and
# dpkg's own backups keep history by design; /tmp and HOME hold what the test
# and the editor's user wrote.
in_root apt-get purge -y -o Dpkg::Use-Pty=0 corvellin-photo >"$top/purge.log" 2>&1 || fail "apt-get purge: $(tail -20 "$top/purge.log")"
in_root dpkg -s corvellin-photo >/dev/null 2>&1 && fail "still installed after purge"
left=$(cd "$top/layer/upper" && find . \( -path ./tmp -o -path ./root/home -o -path ./var/log -o -path './var/lib/dpkg/*-old' \
         -o -path ./var/cache/debconf -o -path ./proc -o -path ./dev \) -prune -o -print | grep -i corvellin || true)
[[ -z "$left" ]] || fail "left after purge: $left"
traces=$(cd "$top/layer/upper" && grep -rlI corvellin --exclude-dir=tmp --exclude-dir=log --exclude='*-old' \
           --exclude-dir=home --exclude-dir=debconf . 2>/dev/null || true)
[[ -z "$traces" ]] || fail "files that still name the package after purge: $traces"
echo "package: lintian clean, same tree as the install, installed, used, purged without a trace"
