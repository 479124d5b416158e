#!/usr/bin/python3
"""The Wine stages the Windows tests run in, for CTest: a fresh prefix each (a run without a
display leaves a desktop process behind that would make the next program's windows fail
silently), with its own Xvfb where the stage has windows.

Usage:
  wine_stage.py setup STAGE [--screen WxHxD] [--dpi N]   fresh prefix; with --screen, an Xvfb
  wine_stage.py teardown STAGE                            ends the stage's Wine and Xvfb
  wine_stage.py run STAGE [--needs PATH] -- COMMAND [ARGS...]
                                                          runs COMMAND in the stage; skipped
                                                          when PATH does not exist
Exit status: the command's (run), 0 or 1 (setup, teardown), 77 when Wine or Xvfb is missing.

Wine's winediag errors are kept visible, so that such a failure shows.
"""

import os
import shutil
import signal
import subprocess
import sys

SKIP = 77
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
STAGES = os.path.join(ROOT, "build", "win64-wine")
sys.path.insert(0, os.path.join(ROOT, "tests", "gui"))


def stage_env(stage):
    """The environment of a program run in the stage: its prefix, its display or none."""
    env = dict(os.environ, WINEARCH="win64", WINEDEBUG=os.environ.get("WINEDEBUG", "-all,err+winediag"),
               # No Mono or Gecko download prompts in a fresh prefix: the program needs neither.
               WINEDLLOVERRIDES="mscoree,mshtml=", WINEPREFIX=os.path.join(STAGES, stage))
    env.pop("WAYLAND_DISPLAY", None)
    display = os.path.join(STAGES, stage + ".display")
    if os.path.isfile(display):
        env["DISPLAY"] = open(display).read().split()[0]
    else:
        env.pop("DISPLAY", None)
    return env


def wine(stage, *args, **kwargs):
    return subprocess.run(["wine", *args], env=stage_env(stage), stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, **kwargs)


def wineserver(stage, flag):
    subprocess.run(["wineserver", flag], env=stage_env(stage), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def teardown(stage):
    wineserver(stage, "-k")
    wineserver(stage, "-w")
    display = os.path.join(STAGES, stage + ".display")
    if os.path.isfile(display):
        fields = open(display).read().split()
        os.remove(display)
        try:
            os.kill(int(fields[1]), signal.SIGTERM)
        except (IndexError, ValueError, ProcessLookupError):
            pass
    return 0


def setup(stage, screen=None, dpi=None):
    if shutil.which("wine") is None or (screen and shutil.which("Xvfb") is None):
        print("Wine or Xvfb is not installed: the Windows tests are skipped")
        return SKIP
    teardown(stage)
    prefix = os.path.join(STAGES, stage)
    shutil.rmtree(prefix, ignore_errors=True)
    os.makedirs(STAGES, exist_ok=True)
    if screen:
        from with_xvfb import start_xvfb
        # The stage's tests come and go; the display stays until teardown, so it must not hold
        # the output of the test that started it.
        xvfb, display = start_xvfb(screen, detach=True)
        with open(os.path.join(STAGES, stage + ".display"), "w") as out:
            out.write(f"{display} {xvfb.pid}\n")
    wine(stage, "wineboot", "-i")
    if screen:
        # Wine draws the windows' frames itself (there is no window manager on Xvfb), so the
        # screenshots show the captions.
        wine(stage, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f")
    if dpi:
        # Wine 8 takes the screen's DPI from here; the native test checks that it did.
        wine(stage, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
             "/d", str(dpi), "/f")
    wineserver(stage, "-w")
    return 0


def run(stage, command):
    env = stage_env(stage)
    result = subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    output = result.stdout.decode(errors="replace")
    sys.stdout.write(output)
    diagnostics = [line for line in output.splitlines() if "err:winediag" in line]
    if diagnostics:
        print("Wine's diagnostics:\n" + "\n".join(diagnostics))
    return result.returncode


def main():
    args = sys.argv[1:]
    if len(args) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    verb, stage, rest = args[0], args[1], args[2:]
    if verb == "setup":
        screen = rest[rest.index("--screen") + 1] if "--screen" in rest else None
        dpi = rest[rest.index("--dpi") + 1] if "--dpi" in rest else None
        return setup(stage, screen, dpi)
    if verb == "teardown":
        return teardown(stage)
    if verb == "run" and rest[:1] == ["--needs"] and len(rest) > 1:
        if not os.path.exists(rest[1]):
            print(f"skipped: no {rest[1]} (the Linux build makes it)")
            return SKIP
        rest = rest[2:]
    if verb == "run" and rest[:1] == ["--"] and len(rest) > 1:
        return run(stage, rest[1:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
