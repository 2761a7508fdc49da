#!/usr/bin/env bash
# Builds the asan preset (AddressSanitizer and UndefinedBehaviorSanitizer, GCC)
# and runs the unit and interop tests under it; CTest options pass through.
# Builds only what those tests run, since a sanitized build is slow.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset asan
build=$root/build/asan
# Every file of the build tree that a selected test's command line names (its
# executable, or the simulator a script starts); ninja builds each with what it
# depends on.
mapfile -t outputs < <(ctest --preset asan --show-only=json-v1 | python3 -c '
import json, os, sys
build = sys.argv[1] + "/"
names = {os.path.relpath(arg, build) for test in json.load(sys.stdin)["tests"]
         for arg in test.get("command", []) if arg.startswith(build)}
print("\n".join(sorted(names)))' "$build")
[[ ${#outputs[@]} -gt 0 ]] || { echo "asan: no test selected" >&2; exit 1; }
cmake --build --preset asan -j2 --target "${outputs[@]}"
ctest --preset asan -j2 "$@"
