#!/usr/bin/python3
"""End-to-end checks of the launcher's real window under Xvfb.

Each run starts one Xvfb (-noreset) and one D-Bus session, prepares a fresh demo folder per
scenario and drives the launcher as a user would: keys through xdotool, controls found and read
through the accessibility tree (AT-SPI). Screen coordinates are never used.

Usage: launcher_e2e.py --program PATH --make-demo PATH --screenshots DIR [SCENARIO...]
Exit status: 0 all passed, 1 a failure, 77 Xvfb is not installed (the run is skipped).
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

import e2e_session
from e2e_session import Failure, Session, check, setting_description, wait_for
from with_xvfb import run_on_xvfb

SKIP = 77

# Set by run_inside, as in e2e_session: the accessibility library is only importable inside the
# D-Bus session.
pyatspi = None


def scenario_enter_writes_and_starts(s):
    """Enter is OK: terrain.ini is written and the stand-in engine runs in the folder."""
    s.launch()
    check(s.selected_tab() == "General", "the sheet opens on General")
    s.key("Return")
    s.wait_exit(0)
    check(os.path.isfile(s.path("terrain.ini")), "OK wrote terrain.ini")
    with open(s.path("terrain.ini")) as f:
        check("MAP_NAME" in f.read(), "terrain.ini holds the settings")
    log = wait_for("the engine's record", lambda: os.path.isfile(s.path("quellmark-run.log")) and
                   open(s.path("quellmark-run.log")).read())
    check("cwd=" + os.path.realpath(s.folder) in log, "the engine started in the demo folder")
    check("argc=1" in log, "the engine got no arguments")


def scenario_escape_cancels(s):
    """Escape is Cancel: terrain.ini stays byte for byte, nothing starts."""
    before = b"WIDTH = 1024\nHEIGHT = 768\nMAP_NAME = 257x257.bmp\n"
    with open(s.path("terrain.ini"), "wb") as f:
        f.write(before)
    s.launch()
    s.key("Escape")
    s.wait_exit(0)
    with open(s.path("terrain.ini"), "rb") as f:
        check(f.read() == before, "Cancel left terrain.ini unchanged")
    time.sleep(0.5)
    check(not os.path.exists(s.path("quellmark-run.log")), "Cancel started nothing")


def scenario_tabs_and_screenshots(s):
    """Ctrl+PgDn walks the tabs in order and wraps; Ctrl+PgUp and Ctrl+Tab move too."""
    s.launch()
    order = ["General", "Texture", "OpenGL", "Controls"]
    for i, title in enumerate(order):
        wait_for(f"the {title} tab", lambda: s.selected_tab() == title, 5)
        # Every control of the page is in the tree once the page exists.
        page = s.find(s.sheet, pyatspi.ROLE_PAGE_TAB, title)
        check(s.find(page, pyatspi.ROLE_PANEL) is not None, f"the {title} page has its window")
        shot = s.screenshot(title)
        check(os.path.getsize(shot) > 0, "screenshot saved")
        s.key("ctrl+Next")
    wait_for("Ctrl+PgDn to wrap to General", lambda: s.selected_tab() == "General", 5)
    s.key("ctrl+Prior")
    wait_for("Ctrl+PgUp back to Controls", lambda: s.selected_tab() == "Controls", 5)
    s.key("ctrl+Tab")
    wait_for("Ctrl+Tab on to General", lambda: s.selected_tab() == "General", 5)
    s.key("ctrl+shift+Tab")
    wait_for("Ctrl+Shift+Tab back to Controls", lambda: s.selected_tab() == "Controls", 5)
    s.key("Escape")
    s.wait_exit(0)


def scenario_validation_message(s):
    """A failed check shows its box, which can be found by its text and dismissed; the user
    stays on the tab."""
    s.launch()
    width = s.control(pyatspi.ROLE_TEXT, "Screen Width")
    s.focus(width)
    s.key("ctrl+a")
    s.type("12x")
    s.key("ctrl+Next")
    box, caption = s.message_box("Enter a whole number.")
    check(caption == "Sandrel", f"the framework's box has the application's caption, not '{caption}'")
    check(s.find(box, pyatspi.ROLE_PUSH_BUTTON, "OK") is not None, "the box has an OK button")
    s.key("Return")
    wait_for("the box to close", lambda: s.top_level("Sandrel", pyatspi.ROLE_ALERT) is None, 5)
    check(s.selected_tab() == "General", "a failed check keeps the user on the tab")
    check(s.proc.poll() is None, "the launcher still runs")
    s.focus_window("^Sandrel$")
    s.key("Escape")
    s.wait_exit(0)


def scenario_write_error_keeps_the_sheet(s):
    """A terrain.ini that cannot be written: OK shows the error box, with the file and the
    system's reason under its words, while the sheet stays open; Cancel then ends with status 3
    and a line on standard error, and nothing is started. An engine that cannot start is told
    after the sheet has closed, with status 4."""
    os.mkdir(s.path("terrain.ini"))  # a directory: not writable even by root
    s.launch()
    s.key("Return")
    box, caption = s.message_box("couldn't write configuration")
    check(caption == "error", f"the error box's caption is 'error', not '{caption}'")
    check(s.find(box, pyatspi.ROLE_LABEL, "couldn't write configuration\n" + os.path.join(
        os.path.realpath(s.folder), "terrain.ini") + ": Is a directory") is not None,
        "the box names the file and the reason")
    time.sleep(1.0)
    check(s.proc.poll() is None, "the box waits for the user")
    check(s.top_level("Sandrel", pyatspi.ROLE_FRAME) is not None, "the sheet stays open behind the box")
    s.focus_window("^error$")
    s.key("Return")
    wait_for("the box to close", lambda: s.top_level("error", pyatspi.ROLE_ALERT) is None, 5)
    s.focus_window("^Sandrel$")
    s.key("Escape")
    s.wait_exit(3)
    check(not os.path.exists(s.path("quellmark-run.log")), "the engine was not started")
    said = open(s.path("launcher-output.txt")).read().splitlines()
    check("sandrel: couldn't write terrain.ini: Is a directory" in said, f"standard error said {said}")

    os.rmdir(s.path("terrain.ini"))
    os.remove(s.path("Quellmark.exe"))
    s.launch()
    s.key("Return")
    s.message_box("couldn't start engine")
    s.focus_window("^error$")
    s.key("Return")
    s.wait_exit(4)
    check(os.path.isfile(s.path("terrain.ini")), "the settings were written before the start failed")
    said = open(s.path("launcher-output.txt")).read().splitlines()
    check("sandrel: couldn't start Quellmark.exe: No such file or directory" in said,
          f"standard error said {said}")


def scenario_keyboard_and_screen_reader(s):
    """As a keyboard and screen-reader user meets the sheet: Tab walks General in reading order,
    each control with its access key; Alt and a key reach a label's edit and a tab; the preview
    says what it shows, and its words follow the picture; and OK into a terrain.ini that cannot be
    written keeps the sheet open with the edits, so that OK once it can be written saves them."""
    os.mkdir(s.path("terrain.ini"))
    s.launch()
    text, box, button = pyatspi.ROLE_TEXT, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_PUSH_BUTTON
    expected = [(text, "Select Map"), (button, "..."), (text, "Screen Width"), (text, "Height"),
                (box, "Benchmark Mode"), (box, "perform frustum culling"), (box, "demonstrate frustum culling"),
                (box, "run in fullscreen"), (text, "global Detail"), (text, "local Detail"),
                (text, "minimum Detail"), (text, "maximum Detail"), (button, "OK"), (button, "Cancel"),
                (button, "Help")]
    walked = []
    for _ in expected:
        s.key("Tab")
        # The old control drops its focus before the new one reports it, later on a loaded machine.
        before = walked[-1] if walked else None
        try:
            walked.append(wait_for("the focus to move", lambda: (now := s.focused()) != before and now, 5))
        except Failure:
            walked.append(s.focused())
    check(walked == expected, f"Tab walks General as it is laid out: {walked}")
    width = s.control(text, "Screen Width")
    check(width.queryAction().getKeyBinding(0) == "<Alt>w", "the width edit's key is Alt+W")

    preview = s.control(pyatspi.ROLE_IMAGE, "Height map preview")
    check(preview.description == "257 \u00d7 257, 8-bit grey", f"the preview says '{preview.description}'")
    name = s.control(text, "Select Map")
    s.focus(name)
    s.key("ctrl+a")
    s.type("x.bmp")
    wait_for("the preview to say so", lambda: preview.description == "file not found", 5)
    s.key("ctrl+a")
    s.type("257x257.bmp")
    wait_for("the preview's words back", lambda: preview.description == "257 \u00d7 257, 8-bit grey", 5)

    s.key("alt+w")
    wait_for("Alt+W to reach the width edit", lambda: width.getState().contains(pyatspi.STATE_FOCUSED), 5)
    s.key("ctrl+a")
    s.type("1024")
    s.key("alt+t")
    wait_for("Alt+T to open Texture", lambda: s.selected_tab() == "Texture", 5)
    s.control(text, "Texture file")
    s.screenshot_screen("keyboard-texture")

    s.key("Return")
    s.message_box("couldn't write configuration")
    check(s.top_level("Sandrel", pyatspi.ROLE_FRAME) is not None, "the sheet stays open")
    s.focus_window("^error$")
    s.key("Return")
    wait_for("the box to close", lambda: s.top_level("error", pyatspi.ROLE_ALERT) is None, 5)
    check(s.selected_tab() == "Texture", "the sheet is as the user left it")
    check(s.text_of(width) == "1024", "the edit is kept")
    os.rmdir(s.path("terrain.ini"))
    s.focus_window("^Sandrel$")
    s.key("Return")
    s.wait_exit(0)
    with open(s.path("terrain.ini")) as f:
        check("WIDTH = 1024" in f.read().splitlines(), "OK once more saved the edit")
    wait_for("the engine's record", lambda: os.path.isfile(s.path("quellmark-run.log")))


def scenario_typing_clicking_sliding(s):
    """Key edits upper-case and hold one letter; the culling boxes are coupled; the slider
    moves by keyboard and its edit follows; all of it reaches terrain.ini. Each control's
    accessible description says what it holds, what it accepts and its default."""
    s.launch()
    width = s.control(pyatspi.ROLE_TEXT, "Screen Width")
    check(width.description == setting_description("WIDTH"),
          f"the width edit is described (got '{width.description}')")
    # General: the culling boxes.
    perform = s.control(pyatspi.ROLE_CHECK_BOX, "perform frustum culling")
    demonstrate = s.control(pyatspi.ROLE_CHECK_BOX, "demonstrate frustum culling")
    check(perform.description.endswith("On or off. Default: on."), f"a check box is described: '{perform.description}'")
    if s.checked(perform):
        s.click(perform)
        wait_for("perform to clear", lambda: not s.checked(perform), 5)
    s.click(demonstrate)
    wait_for("demonstrate to be set", lambda: s.checked(demonstrate), 5)
    wait_for("setting demonstrate to set perform", lambda: s.checked(perform), 5)
    s.click(perform)
    wait_for("clearing perform to clear demonstrate", lambda: not s.checked(demonstrate), 5)
    check(not s.checked(perform), "perform stays clear")
    s.click(perform)
    wait_for("perform set again", lambda: s.checked(perform), 5)
    check(not s.checked(demonstrate), "setting perform leaves demonstrate alone")

    # Texture: the slider by keyboard, the edit follows.
    s.key("ctrl+Next")
    wait_for("the Texture tab", lambda: s.selected_tab() == "Texture", 5)
    slider = wait_for("the slider", lambda: s.find(s.sheet, pyatspi.ROLE_SLIDER))
    edge = s.control(pyatspi.ROLE_TEXT, "texture edge length (in map coordinates)")
    check(slider.description == edge.description and "Default: 1.0." in slider.description,
          f"the slider is described as its edit: '{slider.description}'")
    s.focus(slider)
    s.key("End")
    wait_for("the edit to show 2048", lambda: s.text_of(edge) == "2048", 5)
    s.key("Home")
    wait_for("the edit to show 0", lambda: s.text_of(edge) == "0", 5)
    s.key("Right", "Right", "Right")
    wait_for("the edit to show 3", lambda: s.text_of(edge) == "3", 5)

    # Controls: a key edit.
    s.key("ctrl+Next", "ctrl+Next")
    wait_for("the Controls tab", lambda: s.selected_tab() == "Controls", 5)
    strafe = s.control(pyatspi.ROLE_TEXT, "strafe left")
    check(strafe.description == "Key that strafes left. One letter. Default: S.",
          f"a key edit is described: '{strafe.description}'")
    s.focus(strafe)
    s.key("ctrl+a")
    s.type("q")
    wait_for("a typed q to show as Q", lambda: s.text_of(strafe) == "Q", 5)
    s.type("w")
    time.sleep(0.3)
    check(s.text_of(strafe) == "Q", f"a second letter is refused (shows '{s.text_of(strafe)}')")
    # The culling toggle takes any length: letters arrive upper-cased and in typing order.
    toggle = s.control(pyatspi.ROLE_TEXT, "toggle frustum culling")
    check("Any text." in toggle.description, f"the culling toggle is described: '{toggle.description}'")
    s.focus(toggle)
    s.key("ctrl+a")
    s.type("abc")
    wait_for("abc to show as ABC", lambda: s.text_of(toggle) == "ABC", 5)
    s.key("Return")
    s.wait_exit(0)
    with open(s.path("terrain.ini")) as f:
        lines = f.read().splitlines()
    check("STRAFE_LEFT = Q" in lines, "the binding reached terrain.ini")
    check("CULL_SWITCH = ABC" in lines, "the culling toggle reached terrain.ini")
    check("SHOW_CULL = 0" in lines and "FRUSTUM_CULLING = 1" in lines, "the culling boxes reached terrain.ini")
    check(any(line.startswith("TEXTURE_EDGE_LEN = 3.") for line in lines), "the edge length reached terrain.ini")


def scenario_help(s):
    """F1 opens the help viewer at welcome.htm beside the sheet; its contents, index, search and
    Back take clicks and keys while the sheet keeps running, and it closes with the launcher."""
    s.launch()
    s.key("F1")
    viewer = wait_for("the help window", lambda: s.top_level("Sandrel Help"))
    check("Welcome" in viewer.name, f"the help shows welcome.htm ('{viewer.name}')")
    check(s.proc.poll() is None, "the launcher still runs")

    def shows(title):
        wait_for(f"the help to show '{title}'",
                 lambda: (s.top_level("Sandrel Help") or viewer).name.endswith(title), 5)

    def showing(role, name=None):
        def match(acc):
            return (acc is not None and acc.getRole() == role and (name is None or acc.name == name)
                    and acc.getState().contains(pyatspi.STATE_SHOWING))
        return wait_for(f"{role} '{name}' in the help", lambda: pyatspi.findDescendant(viewer, match), 5)

    def click(acc):  # the pointer's own click: the sheet's modal grab must not swallow it
        box = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2),
                        "click", "1"], check=True)
        time.sleep(0.3)

    s.focus_window("^Sandrel Help")
    # Contents: the tree takes the focus from a click below its items; Down goes to the next topic.
    tree = showing(pyatspi.ROLE_PAGE_TAB, "Contents").getChildAtIndex(0)
    box = tree.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2), str(box.y + box.height - 20),
                    "click", "1"], check=True)
    s.key("Home", "Down")
    shows("General tab")
    # Index: a key leads to its topic.
    click(showing(pyatspi.ROLE_PAGE_TAB, "Index"))
    s.focus(showing(pyatspi.ROLE_TEXT))
    s.type("CULL_SWITCH")
    s.key("Return")
    click(showing(pyatspi.ROLE_TABLE_CELL, "CULL_SWITCH"))
    shows("Controls tab")
    # Search: a word leads to the topic that holds it.
    click(showing(pyatspi.ROLE_PAGE_TAB, "Search"))
    s.focus(showing(pyatspi.ROLE_TEXT))
    s.type("greyscale")
    s.key("Return")
    shows("General tab")
    click(showing(pyatspi.ROLE_PUSH_BUTTON, "Go back"))
    shows("Controls tab")
    s.screenshot_screen("help")

    # The sheet still takes its keys (the search's progress box disabled it for a moment).
    s.focus_window("^Sandrel$")
    s.key("Escape")
    s.wait_exit(0)
    check(s.top_level("Sandrel Help") is None, "the help closed with the launcher")


def scenario_installed_help(s):
    """In a folder without Sandrel.chm, F1 opens the help file installed with the program. Any
    window of the launcher's besides the sheet counts, whichever viewer shows the help."""
    os.remove(s.path("Sandrel.chm"))
    s.launch()
    s.key("F1")
    def help_window():
        app = s.app()
        for i in range(app.childCount if app else 0):
            window = app.getChildAtIndex(i)
            if window is not None and window.name != s.sheet.name and window.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG):
                return window
        return None
    window = wait_for("a help window", help_window)
    print(f"help window: '{window.name}'")
    check(s.proc.poll() is None, "the launcher still runs")
    s.focus_window("^Sandrel$")
    s.key("Escape")
    s.wait_exit(0)


def scenario_unknown_argument(s):
    """An argument the launcher does not know is named in one line on stderr, and changes
    nothing else: the sheet comes up, and Enter writes terrain.ini and starts the engine."""
    s.launch("--frontend-option")
    s.key("Return")
    s.wait_exit(0)
    check(os.path.isfile(s.path("terrain.ini")), "Enter wrote terrain.ini")
    log = wait_for("the engine's record", lambda: os.path.isfile(s.path("quellmark-run.log")) and
                   open(s.path("quellmark-run.log")).read())
    check("argc=1" in log.splitlines(), "the engine was started without arguments")
    s.log.close()
    with open(s.path("launcher-output.txt")) as f:
        said = [line for line in f.read().splitlines() if line.startswith("sandrel:")]
    check(said == ["sandrel: ignoring unknown arguments: '--frontend-option'"], f"the launcher said {said}")


def scenario_browse(s):
    """"..." opens the file chooser in the current directory; a file chosen there comes back as
    its bare name, and the preview checks it."""
    s.launch()
    # By keyboard: an accessibility action would wait on the chooser's modal loop.
    s.focus(s.control(pyatspi.ROLE_PUSH_BUTTON, "..."))
    s.key("space")
    chooser = wait_for("the file chooser", lambda: s.top_level("Open", pyatspi.ROLE_FILE_CHOOSER))
    check(chooser is not None, "the chooser opened")
    s.focus_window("^Open$")
    s.key("ctrl+l")
    s.type("G.bmp")
    s.key("Return")
    s.message_box("map has to be 8 bit grayscale, square and of size 2**n+1")
    s.focus_window("^Sandrel$")
    s.key("Return")
    wait_for("the box to close", lambda: s.top_level("Sandrel", pyatspi.ROLE_ALERT) is None, 5)
    name = s.control(pyatspi.ROLE_TEXT, "Select Map")
    check(s.text_of(name) == "G.bmp", f"the chosen file comes back as its bare name ('{s.text_of(name)}')")
    # The chooser left the current directory alone: OK writes and starts there. (Enter on the
    # focused "..." would open the chooser again, as on any focused button.)
    s.focus_window("^Sandrel$")
    s.focus(name)
    s.key("Return")
    s.wait_exit(0)
    with open(s.path("terrain.ini")) as f:
        check("MAP_NAME = G.bmp" in f.read().splitlines(), "the chosen name reached terrain.ini")
    log = wait_for("the engine's record", lambda: os.path.isfile(s.path("quellmark-run.log")) and
                   open(s.path("quellmark-run.log")).read())
    check("cwd=" + os.path.realpath(s.folder) in log, "the engine started in the folder the launcher began in")


def scenario_wine_engine(s):
    """The Windows stand-in engine (SANDREL_WIN_ENGINE) in the folder, run by Wine: the map is
    named the Windows way (MAPS\\BIG.BMP for maps/big.bmp), the texture is picked with "..."
    outside the folder under a name outside ASCII, and OK starts the engine through Wine, which
    records whether each name opens. Then the same folder without Wine, and with a 32-bit engine
    where Wine has no 32-bit half: the box, status 4, and a line saying what to install."""
    engine = os.environ.get("SANDREL_WIN_ENGINE")
    check(engine and os.path.isfile(engine), "SANDREL_WIN_ENGINE names the Windows stand-in engine")
    shutil.copy(engine, s.path("Quellmark.exe"))
    os.mkdir(s.path("maps"))
    shutil.copy(s.path("257x257.bmp"), s.path("maps/big.bmp"))
    with open(s.path("terrain.ini"), "wb") as f:
        f.write(b"MAP_NAME = MAPS\\BIG.BMP\r\n")
    far = tempfile.mkdtemp(prefix="sandrel-far-")
    try:
        os.mkdir(os.path.join(far, "café"))
        texture = os.path.join(far, "café", "t.bmp")
        shutil.copy(s.path("G.bmp"), texture)
        env = dict(os.environ, LC_ALL="C.UTF-8")
        s.launch(env=env)
        time.sleep(1.0)
        check(s.top_level("Sandrel", pyatspi.ROLE_ALERT) is None, "MAPS\\BIG.BMP previews without a message")
        s.screenshot("wine-engine-general")
        s.key("ctrl+Next")
        wait_for("the Texture tab", lambda: s.selected_tab() == "Texture", 5)
        page = s.find(s.sheet, pyatspi.ROLE_PAGE_TAB, "Texture")
        s.focus(wait_for("the Texture page's ...", lambda: s.find(page, pyatspi.ROLE_PUSH_BUTTON, "...")))
        s.key("space")
        chooser = wait_for("the file chooser", lambda: s.top_level("Open", pyatspi.ROLE_FILE_CHOOSER))
        s.focus_window("^Open$")
        s.key("ctrl+l")
        def location():
            return pyatspi.findDescendant(chooser, lambda a: a is not None and a.getRole() == pyatspi.ROLE_TEXT
                                          and a.getState().contains(pyatspi.STATE_FOCUSED))
        wait_for("the chooser's location", location, 5).queryEditableText().setTextContents(texture)
        time.sleep(0.3)
        s.key("Return")
        dos = "Z:" + os.path.realpath(texture).replace("/", "\\")
        wait_for("the texture's DOS path", lambda: s.text_of(s.find(page, pyatspi.ROLE_TEXT, "Texture file")) == dos, 5)
        s.screenshot("wine-engine-texture")
        s.focus_window("^Sandrel$")
        s.focus(s.find(page, pyatspi.ROLE_TEXT, "Texture file"))
        s.key("Return")
        s.wait_exit(0)
        with open(s.path("terrain.ini"), "rb") as f:
            written = f.read().splitlines()
        check(b"MAP_NAME = MAPS\\BIG.BMP" in written, f"the map's name is kept: {written}")
        check(b"TEXTURE_NAME = " + dos.encode("cp1252") in written, "the texture's name is in code page 1252")
        log = wait_for("the Windows engine's record", lambda: os.path.isfile(s.path("quellmark-run.log")) and
                       open(s.path("quellmark-run.log"), "rb").read(), 90)
        record = log.split(b"terrain.ini=")[0].decode("cp1252")
        print("the Windows stand-in recorded:\n" + record, end="", flush=True)
        check("cwd=Z:" + os.path.realpath(s.folder).replace("/", "\\") in record, "the engine ran in the folder")
        check("bitmap MAP_NAME=MAPS\\BIG.BMP: opens" in record, "the engine opens MAPS\\BIG.BMP")
        check(f"bitmap TEXTURE_NAME={dos}: opens" in record, "the engine opens the texture picked outside the folder")
    finally:
        shutil.rmtree(far, ignore_errors=True)

    def start_fails(env, expected):
        if os.path.exists(s.path("quellmark-run.log")):
            os.remove(s.path("quellmark-run.log"))
        s.launch(env=env)
        s.key("Return")
        s.message_box("couldn't start engine")
        s.focus_window("^error$")
        s.key("Return")
        s.wait_exit(4)
        s.log.close()
        said = [line for line in open(s.path("launcher-output.txt")).read().splitlines() if line.startswith("sandrel:")]
        print("standard error: " + " | ".join(said), flush=True)
        check(said == [expected], f"standard error said {said}")
        check(not os.path.exists(s.path("quellmark-run.log")), "nothing was started")

    no_wine = dict(os.environ, LC_ALL="C.UTF-8", PATH="/nonexistent")
    no_wine.pop("WINE", None)
    start_fails(no_wine, "sandrel: Quellmark.exe is a Windows program; install Wine (apt install wine) or set WINE to "
                         "the wine program to use")
    if not os.path.exists("/usr/lib/wine/wine") and os.path.exists("/usr/lib/wine/wine64"):
        # The stand-in's headers made those of a 32-bit program: refused before anything starts.
        with open(s.path("Quellmark.exe"), "r+b") as f:
            head = f.read(0x40)
            pe = int.from_bytes(head[0x3C:0x40], "little")
            f.seek(pe + 4)
            f.write((0x14C).to_bytes(2, "little"))
        start_fails(dict(os.environ, LC_ALL="C.UTF-8"),
                    "sandrel: Quellmark.exe is a 32-bit Windows program, and this Wine runs 64-bit programs only; "
                    "add its 32-bit part as root: dpkg --add-architecture i386 && apt update && apt install "
                    "wine32:i386")


SCENARIOS = {
    "enter_writes_and_starts": scenario_enter_writes_and_starts,
    "escape_cancels": scenario_escape_cancels,
    "tabs_and_screenshots": scenario_tabs_and_screenshots,
    "validation_message": scenario_validation_message,
    "write_error_keeps_the_sheet": scenario_write_error_keeps_the_sheet,
    "keyboard_and_screen_reader": scenario_keyboard_and_screen_reader,
    "typing_clicking_sliding": scenario_typing_clicking_sliding,
    "help": scenario_help,
    "browse": scenario_browse,
    "installed_help": scenario_installed_help,
    "unknown_argument": scenario_unknown_argument,
    "wine_engine": scenario_wine_engine,
}


def run_inside(args):
    global pyatspi
    import pyatspi
    e2e_session.pyatspi = pyatspi
    passed = failed = 0
    for name in args.scenarios or list(SCENARIOS):
        session = None
        try:
            session = Session(args, name)
            SCENARIOS[name](session)
            print(f"PASS {name}", flush=True)
            passed += 1
        except Exception as error:
            print(f"FAIL {name}: {error}", flush=True)
            if not isinstance(error, Failure):
                traceback.print_exc()
            if session is not None:
                try:
                    print(open(session.path("launcher-output.txt")).read(), end="")
                except OSError:
                    pass
            failed += 1
        finally:
            if session is not None:
                session.close()
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--make-demo", required=True)
    parser.add_argument("--screenshots", required=True)
    parser.add_argument("--inside", action="store_true", help=argparse.SUPPRESS)
    parser.add_argument("scenarios", nargs="*")
    args = parser.parse_args()
    if args.inside:
        return run_inside(args)
    if shutil.which("Xvfb") is None:
        print("Xvfb is not installed: the GUI tests are skipped")
        return SKIP
    unknown = [n for n in args.scenarios if n not in SCENARIOS]
    if unknown:
        print("unknown scenarios: " + ", ".join(unknown))
        return 2
    # Room for the sheet at twice the scale, which would otherwise reach past the screen's edge.
    screen = "2560x2048x24" if os.environ.get("GDK_SCALE") == "2" else "1280x1024x24"
    command = ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), "--inside",
               "--program", os.path.abspath(args.program), "--make-demo", os.path.abspath(args.make_demo),
               "--screenshots", os.path.abspath(args.screenshots)] + args.scenarios
    return run_on_xvfb(command, screen, accessibility=True)


if __name__ == "__main__":
    sys.exit(main())
