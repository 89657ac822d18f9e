#!/bin/sh
# Runs one Windows program in the test prefix and waits until Wine has written everything
# back, so a test after it sees the registry as this one left it.
set -u
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine "$@"
status=$?
wineserver -w
exit $status
