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
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$demo/home/runtime}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
build/src/app/brindlecast-demo-profile "$BRINDLECAST_PROFILE"
build/src/app/brindlecast-demo-setup "$BRINDLECAST_PROFILE"
if [ "${1:-}" = "--gui" ]; then
  exec build/src/app/brindlecast
fi
echo
echo "=== brindlecast --run (unattended: all databases)"
env -u DISPLAY -u WAYLAND_DISPLAY build/src/app/brindlecast --run
build/src/app/brindlecast-demo-setup --summary "$BRINDLECAST_PROFILE"
echo
echo "Settings: $XDG_CONFIG_HOME/Brindlecast/registry.reg   Log: $XDG_DATA_HOME/Brindlecast/bouncedemails.log"
echo "See it in the window: scripts/demo.sh --gui"
