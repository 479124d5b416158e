#!/usr/bin/python3
"""End-to-end checks of Sandrel.exe under Wine, in a stage that wine_stage.py has set up with a
display: the real program in a folder as a user has it, driven by keys (xdotool) and read back
through its own windows (wintext.exe). Screenshots go to build/screenshots/win64/ and
build/screenshots/win64-dpi/.

Usage: win_e2e.py STAGE SCENARIO [--out DIR]
  DIR holds Sandrel.exe, Quellmark.exe and tests/wintext.exe (default build/win64).
Exit status: 0 passed, 1 failed, 77 skipped (the zip is not made yet).
"""

import os
import shutil
import struct
import subprocess
import sys
import time

from wine_stage import ROOT, SKIP, stage_env

E2E = os.path.join(ROOT, "build", "win64-e2e")
SHOTS = os.path.join(ROOT, "build", "screenshots", "win64")
DPI_SHOTS = os.path.join(ROOT, "build", "screenshots", "win64-dpi")


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)
    print("ok: " + message, flush=True)


class Stage:
    def __init__(self, stage, out):
        self.stage = stage
        self.out = out
        self.env = stage_env(stage)

    def wintext(self, title=None):
        command = ["wine", os.path.join(self.out, "tests", "wintext.exe")] + ([title] if title else [])
        result = subprocess.run(command, env=self.env, cwd=os.path.join(self.out, "tests"),
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        return result.stdout.decode("cp1252", errors="replace").replace("\r", "")

    def wait_window(self, title, tries=150):
        """Waits until a visible window of this title exists."""
        for _ in range(tries):
            if ("window " + title) in self.wintext(title).splitlines():
                return True
            time.sleep(0.2)
        return False

    def control(self, title, control_id):
        """The fields of a control of the window: class id left top right bottom text."""
        for line in self.wintext(title).splitlines():
            fields = line.split(None, 6)
            if len(fields) >= 6 and fields[1] == str(control_id):
                return fields
        return None

    def text_of(self, title, control_id):
        fields = self.control(title, control_id)
        return fields[6] if fields and len(fields) > 6 else ""

    def xwindow(self, title):
        result = subprocess.run(["xdotool", "search", "--name", f"^{title}$"], env=self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        ids = result.stdout.split()
        return ids[0].decode() if ids else None

    def key(self, title, *keys):
        window = self.xwindow(title)
        if window:
            subprocess.run(["xdotool", "windowfocus", "--sync", window], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run(["xdotool", "key", "--delay", "80", *keys], env=self.env)
        time.sleep(0.4)

    def click(self, title, control_id):
        fields = self.control(title, control_id)
        if not fields:
            return False
        left, top, right, bottom = (int(v) for v in fields[2:6])
        subprocess.run(["xdotool", "mousemove", str((left + right) // 2), str((top + bottom) // 2), "click", "1"],
                       env=self.env)
        time.sleep(0.3)
        return True

    def shoot(self, path, window="root"):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["import", "-window", window, path], env=self.env, stderr=subprocess.DEVNULL)

    def launch(self, folder, program=None, **extra):
        env = dict(self.env, **extra)
        log = open(os.path.join(folder, "wine.log"), "wb")
        return subprocess.Popen(["wine", program or "Sandrel.exe"], cwd=folder, env=env, stdout=log,
                                stderr=subprocess.STDOUT)

    def winepath(self, path):
        result = subprocess.run(["winepath", "-w", path], env=self.env, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL)
        return result.stdout.decode().strip()

    def end_wine(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)


def wait_gone(process, seconds=10):
    try:
        process.wait(timeout=seconds)
        return True
    except subprocess.TimeoutExpired:
        return False


def write_bmp(path, w, h, bits):
    row = ((w * bits + 31) // 32) * 4
    table = b"".join(struct.pack("<4B", i, i, i, 0) for i in range(256)) if bits == 8 else b""
    off = 54 + len(table)
    pixels = bytearray()
    for y in range(h):
        if bits == 8:
            line = bytes((x * 255 // max(1, w - 1)) for x in range(w))
        else:
            line = b"".join(bytes((x % 256, y % 256, 128)) for x in range(w))
        pixels += line + b"\0" * (row - len(line))
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", off + len(pixels), 0, 0, off))
        f.write(struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(pixels), 2835, 2835, 0, 0))
        f.write(table + pixels)


def make_folder(s, name, with_program=True):
    """A folder as a user has it: the launcher, the engine, the help file and bitmaps."""
    folder = os.path.join(E2E, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    names = ["Sandrel.exe", "Quellmark.exe"] if with_program else ["Quellmark.exe"]
    for program in names:
        shutil.copy(os.path.join(s.out, program), folder)
    chm = os.path.join(ROOT, "build", "ci", "Sandrel.chm")
    if with_program and os.path.isfile(chm):
        shutil.copy(chm, folder)
    write_bmp(os.path.join(folder, "257x257.bmp"), 257, 257, 8)
    write_bmp(os.path.join(folder, "G.bmp"), 256, 256, 24)
    return folder


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return b""


def wait_file(path, seconds=10):
    deadline = time.monotonic() + seconds
    while not os.path.isfile(path) and time.monotonic() < deadline:
        time.sleep(0.2)


def scenario_enter(s):
    """Enter writes terrain.ini with CR LF line ends and starts the Windows stand-in engine; the
    tabs are photographed on the way, and a key edit upper-cases what is typed."""
    folder = make_folder(s, "enter")
    proc = s.launch(folder)
    check(s.wait_window("Sandrel"), "the sheet opens")
    time.sleep(1)
    s.shoot(os.path.join(SHOTS, "1-general.png"))
    for n, tab in ((2, "texture"), (3, "opengl"), (4, "controls")):
        s.key("Sandrel", "ctrl+Tab")
        s.shoot(os.path.join(SHOTS, f"{n}-{tab}.png"))
    s.click("Sandrel", 1009)
    s.key("Sandrel", "End", "BackSpace", "q")
    typed = s.text_of("Sandrel", 1009)
    check(typed == "Q", f"a key edit upper-cases: q gives Q (shows '{typed}')")
    s.key("Sandrel", "Return")
    check(wait_gone(proc), "the launcher ends")
    ini = read(os.path.join(folder, "terrain.ini"))
    lines = ini.split(b"\n")[:-1]
    check(len(lines) == 40 and all(line.endswith(b"\r") for line in lines),
          f"Enter wrote terrain.ini: 40 lines, all CR LF ({len(lines)} lines)")
    check(b"\nSTRAFE_LEFT = Q\r\n" in ini, "the typed key reached terrain.ini")
    record = os.path.join(folder, "quellmark-run.log")
    wait_file(record)
    text = read(record).decode(errors="replace").splitlines()
    check("argc=1" in text and any(line.startswith("terrain.ini=") and line.endswith(" bytes") for line in text),
          "the stand-in Quellmark.exe started in the folder, without arguments, after terrain.ini was written")


def scenario_escape(s):
    """Escape closes the sheet and writes nothing, starts nothing."""
    folder = make_folder(s, "escape")
    before = b"WIDTH = 1024\nHEIGHT = 768\n"
    with open(os.path.join(folder, "terrain.ini"), "wb") as f:
        f.write(before)
    proc = s.launch(folder)
    check(s.wait_window("Sandrel"), "the sheet opens")
    time.sleep(0.5)
    check(s.text_of("Sandrel", 1001) == "1024", "the sheet shows terrain.ini's values")
    s.key("Sandrel", "Escape")
    check(wait_gone(proc), "the launcher ends")
    check(read(os.path.join(folder, "terrain.ini")) == before
          and not os.path.exists(os.path.join(folder, "quellmark-run.log")),
          "Escape changed nothing and started nothing")


def scenario_wrong_shape(s):
    """A map of the wrong shape is answered with the page's message (caption Sandrel) and the
    fallback picture."""
    folder = make_folder(s, "wrong-shape")
    with open(os.path.join(folder, "terrain.ini"), "wb") as f:
        f.write(b"MAP_NAME = G.bmp\n")
    proc = s.launch(folder)
    check(s.wait_window("Sandrel"), "the sheet opens")
    time.sleep(0.5)
    shown = s.wintext("Sandrel")
    check("map has to be 8 bit grayscale, square and of size 2**n+1" in shown,
          "a wrong-shaped map gives its message in a box captioned Sandrel")
    s.shoot(os.path.join(SHOTS, "5-wrong-shape-message.png"))
    s.key("Sandrel", "Return")  # confirms the message
    time.sleep(1)
    s.shoot(os.path.join(SHOTS, "6-fallback.png"))
    s.key("Sandrel", "Escape")
    check(wait_gone(proc), "the launcher ends")


def scenario_libraries(s):
    """The first screen loads only what it shows: the file dialog's comdlg32 (which brings the
    shell's libraries) and the screen readers' oleacc and oleaut32 wait for "..." and for a screen
    reader, and then come from the system folder, though files of their names lie beside the
    program. The tooltips, made only once the pointer moves over the sheet, still show. With
    comdlg32 missing, "..." says so in the chooser's box and the name stays."""
    folder = make_folder(s, "libraries")
    for dll in ("comdlg32", "oleacc", "oleaut32"):
        with open(os.path.join(folder, dll + ".dll"), "wb") as f:
            f.write(b"not a library")
    log = os.path.join(folder, "wine.log")
    proc = s.launch(folder, WINEDEBUG="-all,err+winediag,+loaddll,+pid")

    def loaded():
        text = read(log).decode(errors="replace")
        first = next((line for line in text.splitlines() if '\\Sandrel.exe"' in line), "")
        pid = first.split(":", 1)[0]
        # The trace doubles each backslash of a name.
        return [line.split('Loaded L"', 1)[1].split('"', 1)[0].lower().replace("\\\\", "\\")
                for line in text.splitlines()
                if pid and line.startswith(pid + ":") and 'Loaded L"' in line]

    check(s.wait_window("Sandrel"), "the sheet opens")
    time.sleep(1)
    early = [dll for dll in loaded() if dll.rsplit("\\", 1)[-1] in
             ("comdlg32.dll", "shell32.dll", "oleacc.dll", "oleaut32.dll")]
    check(not early, f"the first screen loads neither comdlg32 nor the shell, oleacc or oleaut32 ({early})")
    left, top, right, bottom = (int(v) for v in s.control("Sandrel", 1001)[2:6])  # Screen Width
    for dx in (0, 2):
        subprocess.run(["xdotool", "mousemove", str((left + right) // 2 + dx), str((top + bottom) // 2)], env=s.env)
        time.sleep(0.2)
    time.sleep(1.5)
    shown = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(proc.pid)], env=s.env,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.split()
    check(len(shown) >= 2, f"the pointer resting on Screen Width shows its tooltip ({len(shown)} windows shown)")
    subprocess.run(["xdotool", "mousemove", "0", "0"], env=s.env)
    s.click("Sandrel", 1004)
    check(s.wait_window("Open", 50), '"..." opens the file dialog')
    check("c:\\windows\\system32\\comdlg32.dll" in loaded(),
          "the file dialog's comdlg32 comes from the system folder, beside a stray comdlg32.dll")
    s.key("Open", "Escape")
    s.key("Sandrel", "Escape")
    check(wait_gone(proc), "the launcher ends")

    proc = s.launch(folder, WINEDLLOVERRIDES="mscoree,mshtml=;comdlg32=d")
    check(s.wait_window("Sandrel"), "the sheet opens without comdlg32")
    time.sleep(0.5)
    s.click("Sandrel", 1004)
    time.sleep(1)
    said = [line for line in s.wintext("Sandrel").splitlines() if "the file dialog can't be shown: comdlg32.dll: " in line]
    check(said, f'without comdlg32, "..." says so: {said}')
    s.shoot(os.path.join(SHOTS, "7-no-file-dialog.png"))
    s.key("Sandrel", "Return")
    check(s.text_of("Sandrel", 1014) == "257x257.bmp", "the map's name stays as it was")
    s.key("Sandrel", "Escape")
    check(wait_gone(proc), "the launcher ends without comdlg32")


def expect_help_call(s, log, chm, tail, what):
    """Presses F1 on the sheet and looks in the program's htmlhelp trace for the call that shows
    the welcome topic of the help file chm (as the trace escapes it), followed by tail. Wine's
    viewer shows no content, so the call itself is checked, as hhctrl.ocx traces it (HtmlHelpA
    passes it on to HtmlHelpW unchanged): no owner, the help file by its full path with its
    topic, HH_DISPLAY_TOPIC, data 0."""
    time.sleep(0.5)
    s.key("Sandrel", "F1")
    time.sleep(2)
    escaped = chm.replace("\\", "\\\\")
    call = f'HtmlHelpW (0000000000000000, L"{escaped}::/welcome.htm", command=HH_DISPLAY_TOPIC{tail}'
    check(call in read(log).decode(errors="replace"), what)


def scenario_help(s):
    """The folder also holds a file named like the help library, as a downloads folder might: the
    program loads the system's own."""
    folder = make_folder(s, "help")
    with open(os.path.join(folder, "hhctrl.ocx"), "wb") as f:
        f.write(b"not a library")
    proc = s.launch(folder, WINEDEBUG="-all,err+winediag,trace+htmlhelp")
    check(s.wait_window("Sandrel"), "the sheet opens")
    expect_help_call(s, os.path.join(folder, "wine.log"), s.winepath(os.path.join(folder, "Sandrel.chm")),
                     ", data=0)", "F1 calls the system's HtmlHelpA with the full path of Sandrel.chm::/welcome.htm, "
                     "beside a stray hhctrl.ocx")
    s.end_wine()
    wait_gone(proc)


def scenario_zip(s):
    """The zip as a user unpacks it into the engine's folder (after `make package`): Enter writes
    terrain.ini and starts the engine. Then Sandrel.exe is started from another folder, which has
    no help file: F1 hands HtmlHelpA the one beside the program, by its full path."""
    cache = read(os.path.join(ROOT, "build", "win64-build", "CMakeCache.txt")).decode()
    version = next((line.split("=", 1)[1] for line in cache.splitlines()
                    if line.startswith("CMAKE_PROJECT_VERSION:STATIC=")), "")
    archive = os.path.join(ROOT, "build", "packages", f"Sandrel-{version}-win64.zip")
    if not os.path.isfile(archive):
        print(f"skipped: no {archive} (make package makes it)")
        return SKIP
    import zipfile
    folder = make_folder(s, "zip", with_program=False)
    with zipfile.ZipFile(archive) as z:
        names = sorted(z.namelist())
        z.extractall(folder)
    check(names == ["README.txt", "Sandrel.chm", "Sandrel.exe"], f"the zip holds Sandrel.exe, Sandrel.chm and "
          f"README.txt ({names})")
    proc = s.launch(folder)
    check(s.wait_window("Sandrel"), "the unzipped sheet opens")
    time.sleep(0.5)
    s.key("Sandrel", "Return")
    check(wait_gone(proc), "the launcher ends")
    wait_file(os.path.join(folder, "quellmark-run.log"))
    check(read(os.path.join(folder, "terrain.ini")).count(b"\n") == 40
          and "argc=1" in read(os.path.join(folder, "quellmark-run.log")).decode(errors="replace").splitlines(),
          "unzipped beside the engine, Enter writes terrain.ini and starts Quellmark.exe")

    other = make_folder(s, "zip-elsewhere", with_program=False)
    proc = s.launch(other, os.path.join(folder, "Sandrel.exe"), WINEDEBUG="-all,err+winediag,trace+htmlhelp")
    check(s.wait_window("Sandrel"), "the sheet opens from another folder")
    expect_help_call(s, os.path.join(other, "wine.log"), s.winepath(os.path.join(folder, "Sandrel.chm")), "",
                     "without a help file in the folder, F1 calls HtmlHelpA with the one beside Sandrel.exe")
    s.end_wine()
    wait_gone(proc)


def scenario_dpi_screenshots(s):
    """The four tabs at the stage's DPI, photographed for a person to look at."""
    dpi = s.stage.rsplit("-", 1)[-1]
    folder = make_folder(s, s.stage)
    proc = s.launch(folder)
    check(s.wait_window("Sandrel"), f"the sheet opens at {dpi} DPI")
    time.sleep(1)
    window = s.xwindow("Sandrel")
    for n, tab in enumerate(("general", "texture", "opengl", "controls"), start=1):
        if n > 1:
            s.key("Sandrel", "ctrl+Tab")
        subprocess.run(["xdotool", "mousemove", "0", "0"], env=s.env)
        time.sleep(0.3)
        path = os.path.join(DPI_SHOTS, f"{dpi}-{n}-{tab}.png")
        s.shoot(path, window)
        check(os.path.isfile(path), f"{dpi} DPI: a screenshot of {tab}")
    s.key("Sandrel", "Escape")
    check(wait_gone(proc), f"{dpi} DPI: the launcher ends")


SCENARIOS = {
    "enter": scenario_enter,
    "escape": scenario_escape,
    "wrong_shape": scenario_wrong_shape,
    "libraries": scenario_libraries,
    "help": scenario_help,
    "zip": scenario_zip,
    "dpi_screenshots": scenario_dpi_screenshots,
}


def main():
    args = sys.argv[1:]
    out = os.path.join(ROOT, "build", "win64")
    if "--out" in args:
        at = args.index("--out")
        out = args[at + 1]
        del args[at:at + 2]
    if len(args) != 2 or args[1] not in SCENARIOS:
        print(__doc__, file=sys.stderr)
        return 2
    s = Stage(args[0], out)
    try:
        return SCENARIOS[args[1]](s) or 0
    except Failure as failure:
        print("FAILED: " + str(failure), flush=True)
        for log in sorted(os.listdir(E2E)) if os.path.isdir(E2E) else []:
            path = os.path.join(E2E, log, "wine.log")
            if os.path.isfile(path) and "err:winediag" in read(path).decode(errors="replace"):
                print(read(path).decode(errors="replace"))
        return 1


if __name__ == "__main__":
    sys.exit(main())
