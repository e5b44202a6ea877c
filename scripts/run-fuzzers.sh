#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time, starting from
# its seed corpus in fuzz/corpus/<target>. Any crash or sanitizer report
# fails the run. Leak checking is left to the sanitizer test run: a
# target locked into its scratch directory cannot reach /proc.
set -euo pipefail
build=${1:-build-fuzz}
total=${2:-60}
targets=("$build"/fuzz_*)
[ -e "${targets[0]}" ] || { echo "no fuzz targets in $build"; exit 0; }
per=$(( total / ${#targets[@]} ))
[ "$per" -lt 5 ] && per=5
for t in "${targets[@]}"; do
  name=$(basename "$t")
  work=$(mktemp -d)
  seeds="fuzz/corpus/$name"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  echo "== $name for ${per}s"
  (cd "$work" && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1 "$OLDPWD/$t" -max_total_time="$per" -max_len=4096 -rss_limit_mb=2048 . >"$work/log" 2>&1) || {
    tail -n 60 "$work/log"; echo "fuzz target $name failed"; exit 1; }
  grep -E '^#[0-9]+.*DONE' "$work/log" | tail -n 1 || true
  rm -rf "$work"
done
