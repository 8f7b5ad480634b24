"""A GlobalShortcuts portal for tests, on the test's own session bus: the documented
org.freedesktop.portal.GlobalShortcuts interface (CreateSession, BindShortcuts, the
Activated signal; answers through org.freedesktop.portal.Request's Response signal) as a
desktop's portal backend offers it. Each binding is written to the file given as the first
argument, one JSON line: {"session": path, "shortcuts": [[id, preferred trigger], ...]}.
A test fires a shortcut with the method org.tervane.TestPortal.Activate(id), which emits
Activated for the last session made. Prints "ready" once it owns its name."""
import json
import sys

from gi.repository import Gio, GLib

NAME = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
INTERFACES = Gio.DBusNodeInfo.new_for_xml("""
<node>
  <interface name="org.freedesktop.portal.GlobalShortcuts">
    <method name="CreateSession">
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="o" name="handle" direction="out"/>
    </method>
    <method name="BindShortcuts">
      <arg type="o" name="session_handle" direction="in"/>
      <arg type="a(sa{sv})" name="shortcuts" direction="in"/>
      <arg type="s" name="parent_window" direction="in"/>
      <arg type="a{sv}" name="options" direction="in"/>
      <arg type="o" name="handle" direction="out"/>
    </method>
    <signal name="Activated">
      <arg type="o" name="session_handle"/>
      <arg type="s" name="shortcut_id"/>
      <arg type="t" name="timestamp"/>
      <arg type="a{sv}" name="options"/>
    </signal>
    <property name="version" type="u" access="read"/>
  </interface>
  <interface name="org.tervane.TestPortal">
    <method name="Activate">
      <arg type="s" name="shortcut_id" direction="in"/>
    </method>
  </interface>
</node>""").interfaces


class Portal:
    def __init__(self, bus, record):
        self.bus = bus
        self.record = record
        self.session = None

    @staticmethod
    def object_path(kind, sender, token):
        return f"{PATH}/{kind}/{sender[1:].replace('.', '_')}/{token}"

    def respond(self, request, results):
        """The answer comes after the call's reply, as a portal's does."""
        def send():
            self.bus.emit_signal(None, request, "org.freedesktop.portal.Request", "Response",
                                 GLib.Variant("(ua{sv})", (0, results)))
            return False
        GLib.idle_add(send)

    def on_call(self, bus, sender, path, interface, method, args, invocation):
        if method == "CreateSession":
            options = args[0]
            request = self.object_path("request", sender, options["handle_token"])
            self.session = self.object_path("session", sender, options["session_handle_token"])
            invocation.return_value(GLib.Variant("(o)", (request,)))
            self.respond(request, {"session_handle": GLib.Variant("s", self.session)})
        elif method == "BindShortcuts":
            session, shortcuts, _parent, options = args
            request = self.object_path("request", sender, options["handle_token"])
            with open(self.record, "a") as record:
                record.write(json.dumps({"session": session, "shortcuts": [
                    [id, properties.get("preferred_trigger")] for id, properties in shortcuts]})
                    + "\n")
            invocation.return_value(GLib.Variant("(o)", (request,)))
            bound = [(id, {"description": GLib.Variant("s", p.get("description", "")),
                           "trigger_description": GLib.Variant("s", p.get("preferred_trigger", ""))})
                     for id, p in shortcuts]
            self.respond(request, {"shortcuts": GLib.Variant("a(sa{sv})", bound)})
        elif method == "Activate":
            self.bus.emit_signal(None, PATH, "org.freedesktop.portal.GlobalShortcuts",
                                 "Activated", GLib.Variant("(osta{sv})", (
                                     self.session, args[0], 0,
                                     {"activation_token": GLib.Variant("s", "test-token")})))
            invocation.return_value(None)

    def on_property(self, bus, sender, path, interface, name):
        return GLib.Variant("u", 1)


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    portal = Portal(bus, sys.argv[1])
    for interface in INTERFACES:
        bus.register_object(PATH, interface, portal.on_call, portal.on_property, None)
    loop = GLib.MainLoop()

    def acquired(*_):
        print("ready", flush=True)
    Gio.bus_own_name_on_connection(bus, NAME, Gio.BusNameOwnerFlags.NONE, acquired,
                                   lambda *_: loop.quit())
    loop.run()


if __name__ == "__main__":
    main()
