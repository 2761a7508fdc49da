#!/usr/bin/env bash
# Runs one libFuzzer target under ASan and UBSan for a bounded time.
# Usage: scripts/fuzz.sh <target> [seconds]   (default 600)
set -euo pipefail
target=${1:?usage: scripts/fuzz.sh <target> [seconds]}
seconds=${2:-600}
root=$(cd "$(dirname "$0")/.." && pwd)
cmake --preset fuzz -S "$root" >/dev/null
cmake --build "$root/build/fuzz" -j2 --target "$target"
work="$root/build/fuzz/corpus-$target"
mkdir -p "$work"
cd "$root/build/fuzz"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
"./tests/fuzz/$target" "$work" "$root/tests/fuzz/corpus/$target" -max_total_time="$seconds" \
  -print_final_stats=1 -timeout=10 -rss_limit_mb=4096
