"""Independent multicast DNS peer for the interop test (python3-zeroconf).

register: registers two _modbus._tcp.local. services, prints "registered",
  then reads commands from stdin: "unregister one|two" (answers
  "unregistered") or "quit".
browse: browses _modbus._tcp.local. and prints one JSON line per service
  found, with its details; stops after the given seconds.
Binds to 127.0.0.1 only: the test runs in a private network namespace.
"""
import json
import socket
import sys
import time

from zeroconf import IPVersion, ServiceBrowser, ServiceInfo, Zeroconf

TYPE = "_modbus._tcp.local."


def make_zeroconf():
    return Zeroconf(interfaces=["127.0.0.1"], ip_version=IPVersion.V4Only)


def register():
    zc = make_zeroconf()
    infos = {
        "one": ServiceInfo(TYPE, "Peer One." + TYPE, port=1511, server="peer-one.local.",
                                addresses=[socket.inet_aton("127.0.0.1")],
                                properties={b"VRK A1 serial 11": None, b"empty": b""}),
        "two": ServiceInfo(TYPE, "Peer Two \u017e." + TYPE, port=1512, server="peer-two.local.",
                                  addresses=[socket.inet_aton("127.0.0.1")],
                                  properties={b"model": b"ZUM B1"}),
    }
    for info in infos.values():
        zc.register_service(info)
    print("registered", flush=True)
    for line in sys.stdin:
        command, _, name = line.strip().partition(" ")
        if command == "unregister" and name in infos:
            zc.unregister_service(infos.pop(name))
            print("unregistered", flush=True)
        elif command == "quit":
            break
    zc.close()


def browse(seconds):
    zc = make_zeroconf()

    class Listener:
        def add_service(self, z, type_, name):
            info = z.get_service_info(type_, name, timeout=3000)
            if info is None:
                return
            print(json.dumps({
                "name": name,
                "port": info.port,
                "server": info.server,
                "addresses": [socket.inet_ntoa(a) for a in info.addresses],
                "properties": {k.decode("latin-1"): None if v is None else v.decode("latin-1")
                               for k, v in info.properties.items()},
            }), flush=True)

        def remove_service(self, z, type_, name):
            pass

        def update_service(self, z, type_, name):
            pass

    ServiceBrowser(zc, TYPE, Listener())
    time.sleep(seconds)
    zc.close()


if __name__ == "__main__":
    if sys.argv[1] == "register":
        register()
    else:
        browse(float(sys.argv[2]))
