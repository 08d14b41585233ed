"""What a screen reader finds in the Linux program over AT-SPI (run in dbus-run-session on an X
display, the program as argument): names, the size field's label and unit, no unnamed frame, and in
a join that stops twice for the next medium the progress value rising and every text announced."""
import atexit, itertools, os, subprocess, sys, tempfile, time
import pyatspi
from gi.repository import GLib

def wait(what, why):
    for _ in range(3000):
        GLib.MainContext.default().iteration(False)
        try:
            if found := what(): return found
        except Exception: pass  # an object gone meanwhile
        time.sleep(0.01)
    sys.exit(f"FAIL: waited in vain for {why}")

def tree(o):
    yield o
    for c in o: yield from tree(c)

def find(root, role, name=None):
    return next((o for o in tree(root) if o.getRoleName() == role and name in (None, o.name)), None)

def answer(role, file=None):  # a box, or a file dialog with the file typed in
    box = wait(lambda: find(app, role), role)
    if file: find(box, "text").queryEditableText().setTextContents(file)
    default = (o for o in tree(box) if o.getState().contains(pyatspi.STATE_IS_DEFAULT))
    wait(lambda: next(default), "its default button").queryAction().doAction(0)
    return box

events = []  # the status line's, read as each arrives, as a screen reader does
def heard(e):
    try:
        if e.source.getRoleName() == "progress bar":
            events.append((e.type.split("-")[-1], e.source.name, e.source.queryValue().currentValue))
    except Exception: pass  # an object of a dialog gone meanwhile
pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name",
                                       "object:property-change:accessible-value")
tmp = (folder := tempfile.TemporaryDirectory()).name
header = b"set.bin".ljust(258, b"\0") + b"\3\0\0\0"  # three pieces of 1024 bytes at most
for n, data in enumerate([header + bytes(762), b"2" * 1024, b"3"], 1):
    os.mkdir(f"{tmp}/{n}")
    open(f"{tmp}/{n}/set.00{n}", "wb").write(data)
atexit.register((program := subprocess.Popen([sys.argv[1], f"{tmp}/1/set.001"])).kill)
desktop = pyatspi.Registry.getDesktop(0)
app = wait(lambda: next(a for a in desktop if a.get_process_id() == program.pid), "the program")
window = wait(lambda: find(app, "frame", "Tolvanix"), "the main window")
buttons = [o.name for o in tree(window) if o.getRoleName() == "push button"]
assert buttons == ["分割", "結合", "終了", "About"], buttons
field, label = find(window, "text"), find(window, "label", "分割サイズ").getRelationSet()[0]
assert (field.name, field.description, field.queryText().getText(0, -1)) == ("分割サイズ", "KB", "1024")
assert (label.getRelationType(), label.getTarget(0)) == (pyatspi.RELATION_LABEL_FOR, field)
assert not [o for o in tree(window) if not o.name and o.getRoleName() in ("frame", "panel")]
status = find(window, "progress bar")
answer("dialog", f"{tmp}/set.bin")
for n in (1, 2):
    box = answer("alert")
    text = bool(find(box, "label", "次のメディアを入れてください。"))
    assert (box.name, text) == ("Tolvanix", True), f"notice {n}: {box.name}"
    wait(lambda: status.queryValue().currentValue == round(100 * n / 3), f"{n}/3 of the progress")
    assert status.name == f"ファイル結合中です。  {n}/3", status.name
    answer("dialog", f"{tmp}/{n + 1}/set.00{n + 1}")
wait(lambda: not status.name and status.queryValue().currentValue == 0, "the end of the run")
GLib.MainContext.default().iteration(False)
# One event per text; the last two come close together, so that 3/3 may be gone when read.
names = [name for kind, name, _ in events if kind == "name"]
texts = [f"ファイル結合中です。  {n}/3" for n in (1, 2)]
assert (len(names), names[:2], names[-1]) == (4, texts, ""), names
values = [value for kind, _, value in events if kind == "value"]
run = list(itertools.takewhile(bool, values))  # then 0 only, as the bar goes (100 may be read as 0)
assert (run == sorted(run), {33, 67} <= set(run), set(values[len(run):])) == (True, True, {0}), values
find(window, "push button", "About").queryAction().doAction(0)
about = answer("dialog")
assert (about.name, bool(find(about, "label", "Tolvanix Ver1.0"))) == ("Tolvanixについて", True)
