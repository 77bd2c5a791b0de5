#!/usr/bin/env python3
"""What a screen reader hears: the running app's accessibility tree, read over AT-SPI.

Starts a virtual screen (Xvfb), a private D-Bus session (whose accessibility bus starts on
demand), the development server with a fresh demo database and the real app pointed at it.
Then, as a person with a keyboard and a screen reader would, it signs in (once with a wrong
password, to hear the failure), visits every tab, opens a ticket and one action sheet, opens
the drop-downs it meets, and reads the whole tree in each of those states.

A state fails when it has
  - an interactive node (button, tab, text entry, check box, drop-down, menu or list item)
    without a name,
  - a drop-down that shows a value its name does not carry (the value shown is the text
    node inside the drop-down; a drop-down without one exposes no value at all),
  - an open drop-down list whose chosen item is not marked selected or whose name the
    drop-down does not carry,
  - no named text at all (screen titles and values are texts),
and the sign-in failure must be heard as an alert that carries its text.

    screen_reader_tree.py --app build/app/kalvorin --devserver build/devserver/devserver

Exit 0 when every state passes, 1 on any failure, 77 (skipped) when this machine cannot
provide AT-SPI at all (no Xvfb, D-Bus, accessibility bus, pyatspi or xdotool); under CI=true
a missing piece is a failure, not a skip.
"""

import argparse
import importlib.util
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
WHOLE_TEST_SECONDS = 240
APP_NAME = "KalvorinMobile"
# Texts of the screens that the walk waits for (their names in the tree).
BACK_BUTTON = "رجوع"
ROUTE_ACTION = "إحالة البلاغ"
SUBMIT_ACTION = "تنفيذ الإجراء"
TICKET_NAME = re.compile(r"^[A-Z]+-\d{4}-\d+ ")


class Failure(Exception):
    pass


class TimedOut(Exception):
    pass


def log(text=""):
    print(text, flush=True)


def missing_pieces():
    missing = []
    for tool in ("Xvfb", "dbus-daemon", "xdotool"):
        if shutil.which(tool) is None:
            missing.append(tool)
    if not any(os.path.exists(p) for p in ("/usr/libexec/at-spi-bus-launcher",
                                           "/usr/lib/at-spi2-core/at-spi-bus-launcher")):
        missing.append("at-spi-bus-launcher (at-spi2-core)")
    if importlib.util.find_spec("pyatspi") is None:
        missing.append("pyatspi (python3-pyatspi) for " + sys.executable)
    return missing


# --- the processes around the app -------------------------------------------------------------

class Session:
    """Xvfb, a D-Bus session, the development server and the app; stopped in reverse."""

    def __init__(self, args, work):
        self.args = args
        self.work = work
        self.procs = []
        self.env = dict(os.environ)

    def _start(self, name, command, **kw):
        proc = subprocess.Popen(command, start_new_session=True, **kw)
        self.procs.append((name, proc))
        return proc

    def _read_line_from(self, fd, what, seconds=20):
        deadline = time.monotonic() + seconds
        data = b""
        os.set_blocking(fd, False)
        while b"\n" not in data:
            if time.monotonic() > deadline:
                raise Failure(f"{what} did not start")
            try:
                chunk = os.read(fd, 256)
                if not chunk:
                    raise Failure(f"{what} ended before it started")
                data += chunk
            except BlockingIOError:
                time.sleep(0.05)
        os.close(fd)
        return data.split(b"\n", 1)[0].decode().strip()

    def start_display(self):
        r, w = os.pipe()
        self._start("Xvfb", ["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp"], pass_fds=(w,),
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        self.env["DISPLAY"] = ":" + self._read_line_from(r, "Xvfb")
        self.env.pop("WAYLAND_DISPLAY", None)

    def start_bus(self):
        r, w = os.pipe()
        # The accessibility bus and its registry start on demand inside this session.
        self._start("dbus-daemon", ["dbus-daemon", "--session", "--nofork",
                                    f"--print-address={w}"], pass_fds=(w,), env=self.env,
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self._read_line_from(r, "dbus-daemon")

    def start_server(self):
        logfile = os.path.join(self.work, "devserver.log")
        with open(logfile, "wb") as out:
            self._start("devserver", [self.args.devserver, "--port", "0", "--db",
                                      os.path.join(self.work, "demo.sqlite"), "--reset"],
                        stdout=out, stderr=subprocess.STDOUT, env=self.env)
        deadline = time.monotonic() + 30
        text = ""
        while "\nlistening on " not in "\n" + text:
            if time.monotonic() > deadline:
                raise Failure("the development server did not start:\n" + text)
            time.sleep(0.1)
            with open(logfile, encoding="utf-8", errors="replace") as f:
                text = f.read()
        base = re.search(r"^listening on (http://\S+/)api/mobile/index\.php", text, re.M).group(1)
        # The first demo account the server prints: "  NAME / PASSWORD — role — scope".
        lines = text.splitlines()
        first = lines[lines.index(next(l for l in lines if l.startswith("demo accounts"))) + 1]
        user, _, password = first.split()[:3]
        return base, user, password

    def start_app(self, base):
        home = os.path.join(self.work, "home")
        runtime = os.path.join(self.work, "runtime")
        os.makedirs(os.path.join(home, ".config", "Kalvorin"))
        os.makedirs(runtime, mode=0o700)
        # The app's preference of the server, as the connection settings would leave it.
        with open(os.path.join(home, ".config", "Kalvorin", "KalvorinMobile.conf"), "w",
                  encoding="utf-8") as f:
            f.write(f"[General]\nserverURL={base}\n")
        env = dict(self.env)
        for name in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "QT_QPA_PLATFORM",
                     "QT_ACCESSIBILITY", "NO_AT_BRIDGE"):
            env.pop(name, None)
        env.update(HOME=home, XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8", QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        with open(os.path.join(self.work, "app.log"), "wb") as out:
            return self._start("app", [self.args.app], env=env, stdout=out,
                               stderr=subprocess.STDOUT)

    def stop(self):
        for name, proc in reversed(self.procs):
            if proc.poll() is None:
                try:
                    os.killpg(proc.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
        self.procs.clear()


# --- reading the tree ---------------------------------------------------------------------------

class Node:
    __slots__ = ("acc", "role", "role_name", "name", "states", "depth", "parent", "extents")

    def __repr__(self):
        return f"{self.role_name} {self.name!r}"

    def on_page(self):
        """Laid out in the window, whether scrolled into view or not (hidden items have no
        extents)."""
        return self.extents is not None and self.extents[2] > 0 and self.extents[3] > 0

    def where(self):
        named = self.parent
        while named is not None and not named.name:
            named = named.parent
        inside = f" inside {named!r}" if named is not None else ""
        at = f" at {self.extents[0]},{self.extents[1]}" if self.extents else ""
        return f"{self!r}{inside}{at}"


class Tree:
    def __init__(self, pyatspi, app):
        self.pyatspi = pyatspi
        self.app = app
        self.nodes = []
        self._walk(app, 0, None)

    def _walk(self, acc, depth, parent):
        p = self.pyatspi
        node = Node()
        node.acc = acc
        node.role = acc.getRole()
        node.role_name = self.pyatspi.Atspi.role_get_name(node.role)
        node.name = acc.name or ""
        node.states = set(acc.getState().getStates())
        node.depth = depth
        node.parent = parent
        try:
            e = acc.queryComponent().getExtents(p.DESKTOP_COORDS)
            node.extents = (e.x, e.y, e.width, e.height)
        except NotImplementedError:
            node.extents = None
        self.nodes.append(node)
        for i in range(acc.childCount):
            child = acc.getChildAtIndex(i)
            if child is not None:
                self._walk(child, depth + 1, node)

    def on_page(self):
        return [n for n in self.nodes if n.on_page()]

    def find(self, role=None, name=None, showing=False, on_page=False, pred=None):
        out = []
        for n in self.nodes:
            if role is not None and n.role != role:
                continue
            if name is not None and n.name != name:
                continue
            if showing and self.pyatspi.STATE_SHOWING not in n.states:
                continue
            if on_page and not n.on_page():
                continue
            if pred is not None and not pred(n):
                continue
            out.append(n)
        return out

    def descendants(self, node):
        i = self.nodes.index(node)
        out = []
        for n in self.nodes[i + 1:]:
            if n.depth <= node.depth:
                break
            out.append(n)
        return out

    def signature(self):
        p = self.pyatspi
        return tuple((n.role, n.name, p.STATE_SHOWING in n.states, p.STATE_CHECKED in n.states)
                     for n in self.nodes)


class Reader:
    def __init__(self, session, app_pid):
        import pyatspi  # after the session's bus and display are in the environment
        from gi.repository import Atspi, GLib
        self.Atspi = Atspi
        self.pyatspi = pyatspi
        self.GLib = GLib
        self.session = session
        self.app_pid = app_pid
        self.app = None
        self.failures = []
        self.states_checked = 0

    # Bounded polls: every wait below ends in `seconds` at most.
    def wait_for(self, what, probe, seconds=30, interval=0.2):
        deadline = time.monotonic() + seconds
        while True:
            try:
                result = probe()
            except (self.GLib.GError, LookupError, RuntimeError):
                result = None
            if result:
                return result
            if time.monotonic() > deadline:
                raise Failure(f"timed out after {seconds} s waiting for {what}")
            time.sleep(interval)

    def find_app(self):
        desktop = self.pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == APP_NAME and app.get_process_id() == self.app_pid:
                return app
        return None

    def tree(self):
        for _ in range(5):
            try:
                return Tree(self.pyatspi, self.app)
            except self.GLib.GError:
                time.sleep(0.2)  # a node went away while it was read: read again
        return Tree(self.pyatspi, self.app)

    def settled(self, what, ready=lambda tree: True, seconds=30):
        """The tree once `ready` holds and two readings 0.3 s apart agree."""
        last = [None]

        def probe():
            tree = self.tree()
            if not ready(tree):
                last[0] = None
                return None
            sig = tree.signature()
            if sig == last[0]:
                return tree
            last[0] = sig
            return None
        return self.wait_for(what, probe, seconds=seconds, interval=0.3)

    # --- acting as a person with a keyboard ---

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.session.env, check=True,
                       stdout=subprocess.DEVNULL)

    def focus_window(self):
        # Without a window manager the keyboard goes where the X focus is: on the app's window.
        self.xdotool("search", "--sync", "--onlyvisible", "--pid", str(self.app_pid), "--name",
                     ".", "windowfocus", "--sync")

    def focus(self, node, seconds=10):
        node.acc.queryComponent().grabFocus()
        self.wait_for(f"the focus on {node}",
                      lambda: self.pyatspi.STATE_FOCUSED in node.acc.getState().getStates(),
                      seconds=seconds)

    def press_key(self, node, key):
        self.focus(node)
        self.xdotool("key", key)

    def type_into(self, node, text):
        self.focus(node)
        self.xdotool("key", "ctrl+a", "BackSpace")
        self.xdotool("type", "--delay", "15", text)

    # --- the checks ---

    def interactive_roles(self):
        R = self.pyatspi
        return {
            R.ROLE_PUSH_BUTTON, R.ROLE_TOGGLE_BUTTON, R.ROLE_COMBO_BOX, R.ROLE_TEXT,
            R.ROLE_PASSWORD_TEXT, R.ROLE_ENTRY, R.ROLE_CHECK_BOX, R.ROLE_RADIO_BUTTON,
            R.ROLE_MENU_ITEM, R.ROLE_CHECK_MENU_ITEM, R.ROLE_RADIO_MENU_ITEM, R.ROLE_PAGE_TAB,
            R.ROLE_SPIN_BUTTON, R.ROLE_SLIDER, R.ROLE_LINK, R.ROLE_LIST_ITEM,
        }

    def text_roles(self):
        R = self.pyatspi
        return {R.ROLE_STATIC, R.ROLE_LABEL, R.ROLE_HEADING, R.ROLE_PARAGRAPH, R.ROLE_ALERT}

    def report(self, label, problems):
        for problem in problems:
            log(f"    FAIL {problem}")
        self.failures += [f"{label}: {problem}" for problem in problems]

    def check(self, label, tree, expect_alert=False):
        """Reads one state of the app: names, drop-down values, texts and alerts."""
        R = self.pyatspi
        self.states_checked += 1
        problems = []
        text_roles = self.text_roles()
        laid_out = tree.on_page()
        interactive = [n for n in laid_out if n.role in self.interactive_roles()]
        problems += [f"unnamed {n.where()}" for n in interactive if not n.name.strip()]
        combos = [n for n in laid_out if n.role == R.ROLE_COMBO_BOX]
        for combo in combos:
            # What the drop-down shows is the text inside it.
            shown = [d for d in tree.descendants(combo) if d.role in text_roles]
            if not shown:
                problems.append(f"drop-down {combo.where()} exposes no value it shows")
            for value in (d.name.strip() for d in shown):
                if value and value not in combo.name:
                    problems.append(f"drop-down {combo.where()} shows {value!r} but its name "
                                    "does not carry it")
        texts = [n for n in tree.find(showing=True) if n.role in text_roles and n.name.strip()]
        if not texts:
            problems.append("no text is exposed (titles and values are not heard)")
        alerts = [n for n in tree.find(role=R.ROLE_ALERT, showing=True) if n.name.strip()]
        if expect_alert and not alerts:
            problems.append("the failure is not announced as an alert carrying its text")
        log(f"[{label}] {len(tree.nodes)} nodes: {len(interactive)} interactive, "
            f"{len(combos)} drop-downs, {len(texts)} texts on screen, {len(alerts)} alerts")
        for combo in combos:
            log(f"    drop-down {combo.name!r}")
        for alert in alerts:
            log(f"    alert {alert.name!r}")
        self.report(label, problems)

    def check_open_list(self, label, combo):
        """Opens `combo` from the keyboard, reads its list and closes it again."""
        R = self.pyatspi
        label = f"{label}, list of {combo.name!r}"
        try:
            self.focus(combo, seconds=3)
        except Failure:
            # A locked drop-down (one fixed choice) takes no focus and opens no list.
            log(f"[{label}] not opened: the drop-down takes no focus")
            return
        self.xdotool("key", "space")
        tree = self.settled(f"the list of {combo!r}",
                            lambda t: t.find(role=R.ROLE_LIST_ITEM, on_page=True), seconds=15)
        items = tree.find(role=R.ROLE_LIST_ITEM, on_page=True)
        problems = [f"unnamed {n.where()}" for n in items if not n.name.strip()]
        chosen = [n for n in items if R.STATE_SELECTED in n.states]
        if len(chosen) != 1:
            problems.append(f"{len(chosen)} of {len(items)} items are marked as the chosen one")
        elif chosen[0].name not in (combo.acc.name or ""):
            problems.append(f"the chosen item {chosen[0].name!r} is not in the drop-down's name")
        self.states_checked += 1
        log(f"[{label}] {len(items)} items, chosen: {[n.name for n in chosen]}")
        self.report(label, problems)
        self.xdotool("key", "Escape")
        self.settled(f"the list of {combo!r} to close",
                     lambda t: not t.find(role=R.ROLE_LIST_ITEM, on_page=True), seconds=15)

    def open_lists(self, label, tree):
        R = self.pyatspi
        for combo in tree.find(role=R.ROLE_COMBO_BOX, on_page=True):
            if R.STATE_ENABLED in combo.states:
                self.check_open_list(label, combo)

    # --- the walk ---

    def run(self, user, password):
        p = self.pyatspi
        self.app = self.wait_for("the app on the accessibility bus", self.find_app, seconds=60)
        # Every reading asks the app itself: a cached state (enabled, checked) can be stale.
        self.app.set_cache_mask(self.Atspi.Cache.NONE)
        self.focus_window()

        tree = self.settled("the sign-in screen",
                            lambda t: t.find(role=p.ROLE_PASSWORD_TEXT, showing=True))
        self.check("sign-in", tree)
        user_field = tree.find(role=p.ROLE_TEXT, showing=True)[0]
        password_field = tree.find(role=p.ROLE_PASSWORD_TEXT, showing=True)[0]

        # A wrong password: the failure has to be heard.
        self.type_into(user_field, user)
        self.type_into(password_field, "not-the-password")
        self.xdotool("key", "Return")
        tree = self.settled("the sign-in failure",
                            lambda t: t.find(role=p.ROLE_DIALOG, showing=True)
                            or t.find(role=p.ROLE_ALERT, showing=True))
        self.check("sign-in failure", tree, expect_alert=True)
        self.xdotool("key", "Escape")
        tree = self.settled("the sign-in alert to close",
                            lambda t: not t.find(role=p.ROLE_DIALOG, showing=True)
                            and t.find(role=p.ROLE_PASSWORD_TEXT, showing=True))

        password_field = tree.find(role=p.ROLE_PASSWORD_TEXT, showing=True)[0]
        self.type_into(password_field, password)
        self.xdotool("key", "Return")
        tree = self.settled("the signed-in shell",
                            lambda t: len(t.find(role=p.ROLE_PAGE_TAB, showing=True)) >= 2,
                            seconds=60)

        tabs = [n.name for n in tree.find(role=p.ROLE_PAGE_TAB, showing=True)]
        log(f"tabs: {tabs}")
        ticket_tab = None
        for name in tabs:
            tab = self.tree().find(role=p.ROLE_PAGE_TAB, name=name)[0]
            self.press_key(tab, "space")
            tree = self.settled(f"the tab {name!r}",
                                lambda t: p.STATE_CHECKED in t.find(role=p.ROLE_PAGE_TAB,
                                                                    name=name)[0].states)
            self.check(f"tab {name}", tree)
            self.open_lists(f"tab {name}", tree)
            # The first tab that shows a ticket row in the window, as a person would open one.
            if ticket_tab is None and tree.find(role=p.ROLE_PUSH_BUTTON, showing=True,
                                                pred=lambda n: TICKET_NAME.match(n.name)):
                ticket_tab = name
        if ticket_tab is None:
            raise Failure("no tab lists a ticket")

        # A ticket in full.
        tab = self.tree().find(role=p.ROLE_PAGE_TAB, name=ticket_tab)[0]
        self.press_key(tab, "space")
        tree = self.settled("a ticket row", lambda t: t.find(
            role=p.ROLE_PUSH_BUTTON, showing=True, pred=lambda n: TICKET_NAME.match(n.name)))
        row = tree.find(role=p.ROLE_PUSH_BUTTON, showing=True,
                        pred=lambda n: TICKET_NAME.match(n.name))[0]
        log(f"opening {row.name!r}")
        self.press_key(row, "space")
        tree = self.settled("the ticket's actions", lambda t: t.find(
            role=p.ROLE_PUSH_BUTTON, name=ROUTE_ACTION)
            and t.find(role=p.ROLE_PUSH_BUTTON, name=BACK_BUTTON, showing=True))
        self.check("ticket detail", tree)

        # One action sheet, with its drop-downs.
        action = tree.find(role=p.ROLE_PUSH_BUTTON, name=ROUTE_ACTION)[0]
        self.press_key(action, "space")
        tree = self.settled("the action sheet", lambda t: t.find(
            role=p.ROLE_PUSH_BUTTON, name=SUBMIT_ACTION, showing=True))
        self.check("action sheet", tree)
        self.open_lists("action sheet", tree)
        self.xdotool("key", "Escape")
        self.settled("the action sheet to close", lambda t: not t.find(
            role=p.ROLE_PUSH_BUTTON, name=SUBMIT_ACTION, showing=True))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--app", required=True)
    parser.add_argument("--devserver", required=True)
    args = parser.parse_args()

    missing = missing_pieces()
    if missing:
        message = "this machine cannot provide AT-SPI: missing " + ", ".join(missing)
        if os.environ.get("CI") == "true":
            log("FAIL " + message + " (scripts/install-deps.sh installs them)")
            return 1
        log("SKIP " + message + " (scripts/install-deps.sh installs them)")
        return SKIP

    def out_of_time(signum, frame):
        raise TimedOut()
    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(WHOLE_TEST_SECONDS)
    started = time.monotonic()

    work = tempfile.mkdtemp(prefix="kalvorin-a11y-")
    session = Session(args, work)
    reader = None
    status = 1
    try:
        session.start_display()
        session.start_bus()
        os.environ["DISPLAY"] = session.env["DISPLAY"]
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = session.env["DBUS_SESSION_BUS_ADDRESS"]
        base, user, password = session.start_server()
        app = session.start_app(base)
        log(f"server {base}, signing in as {user}")
        reader = Reader(session, app.pid)
        reader.run(user, password)
        status = 0 if not reader.failures else 1
    except Failure as e:
        log(f"FAIL {e}")
    except TimedOut:
        log(f"FAIL the whole walk took more than {WHOLE_TEST_SECONDS} s")
    except (OSError, subprocess.CalledProcessError) as e:
        log(f"FAIL {e}")
    finally:
        signal.alarm(0)
        session.stop()
        if status != 0:
            app_log = os.path.join(work, "app.log")
            if os.path.exists(app_log):
                with open(app_log, encoding="utf-8", errors="replace") as f:
                    tail = f.read()[-3000:]
                if tail.strip():
                    log("--- the app's output ---\n" + tail)
        shutil.rmtree(work, ignore_errors=True)

    if reader is not None:
        log(f"{reader.states_checked} states read in {time.monotonic() - started:.1f} s, "
            f"{len(reader.failures)} failures")
    return status


if __name__ == "__main__":
    sys.exit(main())
