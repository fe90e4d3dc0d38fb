#!/usr/bin/env bash
# Builds and runs the whole test suite; ends on CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh build
ctest --test-dir build --output-on-failure -j2
