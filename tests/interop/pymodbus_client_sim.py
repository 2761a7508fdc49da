#!/usr/bin/python3
"""The simulator checked by an independent Modbus client (pymodbus): the
identification block, a parameter round trip, a key the display echoes, and
an exception for a range the simulator is told to refuse.

Usage: pymodbus_client_sim.py <vrk6-sim>
"""
import socket
import subprocess
import sys
import time

from pymodbus.client import ModbusTcpClient


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def text(client, first_variable):
    regs = client.read_holding_registers(2 * first_variable, 10, slave=1).registers
    return "".join(chr(r & 0xFF) + chr(r >> 8) for r in regs)


def main():
    port = free_port()
    sim = subprocess.Popen([sys.argv[1], "--port", str(port), "--no-announce", "--type", "VrkE1",
                            "--serial", "31", "--exception-range", "5000:2"],
                           stderr=subprocess.PIPE, text=True)
    failures = []

    def check(name, ok):
        print(("ok   " if ok else "FAIL ") + name)
        if not ok:
            failures.append(name)

    try:
        sim.stderr.readline()  # "listening on ..."
        client = ModbusTcpClient("127.0.0.1", port=port, timeout=2)
        check("connect", client.connect())
        ident = client.read_holding_registers(512, 28, slave=1).registers
        variable = lambda i: ident[2 * (i - 256)] | ident[2 * (i - 256) + 1] << 16
        check("VrkE1 is family 4, model 2", (variable(262), variable(264)) == (4, 2))
        check("serial 31", variable(265) == 31)

        client.write_registers(2 * 1500, [0xFFFE, 0xFFFF], slave=1)  # -2, low half first
        check("parameter round trip",
              client.read_holding_registers(3000, 2, slave=1).registers == [0xFFFE, 0xFFFF])

        client.write_registers(2 * 736, [0x51, 0, 1, 0], slave=1)  # 'Q' and the key flag
        deadline = time.time() + 2
        while time.time() < deadline and not text(client, 4101).startswith(">Q"):
            time.sleep(0.05)
        check("key echoed on line 2", text(client, 4101) == ">Q".ljust(20))
        check("key flag consumed", client.read_holding_registers(1474, 2, slave=1).registers == [0, 0])

        check("refused range answers with an exception",
              client.read_holding_registers(2 * 4999, 4, slave=1).isError())
        client.close()
    finally:
        sim.terminate()
        sim.wait(5)
    print(f"{7 - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
