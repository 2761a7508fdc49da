#!/usr/bin/python3
"""pymodbus_server.py PORT: an independent Modbus TCP server posing as a VRK-A1
(data model 7, S/N 4321, SW 6.15) with 30000 holding registers; in the display
and teeth block register n holds n. Prints "ready" once it listens."""
import asyncio
import logging
import sys

from pymodbus.datastore import (ModbusSequentialDataBlock, ModbusServerContext,
                                ModbusSlaveContext)
from pymodbus.server import StartAsyncTcpServer

REGISTERS = 30000


def variable(block, index, value):
    block.setValues(2 * index + 1, [value & 0xFFFF, (value >> 16) & 0xFFFF])


async def main():
    port = int(sys.argv[1])
    # The sequential block is addressed one-based by the slave context.
    holding = ModbusSequentialDataBlock(1, [0] * REGISTERS)
    for index, value in {262: 1, 264: 1, 265: 4321, 266: 615, 268: 7, 258: 0}.items():
        variable(holding, index, value)
    for i in range(2 * 8192, 2 * 13952):
        holding.setValues(i + 1, [i & 0xFFFF])
    slave = ModbusSlaveContext(hr=holding, zero_mode=False)
    context = ModbusServerContext(slaves={1: slave}, single=False)
    # Address reuse: a restarted server must get its port back while the old
    # connections linger.
    server = await StartAsyncTcpServer(context=context, address=("127.0.0.1", port),
                                       defer_start=True, allow_reuse_address=True)
    serving = asyncio.create_task(server.serve_forever())
    await server.serving
    print("ready", flush=True)
    await serving


if __name__ == "__main__":
    logging.disable(logging.CRITICAL)
    asyncio.run(main())
