#!/usr/bin/env bash
# The simulator checked by an independent Modbus client (mbpoll): identification,
# display, a key, a parameter written with function 16, and a refused range.
set -euo pipefail
sim=${1:?usage: mbpoll_sim.sh <vrk6-sim>}
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
log=$(mktemp)
"$sim" --port "$port" --no-announce --type ZumB1 --bn 5007 --serial 4242 --software 633 \
  --model-version 7 --exception-range 5000:2 2>"$log" &
pid=$!
trap 'kill $pid 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 100); do grep -q "listening on" "$log" && break; sleep 0.05; done

poll() { mbpoll -m tcp -a 1 -p "$port" -0 -1 -o 2 "$@" 127.0.0.1 | grep '^\['; }
fail() { echo "FAIL: $*"; exit 1; }

# A stray argument is a bad command line, not a machine started anyway.
rc=0; timeout 5 "$sim" --no-announce --port "$port" stray >/dev/null 2>&1 || rc=$?
[ "$rc" = 2 ] || fail "stray argument: exit $rc"
# A --state file the simulator did not write is refused and left as it is.
echo '{"tools": []}' >"$log.state"
rc=0; out=$(timeout 5 "$sim" --no-announce --port "$port" --state "$log.state" 2>&1) || rc=$?
[ "$rc" = 1 ] && grep -q "state file" <<<"$out" || fail "foreign state file: exit $rc: $out"
grep -qx '{"tools": \[\]}' "$log.state" || fail "foreign state file changed"
rm -f "$log.state"

ident=$(poll -t 4:int -r 512 -c 14)
echo "$ident"
# B/N, family and model of ZumB1 (3, 1), serial, software, data-model version.
for expected in 516:5007 524:3 528:1 530:4242 532:633 536:7; do
  grep -q "^\[${expected%:*}\]:[[:space:]]*${expected#*:}\$" <<<"$ident" || fail "register $expected"
done

# Display text: register 8192 holds characters 0 (low byte) and 1 (high byte).
text() {
  poll -t 4 -r "$1" -c 10 | awk '{ v=$2; printf "%c%c", v%256, int(v/256) }'
}
line1=$(text 8192)
[ "$line1" = "ZUM-B1 S/N 4242     " ] || fail "line 1 reads '$line1'"

# Key 'Z' (0x5A) with the key flag: registers 1472-1475.
mbpoll -m tcp -a 1 -p "$port" -0 -o 2 -t 4 -r 1472 127.0.0.1 90 0 1 0 >/dev/null
line2=$(text 8202)
line3=$(text 8212)
echo "line2='$line2' line3='$line3'"
[ "$line2" = ">Z                  " ] || fail "line 2 does not echo the key"
[ "${line3:0:15}" = "Key 5a count 1 " ] || fail "line 3 does not count the key"
flag=$(poll -t 4:int -r 1474 -c 1)
grep -q '^\[1474\]:[[:space:]]*0$' <<<"$flag" || fail "key flag not consumed"
grep -q "key 0x5a" "$log" || fail "key not logged"

# Variable 1500 = -2, low half first; variables 5000-5001 are refused.
mbpoll -m tcp -a 1 -p "$port" -0 -o 2 -t 4 -r 3000 127.0.0.1 65534 65535 >/dev/null
grep -q '^\[3000\]:[[:space:]]*-2$' <<<"$(poll -t 4:int -r 3000 -c 1)" || fail "parameter round trip"
refused=$(mbpoll -m tcp -a 1 -p "$port" -0 -1 -o 2 -t 4 -r 9998 -c 4 127.0.0.1 2>&1) && fail "refused range read"
grep -q "Illegal data address" <<<"$refused" || fail "refused range: $refused"
echo "1 passed, 0 failed"
