#!/usr/bin/env bash
# Installs the build into a fresh prefix, starts the installed program offscreen with a fresh
# per-user folder, closes it with SIGTERM and checks what it found and what it wrote.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
for f in bin/quorvela bin/quorvela-preview bin/quorvela-cli share/quorvela/cam_equiv.exp share/quorvela/help/index.html \
         share/quorvela/help/camera-table.html share/applications/org.quorvela.Quorvela.desktop \
         share/icons/hicolor/scalable/apps/org.quorvela.Quorvela.svg \
         share/metainfo/org.quorvela.Quorvela.metainfo.xml share/quorvela/demo/beach_001.jpg; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
done
grep -q '^Categories=Graphics;Photography;$' "$prefix/share/applications/org.quorvela.Quorvela.desktop" \
    || fail "desktop categories"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/org.quorvela.Quorvela.desktop"
fi

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
"$prefix/bin/quorvela" &
pid=$!
# The window writes its settings when it closes; give it time to start first.
for _ in $(seq 1 50); do
    [ -f "$XDG_CONFIG_HOME/quorvela/cam_equiv.txt" ] && break
    sleep 0.1
done
sleep 0.5
kill -TERM "$pid"
wait "$pid" || fail "the installed program did not end cleanly"

config=$XDG_CONFIG_HOME/quorvela
[ -f "$config/vintrop.ini" ] || fail "no settings in the per-user folder"
cmp -s "$config/cam_equiv.txt" "$prefix/share/quorvela/cam_equiv.exp" || fail "camera table not seeded from share"
[ ! -e "$prefix/bin/vintrop.ini" ] || fail "settings written beside the installed program"
# With no folder saved, the first start opens on the installed demo folder.
grep -q "Path=$prefix/share/quorvela/demo" "$config/vintrop.ini" || fail "demo folder not selected"
# The companion reads the installed demo folder and keeps its files in the same per-user
# folder, even where it could write beside itself (as root).
rm -f "$config/cam_equiv.txt" "$config/vt_debug.txt"
"$prefix/bin/quorvela-cli" analyse "$prefix/share/quorvela/demo" >/dev/null || fail "quorvela-cli analyse"
cmp -s "$config/cam_equiv.txt" "$prefix/share/quorvela/cam_equiv.exp" || fail "quorvela-cli: camera table not seeded"
[ -s "$config/vt_debug.txt" ] || fail "quorvela-cli: no path list in the per-user folder"
[ ! -e "$prefix/bin/vt_debug.txt" ] && [ ! -e "$prefix/bin/cam_equiv.txt" ] \
    || fail "quorvela-cli wrote beside the installed program"
echo "installed program: help, camera table and demo found; settings in $config"
