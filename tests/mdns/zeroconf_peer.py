"""Independent multicast DNS peer (python3-zeroconf) on 127.0.0.1: "register [dotted]"
registers services, then unregisters one per stdin line "unregister NAME"; "browse SECONDS"
prints a JSON line per _modbus._tcp service found."""
import json
import socket
import sys
import time

from zeroconf import IPVersion, ServiceBrowser, ServiceInfo, ServiceStateChange, Zeroconf

TYPE = "_modbus._tcp.local."
zc = Zeroconf(interfaces=["127.0.0.1"], ip_version=IPVersion.V4Only)
loopback = [socket.inet_aton("127.0.0.1")]

if sys.argv[1] == "register":
    infos = {
        "one": ServiceInfo(TYPE, "Peer One." + TYPE, port=1511, server="peer-one.local.",
                           addresses=loopback,
                           properties={b"VRK A1 serial 11": None, b"empty": b""}),
        "two": ServiceInfo(TYPE, "Peer Two \u017e." + TYPE, port=1512, server="peer-two.local.",
                           addresses=loopback, properties={b"model": b"ZUM B1"}),
    }
    if sys.argv[2:] == ["dotted"]:
        infos["dotted"] = ServiceInfo(TYPE, "ZUM.B1 line 3." + TYPE, port=1513,
                                      server="zum-b1.local.", addresses=loopback,
                                      properties={b"model": b"ZUM B1"})
    for info in infos.values():
        zc.register_service(info)
    print("registered", flush=True)
    for line in sys.stdin:
        zc.unregister_service(infos.pop(line.split()[1]))
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
