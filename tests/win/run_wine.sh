#!/bin/sh
# Runs a Windows test program under Wine and waits for the Wine server to end, so no Wine
# process outlives the display or holds ctest's output pipe open.
wine "$@"
rc=$?
wineserver -w
exit $rc
