#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves it (the layout must be
# relocatable), and uses the installed programs: corvellin-fx from another
# folder on the shipped masks, and corvellin under Xvfb from a read-only
# program folder, closed through its File menu.
set -euo pipefail
build="$1"
top=$(mktemp -d /tmp/corvellin-install-XXXXXX)
xvfb_pid="" editor_pid=""
cleanup() {
  [[ -n "$editor_pid" ]] && kill "$editor_pid" 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  mountpoint -q "$top/moved/lib/corvellin-photo" && umount -l "$top/moved/lib/corvellin-photo"
  rm -rf "$top"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$top/prefix" >/dev/null
mv "$top/prefix" "$top/moved"
p="$top/moved"
for f in bin/corvellin bin/corvellin-fx lib/corvellin-photo/corvellin lib/corvellin-photo/corvellin-fx \
         lib/corvellin-photo/pic/default.jpg lib/corvellin-photo/pic/12/m10.gph lib/corvellin-photo/Languages/de.ini \
         share/applications/corvellin-photo.desktop share/metainfo/io.corvellin.PhotoEditor.metainfo.xml \
         share/icons/hicolor/16x16/apps/corvellin-photo.png share/icons/hicolor/256x256/apps/corvellin-photo.png \
         share/man/man1/corvellin.1.gz share/man/man1/corvellin-fx.1.gz share/doc/corvellin-photo/copyright; do
  [[ -e "$p/$f" ]] || fail "missing $f"
done
[[ -L "$p/bin/corvellin" && -L "$p/bin/corvellin-fx" ]] || fail "bin/ holds no links"
desktop-file-validate "$p/share/applications/corvellin-photo.desktop"
appstreamcli validate --no-net "$p/share/metainfo/io.corvellin.PhotoEditor.metainfo.xml" >/dev/null \
  || appstreamcli validate --no-net "$p/share/metainfo/io.corvellin.PhotoEditor.metainfo.xml"

# corvellin-fx through its link, from another folder, on the shipped masks.
mkdir "$top/work"
(cd "$top/work" && "$p/bin/corvellin-fx" apply "$p/lib/corvellin-photo/pic/default.jpg" out.jpg star:3 frame:0 edge:6::0x0000FF)
[[ -s "$top/work/out.jpg" ]] || fail "corvellin-fx wrote nothing"
"$p/bin/corvellin-fx" list | grep -q "Whether" || fail "corvellin-fx list"

# The editor from a read-only program folder (tests run as root: a read-only bind mount).
if [[ $(id -u) -eq 0 ]]; then
  mount --bind "$p/lib/corvellin-photo" "$p/lib/corvellin-photo"
  mount -o remount,bind,ro "$p/lib/corvellin-photo"
fi
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 display <&"$fd" || fail "Xvfb did not start"
export DISPLAY=":$display"
export HOME="$top/home" XDG_CONFIG_HOME="$top/home/.config" XDG_DATA_HOME="$top/home/.local/share"
mkdir -p "$HOME"
"$p/bin/corvellin" >"$top/editor.log" 2>&1 &
editor_pid=$!
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --name '^Corvellin Photo Editor$' 2>/dev/null | head -n 1 || true)
  [[ -n "$window" ]] && xwininfo -id "$window" 2>/dev/null | grep -q "IsViewable" && break
  window=""
  sleep 0.2
done
[[ -n "$window" ]] || fail "no editor window; log: $(cat "$top/editor.log")"
sleep 1
if xdotool search --name '^(Error|Information)$' >/dev/null 2>&1; then fail "the editor showed a message box"; fi
# There is no window manager: open the File menu with the mouse, then E&xit.
xdotool mousemove --window "$window" 18 10 click 1
sleep 0.5
xdotool key x
for _ in $(seq 1 50); do kill -0 "$editor_pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$editor_pid" 2>/dev/null; then fail "the editor did not close from File > Exit"; fi
wait "$editor_pid" && status=0 || status=$?
editor_pid=""
[[ $status -eq 0 ]] || fail "the editor exited with $status; log: $(cat "$top/editor.log")"
[[ -f "$XDG_CONFIG_HOME/Corvellin Photo/cfg.ini" ]] || fail "no settings file written at exit"
echo "installed layout, links, metadata, corvellin-fx and a read-only editor start: all good"
