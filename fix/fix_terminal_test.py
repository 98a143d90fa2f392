#!/usr/bin/env python3
"""End-to-end runs of `lexivane fix --terminal` on a real pseudo-terminal.

Each run starts the tool in a new session whose controlling terminal is a fresh pseudo-terminal
(standard input is /dev/null, standard output and error are pipes), answers the dialog with key
presses as a person would, and then checks the file, its backup, the exit status and the
message. Usage: fix_terminal_test.py LEXIVANE WORK_DIR [--window], the last when the tool was
built with the Qt window.
"""

import atexit
import fcntl
import os
import pwd
import re
import select
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import termios
import time

LEXIVANE = os.path.abspath(sys.argv[1])
WORK = os.path.abspath(sys.argv[2])
WINDOW = "--window" in sys.argv[3:]
TIMEOUT = 20
PROMPT = r"Esc Ignore\r?\n> "  # the last line of the dialog
failures = []


class Run:
    """The tool on its own pseudo-terminal; `screen` is everything drawn on it so far."""

    def __init__(self, *args, user=None, tool=LEXIVANE, env=None, patience=TIMEOUT, prefix=()):
        self.patience = patience  # seconds to wait for the screen or the end
        self.master, slave = os.openpty()

        def become_session_leader():
            os.setsid()
            fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
            if user is not None:
                os.setgid(user.pw_gid)
                os.setgroups([])
                os.setuid(user.pw_uid)

        self.process = subprocess.Popen(
            [*prefix, tool, "fix", "--terminal", *args], stdin=subprocess.DEVNULL,
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, pass_fds=(slave,), env=env,
            preexec_fn=become_session_leader)
        os.close(slave)
        self.screen = ""
        self.seen = 0

    def _read(self, timeout):
        ready, _, _ = select.select([self.master], [], [], timeout)
        if not ready:
            return False
        try:
            data = os.read(self.master, 65536)
        except OSError:  # the tool has gone and closed the terminal
            return False
        self.screen += data.decode("utf-8", "replace")
        return bool(data)

    def expect(self, pattern):
        """Waits until `pattern` appears on the screen after what earlier calls matched."""
        deadline = time.monotonic() + self.patience
        while True:
            found = re.compile(pattern).search(self.screen, self.seen)
            if found:
                self.seen = found.end()
                return found
            if time.monotonic() > deadline or (not self._read(0.2) and self.process.poll() is not None
                                               and not self._read(0)):
                raise AssertionError(f"no {pattern!r} on the screen:\n{self.screen[self.seen:]}")

    def keys(self, text):
        os.write(self.master, text.encode())

    def answer(self, keys):
        """Waits for the next showing of the dialog and types `keys`."""
        self.expect(PROMPT)
        self.keys(keys)

    def finish(self):
        out, err = self.process.communicate(timeout=self.patience)
        while self._read(0):
            pass
        self.settings = termios.tcgetattr(self.master)
        os.close(self.master)
        return self.process.returncode, err.decode()


def make(name, content, mode=0o644):
    path = os.path.join(WORK, name)
    with open(path, "wb") as f:
        f.write(content if isinstance(content, bytes) else content.encode())
    os.chmod(path, mode)
    return path


def read(path):
    with open(path, "rb") as f:
        return f.read()


def check(name, condition, detail=""):
    if not condition:
        failures.append(f"{name}: {detail}")
        print(f"FAIL {name}: {detail}", flush=True)


def scenario(name, content, keys, expected, code=0, args=(), mode=0o644, message="",
             backup=True, written=None, patience=TIMEOUT, prepare=None):
    """Corrects a fresh file with `keys` (one string per showing of the dialog, or a function
    of the Run) and checks the outcome. `prepare` is called with the file's path first."""
    path = make(name + ".txt", content, mode)
    for stale in (path + ".bak", path + ".fixed"):
        if os.path.exists(stale):
            os.remove(stale)
    if prepare:
        prepare(path)
    run = Run(*args, path, patience=patience)
    try:
        for step in keys:
            if callable(step):
                step(run, path)
            else:
                run.answer(step)
        status, err = run.finish()
    except (AssertionError, subprocess.TimeoutExpired) as error:
        run.process.kill()
        check(name, False, str(error))
        return None
    expected = expected if isinstance(expected, bytes) else expected.encode()
    original = content if isinstance(content, bytes) else content.encode()
    check(name, status == code, f"exit {status}, expected {code}\n{err}")
    check(name, read(path) == expected, f"the file holds {read(path)!r}")
    check(name, re.search(message, err), f"no {message!r} in {err!r}")
    wrote = expected != original and code == 0 if written is None else written
    has_backup = os.path.isfile(path + ".bak")
    check(name, has_backup == (wrote and backup), f"backup present: {has_backup}")
    if has_backup:
        check(name, read(path + ".bak") == original, "the backup is not the original")
    check(name, stat.S_IMODE(os.stat(path).st_mode) == mode, "the permissions changed")
    lflag = run.settings[3]
    check(name, lflag & termios.ECHO and lflag & termios.ICANON, "the terminal was left raw")
    return run, err


os.environ.pop("DISPLAY", None)
os.environ.pop("WAYLAND_DISPLAY", None)
os.environ.pop("QT_QPA_PLATFORM", None)
shutil.rmtree(WORK, ignore_errors=True)
os.makedirs(WORK)
os.environ["XDG_CONFIG_HOME"] = os.path.join(WORK, "config")

# Answers: a number picks a suggestion, t or = types a replacement, then Enter changes; the
# buttons' access keys click them. The first suggestion for "Teh" is "The".
_, err = scenario("number", "Teh cat sat.\n", ["1\r"], "The cat sat.\n", message=r"1 word changed")
check("number", "checked" not in err, "progress shown for a quick file")
scenario("typed", "a wrold of its own\n", ["t\x7f\x7f\x7f\x7f\x7fworld\r\r"],
         "a world of its own\n")
scenario("typed_with_equals_and_a_changed_mind", "wrold wrold\n",
         ["=\x7f\x7fxx\x1b", "=\x7f\x7f\x7f\x7f\x7fworld\rc", "i"], "world wrold\n")
scenario("change_all", "Teh cat and teh dog. TEH end.\n", ["1l"], "The cat and The dog. The end.\n",
         message=r"3 words changed")
scenario("ignore_all_and_escape", "teh a TEH b wrold c\n", ["\x1b[Ag", "\x1b"],
         "teh a TEH b wrold c\n", message="no changes")
# A disabled button's key, Enter for Change included, beeps and says so.
done = scenario("disabled_change_does_nothing", "wrold\n", ["c\ri"], "wrold\n")
check("disabled_change_does_nothing",
      done and done[0].screen.count("Change is not available now\a") == 2, "no beep and message")
# A choice replaces only the word it was made for: the quotes, the dash, the ellipsis, the 's
# and the NUL around it stay, and so does what follows them.
scenario("word_in_token",
         "She wrote “recieve” twice. I borrowed Jonh's car.\nteh—and, teh… end, teh\0wrold end\n",
         ["1\r"] * 5,
         "She wrote “receive” twice. I borrowed John's car.\nthe—and, the… end, the\0wrold end\n")
# What running text accepts is not asked about: only "teh" is.
scenario("typographic_apostrophes", "I wouldn’t say it isn’t teh end.\n", ["1\r"],
         "I wouldn’t say it isn’t the end.\n")
# Byte order mark, CR LF and a lone CR, permissions: all as they were.
scenario("bom_crlf_mode", b"\xef\xbb\xbfTeh cat\r\nwrold\rend\r\n",
         ["1\r", "t\x7f\x7f\x7f\x7f\x7fworld\r\r"], b"\xef\xbb\xbfThe cat\r\nworld\rend\r\n",
         mode=0o640)
# A document in its mode: only the prose is offered, a Change All reaches no code, and the
# markup stays byte for byte; a word written with a character reference is left alone.
scenario("markdown_mode",
         "# Teh title\n\nSee `teh` and [teh link](teh.md) caf&eacute;x, <b>wrold</b>.\n",
         ["1\r", "1l", "t\x7f\x7f\x7f\x7f\x7fworld\r\r"],
         "# The title\n\nSee `teh` and [the link](teh.md) caf&eacute;x, <b>world</b>.\n",
         args=["--mode", "markdown"], message=r"3 words changed")
# Words beside a reference that stands for a quotation mark or a dash are offered, as check
# reports them; a script's interpreter line never is, so a Change All cannot break it.
scenario("references_beside_words", "<p>&ldquo;teh&rdquo; teh&mdash;x</p>\n", ["1l"],
         "<p>&ldquo;the&rdquo; the&mdash;x</p>\n", args=["--mode", "html"],
         message=r"2 words changed")
scenario("interpreter_line", "#!/usr/bin/env python3\n# teh usr\n", ["1\r", "i"],
         "#!/usr/bin/env python3\n# the usr\n", args=["--mode", "python"])
scenario("no_backup", "Teh\n", ["1\r"], "The\n", args=["--no-backup"], backup=False)
# The word rules of the other commands: only "teh" is shown, unless the digits rule is off.
scenario("word_rules", "GPLv3 xiv distro teh\n", ["1\r"], "GPLv3 xiv distro the\n")
scenario("no_rule", "GPLv3 xiv distro teh\n", ["i", "1\r"], "GPLv3 xiv distro the\n",
         args=["--no-rule", "digits"])
make("old_backup.txt.bak", "an older backup")
scenario("old_backup_replaced", "Teh\n", ["1\r"], "The\n")

# Progress once checking (not answering) takes more than half a second.
long_text = "the cat sat on the mat and " * 2000000
scenario("progress", long_text + "wrold\n", ["i"], long_text + "wrold\n",
         message=r"\rlexivane: .*progress.txt: [0-9]+% checked\nlexivane: .*: no changes",
         patience=600)  # sanitized builds check far more slowly

# Cancel half-way: y keeps the changes made so far, n (or Enter) keeps the file as it was.
for answer, expected, code in (("y", "The cat wrold teh\n", 0), ("n", "Teh cat wrold teh\n", 1),
                               ("\r", "Teh cat wrold teh\n", 1)):
    scenario("cancel_" + ("enter" if answer == "\r" else answer), "Teh cat wrold teh\n",
             ["1\r", "n", lambda run, path, answer=answer: (
                 run.expect(r"Keep the 1 change made so far\? \[y/N\] "), run.keys(answer))],
             expected, code=code, message="cancelled" if code else "1 word changed")
scenario("cancel_at_once", "Teh cat\n", ["n"], "Teh cat\n", code=1, message="cancelled")

# Add Word saves the custom dictionary, and only then; its old content is kept as .bak.
custom = os.path.join(WORK, "custom.dic")
scenario("add_word", "zorbleq met Zorbleq\n", ["a"], "zorbleq met Zorbleq\n",
         args=["--custom", custom])
check("add_word", read(custom) == b"zorbleq\r\n", f"custom dictionary {read(custom)!r}")
check("add_word", not os.path.exists(custom + ".bak"), "a backup of a new dictionary")
scenario("add_another_word", "quzzle\n", ["a"], "quzzle\n", args=["--custom", custom])
check("add_another_word", read(custom) == b"zorbleq\r\nquzzle\r\n", f"{read(custom)!r}")
check("add_another_word", read(custom + ".bak") == b"zorbleq\r\n", "no backup of the old words")
os.utime(custom, (0, 0))
scenario("no_add_word", "quzzle zorbleq wrold\n", ["i"], "quzzle zorbleq wrold\n",
         args=["--custom", custom])
check("no_add_word", os.stat(custom).st_mtime == 0, "the dictionary was written")

# A dictionary that cannot be saved does not keep the corrections from being written.
scenario("add_word_unsaved", "zorbleq wrold\n", ["a", "1\r"], "zorbleq world\n", code=2,
         args=["--custom", os.path.join(WORK, "missing", "custom.dic")], written=True,
         message=r"1 word changed.*\n.*the words added were not saved")

# The file stays the same file: its owner and group (which root may give a new file), and its
# other names, for which it is written in place after its backup; that needs the backup.
if os.geteuid() == 0:
    path = os.path.join(WORK, "owner.txt")
    scenario("owner", "Teh cat\n", ["1\r"], "The cat\n", mode=0o640,
             prepare=lambda path: os.chown(path, 65534, 65534))
    check("owner", all((os.stat(name).st_uid, os.stat(name).st_gid) == (65534, 65534)
                       for name in (path, path + ".bak")), "the owner or group changed")
path = os.path.join(WORK, "linked.txt")
scenario("linked", "Teh cat\n", ["1\r"], "The cat\n",
         prepare=lambda path: os.link(path, path + ".other"))
check("linked", read(path + ".other") == b"The cat\n", "the hard link was split")
# Refused before anything is asked: no dialog to answer.
scenario("linked_no_backup", "Teh cat\n", [], "Teh cat\n", code=2, args=["--no-backup"],
         prepare=lambda path: os.link(path, path + ".other"),
         message=r"not changed: it has other names \(hard links\), .*--no-backup")
scenario("backup_is_a_folder", "Teh cat\n", [], "Teh cat\n", code=2,
         prepare=lambda path: os.mkdir(path + ".bak"), message=r"backup .*\.bak is a folder")


# A disk that fills up: staged in a private mount namespace on a small file system of its own
# (as root in CI), whose files are copied out for the checks when the tool is done.
def full_disk(name, free_pages, message, kept):
    disk, out = os.path.join(WORK, name), os.path.join(WORK, name + ".out")
    os.makedirs(disk)
    os.makedirs(out)
    text = ("Teh " + "cat " * 1022 + "end\n") * 15  # 15 pages of 4096 bytes, on a disk of 64
    script = ('mount -t tmpfs -o size=256k tmpfs "$D" && printf %s "$T" > "$D/text.txt" && '
              'head -c $((4096 * (64 - 15 - $F))) /dev/zero > "$D/filler" || exit 99; '
              '"$@" "$D/text.txt"; status=$?; ls -A "$D" > "$O/listing"; '
              'cp "$D"/text.txt* "$O"; exit $status')
    env = dict(os.environ, D=disk, O=out, T=text, F=str(free_pages))
    run = Run(prefix=["unshare", "--mount", "sh", "-c", script, "sh"], env=env)
    try:
        run.answer("1l")
        status, err = run.finish()
    except (AssertionError, subprocess.TimeoutExpired) as error:
        run.process.kill()
        return check(name, False, str(error))
    listing = read(os.path.join(out, "listing")).decode().split()
    check(name, status == 2 and re.search(message, err), f"exit {status}: {err}")
    check(name, read(os.path.join(out, "text.txt")) == text.encode(), "the file changed")
    check(name, listing == ["filler", "text.txt"] + (["text.txt.fixed"] if kept else []),
          f"left behind: {listing}")
    if kept and "text.txt.fixed" in listing:
        fixed = read(os.path.join(out, "text.txt.fixed"))
        check(name, fixed == text.replace("Teh", "The").encode(), "the corrected text is lost")


if os.geteuid() == 0 and subprocess.run(["unshare", "--mount", "true"]).returncode == 0:
    # Room for the corrected text but not for the backup too: the text is kept beside the file.
    full_disk("full_disk", 20, r"No space left on device; .* was not changed; the corrected text "
              r"is in .*text\.txt\.fixed", True)
    full_disk("fuller_disk", 9, r"No space left on device; .* was not changed; the corrected "
              r"text could not be kept either", False)
else:
    print("SKIP full_disk: no private mount namespace here (unshare --mount)", flush=True)

# Someone else changes the file while the dialog is up: it is left alone and the correction
# goes beside it.
def edit_behind_the_back(run, path):
    run.expect(PROMPT)
    with open(path, "a") as f:
        f.write("added meanwhile\n")
    run.keys("1\r")


scenario("changed_on_disk", "Teh cat\n", [edit_behind_the_back], "Teh cat\nadded meanwhile\n",
         code=2, message=r"changed on disk .* the corrected text is in .*changed_on_disk\.txt\.fixed")
check("changed_on_disk", read(os.path.join(WORK, "changed_on_disk.txt.fixed")) == b"The cat\n",
      "the correction is not beside the file")

# Not UTF-8: refused before anything is asked.
scenario("latin1", b"caf\xe9 Teh\n", [], b"caf\xe9 Teh\n", code=2,
         message=r"not UTF-8: byte 3 \(0xE9\)")

# Ctrl-C ends the tool with the terminal restored and the file untouched.
path = make("interrupted.txt", "Teh cat\n")
run = Run(path)
run.answer("1\x03")
status, _ = run.finish()
check("interrupted", status == -signal.SIGINT, f"exit {status}")
check("interrupted", read(path) == b"Teh cat\n", "the file changed")
check("interrupted", run.settings[3] & termios.ECHO, "the terminal was left raw")

# Neither a display nor a terminal: nothing to ask on.
path = make("nowhere.txt", "Teh cat\n")
for args in ([], ["--terminal"]):
    done = subprocess.run([LEXIVANE, "fix", *args, path], stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, start_new_session=True)
    check("nowhere", done.returncode == 2 and "not changed" in done.stderr,
          f"exit {done.returncode}: {done.stderr}")
    check("nowhere", read(path) == b"Teh cat\n", "the file changed")

def stage_tool(folder):
    """Copies the tool into `folder` with the libraries that the loader finds for it through its
    run path (the build tree's), and returns the copy and an environment in which it loads those
    copies. The runs ask on the terminal, so they never load the window module."""
    shutil.copy2(LEXIVANE, folder)
    dynamic = subprocess.run(["readelf", "-d", LEXIVANE], capture_output=True, text=True,
                             check=True).stdout
    found = re.search(r"\((?:RUNPATH|RPATH)\).*\[(.*)\]", dynamic)
    run_path = {os.path.realpath(entry.replace("$ORIGIN", os.path.dirname(LEXIVANE)))
                for entry in (found.group(1).split(":") if found else []) if entry}
    loaded = subprocess.run(["ldd", LEXIVANE], capture_output=True, text=True, check=True).stdout
    for name, library in re.findall(r"^\s*(\S+) => (/\S+)", loaded, re.MULTILINE):
        if os.path.realpath(os.path.dirname(library)) in run_path:
            shutil.copy(library, os.path.join(folder, name))
    # The loader searches LD_LIBRARY_PATH before the run path. A configuration folder under WORK
    # would be out of reach too, and a custom dictionary that cannot be looked at is an error.
    return os.path.join(folder, os.path.basename(LEXIVANE)), dict(
        os.environ, LD_LIBRARY_PATH=folder, XDG_CONFIG_HOME=os.path.join(folder, "config"))


# A folder that cannot be written: refused up front, or, when the folder turns read-only while
# the dialog is up, the file stays as it was. Root writes anyway, so the tool runs as an ordinary
# user for this, who may not reach WORK (a checkout in root's home, mode 0700): that user runs a
# copy of the tool on a file in a fresh folder open to everyone.
if os.geteuid() == 0:
    nobody = pwd.getpwnam("nobody")
    staged = tempfile.mkdtemp(prefix="lexivane-fix-test-")
    atexit.register(shutil.rmtree, staged, ignore_errors=True)
    os.chmod(staged, 0o755)
    tool, env = stage_tool(staged)
    folder = os.path.join(staged, "locked")
    os.makedirs(folder)
    path = os.path.join(folder, "text.txt")
    for when in ("before", "during"):
        os.chmod(folder, 0o777)
        with open(path, "w") as f:
            f.write("Teh cat\n")
        os.chmod(path, 0o666)
        if when == "before":
            os.chmod(folder, 0o555)
        run = Run(path, user=nobody, tool=tool, env=env)
        if when == "during":
            run.answer("")
            os.chmod(folder, 0o555)
            run.keys("1\r")
        status, err = run.finish()
        check("locked_" + when, status == 2 and "Permission denied" in err and
              "not changed" in err, f"exit {status}: {err}")
        check("locked_" + when, read(path) == b"Teh cat\n", "the file changed")
        check("locked_" + when, os.listdir(folder) == ["text.txt"], f"{os.listdir(folder)}")

    # Another user's file that the group may write, in a folder with the sticky bit (where only
    # a file's owner may replace it): written in place, it stays the same file with its owner and
    # group. Another user's backup there cannot be replaced: refused before anything is asked.
    shared = os.path.join(staged, "shared")
    os.makedirs(shared)
    os.chmod(shared, 0o1777)
    path = os.path.join(shared, "text.txt")
    for name, old_backup, keys, code, expected in (("sticky_backup", True, [], 2, b"Teh cat\n"),
                                                    ("group_shared", False, ["1\r"], 0, b"The cat\n")):
        with open(path, "w") as f:
            f.write("Teh cat\n")
        os.chown(path, 0, nobody.pw_gid)
        os.chmod(path, 0o664)
        if old_backup:
            make(os.path.join(shared, "text.txt.bak"), "older")
        before = os.stat(path)
        run = Run(path, user=nobody, tool=tool, env=env)
        try:
            for step in keys:
                run.answer(step)
            status, err = run.finish()
        except (AssertionError, subprocess.TimeoutExpired) as error:
            run.process.kill()
            status, err = None, str(error)
        after = os.stat(path)
        check(name, status == code and read(path) == expected, f"exit {status}: {err}")
        check(name, (after.st_ino, after.st_uid, after.st_gid, after.st_mode) ==
              (before.st_ino, before.st_uid, before.st_gid, before.st_mode), "another file now")
        check(name, not old_backup or ("sticky bit" in err and read(path + ".bak") == b"older"),
              err)
        if old_backup:
            os.remove(path + ".bak")

# With a display the window is used, so a run without any terminal still works; a file without
# misspellings never opens it.
if WINDOW:
    path = make("window.txt", "The cat sat.\n")
    done = subprocess.run([LEXIVANE, "fix", path], stdin=subprocess.DEVNULL, capture_output=True,
                          text=True, start_new_session=True, timeout=TIMEOUT,
                          env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    check("window", done.returncode == 0 and "no changes" in done.stderr,
          f"exit {done.returncode}: {done.stderr}")

print(f"{len(failures)} failure(s)" if failures else "all fix runs passed")
sys.exit(1 if failures else 0)
