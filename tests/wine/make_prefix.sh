#!/bin/sh
# Makes a new, private Wine prefix for one test run.
set -eu
prefix=$1
rm -rf "$prefix"
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
wineserver -w
test -f "$prefix/system.reg"
