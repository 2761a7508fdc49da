#!/usr/bin/env bash
# Sets up a fresh machine, builds the debug preset (warnings are errors) and
# runs the whole CTest suite. Ends with CTest's summary.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake --preset debug
cmake --build --preset debug -j2
ctest --preset debug -j2 "$@"
