"""What a screen reader reads over AT-SPI and the dock shows in a join (args: program, its id)."""
import atexit, os, signal, subprocess, sys, tempfile, time
import pyatspi
from gi.repository import Gio, GLib

def wait(what, why):
    for _ in range(3000):
        GLib.MainContext.default().iteration(False)
        try:
            if found := what(): return found
        except Exception: pass  # an object gone meanwhile
        time.sleep(0.01)
    sys.exit(f"FAIL: waited in vain for {why}")

def find(root, role, name=None, every=False):
    match = lambda o: o.getRoleName() == role and name in (None, o.name)
    return (pyatspi.findAllDescendants if every else pyatspi.findDescendant)(root, match)

def answer(role, file=None):  # a box, or a file dialog with the file typed in
    box = wait(lambda: find(app, role), role)
    if file: find(box, "text").queryEditableText().setTextContents(file)
    default = lambda: pyatspi.findDescendant(box, lambda o: o.getState().contains(pyatspi.STATE_IS_DEFAULT))
    wait(default, "its default button").queryAction().doAction(0)
    return box

tmp = (folder := tempfile.TemporaryDirectory()).name
header = b"set.bin".ljust(258, b"\0") + b"\3\0\0\0"  # three pieces of at most 1024 bytes
for n, data in enumerate([header + bytes(762), b"2" * 1024, b"3"], 1):
    os.mkdir(f"{tmp}/{n}")
    open(f"{tmp}/{n}/set.00{n}", "wb").write(data)
desktop = pyatspi.Registry.getDesktop(0)  # the bus and the registry up before the program asks
bus, dock = Gio.bus_get_sync(Gio.BusType.SESSION), []
bus.signal_subscribe(None, "com.canonical.Unity.LauncherEntry", "Update", None, None,
                     Gio.DBusSignalFlags.NONE, lambda *args: dock.append(args[5].unpack()))
settings, runtime = tempfile.TemporaryDirectory(), tempfile.TemporaryDirectory()  # a session's own
program = subprocess.Popen([sys.argv[1], f"{tmp}/1/set.001"],
                           env=dict(os.environ, TMPDIR=settings.name, XDG_RUNTIME_DIR=runtime.name))
atexit.register(lambda: program.terminate() or program.wait(10))  # as a desktop ends it: it cleans up
app = wait(lambda: next(a for a in desktop if a.get_process_id() == program.pid), "the program")
window = wait(lambda: find(app, "frame", "Tolvanix"), "the main window")
assert [b.name for b in find(window, "push button", every=True)] == ["分割", "結合", "終了", "About"]
field, label = find(window, "text"), find(window, "label", "分割サイズ").getRelationSet()[0]
assert (field.name, field.description, field.queryText().getText(0, -1)) == ("分割サイズ", "KB", "1024")
assert (label.getRelationType(), label.getTarget(0)) == (pyatspi.RELATION_LABEL_FOR, field)
assert not [o for role in ("frame", "panel") for o in find(window, role, "", every=True)], "unnamed frame"
status, events = find(window, "progress bar"), []  # its changes, read as each arrives, as a screen reader does
pyatspi.Registry.registerEventListener(lambda e: e.source == status and events.append((e.type[-5:], status.name)),
                                       "object:property-change:accessible-name", "object:property-change:accessible-value")
answer("dialog", f"{tmp}/set.bin")
for n in (1, 2):
    box = wait(lambda: find(app, "alert"), f"notice {n}")
    assert (box.name, bool(find(box, "label", "次のメディアを入れてください。"))) == ("Tolvanix", True)
    wait(lambda: status.queryValue().currentValue == round(100 * n / 3), f"{n}/3 of the progress")
    answer("alert")
    answer("dialog", f"{tmp}/{n + 1}/set.00{n + 1}")
wait(lambda: not status.name and status.queryValue().currentValue == 0, "the end of the run")
GLib.MainContext.default().iteration(False)
# One name change per text (3/3 stands so briefly that it may be gone when read).
names = [name for kind, name in events if kind == "-name"]
assert (len(names), names[:2], names[-1]) == (4, [f"ファイル結合中です。  {n}/3" for n in (1, 2)], ""), names
assert len(events) - len(names) >= 3, events
wait(lambda: dock and not dock[-1][1]["progress-visible"], "the dock's bar hidden")
assert {uri for uri, _ in dock} == {f"application://{sys.argv[2]}.desktop"}, dock
bar = [(p["progress"], p["progress-visible"]) for _, p in dock]
assert len(bar) >= 3 and all(visible for _, visible in bar[:-1]), bar
assert [f for f, _ in bar[:-1]] == sorted({f for f, _ in bar[:-1]}) and bar[0][0] > 0, bar  # rising
find(window, "push button", "About").queryAction().doAction(0)
assert answer("dialog").name == "Tolvanixについて"
program.terminate()
assert (program.wait(10), os.listdir(settings.name)) == (-signal.SIGTERM, []), os.listdir(settings.name)
