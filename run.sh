#!/usr/bin/env bash
# Sets up, builds the release preset and starts Quorvela.
#   ./run.sh            open the window (or explain the companion when there is no window yet)
#   ./run.sh FOLDER     analyse FOLDER; without a display, in the terminal with quorvela-cli
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
quorvela_install_deps
cmake --preset release >/dev/null
cmake --build --preset release
bin=build/release/bin
if [ -x "$bin/quorvela" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$bin/quorvela" "$@"
fi
if [ $# -gt 0 ] && "$bin/quorvela-cli" --help 2>/dev/null | grep -q analyse; then
  exec "$bin/quorvela-cli" analyse "$@"
fi
echo
echo "Built $bin/quorvela-cli. Try:"
echo "  $bin/quorvela-cli tags PHOTO.jpg ...            every metadata entry, aligned"
echo "  $bin/quorvela-cli tags --json PHOTO.jpg ...     the same as JSON"
echo "  $bin/quorvela-cli --help"
