#!/usr/bin/python3
"""The simulator checked by an independent Modbus client (pymodbus): a
parameter round trip written with function 16, and an exception for a range
the simulator is told to refuse. (mbpoll_sim.sh checks identification and keys.)

Usage: pymodbus_client_sim.py <vrk6-sim>
"""
import socket
import subprocess
import sys

from pymodbus.client import ModbusTcpClient


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    port = free_port()
    sim = subprocess.Popen([sys.argv[1], "--port", str(port), "--no-announce",
                            "--exception-range", "5000:2"], stderr=subprocess.PIPE, text=True)
    failures = []

    def check(name, ok):
        print(("ok   " if ok else "FAIL ") + name)
        if not ok:
            failures.append(name)

    try:
        sim.stderr.readline()  # "listening on ..."
        client = ModbusTcpClient("127.0.0.1", port=port, timeout=2)
        check("connect", client.connect())
        client.write_registers(2 * 1500, [0xFFFE, 0xFFFF], slave=1)  # -2, low half first
        check("parameter round trip",
              client.read_holding_registers(3000, 2, slave=1).registers == [0xFFFE, 0xFFFF])
        check("refused range answers with an exception",
              client.read_holding_registers(2 * 4999, 4, slave=1).isError())
        client.close()
    finally:
        sim.terminate()
        sim.wait(5)
    print(f"{3 - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
