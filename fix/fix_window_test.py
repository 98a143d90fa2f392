#!/usr/bin/env python3
"""End-to-end runs of `lexivane fix` in its Qt window, answered with key presses that the X
server's XTEST extension fakes, as if typed. Run on an X server of the test run's own
(scripts/with-x-server.sh), with no terminal, so the window is the only place to answer. Usage: fix_window_test.py LEXIVANE WORK_DIR
"""

import ctypes
import ctypes.util
import os
import shutil
import subprocess
import sys
import time

LEXIVANE = os.path.abspath(sys.argv[1])
WORK = os.path.abspath(sys.argv[2])
TIMEOUT = 20

if not ctypes.util.find_library("X11") or not ctypes.util.find_library("Xtst"):
    print("skipped: libX11 and libXtst are needed to fake key presses")
    sys.exit(77)
x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
xtst = ctypes.CDLL(ctypes.util.find_library("Xtst"))
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 4
x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XFree.argtypes = [ctypes.c_void_p]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
# A window may close between the listing of the windows and the reading of its name; Xlib's own
# handler would end the test there (BadWindow), so errors are passed over: the name is then
# missing, and the next look finds the windows as they are.
XErrorHandler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
passed_over_x_errors = XErrorHandler(lambda display, event: 0)
x11.XSetErrorHandler.argtypes = [XErrorHandler]
x11.XSetErrorHandler(passed_over_x_errors)
display = x11.XOpenDisplay(None)
failures = []


def window_names():
    root, parent = ctypes.c_ulong(), ctypes.c_ulong()
    children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
    x11.XQueryTree(display, x11.XDefaultRootWindow(display), ctypes.byref(root),
                   ctypes.byref(parent), ctypes.byref(children), ctypes.byref(count))
    names = []
    for i in range(count.value):
        name = ctypes.c_char_p()
        if x11.XFetchName(display, children[i], ctypes.byref(name)) and name.value:
            names.append(name.value.decode())
    if children:
        x11.XFree(children)
    return names


def wait_for_window(title):
    deadline = time.monotonic() + TIMEOUT
    while not any(title in name for name in window_names()):
        if time.monotonic() > deadline:
            raise AssertionError(f"no window {title!r}; there are {window_names()}")
        time.sleep(0.1)
    time.sleep(0.5)  # mapped and focused


def keys(*chord):
    """Presses the keys of `chord` together (X key names: "Alt_L", "a", "Return")."""
    codes = [x11.XKeysymToKeycode(display, x11.XStringToKeysym(name.encode())) for name in chord]
    for code in codes:
        xtst.XTestFakeKeyEvent(display, code, 1, 0)
    for code in reversed(codes):
        xtst.XTestFakeKeyEvent(display, code, 0, 0)
    x11.XFlush(display)
    time.sleep(0.15)


def type_over(text):
    """Replaces the "Change to" text, then waits for the dialog's timer to see it."""
    keys("Control_L", "a")
    for c in text:
        keys("Shift_L", c.lower()) if c.isupper() else keys(c)
    time.sleep(0.3)


def run(name, content, steps, expected, code=0, args=()):
    path = os.path.join(WORK, name + ".txt")
    with open(path, "w") as f:
        f.write(content)
    tool = subprocess.Popen([LEXIVANE, "fix", *args, path], stdin=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True, start_new_session=True)
    try:
        for title, action in steps:
            wait_for_window(title)
            action()
        err = tool.communicate(timeout=TIMEOUT)[1]
    except (AssertionError, subprocess.TimeoutExpired) as error:
        tool.kill()
        failures.append(f"{name}: {error}")
        return
    finally:
        if tool.poll() is None:  # never left behind, holding the test's output open
            tool.kill()
    with open(path) as f:
        text = f.read()
    if tool.returncode != code or text != expected:
        failures.append(f"{name}: exit {tool.returncode}, file {text!r}\n{err}")


shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
os.environ["XDG_CONFIG_HOME"] = os.path.join(WORK, "config")

run("change_and_change_all", "Teh cat wrold, wrold\n",
    [("dictionary: Teh", lambda: (type_over("The"), keys("Return"))),
     ("dictionary: wrold", lambda: (type_over("world"), keys("Alt_L", "l")))],
    "The cat world, world\n")
custom = os.path.join(WORK, "custom.dic")
run("add_word", "zorbleq met Zorbleq\n", [("dictionary: zorbleq", lambda: keys("Alt_L", "a"))],
    "zorbleq met Zorbleq\n", args=["--custom", custom])
if not os.path.exists(custom) or open(custom, "rb").read() != b"zorbleq\r\n":
    failures.append("add_word: the custom dictionary was not saved")
# Cancel half-way, and a message box asks whether to keep what was changed.
for answer, expected, code in (("y", "The cat wrold\n", 0), ("n", "Teh cat wrold\n", 1)):
    run("cancel_" + answer, "Teh cat wrold\n",
        [("dictionary: Teh", lambda: (type_over("The"), keys("Return"))),
         ("dictionary: wrold", lambda: keys("Alt_L", "n")),
         ("lexivane fix", lambda answer=answer: keys("Alt_L", answer))], expected, code)

print("\n".join(failures) or "all window runs passed")
sys.exit(1 if failures else 0)
