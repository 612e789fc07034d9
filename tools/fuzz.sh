#!/usr/bin/env bash
# Runs every libFuzzer target of the native build over its seed corpus for a
# bounded time: fuzz.sh [seconds-per-target]. New inputs go to a scratch
# folder, so the committed corpora stay small. Fails on any finding.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
failed=0
ran=0
for exe in "$root"/build/native/fuzz/fuzz_*; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe")
  corpus="$root/fuzz/corpus/${name#fuzz_}"
  # A target over the portable scan loops shares its vector twin's corpus.
  corpus=${corpus%_scalar}
  scratch=$(mktemp -d)
  args=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
        -artifact_prefix="$root/build/native/fuzz/$name-")
  [ -d "$corpus" ] && args+=("$scratch" "$corpus") || args+=("$scratch")
  if (cd "$scratch" && "$exe" "${args[@]}" >"$scratch.log" 2>&1); then
    echo "fuzz: $name ok, $(grep -m1 number_of_executed_units "$scratch.log" | awk '{print $2}') runs in ${seconds}s"
  else
    echo "fuzz: $name FAILED"; tail -n 40 "$scratch.log"; failed=1
  fi
  rm -rf "$scratch" "$scratch.log"
  ran=$((ran + 1))
done
echo "fuzz: $ran target(s) ran"
exit $failed
