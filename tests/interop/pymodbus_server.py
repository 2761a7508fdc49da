#!/usr/bin/python3
"""pymodbus_server.py PORT: an independent Modbus TCP server whose holding
register n holds n (n < 30000). Prints "ready" once it listens."""
import asyncio
import logging
import sys

from pymodbus.datastore import (ModbusSequentialDataBlock, ModbusServerContext,
                                ModbusSlaveContext)
from pymodbus.server import StartAsyncTcpServer


async def main():
    # The sequential block is addressed one-based by the slave context.
    holding = ModbusSequentialDataBlock(1, list(range(30000)))
    context = ModbusServerContext(slaves={1: ModbusSlaveContext(hr=holding, zero_mode=False)},
                                  single=False)
    server = await StartAsyncTcpServer(context=context, address=("127.0.0.1", int(sys.argv[1])),
                                       defer_start=True)
    serving = asyncio.create_task(server.serve_forever())
    await server.serving
    print("ready", flush=True)
    await serving


logging.disable(logging.CRITICAL)
asyncio.run(main())
