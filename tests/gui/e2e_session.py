"""The end-to-end checks' session: one scenario's demo folder and launcher, driven by keys
(xdotool) and read through the accessibility tree (AT-SPI), and what the checks share.
"""

import os
import re
import shutil
import subprocess
import tempfile
import time

TIMEOUT = 15.0
SOURCE_ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# The accessibility library: set by the runner once inside the D-Bus session, where alone it can
# be imported. Controls are matched by role (pyatspi.ROLE_PUSH_BUTTON, ...), never by the role's
# name: the names differ between releases of the library ("push button" or "button").
pyatspi = None


def setting_description(key):
    """The tooltip table's text for a setting (settings/parameter_descriptions.h), which the
    window shows as the control's accessible description."""
    with open(os.path.join(SOURCE_ROOT, "settings", "parameter_descriptions.h")) as table:
        for line in table:
            found = re.match(r'\s*"((?:[^"\\]|\\.)*)",\s*//\s*(\w+)\s*$', line)
            if found and found.group(2) == key:
                return found.group(1).encode().decode("unicode_escape")
    raise KeyError(key)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(what, probe, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.1)


class Session:
    """One launcher in one demo folder."""

    def __init__(self, args, name):
        self.args = args
        self.name = name
        self.folder = tempfile.mkdtemp(prefix="sandrel-gui-")
        subprocess.run([args.make_demo, self.folder], check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        self.proc = None

    # --- the program -------------------------------------------------------------------------
    def launch(self, *arguments, env=None):
        self.log = open(os.path.join(self.folder, "launcher-output.txt"), "w")
        self.proc = subprocess.Popen([self.args.program, *arguments], cwd=self.folder, stdout=self.log,
                                     stderr=self.log, env=env)
        self.sheet = wait_for("the sheet window", lambda: self.top_level("Sandrel", pyatspi.ROLE_FRAME))
        self.focus_window("^Sandrel$")

    def wait_exit(self, expected=0):
        try:
            code = self.proc.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure("the launcher did not end")
        check(code == expected, f"the launcher ended with {code}, expected {expected}")

    def close(self):
        if self.proc is not None and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.folder, name)

    # --- the accessibility tree --------------------------------------------------------------
    def app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            try:
                app = desktop.getChildAtIndex(i)
                if app is not None and app.name == "sandrel" and app.get_process_id() == self.proc.pid:
                    return app
            except Exception:
                continue
        return None

    def top_level(self, name, role=None):
        app = self.app()
        if app is None:
            return None
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if window is not None and window.name.startswith(name) and (role is None or window.getRole() == role):
                return window
        return None

    def find(self, root, role, name=None):
        def match(acc):
            return acc is not None and acc.getRole() == role and (name is None or acc.name == name)
        return pyatspi.findDescendant(root, match)

    def control(self, role, name):
        found = wait_for(f"{role} '{name}'", lambda: self.find(self.sheet, role, name))
        return found

    def selected_tab(self):
        tabs = self.find(self.sheet, pyatspi.ROLE_PAGE_TAB_LIST)
        for i in range(tabs.childCount):
            tab = tabs.getChildAtIndex(i)
            if tab.getState().contains(pyatspi.STATE_SELECTED):
                return tab.name
        return None

    def text_of(self, acc):
        text = acc.queryText()
        return text.getText(0, text.characterCount)

    def checked(self, acc):
        return acc.getState().contains(pyatspi.STATE_CHECKED)

    def click(self, acc):
        acc.queryAction().doAction(0)

    def message_box(self, text):
        """Waits for a box showing this text, or this text and more lines; returns (window,
        caption)."""
        def says(acc):
            return (acc is not None and acc.getRole() == pyatspi.ROLE_LABEL
                    and (acc.name == text or acc.name.startswith(text + "\n")))

        def probe():
            app = self.app()
            for i in range(app.childCount if app else 0):
                window = app.getChildAtIndex(i)
                if window is None or window.getRole() != pyatspi.ROLE_ALERT:
                    continue
                if pyatspi.findDescendant(window, says) is not None:
                    return window
            return None
        box = wait_for(f"a message box saying '{text}'", probe)
        return box, box.name

    # --- keys and pictures -------------------------------------------------------------------
    def focus_window(self, title_regex):
        ids = wait_for(f"an X window named {title_regex}", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", title_regex], capture_output=True,
            text=True).stdout.split())
        subprocess.run(["xdotool", "windowfocus", "--sync", ids[-1]], check=False)
        return ids[-1]

    def key(self, *keys):
        for k in keys:
            subprocess.run(["xdotool", "key", "--delay", "40", k], check=True)
            time.sleep(0.15)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "60", text], check=True)
        time.sleep(0.2)

    def focus(self, acc):
        acc.queryComponent().grabFocus()
        wait_for("the focus", lambda: acc.getState().contains(pyatspi.STATE_FOCUSED), 5)

    def focused(self):
        """The control that has the keyboard focus, as (role, name), or None."""
        def match(acc):
            return acc is not None and acc.getState().contains(pyatspi.STATE_FOCUSED)
        acc = pyatspi.findDescendant(self.sheet, match)
        return (acc.getRole(), acc.name) if acc is not None else None

    def screenshot_screen(self, name):
        os.makedirs(self.args.screenshots, exist_ok=True)
        subprocess.run(["xdotool", "mousemove", "0", "0"], check=False)
        time.sleep(0.4)
        out = os.path.join(self.args.screenshots, name + ".png")
        subprocess.run(["import", "-window", "root", out], check=True)
        return out

    def screenshot(self, tab):
        os.makedirs(self.args.screenshots, exist_ok=True)
        window = self.focus_window("^Sandrel$")
        # The pointer would light up whatever control it rests on.
        subprocess.run(["xdotool", "mousemove", "0", "0"], check=False)
        time.sleep(0.4)  # let the page finish drawing
        out = os.path.join(self.args.screenshots, tab.lower() + ".png")
        subprocess.run(["import", "-window", window, out], check=True)
        return out


# --- scenarios ------------------------------------------------------------------------------
