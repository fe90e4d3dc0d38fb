#!/usr/bin/env bash
# Builds Brindlecast, writes a fresh demo profile into ./demo-profile and runs
# the main job on it. Nothing outside ./demo-profile is touched.
#   scripts/demo.sh          unattended run, then a summary of what changed
#   scripts/demo.sh --gui    open the main window on the demo profile instead
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh build
demo=$PWD/demo-profile
rm -rf "$demo"
export XDG_CONFIG_HOME=$demo/home/config XDG_DATA_HOME=$demo/home/data BRINDLECAST_PROFILE=$demo/profile
build/src/app/brindlecast-demo-profile "$demo"
if [ "${1:-}" = "--gui" ]; then
  exec build/src/app/brindlecast
fi
[ -n "${DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen
build/src/app/brindlecast --run
