#!/bin/sh
# scripts/wine-stop stops the prefix's server: one started to persist until stopped runs on until
# wine-stop, and no server of the prefix is left after it.
# usage: wine_stop_test.sh SCRIPTS_DIR
set -eu
scripts=$1
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/kestova-wine-stop-XXXXXX")
export WINEPREFIX
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

/usr/lib/wine/wineserver -p
if ! "$scripts/wine-server-running" >/dev/null; then
  echo "FAIL: no server found for $WINEPREFIX after starting one" >&2
  exit 1
fi
"$scripts/wine-stop"
if pids=$("$scripts/wine-server-running"); then
  echo "FAIL: wine-stop left the server running: $pids" >&2
  exit 1
fi
echo "wine-stop stopped the server of $WINEPREFIX"
