#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, ASan and UBSan into ./build-fuzz and
# runs each one for a fixed number of inputs from its seed corpus.
#   scripts/fuzz.sh [runs per target, default 20000] [target name ...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
runs=${1:-20000}
shift || true
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DBC_FUZZ=ON -DBC_BUILD_TESTS=OFF \
  -DBC_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for t in "${targets[@]}"; do
  name=${t#fuzz_}
  echo "=== $t: $runs inputs from fuzz/corpus/$name"
  mkdir -p "$work/$name"
  # New inputs go to the scratch folder; the seed corpus stays as committed.
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "build-fuzz/fuzz/$t" -runs="$runs" -seed=1 -max_len=65536 -timeout=10 -rss_limit_mb=4096 \
    -artifact_prefix="$work/" "$work/$name" "fuzz/corpus/$name" 2>"$work/$name.log" || {
    tail -50 "$work/$name.log"
    mkdir -p build-fuzz/crashes && cp "$work"/crash-* "$work"/timeout-* "$work"/oom-* build-fuzz/crashes/ 2>/dev/null || true
    echo "$t failed; the input is in build-fuzz/crashes/"
    exit 1
  }
  tail -1 "$work/$name.log"
done
