#!/usr/bin/env bash
# Builds the program and the simulated control unit, starts the simulator on
# 127.0.0.1 (port 1502, or VRK6_SIM_PORT) and opens the remote display on it.
# Closing the window stops the simulator. Extra arguments go to vrk6-sim,
# e.g. --type ZumB1 --serial 42 --no-announce.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
# VRK6_BUILD_DIR: an already configured build directory to use instead of
# the debug preset's.
build=${VRK6_BUILD_DIR:-build/debug}
if [ -z "${VRK6_BUILD_DIR:-}" ]; then
  cmake --preset debug
fi
cmake --build "$build" -j2 --target vrk6-display vrk6-sim

port=${VRK6_SIM_PORT:-1502}
"$build/tools/sim/vrk6-sim" --port "$port" "$@" &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true' EXIT

# Wait until the simulator listens (or has given up).
for _ in $(seq 100); do
  kill -0 "$sim" 2>/dev/null || { echo "vrk6-sim did not start" >&2; exit 1; }
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done

"$build/src/app/vrk6-display" "127.0.0.1:$port"
