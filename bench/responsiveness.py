#!/usr/bin/python3
"""How long the main window leaves the desktop waiting while a split and a join run.

Runs Tolvanix under Xvfb with the openbox window manager and a private session
bus, drives it with xdotool as a user would (piece size, 分割, the two file
dialogs, then 結合 and its two dialogs), and every 0.2 s asks the window two
things from outside the process, timing each answer:
  - a _NET_WM_PING, the message desktops use to mark a window "not responding";
  - the text of the status line, through the accessibility bus (AT-SPI).
Prints the longest wait of each kind and the status lines seen.

Usage: bench/responsiveness.py BINARY WORKDIR [SIZE_GIB] [PIECE_KB]
Needs: xvfb openbox xdotool python3-xlib python3-pyatspi dbus (Debian packages).
"""
import os
import subprocess
import sys
import threading
import time


def sh(*cmd, **kw):
    return subprocess.run(cmd, check=True, capture_output=True, text=True, **kw).stdout


def make_source(path, size):
    """Sparse, with random blocks spread over it, so every piece holds real data."""
    with open(path, "wb") as f:
        f.truncate(size)
        block = os.urandom(8 << 20)
        for i in range(16):
            f.seek(i * (size // 16))
            f.write(block)


def main():
    binary, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    size = int(float(sys.argv[3] if len(sys.argv) > 3 else 4.4) * (1 << 30))
    piece_kb = sys.argv[4] if len(sys.argv) > 4 else "2097151"
    os.makedirs(work, exist_ok=True)
    source = os.path.join(work, "big.bin")
    make_source(source, size)

    display = ":97"
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"])
    time.sleep(1)
    os.environ["DISPLAY"] = display
    wm = subprocess.Popen(["openbox"], stderr=subprocess.DEVNULL)
    time.sleep(1)
    import pyatspi
    pyatspi.Registry.getDesktop(0)  # starts the accessibility bus before the program
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    app = subprocess.Popen([binary], cwd=work, env=env, stderr=subprocess.DEVNULL)
    try:
        run(app, work, source, size, piece_kb)
    finally:
        app.kill()
        wm.kill()
        xvfb.kill()
        for name in os.listdir(work):
            os.remove(os.path.join(work, name))


def find_window(name, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], capture_output=True, text=True).stdout
        if out.split():
            return int(out.split()[0])
        time.sleep(0.1)
    raise RuntimeError("no window " + name)


class Prober(threading.Thread):
    """Pings the window and reads its status line every 0.2 s, timing both."""

    def __init__(self, window, app_pid):
        super().__init__(daemon=True)
        from Xlib import X, display, protocol
        self.X, self.protocol = X, protocol
        self.d = display.Display()
        self.root = self.d.screen().root
        # Qt answers to the root window for StructureNotify listeners.
        self.root.change_attributes(event_mask=X.StructureNotifyMask | X.SubstructureNotifyMask)
        self.window = self.d.create_resource_object("window", window)
        self.protocols = self.d.intern_atom("WM_PROTOCOLS")
        self.ping = self.d.intern_atom("_NET_WM_PING")
        self.app_pid = app_pid
        self.stop = False
        self.ping_max = self.a11y_max = 0.0
        self.samples = 0
        self.statuses = []

    def send_ping(self):
        stamp = int(time.time() * 1000) & 0xFFFFFFFF
        event = self.protocol.event.ClientMessage(
            window=self.window, client_type=self.protocols,
            data=(32, [self.ping, stamp, self.window.id, 0, 0]))
        start = time.monotonic()
        self.window.send_event(event)
        self.d.flush()
        while True:
            e = self.d.next_event()
            if (e.type & 0x7F) == self.X.ClientMessage and e.data[1][0] == self.ping and e.data[1][1] == stamp:
                return time.monotonic() - start

    def run(self):
        labels = None
        while not self.stop:
            tick = time.monotonic()
            self.ping_max = max(self.ping_max, self.send_ping())
            start = time.monotonic()
            try:
                if not labels:
                    labels = self.window_labels()
                texts = [label.name for label in labels]
            except Exception:
                labels, texts = None, []
            self.a11y_max = max(self.a11y_max, time.monotonic() - start)
            for text in texts:
                if text.startswith("ファイル") and (not self.statuses or self.statuses[-1] != text):
                    self.statuses.append(text)
            self.samples += 1
            time.sleep(max(0.0, 0.2 - (time.monotonic() - tick)))

    def window_labels(self):
        import pyatspi
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is None or app.get_process_id() != self.app_pid:
                continue
            found = []
            def walk(node, depth):
                if node is None or depth > 6:
                    return
                if node.getRole() == pyatspi.ROLE_LABEL:
                    found.append(node)
                for k in range(node.childCount):
                    walk(node.getChildAtIndex(k), depth + 1)
            walk(app, 0)
            return found
        return []


def key(*keys):
    sh("xdotool", "key", "--clearmodifiers", *keys)


def type_text(text):
    sh("xdotool", "type", "--delay", "5", text)


def click(window, x, y):
    sh("xdotool", "mousemove", "--window", str(window), str(x), str(y), "click", "1")


def answer_dialog(path):
    time.sleep(1.0)
    key("ctrl+a")
    type_text(path)
    key("Return")


def wait_files(sizes, timeout=900):
    """Until every file has its full size (a window that does not answer may
    not show its status line at all), and a little longer for the clean-up."""
    end = time.time() + timeout
    while time.time() < end:
        if all(os.path.exists(p) and os.path.getsize(p) == n for p, n in sizes.items()):
            time.sleep(1)
            return
        time.sleep(0.2)
    raise RuntimeError("the run did not end")


def run(app, work, source, size, piece_kb):
    window = find_window("^Tolvanix$")
    time.sleep(1)
    prober = Prober(window, app.pid)
    prober.start()
    # The piece size: click into the field, select all, type.
    click(window, 30, 66)
    key("ctrl+a")
    type_text(piece_kb)
    started = time.monotonic()
    click(window, 72, 20)  # 分割
    answer_dialog(source)
    answer_dialog(os.path.join(work, "big.001"))
    piece = int(piece_kb) * 1024
    count = -(-(size + 262) // piece)
    wait_files({os.path.join(work, "big.%03d" % k): min(piece, size + 262 - (k - 1) * piece)
                for k in range(1, count + 1)})
    split_s = time.monotonic() - started
    click(window, 216, 20)  # 結合
    answer_dialog(os.path.join(work, "big.001"))
    answer_dialog(os.path.join(work, "joined.bin"))
    wait_files({os.path.join(work, "joined.bin"): size})
    total_s = time.monotonic() - started
    prober.stop = True
    prober.join()
    same = sh("cmp", source, os.path.join(work, "joined.bin")) == ""
    print(f"source {size / (1 << 30):.1f} GiB, pieces of {piece_kb} KB; split and join {total_s:.1f} s "
          f"(split {split_s:.1f} s), rebuilt file identical: {same}")
    print(f"{prober.samples} probes every 0.2 s; longest wait: _NET_WM_PING {prober.ping_max * 1000:.0f} ms, "
          f"status line over AT-SPI {prober.a11y_max * 1000:.0f} ms")
    print("status lines seen: " + " | ".join(prober.statuses))


if __name__ == "__main__":
    if os.environ.get("DBUS_SESSION_BUS_ADDRESS") is None:
        os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv)
    main()
