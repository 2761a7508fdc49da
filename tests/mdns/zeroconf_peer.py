"""Independent multicast DNS peer (python3-zeroconf) on 127.0.0.1: "register" registers
services, then unregisters one per stdin line "unregister NAME" or moves it to 127.0.0.2 for "move NAME"; "browse SECONDS"
prints a JSON line per _modbus._tcp service found."""
import json
import socket
import sys
import time

from zeroconf import IPVersion, ServiceBrowser, ServiceInfo, ServiceStateChange, Zeroconf

TYPE = "_modbus._tcp.local."
zc = Zeroconf(interfaces=["127.0.0.1"], ip_version=IPVersion.V4Only)


def service(name, port, server, properties):
    return ServiceInfo(TYPE, name + "." + TYPE, port=port, server=server, addresses=[socket.inet_aton("127.0.0.1")],
                       properties=properties)


if sys.argv[1] == "register":
    infos = {"one": service("Peer One", 1511, "peer-one.local.",
                            {b"VRK A1 serial 11": None, b"empty": b""}),
             "two": service("Peer Two \u017e", 1512, "peer-two.local.", {b"model": b"ZUM B1"}),
             "dotted": service("ZUM.B1 line 3", 1513, "zum-b1.local.", {b"model": b"ZUM B1"})}
    for info in infos.values():
        zc.register_service(info)
    print("registered", flush=True)
    for line in sys.stdin:
        command, key = line.split()
        if command == "move":  # to another address, as after a new DHCP lease
            infos[key].addresses = [socket.inet_aton("127.0.0.2")]
            zc.update_service(infos[key])
        else:
            zc.unregister_service(infos.pop(key))
else:
    def added(zeroconf, service_type, name, state_change):
        info = (state_change is ServiceStateChange.Added and
                zeroconf.get_service_info(service_type, name, timeout=3000))
        if info:
            print(json.dumps({
                "name": name, "port": info.port, "server": info.server,
                "addresses": [socket.inet_ntoa(a) for a in info.addresses],
                "properties": {k.decode("latin-1"): None if v is None else v.decode("latin-1")
                               for k, v in info.properties.items()},
            }), flush=True)

    ServiceBrowser(zc, TYPE, handlers=[added])
    time.sleep(float(sys.argv[2]))
zc.close()
