#!/usr/bin/env bash
# Runs every libFuzzer target of a build for a bounded time each.
#   scripts/fuzz.sh BUILD_DIR SECONDS
set -euo pipefail
build=${1:-build/native}
seconds=${2:-20}
shopt -s nullglob
for fuzzer in "$build"/fuzz/*_fuzzer; do
  name=$(basename "$fuzzer")
  corpus="$build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="$(dirname "$0")/../fuzz/seeds/$name"
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  echo "fuzzing $name for ${seconds}s"
  "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=0 \
    -artifact_prefix="$build/fuzz/" "${args[@]}" 2>"$build/fuzz/$name.log" ||
    { tail -n 40 "$build/fuzz/$name.log"; exit 1; }
done
