#!/usr/bin/python3
"""Runs a command on a fresh Xvfb display (-noreset) of its own.

Usage: with_xvfb.py COMMAND [ARGS...]. Exit status: the command's, or 77 when Xvfb is not
installed (the test is skipped). Listing a test program's tests needs no display.
"""

import os
import shutil
import subprocess
import sys

SKIP = 77


def start_xvfb(screen="1280x1024x24", detach=False):
    """Starts Xvfb (-noreset) on a free display; returns (process, display). A detached one
    outlives its caller, in a session of its own."""
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-noreset", "-nolisten", "tcp",
                             "-screen", "0", screen],
                            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            stdin=subprocess.DEVNULL, start_new_session=detach)
    os.close(write_fd)
    with os.fdopen(read_fd, "rb") as pipe:
        number = pipe.readline().decode().strip()
    if not number:
        xvfb.kill()
        raise RuntimeError("Xvfb did not start")
    return xvfb, ":" + number


def run_on_xvfb(command, screen="1280x1024x24", accessibility=False):
    """Runs command on a fresh Xvfb of its own, in the Adwaita theme and without Wayland, with
    GTK's accessibility bridge on or off; returns its exit status."""
    xvfb, display = start_xvfb(screen)
    try:
        env = dict(os.environ, DISPLAY=display, GTK_THEME="Adwaita", NO_AT_BRIDGE="0" if accessibility else "1")
        env.pop("WAYLAND_DISPLAY", None)
        return subprocess.run(command, env=env).returncode
    finally:
        xvfb.terminate()
        xvfb.wait()


def main():
    command = sys.argv[1:]
    if not command:
        print("usage: with_xvfb.py COMMAND [ARGS...]", file=sys.stderr)
        return 2
    if any(arg == "--gtest_list_tests" for arg in command):
        return subprocess.run(command).returncode
    if shutil.which("Xvfb") is None:
        print("Xvfb is not installed: skipped")
        return SKIP
    try:
        return run_on_xvfb(command)
    except RuntimeError as error:
        print(error, file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
