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

failed = []


def check(name, ok, detail=""):
    print(("PASS  " if ok else "FAIL  ") + name + ("" if ok else "  -- " + str(detail)), flush=True)
    if not ok:
        failed.append(name)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start(command, log):
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=log)
    for _ in range(200):
        if b"listening on" in open(log.name, "rb").read() or process.poll() is not None:
            break
        time.sleep(0.05)
    return process


async def answer(ws, text=None, seconds=10):
    """The next event, after sending text if given."""
    if text:
        await ws.send(text)
    return json.loads(await asyncio.wait_for(ws.recv(), seconds))


def get_vars(tid, start, length, use_int="true"):
    return (f'{{"verb": "get_vars", "tid": {tid}, "use_int": {use_int}, '
            f'"start_index": {start}, "length": {length}}}')


def set_vars(values, tid=1):
    return f'{{"verb": "set_vars", "tid": {tid}, "is_float": false, "values": {values}}}'


def burst(ws, texts):
    # Client text frames (zero mask, each under 126 bytes) written at once, so
    # that the relay has them all before it answers the first.
    frame = lambda b: b"\x81" + bytes([0x80 | len(b)]) + bytes(4) + b
    ws.transport.write(b"".join(frame(t.encode()) for t in texts))


# Each is ignored without an answer: not an object, unknown or mistyped
# members, ranges outside the machine, more than 60 values.
BAD_INPUT = [
    "not json", "[1, 2]", '"refresh"', "{}", '{"verb": 5}', '{"verb": "reboot"}',
    '{"verb": "key"}', '{"verb": "key", "key": "A"}', '{"verb": "key", "key": 256}',
    '{"verb": "key", "key": 1.5}', get_vars('"1"', 0, 1), get_vars(1, 0, 61), get_vars(1, 0, 0),
    get_vars(1, -1, 1), get_vars(1, 32760, 60), get_vars(1, 0, 1, "false"),
    get_vars(4294967296, 0, 1), set_vars('{"key": 1, "value": 1}'), set_vars('[{"key": 1}]'),
    set_vars('[{"key": 1, "value": 4294967295}]'),
    set_vars('[{"key": 1, "value": 1}, {"key": 1, "value": 2}]'),
    set_vars(json.dumps([{"key": 5000 + i, "value": i} for i in range(61)])),
]


async def session(uri):
    async with websockets.connect(uri) as ws:
        values = [-1, 2147483647, -2147483648, 1069547520]
        event = await answer(ws, set_vars(json.dumps([{"key": 3000 + i, "value": v}
                                                      for i, v in enumerate(values)]), -9))
        check("set_vars answered with its tid", event == {"event": "set_vars_done", "tid": -9}, event)
        event = await answer(ws, get_vars(7, 3000, 4))
        check("written values read back", event.get("values") == values, event)
        for text in BAD_INPUT + [b"\x00\x01binary"]:
            await ws.send(text)
        event = await answer(ws, get_vars(99, 256, 14))
        check("bad input is not answered and the socket is still served",
              event.get("tid") == 99 and event.get("values", [])[9:10] == [4242], event)


async def closed_with(uri, **kwargs):
    try:
        async with websockets.connect(uri, **kwargs) as ws:
            await asyncio.wait_for(ws.wait_closed(), 15)
            return ws.close_code, ws.close_reason
    except websockets.InvalidHandshake as error:
        return "refused", str(error)


async def failures(relay, sim):
    base = f"ws://127.0.0.1:{relay}/ws/vrk6/device/"
    for name, uri, options, code, reason in [
            ("a path without a host", base + "/", {}, 1008, ""),
            ("an unreachable machine", base + f"127.0.0.1:{free_port()}/", {}, 1011,
             "machine unreachable:"),
            ("a socket from a web page", base + f"127.0.0.1:{sim}/",
             {"origin": "http://page.example"}, "refused", "")]:
        closed = await closed_with(uri, **options)
        check(f"{name} is closed with {code}", closed[0] == code and closed[1].startswith(reason),
              closed)

    # A machine that takes the connection and never answers: the failed
    # refresh is said before the client's own one-second time-out.
    with socket.create_server(("127.0.0.1", 0)) as silent:
        async with websockets.connect(base + f"127.0.0.1:{silent.getsockname()[1]}/") as ws:
            started = time.monotonic()
            event, elapsed = await answer(ws, '{"verb": "refresh"}'), time.monotonic() - started
            check("a silent machine's refresh fails within 1 s",
                  event.get("event") == "refresh_failed" and elapsed < 1, (event, elapsed))

    async def one(n):  # many sockets at once
        async with websockets.connect(base + f"127.0.0.1:{sim}/") as ws:
            event = await answer(ws, get_vars(1000 + n, 256, 14), 20)
            return event.get("tid") == 1000 + n and event["values"][9] == 4242

    outcomes = await asyncio.gather(*(one(n) for n in range(20)), return_exceptions=True)
    check("20 sockets at once are all served", all(o is True for o in outcomes), outcomes)


async def hostile(uri, sim_log, relay_log):
    # The machine refuses the first command (an exception) while a write is
    # already on its way: that one is answered, the failed one never, then 1011.
    for name, first in [("write", set_vars('[{"key": 20000, "value": 1}]', -5)),
                        ("read", get_vars(-5, 20000, 4))]:
        async with websockets.connect(uri) as ws:
            burst(ws, [first, set_vars('[{"key": 300, "value": 77}]', -6)])
            events = []
            try:
                while True:
                    events.append(await answer(ws))
            except (websockets.ConnectionClosed, asyncio.TimeoutError):
                pass
            outcome = events, ws.close_code
            check(f"a failed {name} closes with 1011 after the answers in flight",
                  outcome == ([{"event": "set_vars_done", "tid": -6}], 1011), outcome)

    # 20,000 keys on one socket: the relay refuses what exceeds its queue and
    # serves another socket at once.
    keys = lambda: open(sim_log.name, errors="replace").read().count("vrk6-sim: key ")
    before = keys()
    key = '{"verb": "key", "key": 48}'
    async with websockets.connect(uri) as flood:
        burst(flood, [key] * 20000)
        started = time.monotonic()
        async with websockets.connect(uri) as other:
            event, elapsed = await answer(other, get_vars(3, 256, 1)), time.monotonic() - started
        check("a key flood leaves another socket served within 1 s",
              event.get("tid") == 3 and elapsed < 1, (event, elapsed))
        await asyncio.sleep(1)
    check("the key flood is cut to the queue", 0 < keys() - before < 2000, keys() - before)

    # A client that sends reads and never takes the answers is cut off instead
    # of the relay buffering for it without end.
    host, port = uri[5:].split("/")[0].split(":")
    sock = socket.socket()
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
    sock.connect((host, int(port)))
    reader, writer = await asyncio.open_connection(sock=sock)
    writer.write(f"GET /{uri.split('/', 3)[3]} HTTP/1.1\r\nHost: x\r\nUpgrade: websocket\r\n"
                 "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                 "Sec-WebSocket-Version: 13\r\n\r\n".encode())
    await reader.readuntil(b"\r\n\r\n")
    cut = lambda: "not reading" in open(relay_log.name).read()
    for _ in range(400):
        if cut():
            break
        burst(writer, [get_vars(1, 0, 60)] * 50)
        await asyncio.sleep(0.01)
    check("a client that never reads is cut off", cut())
    writer.transport.abort()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--relay", required=True)
    parser.add_argument("--sim", required=True)
    args = parser.parse_args()

    refused = subprocess.run([args.relay, "--listen", "0.0.0.0", "--port", "0"],
                             capture_output=True, text=True, timeout=10)
    check("--listen refuses a non-loopback address",
          refused.returncode != 0 and "loopback" in refused.stderr, refused)

    sim_port, relay_port = free_port(), free_port()
    with tempfile.NamedTemporaryFile() as sim_log, tempfile.NamedTemporaryFile() as relay_log:
        sim = start([args.sim, "--port", str(sim_port), "--serial", "4242", "--no-announce",
                     "--exception-range", "20000:10"], sim_log)
        relay = start([args.relay, "--port", str(relay_port)], relay_log)
        try:
            uri = f"ws://127.0.0.1:{relay_port}/ws/vrk6/device/127.0.0.1:{sim_port}/"
            asyncio.run(session(uri))
            asyncio.run(hostile(uri, sim_log, relay_log))
            asyncio.run(failures(relay_port, sim_port))
            check("the relay is still running", relay.poll() is None)
        finally:
            for process in (relay, sim):
                process.kill()
                process.wait()
    print(f"{len(failed)} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
