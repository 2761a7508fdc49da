#!/usr/bin/python3
"""pymodbus_server.py PORT: an independent Modbus TCP server whose holding
register n holds n (n < 30000). Prints "ready" once it listens."""
import asyncio
import logging
import sys

from pymodbus.datastore import (ModbusSequentialDataBlock, ModbusServerContext,
                                ModbusSlaveContext)
from pymodbus.server import StartAsyncTcpServer

REGISTERS = 30000


async def main():
    port = int(sys.argv[1])
    # The sequential block is addressed one-based by the slave context.
    holding = ModbusSequentialDataBlock(1, list(range(REGISTERS)))
    slave = ModbusSlaveContext(hr=holding, zero_mode=False)
    context = ModbusServerContext(slaves={1: slave}, single=False)
    server = await StartAsyncTcpServer(context=context, address=("127.0.0.1", port),
                                       defer_start=True)
    serving = asyncio.create_task(server.serve_forever())
    await server.serving
    print("ready", flush=True)
    await serving


if __name__ == "__main__":
    logging.disable(logging.CRITICAL)
    asyncio.run(main())
