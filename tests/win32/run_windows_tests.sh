#!/bin/sh
# Runs the Windows test programs of a cross build under Wine, in a Wine
# prefix of the build's own so nothing of the user's Wine setup is touched.
#   tests/win32/run_windows_tests.sh BUILD_DIR [ctest arguments...]
set -eu
build=$(cd "$1" && pwd)
shift
export WINEPREFIX="$build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installer prompts
# The first start builds the prefix; a test started before that is finished
# sees a half-made registry, so it is done once, up front, and waited for.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -u >/dev/null 2>&1
fi
# One Wine server for the whole run instead of one per test program; it
# goes away by itself a few seconds after the last program ends.
wineserver -p5 >/dev/null 2>&1 || true
cd "$build"
status=0
ctest --output-on-failure "$@" || status=$?
wineserver -w >/dev/null 2>&1 || true
exit $status
