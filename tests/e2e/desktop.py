"""Drives the real program in a real window, as a user would, on a private X server.

Everything a run needs is private: an Xvfb display, a session D-Bus with the accessibility
bus (so that the window's texts can be read back), HOME, XDG_RUNTIME_DIR and the working
directory of the program. There is no window manager: windows have no frames, a window's
position is its client origin, and nothing raises a window that is clicked, so the
session raises a window itself before it clicks into it.

Input goes only through xdotool (pointer clicks at the places of the controls, keys into
the focused window). What the window shows is read through AT-SPI by atspi_dump.py, run
as a fresh process for every look so that no stale cache is ever read.

Run with Debian's /usr/bin/python3 (python3-pyatspi lives there).
"""

import json
import locale
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"

APP_TITLE = "Velimor & Orbalyx 1.0"
MAIN_TITLE = "Velimor 2008 & Orbalyx 1.0"
SUMMARY_TITLE = "Souhrnné výsledky testů."
OVERALL_TITLE = "Celkové vyhodnocení testu"
CALIBRATION_TITLE = "Orbalyx - Vyhodnocení testu vzhledem ke kvalitě kalibrací"
SCREEN = (1920, 1200)
# The program's own windows: the main window, the summary window and the two chart windows.
OWN_TITLES = (MAIN_TITLE, SUMMARY_TITLE, OVERALL_TITLE, CALIBRATION_TITLE)

# Variables of the caller's desktop that a run must not see: above all those that make Qt
# hand its file dialogs to a desktop's own dialog.
DESKTOP_VARIABLES = (
    "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "GNOME_DESKTOP_SESSION_ID",
    "KDE_FULL_SESSION", "KDE_SESSION_VERSION", "QT_QPA_PLATFORMTHEME", "QT_QPA_PLATFORM",
    "QT_STYLE_OVERRIDE", "QT_ACCESSIBILITY", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS",
    "AT_SPI_BUS_ADDRESS", "WAYLAND_DISPLAY", "DISPLAY", "XAUTHORITY", "BROWSER",
    # and the printers of the machine: a run prints only where its test says
    "LPDEST", "PRINTER", "CUPS_SERVER",
)


class Failure(Exception):
    """A check of the end-to-end test failed."""


def log(*args):
    print(time.strftime("%H:%M:%S"), *args, flush=True)


def check(condition, message):
    if not condition:
        raise Failure(message)


def check_equal(actual, expected, what):
    if actual != expected:
        raise Failure(f"{what}: expected {expected!r}, got {actual!r}")


def read_line(fd, proc, timeout, what):
    """Reads from a pipe up to a newline, giving up after timeout or when proc ends."""
    data = b""
    deadline = time.monotonic() + timeout
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or proc.poll() is not None:
            raise Failure(f"{what} did not start")
        ready, _, _ = select.select([fd], [], [], min(left, 0.5))
        if ready:
            chunk = os.read(fd, 256)
            if not chunk:
                break
            data += chunk
    return data.decode().strip()


class Window:
    def __init__(self, wid, title, x, y, width, height, popup=False):
        self.wid, self.title = wid, title
        self.x, self.y, self.width, self.height = x, y, width, height
        self.popup = popup

    def __repr__(self):
        return (f"<{'popup ' if self.popup else ''}{self.title!r} {self.wid} at {self.x},{self.y} "
                f"{self.width}x{self.height}>")


class Session:
    """One private display with one running program."""

    def __init__(self, program, artefacts, name, cwd=None, extra_env=None):
        self.program = os.path.abspath(program)
        self.name = name
        self.artefacts = os.path.abspath(artefacts)
        self.work = tempfile.mkdtemp(prefix=f"velimor-{name}-")
        self.home = os.path.join(self.work, "home")
        self.runtime = os.path.join(self.work, "run")
        self.cwd = cwd or os.path.join(self.work, "cwd")
        self.bin = os.path.join(self.work, "bin")
        self.opened_log = os.path.join(self.work, "opened.txt")
        for d in (self.home, self.runtime, self.cwd, self.bin):
            os.makedirs(d, exist_ok=True)
        os.chmod(self.runtime, 0o700)
        self.extra_env = dict(extra_env or {})
        self.procs = []
        self.app = None
        self.app_log = os.path.join(self.work, "program.log")
        self.display = None
        self.env = None
        self.atspi = False
        self.shots = 0

    # --- start and stop -------------------------------------------------------------

    def __enter__(self):
        try:
            self._start_display()
            self._start_bus()
            self._make_viewer_stub()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, kind, value, tb):
        if kind is not None:
            log(f"FAILED: {value}")
            try:
                self.keep_evidence("failure")
            except Exception as e:  # evidence must not hide the failure itself
                log(f"could not keep the evidence: {e}")
        self.close()
        return False

    def _base_env(self):
        env = {k: v for k, v in os.environ.items() if k not in DESKTOP_VARIABLES}
        env.update(HOME=self.home, XDG_RUNTIME_DIR=self.runtime,
                   XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                   XDG_DATA_HOME=os.path.join(self.home, ".local", "share"),
                   XDG_CACHE_HOME=os.path.join(self.home, ".cache"))
        if self.display:
            env["DISPLAY"] = self.display
        return env

    def _start_display(self):
        rfd, wfd = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(wfd), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
             "-nolisten", "tcp", "-dpi", "96", "-noreset"],
            pass_fds=(wfd,), stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(self.work, "xvfb.log"), "wb"), env=self._base_env())
        self.procs.append(xvfb)
        os.close(wfd)
        # The number and its newline come in separate writes: read up to the newline.
        try:
            number = read_line(rfd, xvfb, 30, "Xvfb")
        except Failure:
            os.close(rfd)
            raise
        # Keep the pipe open for Xvfb's sake; close it when the session ends.
        self._display_pipe = rfd
        check(number.isdigit(), f"Xvfb gave no display number ({number!r})")
        self.display = ":" + number
        self.env = self._base_env()
        # xdotool and friends run in a UTF-8 locale that exists everywhere.
        self.env.update(LC_ALL="C.UTF-8", LANG="C.UTF-8")
        log(f"display {self.display}")

    def _start_bus(self):
        rfd, wfd = os.pipe()
        bus = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile", f"--print-address={wfd}",
             f"--address=unix:path={os.path.join(self.runtime, 'bus')}"],
            pass_fds=(wfd,), stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(self.work, "dbus.log"), "wb"), env=self.env)
        self.procs.append(bus)
        os.close(wfd)
        try:
            address = read_line(rfd, bus, 20, "the session bus")
        finally:
            os.close(rfd)
        check(address, "the session bus gave no address")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        # Asking for the accessibility bus starts its launcher and the registry.
        r = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                            "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                           env=self.env, capture_output=True, text=True, timeout=30)
        self.atspi = r.returncode == 0 and "unix:" in r.stdout
        if not self.atspi:
            log(f"accessibility bus not available: {r.stderr.strip()}")

    def _make_viewer_stub(self):
        # The program asks the desktop to open its HTML export. Here the "desktop" only
        # writes down what it was asked to open, and returns at once.
        stub = os.path.join(self.bin, "xdg-open")
        with open(stub, "w") as f:
            f.write("#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + self.opened_log + "'\nexit 0\n")
        os.chmod(stub, 0o755)

    def program_env(self):
        env = dict(self.env)
        env.pop("LC_ALL", None)
        env.update(LANG="cs_CZ.UTF-8", LC_ALL="cs_CZ.UTF-8", BROWSER="true",
                   PATH=self.bin + os.pathsep + env.get("PATH", "/usr/bin:/bin"),
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        env.update(self.extra_env)
        return env

    def start_program(self):
        self.app = subprocess.Popen([self.program], cwd=self.cwd, env=self.program_env(),
                                    stdin=subprocess.DEVNULL,
                                    stdout=open(self.app_log, "ab"), stderr=subprocess.STDOUT,
                                    start_new_session=True)
        main = self.wait_window(MAIN_TITLE, timeout=30)
        log(f"main window {main}")
        if self.atspi:
            self.atspi = self._wait_accessible(main)
        return main

    def _wait_accessible(self, main):
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            tree = self.dump(quiet=True)
            if tree and any(w.get("name") == MAIN_TITLE for w in tree.get("windows", [])):
                return True
            time.sleep(0.3)
        log("the program's window cannot be read through AT-SPI; checks fall back to titles")
        return False

    def program_running(self):
        return self.app is not None and self.app.poll() is None

    def close(self):
        if self.app is not None and self.app.poll() is None:
            try:
                os.killpg(self.app.pid, signal.SIGTERM)
                self.app.wait(5)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                try:
                    os.killpg(self.app.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
        if getattr(self, "_display_pipe", None) is not None:
            os.close(self._display_pipe)
            self._display_pipe = None
        # Children of the bus (the accessibility bus launcher and registry) end with it;
        # whatever is left of the work folder goes.
        shutil.rmtree(self.work, ignore_errors=True)

    def close_window(self, window, xclose):
        """Closes a window with its close button, as a window manager would."""
        subprocess.run([xclose, str(window.wid)], env=self.env, check=True, timeout=10)

    def end_program(self, main, xclose):
        """Closes the main window as a window manager would; the program must end."""
        self.close_window(main, xclose)
        try:
            code = self.app.wait(20)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end after its main window was closed")
        check_equal(code, 0, "exit status of the program")

    # --- X --------------------------------------------------------------------------

    def x(self, *args, timeout=20):
        r = subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True,
                           text=True, timeout=timeout)
        return r.stdout.strip() if r.returncode == 0 else None

    def windows(self):
        """Visible top-level windows of the display, with their titles and geometry."""
        out = self.x("search", "--onlyvisible", "--name", "")
        found = []
        for wid in (out or "").split():
            name = self.x("getwindowname", wid)
            geo = self.x("getwindowgeometry", "--shell", wid)
            if name is None or geo is None:
                continue  # gone meanwhile
            g = dict(line.split("=", 1) for line in geo.splitlines() if "=" in line)
            found.append(Window(int(wid), name, int(g["X"]), int(g["Y"]), int(g["WIDTH"]),
                                int(g["HEIGHT"])))
        return found

    def find_windows(self, title):
        match = title.fullmatch if isinstance(title, re.Pattern) else (lambda t: t == title)
        return [w for w in self.windows() if match(w.title)]

    def shown_windows(self):
        """The top-level windows that the X server shows (mapped), each with whether it is
        override-redirect: a popup such as a menu or the name completion list of a file
        dialog, which Qt titles with the application name like a message box."""
        r = subprocess.run(["xwininfo", "-root", "-children"], env=self.env,
                           capture_output=True, text=True, timeout=20)
        shown = []
        for wid in re.findall(r"^\s+(0x[0-9a-f]+) ", r.stdout, re.MULTILINE):
            r = subprocess.run(["xwininfo", "-id", wid], env=self.env, capture_output=True,
                               text=True, timeout=20)
            if r.returncode != 0 or "Map State: IsViewable" not in r.stdout:
                continue  # unmapped, or gone meanwhile
            title = re.search(r'^xwininfo: Window id: 0x[0-9a-f]+ "(.*)"$', r.stdout, re.MULTILINE)
            g = {k: int(v) for k, v in re.findall(
                r"^\s+(Absolute upper-left X|Absolute upper-left Y|Width|Height):\s+(-?\d+)",
                r.stdout, re.MULTILINE)}
            shown.append(Window(int(wid, 16), title.group(1) if title else "",
                                g["Absolute upper-left X"], g["Absolute upper-left Y"],
                                g["Width"], g["Height"],
                                popup="Override Redirect State: yes" in r.stdout))
        return shown

    def check_own_windows(self, closed, boxes=True, settle=0.5):
        """After a dialog or a box has closed: for a short settle, the X server shows no window
        of the program but its own windows and, when boxes is set, a message box that came
        next. Anything else, above all a popup that outlived its dialog, stays on screen
        and takes the user's next click for itself."""
        allowed = OWN_TITLES + ((APP_TITLE,) if boxes else ())
        deadline = time.monotonic() + settle
        while True:
            extra = [w for w in self.shown_windows()
                     if w.popup or w.wid == closed.wid or w.title not in allowed]
            check(not extra, f"after {closed.title!r} closed the program still shows {extra}")
            if time.monotonic() > deadline:
                return
            time.sleep(0.1)

    def wait_window(self, title, timeout=20, count=1):
        deadline = time.monotonic() + timeout
        while True:
            ws = self.find_windows(title)
            if len(ws) >= count:
                return ws[0] if count == 1 else ws
            if not self.program_running():
                raise Failure(f"the program ended while waiting for window {title!r}")
            if time.monotonic() > deadline:
                raise Failure(f"window {title!r} did not appear within {timeout} s; "
                              f"visible: {[w.title for w in self.windows()]}")
            time.sleep(0.05)

    def is_shown(self, window):
        """Whether the X server still shows the window (mapped); a destroyed one is not."""
        r = subprocess.run(["xwininfo", "-id", str(window.wid)], env=self.env,
                           capture_output=True, text=True, timeout=20)
        return r.returncode == 0 and "Map State: IsViewable" in r.stdout

    def wait_gone(self, window, timeout=20):
        deadline = time.monotonic() + timeout
        while self.is_shown(window):
            if time.monotonic() > deadline:
                raise Failure(f"window {window.title!r} did not close within {timeout} s")
            time.sleep(0.05)

    def wait_focus(self, window, timeout=10):
        deadline = time.monotonic() + timeout
        while True:
            focus = self.x("getwindowfocus", "-f")
            if focus is not None and int(focus) == window.wid:
                return
            if time.monotonic() > deadline:
                raise Failure(f"window {window.title!r} did not take the keyboard focus")
            time.sleep(0.05)

    def stacking(self):
        """Ids of the top-level windows, bottom to top, as the X server stacks them."""
        r = subprocess.run(["xwininfo", "-root", "-children"], env=self.env,
                           capture_output=True, text=True, timeout=20)
        # xwininfo lists the top-most window first.
        return [int(m.group(1), 16) for m in re.finditer(r"^\s+(0x[0-9a-f]+) ", r.stdout,
                                                          re.MULTILINE)][::-1]

    def raise_window(self, window):
        # There is no window manager to bring a clicked window to the front.
        self.x("windowraise", window.wid)

    def click(self, window, cx, cy, raise_it=True):
        """Clicks at a point of a window's client area, as a user would."""
        if raise_it:
            self.raise_window(window)
        x, y = window.x + cx, window.y + cy
        # Nothing else may lie over the spot: the click must land in this window.
        deadline = time.monotonic() + 5
        while True:
            self.x("mousemove", x, y)
            loc = self.x("getmouselocation", "--shell") or ""
            under = dict(l.split("=", 1) for l in loc.splitlines() if "=" in l)
            if under.get("X") == str(x) and under.get("Y") == str(y) and \
                    int(under.get("WINDOW", 0)) == window.wid:
                break
            if time.monotonic() > deadline:
                raise Failure(f"cannot point at {cx},{cy} of {window.title!r}: {under}")
            time.sleep(0.05)
        self.x("click", 1)

    def button(self, window, left, top, width, height):
        """Clicks the middle of a push button placed at left, top of a window."""
        self.click(window, left + width // 2, top + height // 2)

    def key(self, *keys):
        self.x("key", "--clearmodifiers", *keys)

    def type_text(self, text):
        self.x("type", "--delay", "8", "--", text, timeout=60)

    # --- dialogs ---------------------------------------------------------------------

    def choose_file(self, path, timeout=20):
        """Answers the file dialog that the last click opened: the full path, then Return."""
        dialog = self.wait_window(re.compile(r"(Open|Save As|Save|Otev.*|Ulo.*)"), timeout)
        self.wait_focus(dialog)
        # The file name field has the focus; whatever the dialog proposes is replaced.
        self.key("ctrl+a")
        self.type_text(path)
        self.key("Return")
        self.wait_gone(dialog)
        self.check_own_windows(dialog)
        return dialog

    def wait_box(self, timeout=20):
        """Waits for a message box of the program and reads it when it can be read."""
        box = self.wait_window(APP_TITLE, timeout)
        self.wait_focus(box)
        info = {"window": box, "text": None, "icon": None}
        if self.atspi:
            info.update(self.read_box(box))
        return info

    def answer_box(self, expect_text=None, expect_error=None, timeout=20, what=""):
        """Waits for a message box, checks it, and closes it with the keyboard (Return)."""
        info = self.wait_box(timeout)
        log(f"box{' (' + what + ')' if what else ''}: {info['text']!r}"
            f"{' with stop icon' if info['icon'] else ''}")
        if expect_text is not None and self.atspi:
            check_equal(info["text"], expect_text, f"text of the box {what}")
        if expect_error is not None and self.atspi:
            check_equal(info["icon"], expect_error, f"stop icon of the box {what}")
        self.key("Return")
        self.wait_gone(info["window"])
        self.check_own_windows(info["window"])
        return info

    def no_box(self, settle=0.5):
        """Checks that no message box is open (after letting the last click settle)."""
        self.sync_idle(settle)
        boxes = self.find_windows(APP_TITLE)
        check(not boxes, f"unexpected message box: {[self.read_box(b) for b in boxes] if self.atspi else boxes}")

    def system_message(self, code):
        """The system's description of an error number as the program gives it: in the
        language of the program's locale, Czech where cs_CZ.UTF-8 is generated, the C
        library's own English where it is not."""
        saved = locale.setlocale(locale.LC_ALL)
        try:
            try:
                locale.setlocale(locale.LC_ALL, self.program_env()["LC_ALL"])
            except locale.Error:
                locale.setlocale(locale.LC_ALL, "C")  # as the program falls back
            return os.strerror(code)
        finally:
            locale.setlocale(locale.LC_ALL, saved)

    def sync_idle(self, seconds=0.3):
        # A short grace time for the program to finish handling the last click; every real
        # wait goes on windows or files, this only keeps negative checks meaningful.
        time.sleep(seconds)

    # --- reading through AT-SPI -----------------------------------------------------

    def dump(self, quiet=False):
        if not self.env.get("DBUS_SESSION_BUS_ADDRESS"):
            return None
        try:
            r = subprocess.run([PYTHON, os.path.join(HERE, "atspi_dump.py"), str(self.app.pid)],
                               env=self.env, capture_output=True, text=True, timeout=30)
        except subprocess.TimeoutExpired:
            if not quiet:
                log("AT-SPI dump timed out")
            return None
        if r.returncode != 0:
            if not quiet:
                log(f"AT-SPI dump failed: {r.stderr.strip()[-500:]}")
            return None
        return json.loads(r.stdout)

    def accessible_window(self, title, tree=None):
        tree = tree or self.dump()
        for w in (tree or {}).get("windows", []):
            if w.get("name") == title:
                return w
        return None

    def read_box(self, box):
        """Text of a message box and whether it shows the stop icon."""
        deadline = time.monotonic() + 10
        while True:
            tree = self.dump()
            for w in (tree or {}).get("windows", []):
                if w.get("name") != APP_TITLE or w.get("role") not in ("dialog", "alert"):
                    continue
                nodes = list(walk(w))
                # The message is a named label; the icon an image (or unnamed label) that
                # shows. A box without an icon keeps a hidden one.
                texts = [n["name"] for n in nodes if n["role"] == "label" and n["name"]]
                icon = any(n["role"] in ("image", "icon", "label") and not n["name"]
                           and "showing" in n["states"] for n in nodes)
                if texts:
                    return {"text": "\n".join(texts), "icon": icon}
            if time.monotonic() > deadline:
                raise Failure("the message box cannot be read through AT-SPI")
            time.sleep(0.2)

    def texts(self, title, role="text"):
        w = self.accessible_window(title)
        check(w is not None, f"window {title!r} not found through AT-SPI")
        return [n for n in walk(w) if n["role"] == role]

    # --- evidence ------------------------------------------------------------------

    def screenshot(self, label, window=None):
        os.makedirs(self.artefacts, exist_ok=True)
        self.shots += 1
        safe = re.sub(r"[^A-Za-z0-9_.-]+", "_", label)
        path = os.path.join(self.artefacts, f"{self.name}-{self.shots:02d}-{safe}.png")
        target = str(window.wid) if window else "root"
        if window:
            self.raise_window(window)  # windows overlap; the picture is what is on top
        try:
            subprocess.run(["import", "-display", self.display, "-window", target, path],
                           env=self.env, capture_output=True, timeout=30)
        except (OSError, subprocess.TimeoutExpired) as e:
            log(f"no screenshot: {e}")
        return path

    def keep_evidence(self, label):
        if not self.display:
            return
        self.screenshot(f"{label}-screen")
        for w in self.windows():
            if w.title:
                self.screenshot(f"{label}-{w.title}", w)
        if self.atspi and self.app is not None and self.app.poll() is None:
            tree = self.dump(quiet=True)
            if tree:
                with open(os.path.join(self.artefacts, f"{self.name}-{label}-atspi.json"), "w") as f:
                    json.dump(tree, f, ensure_ascii=False, indent=1)
        if os.path.exists(self.app_log):
            shutil.copy(self.app_log, os.path.join(self.artefacts, f"{self.name}-program.log"))
        log(f"evidence kept in {self.artefacts}")


def walk(node):
    yield node
    for c in node.get("children", []):
        yield from walk(c)


def main_entry(run):
    """Runs a test body, turning a failed check into exit status 1 with its message."""
    started = time.monotonic()
    try:
        run()
    except Failure as e:
        log(f"FAIL: {e}")
        sys.exit(1)
    log(f"passed in {time.monotonic() - started:.1f} s")
