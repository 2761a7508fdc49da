#!/usr/bin/python3
"""Drives vrk6-relay with hand-written JSON from an independent WebSocket
client (python3-websockets), against the simulated control unit."""

import argparse
import asyncio
import json
import socket
import subprocess
import sys
import tempfile
import time

import websockets

results = []


def check(name, ok, detail=""):
    results.append(ok)
    print(("PASS  " if ok else "FAIL  ") + name + ("" if ok else "  -- " + str(detail)), flush=True)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start(command, log, marker):
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=log)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        with open(log.name, encoding="utf-8", errors="replace") as f:
            if marker in f.read():
                return process
        if process.poll() is not None:
            break
        time.sleep(0.05)
    process.kill()
    raise RuntimeError("could not start " + " ".join(command))


async def answer(ws, seconds=10):
    return json.loads(await asyncio.wait_for(ws.recv(), seconds))


async def silence(ws, seconds=0.5):
    """None when nothing arrives within the time, else what arrived."""
    try:
        return await asyncio.wait_for(ws.recv(), seconds)
    except asyncio.TimeoutError:
        return None


def get_vars(tid, start, length):
    return json.dumps({"verb": "get_vars", "tid": tid, "use_int": True,
                       "start_index": start, "length": length})


BAD_INPUT = [
    "not json",
    "[1, 2]",
    '"refresh"',
    "{}",
    '{"verb": 5}',
    '{"verb": "reboot"}',
    '{"verb": "key"}',
    '{"verb": "key", "key": "A"}',
    '{"verb": "key", "key": 256}',
    '{"verb": "key", "key": 1.5}',
    '{"verb": "get_vars", "tid": "1", "use_int": true, "start_index": 0, "length": 1}',
    '{"verb": "get_vars", "tid": 1, "use_int": true, "start_index": 0, "length": 61}',
    '{"verb": "get_vars", "tid": 1, "use_int": true, "start_index": 0, "length": 0}',
    '{"verb": "get_vars", "tid": 1, "use_int": true, "start_index": -1, "length": 1}',
    '{"verb": "get_vars", "tid": 1, "use_int": true, "start_index": 32760, "length": 60}',
    '{"verb": "get_vars", "tid": 1, "use_int": false, "start_index": 0, "length": 1}',
    '{"verb": "get_vars", "tid": 4294967296, "use_int": true, "start_index": 0, "length": 1}',
    '{"verb": "set_vars", "tid": 1, "is_float": false, "values": {"key": 1, "value": 1}}',
    '{"verb": "set_vars", "tid": 1, "is_float": false, "values": [{"key": 1}]}',
    '{"verb": "set_vars", "tid": 1, "is_float": false, "values": [{"key": 1, "value": 4294967295}]}',
    '{"verb": "set_vars", "tid": 1, "is_float": false, "values": [{"key": 1, "value": 1}, {"key": 1, "value": 2}]}',
    json.dumps({"verb": "set_vars", "tid": 1, "is_float": False,
                "values": [{"key": 5000 + i, "value": i} for i in range(61)]}),
]


async def session(relay, machine, log_path):
    base = f"ws://127.0.0.1:{relay}/ws/vrk6/device/"
    async with websockets.connect(base + machine + "/") as ws:
        # Any member order and whitespace is accepted.
        await ws.send('  {\n  "verb" :   "refresh"  }  ')
        event = await answer(ws)
        content = event.get("content", {})
        check("refresh answered with the panel",
              event.get("event") == "refresh" and "4242" in content.get("line1", "")
              and all(isinstance(content.get(f"led{i}"), bool) for i in range(1, 5)), event)

        await ws.send('{"length": 14, "start_index": 256, "use_int": true, "tid": 12345, '
                      '"verb": "get_vars"}')
        event = await answer(ws)
        check("get_vars answered with the same tid and the identification",
              event.get("event") == "get_vars_done" and event.get("tid") == 12345
              and len(event.get("values", [])) == 14 and event["values"][9] == 4242, event)

        values = [-1, 2147483647, -2147483648, 1069547520]
        await ws.send(json.dumps({"verb": "set_vars", "tid": -9, "is_float": False,
                                  "values": [{"key": 3000 + i, "value": v}
                                             for i, v in enumerate(values)]}))
        event = await answer(ws)
        check("set_vars answered with the same tid",
              event == {"event": "set_vars_done", "tid": -9}, event)
        await ws.send(get_vars(7, 3000, 4))
        event = await answer(ws)
        check("written values read back", event.get("values") == values, event)

        await ws.send('{"verb": "key", "key": 81}')  # 'Q'
        seen = ""
        for _ in range(50):
            await ws.send('{"verb": "refresh"}')
            seen = (await answer(ws)).get("content", {}).get("line2", "")
            if "Q" in seen:
                break
            await asyncio.sleep(0.05)
        check("key shows on the panel", "Q" in seen, seen)

        for text in BAD_INPUT:
            await ws.send(text)
        await ws.send(b"\x00\x01binary")
        check("bad input is answered with nothing", await silence(ws) is None)
        await ws.send(get_vars(99, 256, 1))
        event = await answer(ws)
        check("the socket is still served after bad input",
              event.get("tid") == 99 and len(event.get("values", [])) == 1, event)
    await asyncio.sleep(0.3)
    with open(log_path, encoding="utf-8", errors="replace") as f:
        lines = [line for line in f if "ignoring bad input" in line]
    check("bad input is logged once per socket", len(lines) == 1, lines)


async def closed_with(uri, **kwargs):
    async with websockets.connect(uri, **kwargs) as ws:
        await asyncio.wait_for(ws.wait_closed(), 15)
        return ws.close_code, ws.close_reason


async def failures(relay, sim):
    base = f"ws://127.0.0.1:{relay}/ws/vrk6/device/"
    code, reason = await closed_with(base + "/")
    check("a path without a host is closed with 1008", code == 1008, (code, reason))
    code, reason = await closed_with(f"ws://127.0.0.1:{relay}/other/")
    check("a foreign path is closed with 1008", code == 1008, (code, reason))

    code, reason = await closed_with(base + f"127.0.0.1:{free_port()}/")
    check("an unreachable machine closes the socket with a reason",
          code == 1011 and reason.startswith("machine unreachable:"), (code, reason))

    try:
        async with websockets.connect(base + f"127.0.0.1:{sim}/",
                                      origin="http://page.example") as ws:
            await ws.send('{"verb": "refresh"}')
            refused = False
    except (websockets.InvalidStatusCode, websockets.InvalidHandshake):
        refused = True
    check("a socket from a web page is refused", refused)


async def many(relay, sim, count=20):
    uri = f"ws://127.0.0.1:{relay}/ws/vrk6/device/127.0.0.1:{sim}/"

    async def one(n):
        async with websockets.connect(uri) as ws:
            await ws.send(get_vars(1000 + n, 256, 14))
            event = await answer(ws, 20)
            return event.get("tid") == 1000 + n and event["values"][9] == 4242

    outcomes = await asyncio.gather(*(one(n) for n in range(count)), return_exceptions=True)
    check(f"{count} sockets at once are all served", all(o is True for o in outcomes), outcomes)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--relay", required=True)
    parser.add_argument("--sim", required=True)
    args = parser.parse_args()

    refused = subprocess.run([args.relay, "--listen", "0.0.0.0", "--port", "0"],
                             capture_output=True, text=True, timeout=10)
    check("--listen refuses a non-loopback address",
          refused.returncode != 0 and "loopback" in refused.stderr, refused)
    usage = subprocess.run([args.relay, "--help"], capture_output=True, text=True, timeout=10)
    check("--help documents the options",
          usage.returncode == 0 and "--listen" in usage.stdout and "--port" in usage.stdout)

    sim_port, relay_port = free_port(), free_port()
    with tempfile.NamedTemporaryFile("w+b") as sim_log, \
            tempfile.NamedTemporaryFile("w+b") as relay_log:
        sim = start([args.sim, "--port", str(sim_port), "--serial", "4242", "--no-announce"],
                    sim_log, "listening on")
        relay = start([args.relay, "--port", str(relay_port)], relay_log, "listening on")
        try:
            asyncio.run(session(relay_port, f"127.0.0.1:{sim_port}", relay_log.name))
            asyncio.run(failures(relay_port, sim_port))
            asyncio.run(many(relay_port, sim_port))
            check("the relay is still running", relay.poll() is None)
        finally:
            for process in (relay, sim):
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
    passed = sum(results)
    print(f"{passed} passed, {len(results) - passed} failed")
    return 0 if passed == len(results) else 1


if __name__ == "__main__":
    sys.exit(main())
