#!/usr/bin/python3
"""A StatusNotifierWatcher, the part of a desktop's notification area that indicators
register with, for tests: it takes every registration and appends "<bus name> <object
path>" to the file named on its command line. Run with the system's Python (GObject
introspection) on the session bus of DBUS_SESSION_BUS_ADDRESS."""
import sys

from gi.repository import Gio, GLib

INTERFACE = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>"""

items = []


def on_call(connection, sender, path, interface, method, parameters, invocation):
    if method == "RegisterStatusNotifierItem":
        item = parameters.unpack()[0]
        if not item.startswith("/"):  # a bus name alone means its default path
            sender, item = item, "/StatusNotifierItem"
        items.append(f"{sender}{item}")
        with open(sys.argv[1], "a") as out:
            out.write(f"{sender} {item}\n")
        connection.emit_signal(None, path, interface, "StatusNotifierItemRegistered",
                               GLib.Variant("(s)", (f"{sender}{item}",)))
    invocation.return_value(None)


def on_property(connection, sender, path, interface, name):
    return {"RegisteredStatusNotifierItems": GLib.Variant("as", items),
            "IsStatusNotifierHostRegistered": GLib.Variant("b", True),
            "ProtocolVersion": GLib.Variant("i", 0)}[name]


def on_bus(connection, name):
    info = Gio.DBusNodeInfo.new_for_xml(INTERFACE).interfaces[0]
    connection.register_object("/StatusNotifierWatcher", info, on_call, on_property, None)


Gio.bus_own_name(Gio.BusType.SESSION, "org.kde.StatusNotifierWatcher",
                 Gio.BusNameOwnerFlags.NONE, on_bus, lambda *a: print("ready", flush=True), None)
GLib.MainLoop().run()
