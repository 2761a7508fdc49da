#!/usr/bin/env bash
# Builds the asan preset (AddressSanitizer and UndefinedBehaviorSanitizer, GCC)
# and runs the unit and interop tests under it; CTest options pass through.
# Builds only what those tests run, since a sanitized build is slow.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset asan
build=$root/build/asan
# What the selected tests run: a test executable not built yet has no command
# line and is the target of the test's name; a script's command line names the
# programs it starts. Ninja builds each with what it depends on.
mapfile -t outputs < <(ctest --preset asan --show-only=json-v1 2>/dev/null | python3 -c '
import json, os, sys
build = sys.argv[1] + "/"
names = set()
for test in json.load(sys.stdin)["tests"]:
    command = test.get("command")
    if command is None:
        names.add(test["name"])
    else:
        names.update(os.path.relpath(arg, build) for arg in command if arg.startswith(build))
print("\n".join(sorted(names)))' "$build")
[[ ${#outputs[@]} -gt 0 ]] || { echo "asan: no test selected" >&2; exit 1; }
cmake --build --preset asan -j2 --target "${outputs[@]}"
ctest --preset asan -j2 "$@"
