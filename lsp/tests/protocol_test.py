#!/usr/bin/env python3
"""`lexivane lsp` driven by a small Language Server Protocol client that checks the raw messages.

Each scenario starts its own server with XDG_CONFIG_HOME in a fresh folder under WORK_DIR (so
the custom dictionary starts empty), speaks Content-Length framing on its standard input and
output, and compares what comes back with what the tool's own `list` and ispell pipe say about
the same text: the misspelt words come from `lexivane list`, their suggestions from
`lexivane -a`, their ranges are worked out here in UTF-16 code units. Every read waits at most
PATIENCE seconds, so a server that hangs fails the test instead of hanging it.

Usage: protocol_test.py LEXIVANE WORK_DIR [ADDRESS_SPACE_LIMIT]. With the limit (in bytes;
not under the sanitizers, which reserve far more), the memory cases run the server under it.
Exit status 0 when everything matched; otherwise each mismatch is printed as a diff of the
JSON, and the status is 1.
"""

import difflib
import fcntl
import json
import os
import queue
import re
import resource
import shutil
import subprocess
import sys
import tempfile
import threading
import time

LEXIVANE = os.path.abspath(sys.argv[1])
WORK = os.path.abspath(sys.argv[2])
ADDRESS_SPACE_LIMIT = int(sys.argv[3]) if len(sys.argv) > 3 else None
PATIENCE = 5  # seconds for any one message, or for the server to end
failures = []
servers = []  # every server started, so that none outlives the test

CAPABILITIES = {
    "textDocumentSync": {"openClose": True, "change": 2, "save": {"includeText": False}},
    "codeActionProvider": {"codeActionKinds": ["quickfix"]},
    "executeCommandProvider": {"commands": ["lexivane.addToDictionary", "lexivane.ignoreWord"]},
}
ADD, IGNORE = "lexivane.addToDictionary", "lexivane.ignoreWord"


class Failure(Exception):
    pass


def eventually(what, condition):
    """Waits up to PATIENCE seconds for `condition()` to hold; a failure if it never does."""
    deadline = time.monotonic() + PATIENCE
    while not condition():
        if time.monotonic() > deadline:
            failures.append(f"{what}: not within {PATIENCE} s")
            return
        time.sleep(0.02)


def quickly(what, seconds, action):
    """The result of `action()`, a failure if it took more than `seconds`."""
    started = time.monotonic()
    result = action()
    expect(f"{what} within {seconds} s", time.monotonic() - started <= seconds, True)
    return result


def expect(what, got, want):
    if got == want:
        return
    dump = lambda value: json.dumps(value, indent=1, sort_keys=True, ensure_ascii=False).splitlines()
    diff = difflib.unified_diff(dump(want), dump(got), "expected", "server", n=6, lineterm="")
    failures.append(f"{what}:\n" + "\n".join(diff))


# --- text, positions and the tool's own verdicts ---------------------------------------------

def units(text):
    """Length of `text` in UTF-16 code units."""
    return sum(2 if ord(c) > 0xFFFF else 1 for c in text)


def line_starts(text):
    """Index where every line begins; a line ends at CR LF, LF or a lone CR."""
    return [0] + [m.end() for m in re.finditer(r"\r\n|\n|\r", text)]


def position(text, index):
    starts = line_starts(text)
    line = max(n for n, start in enumerate(starts) if start <= index)
    return {"line": line, "character": units(text[starts[line]:index])}


def index_of(text, pos):
    start = line_starts(text)[pos["line"]]
    index, counted = start, 0
    while counted < pos["character"]:
        counted += units(text[index])
        index += 1
    return index


def apply_change(text, change):
    if "range" not in change:
        return change["text"]
    begin, end = index_of(text, change["range"]["start"]), index_of(text, change["range"]["end"])
    return text[:begin] + change["text"] + text[end:]


def span(text, begin, end):
    return {"start": position(text, begin), "end": position(text, end)}


class Verdicts:
    """What the tool says about a text, with the custom dictionary of one configuration folder."""

    def __init__(self, config):
        self.env = dict(os.environ, XDG_CONFIG_HOME=config)

    def words(self, text, mode="none"):
        run = subprocess.run([LEXIVANE, "list", "--mode", mode], input=text.encode(),
                             capture_output=True, env=self.env, timeout=30)
        if run.returncode not in (0, 1):
            raise Failure(f"lexivane list failed: {run.stderr.decode()}")
        return run.stdout.decode().splitlines()

    def suggestions(self, word, ranking="typing"):
        run = subprocess.run([LEXIVANE, "-a", f"--ranking={ranking}"], input=f"^{word}\n".encode(),
                             capture_output=True, env=self.env, timeout=30)
        answer = run.stdout.decode().splitlines()[1]
        return answer.split(": ", 1)[1].split(", ") if answer.startswith("&") else []

    def diagnostics(self, text, severity=3, accepted=()):
        """The diagnostics a document holding `text` is expected to get."""
        found, cursor = [], 0
        for word in self.words(text):
            match = re.compile(r"(?<![\w'’])" + re.escape(word) + r"(?![\w'’])").search(text, cursor)
            cursor = match.end()
            if word.lower() in accepted:
                continue
            where = span(text, match.start(), match.end())
            found.append({"range": where, "severity": severity, "source": "lexivane",
                          "code": "unknown-word", "message": f"Unknown word '{word}'",
                          "data": {"word": word, "range": where}})
        return found


# --- the client --------------------------------------------------------------------------------

class Server:
    """One `lexivane lsp` process. Notifications that arrive while a response is awaited are kept
    in `pending`, in order; requests from the server are answered with a null result."""

    def __init__(self, *args, config=None, reading=True, address_space=None):
        self.config = config or tempfile.mkdtemp(prefix="config-", dir=WORK)
        self.verdicts = Verdicts(self.config)
        limit = lambda: resource.setrlimit(resource.RLIMIT_AS, (address_space, address_space))
        self.process = subprocess.Popen(
            [LEXIVANE, "lsp", *args], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.PIPE, env=self.verdicts.env,
            preexec_fn=limit if address_space else None)
        self.inbox = queue.Queue()
        self.stderr = b""
        self.pending = []
        self.next_id = 0
        if reading:
            self.start_reading()
        self.stderr_reader = threading.Thread(target=self._collect_stderr, daemon=True)
        self.stderr_reader.start()
        servers.append(self)

    def start_reading(self):
        threading.Thread(target=self._pump, daemon=True).start()

    def _pump(self):
        stream = self.process.stdout
        while True:
            length = None
            while True:
                header = stream.readline()
                if not header:
                    self.inbox.put(None)
                    return
                if header == b"\r\n":
                    break
                name, _, value = header.decode("ascii").partition(":")
                if name.strip().lower() == "content-length":
                    length = int(value)
            body = stream.read(length)
            try:
                self.inbox.put(json.loads(body))
            except ValueError:
                self.inbox.put({"unreadable": body.decode("utf-8", "replace")})

    def _collect_stderr(self):
        self.stderr = self.process.stderr.read()

    def send_raw(self, data):
        try:
            self.process.stdin.write(data)
            self.process.stdin.flush()
        except (BrokenPipeError, ValueError):
            raise Failure(f"the server has ended: {self.stderr_after_end()}")

    def stderr_after_end(self):
        self.process.kill()
        self.stderr_reader.join(PATIENCE)
        return self.stderr.decode(errors="replace").strip()

    def send(self, message, escaped=False):
        body = json.dumps(message, ensure_ascii=escaped).encode()
        self.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def notify(self, method, params=None, escaped=False):
        self.send({"jsonrpc": "2.0", "method": method, "params": params or {}}, escaped)

    def receive(self, waiting_for):
        try:
            message = self.inbox.get(timeout=PATIENCE)
        except queue.Empty:
            raise Failure(f"nothing from the server within {PATIENCE} s while waiting for {waiting_for}")
        if message is None:
            raise Failure(f"the server closed its output while waiting for {waiting_for}")
        if "method" in message and "id" in message:
            self.send({"jsonrpc": "2.0", "id": message["id"], "result": None})
        return message

    def response(self, message_id, waiting_for):
        while True:
            message = self.receive(waiting_for)
            if "method" not in message and message.get("id") == message_id:
                return message
            if "method" in message and "id" not in message:
                self.pending.append(message)
            elif "method" not in message:
                raise Failure(f"unexpected message while waiting for {waiting_for}: {message}")

    def ask(self, method, params=None):
        """Sends a request without waiting for the answer; its id."""
        self.next_id += 1
        self.send({"jsonrpc": "2.0", "id": self.next_id, "method": method, "params": params or {}})
        return self.next_id

    def call(self, method, params=None):
        """The whole response (result or error) to a request."""
        return self.response(self.ask(method, params), method)

    def result(self, method, params=None):
        answer = self.call(method, params)
        if "error" in answer:
            raise Failure(f"{method} failed: {answer['error']}")
        return answer.get("result")

    def initialize(self, capabilities=None, options=None):
        params = {"processId": os.getpid(), "rootUri": None, "capabilities": capabilities or {}}
        if options is not None:
            params["initializationOptions"] = options
        answer = self.result("initialize", params)
        self.notify("initialized")
        return answer

    def notification(self, method, waiting_for, wanted=lambda params: True,
                     skipped=lambda params: False):
        """The parameters of the next notification of `method` for which `wanted` holds; those
        before it for which `skipped` holds are dropped, the others stay pending."""
        while True:
            for n, message in enumerate(self.pending):
                if message.get("method") == method and wanted(message["params"]):
                    kept = [m for m in self.pending[:n]
                            if m.get("method") != method or not skipped(m["params"])]
                    self.pending = kept + self.pending[n + 1:]
                    return message["params"]
            self.pending.append(self.receive(waiting_for))

    def published(self, uri, version="any"):
        """The next diagnostics published for `uri` (with `version`: earlier ones for `uri` are
        skipped). Other notifications stay pending."""
        return self.notification(
            "textDocument/publishDiagnostics", f"diagnostics of {uri} version {version}",
            lambda params: params["uri"] == uri and version in ("any", params.get("version")),
            lambda params: params["uri"] == uri)["diagnostics"]

    def settled(self, uri, want):
        """The diagnostics of `uri` once they are `want`: a document may be checked once more
        after a save of the custom dictionary, so earlier ones for it are skipped."""
        return self.notification("textDocument/publishDiagnostics", f"diagnostics of {uri} as expected",
                                 lambda params: params["uri"] == uri and params["diagnostics"] == want,
                                 lambda params: params["uri"] == uri)["diagnostics"]

    def end(self, shut_down=True):
        """Ends the session and returns the exit status."""
        if shut_down:
            expect("shutdown result", self.call("shutdown").get("result", "missing"), None)
        self.notify("exit")
        return self.wait()

    def wait(self):
        try:
            status = self.process.wait(timeout=PATIENCE)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise Failure(f"the server did not end within {PATIENCE} s")
        self.process.stdin.close()
        self.stderr_reader.join(PATIENCE)
        return status


class Document:
    """An open document and the text the server should now hold for it."""

    count = 0

    def __init__(self, server, text, language_id="plaintext", extension="txt"):
        Document.count += 1
        # A surrogate without its other half (sent escaped, as JSON can carry it) is read as
        # U+FFFD.
        self.server, self.version = server, 1
        self.text = re.sub("[\ud800-\udfff]", "\ufffd", text)
        self.uri = f"file://{WORK}/document-{Document.count}.{extension}"
        server.notify("textDocument/didOpen", {"textDocument": {
            "uri": self.uri, "languageId": language_id, "version": 1, "text": text}},
                      escaped=self.text != text)

    def change(self, *changes):
        self.version += 1
        for change in changes:
            self.text = apply_change(self.text, change)
        self.server.notify("textDocument/didChange", {
            "textDocument": {"uri": self.uri, "version": self.version},
            "contentChanges": list(changes)})

    def published(self):
        return self.server.published(self.uri, self.version)

    def settled(self, **settings):
        """Waits for the diagnostics expected with `settings`, and returns them."""
        return self.server.settled(self.uri, self.expected(**settings))

    def expected(self, **settings):
        return self.server.verdicts.diagnostics(self.text, **settings)

    def expected_actions(self, diagnostics, max_suggestions=5, ranking="typing", versioned=False):
        """The code actions of the diagnostics, with the suggestions of `lexivane -a`; with
        `versioned`, edits that name the document's version."""
        verdicts = self.server.verdicts
        return [a for d in diagnostics for a in expected_actions(
            self.uri, d, verdicts.suggestions(d["data"]["word"], ranking)[:max_suggestions],
            self.version if versioned else None)]

    def actions(self, first_line=0, last_line=1000):
        """The code actions the server offers for the lines."""
        return seen_actions(self.server.result("textDocument/codeAction", {
            "textDocument": {"uri": self.uri},
            "range": {"start": {"line": first_line, "character": 0},
                      "end": {"line": last_line, "character": 0}},
            "context": {"diagnostics": []}}))


def edit(start_line, start_char, end_line, end_char, text):
    return {"range": {"start": {"line": start_line, "character": start_char},
                      "end": {"line": end_line, "character": end_char}}, "text": text}


def scenario(function):
    def run():
        try:
            function()
        except Failure as failure:
            failures.append(f"{function.__name__}: {failure}")
    run.__name__ = function.__name__
    return run


# --- scenarios ---------------------------------------------------------------------------------

SAMPLE = "Hello wrold, this is teh test.\n😀 café teh mispelled line\nNaïve résumé wrods, Teh end.\n"


@scenario
def capabilities():
    utf16 = dict(CAPABILITIES, positionEncoding="utf-16")
    cases = [  # client's general capabilities, the capabilities expected
        ({}, CAPABILITIES),
        ({"positionEncodings": ["utf-16"]}, utf16),
        ({"positionEncodings": ["utf-8", "utf-32", "utf-16"]}, utf16),
        ({"positionEncodings": ["utf-8"]}, utf16),  # UTF-16 is the one every client must take
    ]
    for general, want in cases:
        server = Server()
        answer = server.initialize({"general": general} if general else {})
        expect(f"capabilities for {general}", answer["capabilities"], want)
        expect("server name", answer["serverInfo"]["name"], "lexivane")
        expect("server version is text", type(answer["serverInfo"].get("version")), str)
        expect("second initialize", server.call("initialize", {"capabilities": {}}).get("error", {}).get("code"), -32600)
        expect("exit status after shutdown", server.end(), 0)
        expect("standard error", server.stderr, b"")


@scenario
def utf16_ranges():
    cases = [
        SAMPLE,
        "😀😀 naïve wrold\n",         # two surrogate pairs before the word
        "Teh résumé\r\nis wrods\rend teh",  # CR LF and a lone CR end lines too
        "𝒜 teh ﬁne teh",              # a letter outside the BMP, a ligature
        "\ud800teh \udc00wrold 😀 x\ud83d",  # escaped surrogates without their other half
        "",
        "Nothing wrong here.\n",
    ]
    server = Server()
    server.initialize()
    for text in cases:
        document = Document(server, text)
        expect(f"diagnostics of {text!r}", document.published(), document.expected())
    server.end()


@scenario
def incremental_changes():
    server = Server()
    server.initialize()
    document = Document(server, SAMPLE)
    expect("diagnostics on opening", document.published(), document.expected())
    cases = [  # what the changes do, the changes of one didChange
        ("insert after an emoji", [edit(1, 2, 1, 2, " wrold")]),
        ("insert an emoji before a typo", [edit(0, 21, 0, 21, "😀")]),
        ("delete a typo", [edit(0, 6, 0, 12, "")]),
        ("a line break replaced joins two lines", [edit(0, 26, 1, 0, " ")]),
        ("split a word with accents", [edit(1, 8, 1, 8, "x zq")]),
        ("multi-line replace up to the end", [edit(0, 5, 2, 0, "x\nwrold\nteh y")]),
        ("several changes, each on the text the last one left",
         [edit(0, 0, 0, 0, "teh "), edit(0, 0, 0, 4, ""), edit(1, 0, 1, 0, "Mispelled\n"),
          edit(2, 0, 2, 0, "😀")]),
        ("a change without a range replaces the text", [{"text": "whole new txet\n😀 teh"}]),
        ("append a line at the end", [edit(1, 6, 1, 6, "\nwrods")]),
        ("replace everything with nothing", [{"text": ""}]),
    ]
    for what, changes in cases:
        document.change(*changes)
        expect(f"diagnostics after: {what} -> {document.text!r}", document.published(), document.expected())
    # A burst of changes with no wait between them: only the last text has to be published.
    for n in range(20):
        document.change(edit(0, 0, 0, 0, "teh " if n % 2 else "wrold "))
    expect("diagnostics after a burst", document.published(), document.expected())
    server.notify("textDocument/didSave", {"textDocument": {"uri": document.uri}})
    expect("diagnostics after saving", server.published(document.uri), document.expected())
    server.notify("textDocument/didClose", {"textDocument": {"uri": document.uri}})
    expect("diagnostics after closing", server.published(document.uri), [])
    server.end()


@scenario
def document_modes():
    # The words flagged are those `lexivane list --mode` prints, each at its place in the text as
    # sent. Each text holds misspellings in what is not prose too (xqcode...), which must not come.
    cases = [  # languageId, file extension, the mode it stands for, text
        ("markdown", "txt", "markdown",
         "# Teh title\n\nSome `xqcodea` and [wrold](http://xqlink.example) teh.\n\n"
         "```\nxqcodeb wrold\n```\n😀 naïve wrods\n"),
        ("html", "txt", "html",
         "<p class=\"xqattr\">Teh <b>wrold</b></p>\n<script>xqcode()</script>\n"
         "<img alt=\"teh\" src=\"xqsrc.png\"> wrods\n"),
        ("latex", "txt", "tex",
         "\\section{Teh title}\n\\xqcmd{x} $xqmath$ wrold % xqcomment\n"
         "\\begin{verbatim}\nxqverb\n\\end{verbatim}\nwrods\n"),
        ("plaintext", "md", "none", "Some `wrold` here, teh http://xqlink.example\n"),
        ("unknown-id", "md", "markdown", "Some `xqcode` here, teh\n"),
    ]
    server = Server()
    server.initialize()
    for language_id, extension, mode, text in cases:
        document = Document(server, text, language_id, extension)
        published = document.published()
        words = [diagnostic["data"]["word"] for diagnostic in published]
        expect(f"words of {language_id} {text!r}", words, server.verdicts.words(text, mode))
        if mode != "none":
            expect(f"hidden words of {language_id}", [w for w in words if w.startswith("xq")], [])
        placed = [text[index_of(text, d["range"]["start"]):index_of(text, d["range"]["end"])]
                  for d in published]
        expect(f"ranges of {language_id} {text!r}", placed, words)
    server.end()


def expected_actions(uri, diagnostic, suggestions, version=None):
    word = diagnostic["data"]["word"]

    def edit(suggestion):
        edits = [{"range": diagnostic["range"], "newText": suggestion}]
        if version is None:
            return {"changes": {uri: edits}}
        return {"documentChanges": [{"textDocument": {"uri": uri, "version": version}, "edits": edits}]}

    actions = [{"title": f"Change to '{s}'", "kind": "quickfix", "isPreferred": n == 0,
                "diagnostics": [diagnostic], "edit": edit(s)} for n, s in enumerate(suggestions)]
    for title, command in ((f"Add '{word}' to the dictionary", ADD),
                           (f"Ignore '{word}' in this session", IGNORE)):
        actions.append({"title": title, "kind": "quickfix", "isPreferred": False, "edit": None,
                        "command": {"title": title, "command": command, "arguments": [word]}})
    return actions


def seen_actions(actions):
    """The actions as the server gave them, with the fields the contract leaves open set aside."""
    seen = []
    for action in actions or []:
        command = action.get("command")
        seen.append({"title": action.get("title"), "isPreferred": bool(action.get("isPreferred")),
                     "edit": action.get("edit"),
                     # the kind of the ignore action is left open
                     "kind": "quickfix" if command and command["command"] == IGNORE else action.get("kind")})
        if command:  # whether a command carries the diagnostic is left open too
            seen[-1]["command"] = command
        else:
            seen[-1]["diagnostics"] = action.get("diagnostics")
    return seen


@scenario
def code_actions():
    server = Server()
    server.initialize()
    document = Document(server, SAMPLE)
    diagnostics = document.published()
    by_word = lambda line, word: next(d for d in diagnostics if d["range"]["start"]["line"] == line
                                      and d["data"]["word"] == word)
    wrold, teh0, teh1, mispelled = (by_word(0, "wrold"), by_word(0, "teh"), by_word(1, "teh"),
                                    by_word(1, "mispelled"))
    cases = [  # what, range asked for (line, first, last character), diagnostics expected
        ("cursor inside a word after an emoji", (1, 9, 9), [teh1]),
        ("cursor at a word's start", (0, 6, 6), [wrold]),
        ("cursor at a word's end", (0, 11, 11), [wrold]),
        ("range over two words", (1, 10, 13), [teh1, mispelled]),
        ("cursor between words", (0, 15, 15), []),
        ("whole line", (0, 0, 30), [wrold, teh0]),
    ]
    for what, (line, first, last), want in cases:
        # Neovim 0.7.2 hands the diagnostics back with byte columns; the server must not use them.
        bytes_range = {"start": {"line": line, "character": first + 3},
                       "end": {"line": line, "character": last + 3}}
        context = {"diagnostics": [dict(d, range=bytes_range) for d in want]}
        got = server.result("textDocument/codeAction", {
            "textDocument": {"uri": document.uri},
            "range": {"start": {"line": line, "character": first}, "end": {"line": line, "character": last}},
            "context": context})
        expect(f"code actions, {what}", seen_actions(got), document.expected_actions(want))
    # The actions follow the text as it is now, even before its diagnostics are published.
    document.change(edit(1, 2, 1, 2, "wrods "))
    got = server.result("textDocument/codeAction", {
        "textDocument": {"uri": document.uri},
        "range": {"start": {"line": 1, "character": 4}, "end": {"line": 1, "character": 4}},
        "context": {"diagnostics": []}})
    wrods = next(d for d in document.expected() if d["data"]["word"] == "wrods")
    expect("code actions on text not yet checked", seen_actions(got), document.expected_actions([wrods]))
    # The suggestions of a word with a typographic apostrophe are those of the word checked.
    apostrophe = Document(server, "Teh wouldn’tx, zorgx’s\n")
    expect("code actions of apostrophes", apostrophe.actions(),
           apostrophe.expected_actions(apostrophe.published()))
    server.end()

    # A client that takes versioned edits gets them, with the version of the text the words were
    # found in, so that it can refuse a fix for a text changed since.
    server = Server()
    server.initialize({"workspace": {"workspaceEdit": {"documentChanges": True}}})
    document = Document(server, SAMPLE)
    document.published()
    document.change(edit(0, 0, 0, 0, "Teh "))
    expect("versioned edits", document.actions(),
           document.expected_actions(document.expected(), versioned=True))
    server.end()


def command(server, name, *arguments):
    return server.call("workspace/executeCommand", {"command": name, "arguments": list(arguments)})


def dictionary_lines(path):
    """The lines of a custom dictionary file; none while it is missing."""
    if not os.path.exists(path):
        return []
    with open(path, "rb") as file:
        return file.read().split(b"\r\n")


@scenario
def commands():
    server = Server()
    server.initialize()
    first = Document(server, SAMPLE)
    second = Document(server, "wrold again, and mispelled zorgx’s qwertyx’s\n")
    for document in (first, second):
        document.published()
    dictionary = os.path.join(server.config, "lexivane", "lvscust.dic")

    accepted = set()
    cases = [  # command, word, error code expected, words the documents accept afterwards
        (ADD, "wrold", None, {"wrold"}),
        (IGNORE, "MISPELLED", None, {"mispelled"}),  # an ignored word is accepted in any case
        (IGNORE, "teh", None, {"teh"}),
        # A typographic apostrophe is read as text reads it.
        (ADD, "zorgx’s", None, {"zorgx’s"}),
        (IGNORE, "QWERTYX’S", None, {"qwertyx’s"}),
        (ADD, 42, -32602, set()),
        (ADD, None, -32602, set()),  # no argument at all
        (IGNORE, "", -32602, set()),
        # Words that could not stay one entry of the file.
        (ADD, "helo\nhte", -32602, set()),
        (ADD, "helo\r\nhte", -32602, set()),
        (ADD, "helo\u0000", -32602, set()),
        (ADD, " helo", -32602, set()),
        (IGNORE, "helo\u00a0", -32602, set()),
    ]
    for name, word, error, now_accepted in cases:
        answer = command(server, name, *([] if word is None else [word]))
        expect(f"{name} {word!r}", answer.get("error", {}).get("code") if error else answer,
               error if error else {"jsonrpc": "2.0", "id": server.next_id, "result": None})
        if error:
            continue
        accepted |= now_accepted
        for document in (first, second):  # a word counts at once, saved or not
            document.settled(accepted=accepted)
    lines = lambda: [line.decode("cp1252") for line in dictionary_lines(dictionary)]
    eventually("custom dictionary after adding", lambda: lines() == ["wrold", "zorgx's", ""])

    # A word added by another server is in the file the tool reads.
    expect("list with the custom dictionary", server.verdicts.words("wrold teh"), ["teh"])
    expect("exit status", server.end(), 0)

    # A dictionary that cannot be written: the word accepted all the same, and the failed save
    # reported as an error message.
    blocker = os.path.join(WORK, "a-file-not-a-folder")
    open(blocker, "w").close()
    server = Server("--custom", os.path.join(blocker, "words.dic"))
    server.initialize()
    document = Document(server, "wrold teh")
    document.published()
    expect("add to an unwritable dictionary", command(server, ADD, "wrold").get("result", "error"), None)
    report = server.notification("window/showMessage", "the failed save's report")
    expect("the report of the failed save", (report["type"], "words.dic" in report["message"],
                                             "'wrold'" in report["message"]), (1, True, True))
    expect("the word is accepted anyway", document.published(), document.expected(accepted={"wrold"}))
    server.end()


@scenario
def shared_dictionary():
    """Programs that add to one custom dictionary at the same time keep every word, and a running
    server takes up the words that others added."""
    config = tempfile.mkdtemp(prefix="config-", dir=WORK)
    dictionary = os.path.join(config, "lexivane", "lvscust.dic")
    env = dict(os.environ, XDG_CONFIG_HOME=config)
    first, second = Server(config=config), Server(config=config)
    batches = {first: [], second: []}
    for k, server in enumerate(batches):
        server.initialize()
        for n in range(50):  # sent without waiting, so that the two servers save at once
            batches[server].append(f"zq{'ab'[k]}{chr(97 + n // 26)}{chr(97 + n % 26)}")
            server.ask("workspace/executeCommand", {"command": ADD, "arguments": [batches[server][-1]]})
    for server, words in batches.items():
        for n, word in enumerate(words):
            answer = server.response(server.next_id - len(words) + 1 + n, f"adding {word}")
            expect(f"adding {word}", answer.get("result", "error"), None)
    saved = lambda: sorted(line.decode() for line in dictionary_lines(dictionary) if line)
    eventually("words kept by two servers", lambda: saved() == sorted(batches[first] + batches[second]))

    # A word a server adds while an ispell pipe session is open survives that session's save.
    document, other = Document(first, "wrold teh zorgq\n"), Document(first, "more wrold")
    document.published(), other.published()
    pipe = subprocess.Popen([LEXIVANE, "-a"], stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=env)
    pipe.stdout.readline()  # the banner: the session has read the file
    pipe.stdin.write(b"*wrold\n")
    expect("the second server adds", command(second, ADD, "zorgq").get("result", "error"), None)
    pipe.communicate(b"#\n", timeout=PATIENCE)
    eventually("after the pipe's save",
               lambda: {b"wrold", b"zorgq"} <= set(dictionary_lines(dictionary)))
    # The first server takes both up at its next check, in every document.
    first.notify("textDocument/didSave", {"textDocument": {"uri": document.uri}})
    document.settled(), other.settled()  # words another program added, in every document
    # And before a code action, when no document changed.
    subprocess.run([LEXIVANE, "-a"], input=b"*teh\n#\n", env=env, capture_output=True, timeout=30)
    first.result("textDocument/codeAction", {
        "textDocument": {"uri": other.uri}, "context": {"diagnostics": []},
        "range": {"start": {"line": 0, "character": 0}, "end": {"line": 0, "character": 0}}})
    document.settled()  # a word added before a code action
    for server in batches:
        expect("exit status", server.end(), 0)


@scenario
def settings():
    custom = os.path.join(WORK, "settings-custom.dic")
    cases = [  # initializationOptions, didChangeConfiguration settings, then what they give:
        # the severity, how many suggestions, in which ranking
        (None, None, 3, 5, "typing"),
        ({"severity": "error"}, None, 1, 5, "typing"),
        ({"severity": "hint", "maxSuggestions": 0}, None, 4, 0, "typing"),
        ({"severity": 2, "maxSuggestions": 15}, None, 2, 15, "typing"),
        (None, {"lexivane": {"severity": "warning", "maxSuggestions": 1}}, 2, 1, "typing"),
        ({"severity": "error"}, {"severity": "information", "maxSuggestions": 3}, 3, 3, "typing"),
        ({"maxSuggestions": 2}, {"lexivane": {"severity": "hint"}}, 4, 2, "typing"),
        ({"suggestionRanking": "engine", "maxSuggestions": 15}, None, 3, 15, "engine"),
        (None, {"lexivane": {"suggestionRanking": "engine"}}, 3, 5, "engine"),
        ({"suggestionRanking": "engine"}, {"suggestionRanking": "typing"}, 3, 5, "typing"),
    ]
    for options, changed, severity, suggestions, ranking in cases:
        server = Server()
        server.initialize(options=options)
        document = Document(server, SAMPLE)
        published = document.published()
        if changed is not None:
            server.notify("workspace/didChangeConfiguration", {"settings": changed})
            published = server.published(document.uri)
        expected = document.expected(severity=severity)
        expect(f"diagnostics with {options} then {changed}", published, expected)
        expect(f"code actions with {options} then {changed}", document.actions(),
               document.expected_actions(expected, max_suggestions=suggestions, ranking=ranking))
        server.end()

    # The customDictionary setting names the file that additions go to.
    server = Server()
    server.initialize(options={"customDictionary": custom})
    Document(server, "wrods").published()
    command(server, ADD, "wrods")
    eventually("customDictionary setting", lambda: b"wrods" in dictionary_lines(custom))
    server.end()


@scenario
def errors():
    server = Server()
    expect("request before initialize",
           server.call("textDocument/codeAction", {}).get("error", {}).get("code"), -32002)
    server.initialize()
    requests = [  # raw bytes sent, error code, id of the error response
        (b'{"jsonrpc": "2.0", "id": 7, "method": "lexivane/unknown", "params": {}}', -32601, 7),
        (b'{"jsonrpc": "2.0", "id": 8, "method": "textDocument/hover", "params": {}}', -32601, 8),
        (b'{"jsonrpc": "2.0", "id": 9, "method": ', -32700, None),
        ('{"jsonrpc": "2.0", "method": "x", "params": {"t": "é\x00"'.encode(), -32700, None),
        (b'[1, 2]', -32600, None),
        (b'{"jsonrpc": "2.0", "id": 10}', -32600, 10),
        (b'{"jsonrpc": "2.0", "id": 11, "method": 5}', -32600, 11),
        # An id that is no string nor integer is answered, with none.
        (b'{"jsonrpc": "2.0", "id": true, "method": "lexivane/unknown"}', -32600, None),
        (b'{"jsonrpc": "2.0", "id": 1.5, "method": "lexivane/unknown"}', -32600, None),
        (b'{"jsonrpc": "2.0", "id": null, "method": "lexivane/unknown"}', -32600, None),
    ]
    for body, code, message_id in requests:
        server.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)
        answer = server.response(message_id, f"the answer to {body!r}")
        expect(f"error for {body!r}", (answer.get("error", {}).get("code"), "id" in answer), (code, True))

    # Header blocks without a valid length, and notifications nobody handles, get no answer:
    # the first thing to come back is the answer to the request sent after them.
    server.send_raw(b"Content-Type: application/vscode-jsonrpc\r\n\r\n")
    server.send_raw(b"Content-Length: twelve\r\n\r\n")
    server.notify("$/setTrace", {"value": "verbose"})
    server.notify("lexivane/whatever")
    server.ask("lexivane/unknown")
    answer = server.receive("the answer after the noise")
    expect("first message after the noise", (answer.get("id"), answer.get("error", {}).get("code")),
           (server.next_id, -32601))

    document = Document(server, "still wrold")
    expect("still checking after the errors", document.published(), document.expected())
    expect("exit status", server.end(), 0)
    expect("standard error after the errors", server.stderr, b"")


@scenario
def lifecycle():
    def shut_down(server):
        server.result("shutdown")

    def request_after_shutdown(server):
        server.result("shutdown")
        expect("request after shutdown", server.call("textDocument/codeAction", {}).get("error", {}).get("code"),
               -32600)

    cases = [  # what happens before the end, how it ends, exit status
        ("shutdown", shut_down, "exit", 0),
        ("nothing", None, "exit", 1),
        ("shutdown", shut_down, "end of input", 1),
        ("nothing", None, "end of input", 1),
        ("a request after shutdown", request_after_shutdown, "exit", 0),
    ]
    for what, before, how, status in cases:
        server = Server()
        server.initialize()
        Document(server, "teh").published()
        if before:
            before(server)
        if how == "exit":
            server.notify("exit")
        else:
            server.process.stdin.close()
        expect(f"exit status after {what} and {how}", server.wait(), status)
        expect(f"standard error after {what} and {how}", server.stderr, b"")


@scenario
def client_that_writes_before_it_reads():
    """Changes to large documents, all sent before anything is read: the server must go on
    reading while what it has to send waits, and then send what is current."""
    server = Server(reading=False)
    server.ask("initialize", {"capabilities": {}})
    server.notify("initialized")
    large = "teh wrold " * 1500  # diagnostics of about 1 MB, far more than a pipe holds
    documents = [Document(server, large) for _ in range(4)]
    time.sleep(0.5)  # their first diagnostics are due now, and cannot all go out

    def write():
        try:
            for n in range(50):
                for document in documents:
                    document.change({"text": large if n < 49 else f"wrold {n} " + large[:600]})
        except Failure:
            pass  # the server was killed: it stopped reading

    writer = threading.Thread(target=write, daemon=True)
    writer.start()
    writer.join(30)
    if writer.is_alive():
        server.process.kill()
        raise Failure("the server stopped reading while its output waited (deadlock)")
    server.start_reading()
    for document in documents:
        expect(f"{document.uri} once read", document.published(), document.expected())
    expect("exit status", server.end(), 0)


# 320 distinct misspellings: the code actions of the whole text take about 1 MB.
MANY_MISSPELLINGS = " ".join(f"wrold{a}{b}" for a in "abcdefghijklmnop" for b in "abcdefghijklmnopqrst")


def whole_text(document):
    return {"textDocument": {"uri": document.uri}, "context": {"diagnostics": []},
            "range": {"start": {"line": 0, "character": 0}, "end": {"line": 1, "character": 0}}}


def process_status(pid):
    """The server's resident memory in KiB, and the processor time it has used, in ticks."""
    with open(f"/proc/{pid}/status") as status:
        resident = next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return resident, int(fields[11]) + int(fields[12])  # utime + stime


def peak_memory_until_idle(pid):
    """The highest resident memory seen (KiB) until the process has used no processor time for
    a second: it has answered all it has read, or it has stopped reading."""
    peak, last_cpu, idle_since = 0, -1, time.monotonic()
    deadline = time.monotonic() + 60
    while time.monotonic() - idle_since < 1 and time.monotonic() < deadline:
        resident, cpu = process_status(pid)
        peak = max(peak, resident)
        if cpu != last_cpu:
            last_cpu, idle_since = cpu, time.monotonic()
        time.sleep(0.05)
    return peak


def handled_so_far(server, word):
    """Waits until the server has handled every message sent so far, without reading what it
    sends: it handles them in order, and the word added last reaches the custom dictionary."""
    added = server.ask("workspace/executeCommand", {"command": ADD, "arguments": [word]})
    dictionary = os.path.join(server.config, "lexivane", "lvscust.dic")
    eventually(f"{word} in the custom dictionary", lambda: word.encode() in dictionary_lines(dictionary))
    return added


@scenario
def client_that_does_not_read():
    """Code actions asked for by a client that reads none of the replies (some 110 MB of them):
    the server stops reading the client instead of keeping them all, and answers every request
    once the client reads."""
    if not ADDRESS_SPACE_LIMIT:
        return  # the sanitizers' own memory would hide the server's
    server = Server(reading=False)
    initialized = server.ask("initialize", {"capabilities": {}})
    server.notify("initialized")
    document = Document(server, MANY_MISSPELLINGS)
    first = server.ask("textDocument/codeAction", whole_text(document))  # searches the suggestions
    resting = peak_memory_until_idle(server.process.pid)
    asked = []

    def write():
        try:
            for _ in range(100):
                asked.append(server.ask("textDocument/codeAction", whole_text(document)))
        except Failure:
            pass

    threading.Thread(target=write, daemon=True).start()
    growth = peak_memory_until_idle(server.process.pid) - resting
    expect(f"memory held for a client that does not read: {growth} KiB, under 64 MiB",
           growth < 64 << 10, True)
    server.start_reading()
    server.response(initialized, "initialize")
    size = len(server.response(first, "the first code actions")["result"])
    eventually("every request sent", lambda: len(asked) == 100)
    sizes = [len(server.response(n, f"code actions {n}").get("result", [])) for n in asked]
    expect("every request answered in full", sizes, [size] * 100)
    expect("exit status", server.end(), 0)


@scenario
def replies_the_client_can_no_longer_use():
    """Replies still waiting to be sent when the client cancels their requests, or changes the
    document they were made from, become the protocol's errors for that."""
    server = Server(reading=False)
    initialized = server.ask("initialize", {"capabilities": {}})
    server.notify("initialized")
    document = Document(server, MANY_MISSPELLINGS)
    # The first reply fills the pipe, which the client does not read: the others wait.
    asked = [server.ask("textDocument/codeAction", whole_text(document)) for _ in range(5)]
    for n in asked[1:3]:
        server.notify("$/cancelRequest", {"id": n})
    document.change(edit(0, 0, 0, 0, "Teh "))
    after = server.ask("textDocument/codeAction", whole_text(document))
    added = handled_so_far(server, "zqbarrier")
    server.start_reading()
    server.response(initialized, "initialize")
    codes = [server.response(n, f"code actions {n}").get("error", {}).get("code") for n in asked]
    expect("the first reply, being written when the others were revised",
           codes[0] in (None, -32801), True)
    expect("replies cancelled, then made from a text changed since", codes[1:],
           [-32800, -32800, -32801, -32801])
    words = [action["command"]["arguments"][0]
             for action in server.response(after, "code actions")["result"]
             if action.get("command", {}).get("command") == ADD]
    expect("the code actions after the change", words, ["Teh"] + MANY_MISSPELLINGS.split())
    server.response(added, "adding a word")
    server.end()


@scenario
def dictionary_locked_by_another_program():
    """While another program holds the custom dictionary's lock, adding a word holds up no
    request: the word counts at once, and is saved when the lock comes, before the server ends;
    a word still unsaved when the server has to end is reported."""
    for released_before_exit in (True, False):
        server = Server()
        server.initialize()
        folder = os.path.join(server.config, "lexivane")
        os.makedirs(folder)
        dictionary = os.path.join(folder, "lvscust.dic")
        with open(os.path.join(folder, ".lvscust.dic.lock"), "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            document = Document(server, "wrold teh\n")
            document.published()
            added = quickly("adding a word", 2, lambda: command(server, ADD, "wrold"))
            expect("adding a word while the lock is held", added.get("result", "error"), None)
            document.settled(accepted={"wrold"})
            expect("code actions while the save waits", quickly("code actions", 2, document.actions),
                   document.expected_actions(document.expected(accepted={"wrold"})))
            quickly("shutdown while the save waits", 2, lambda: server.result("shutdown"))
            expect("nothing written while the lock is held", dictionary_lines(dictionary), [])
            if released_before_exit:
                fcntl.flock(lock, fcntl.LOCK_UN)
            server.notify("exit")
            expect("exit status", quickly("the end while the save waits", 4, server.wait), 0)
        if released_before_exit:
            expect("the word saved once the lock came", dictionary_lines(dictionary), [b"wrold", b""])
            expect("standard error", server.stderr, b"")
        else:
            expect("no file", dictionary_lines(dictionary), [])
            expect("the word not saved, reported",
                   b"lvscust.dic" in server.stderr and b"'wrold'" in server.stderr, True)


@scenario
def project_configuration():
    """A document is checked with its folder's .lexivane.toml; the client applies the action that
    adds a word to the project's words, and once the file is saved the word is no longer
    reported."""
    project = os.path.join(WORK, "project")
    os.makedirs(os.path.join(project, ".git"))
    config = os.path.join(project, ".lexivane.toml")
    with open(config, "w", encoding="utf-8") as out:
        out.write('# the words of this project\nwords = [\n  "wrold",\n]\n')
    server = Server()
    server.initialize()
    uri = f"file://{project}/notes.txt"
    server.notify("textDocument/didOpen", {"textDocument": {
        "uri": uri, "languageId": "plaintext", "version": 1, "text": "wrold teh"}})
    expect("diagnostics", [d["data"]["word"] for d in server.published(uri)], ["teh"])
    actions = server.result("textDocument/codeAction", {
        "textDocument": {"uri": uri},
        "range": {"start": {"line": 0, "character": 7}, "end": {"line": 0, "character": 7}},
        "context": {"diagnostics": []}})
    titles = [action["title"] for action in actions]
    title = "Add 'teh' to the project's words"
    expect("the project's action follows the dictionary's",
           titles[titles.index("Add 'teh' to the dictionary") + 1], title)
    changes = actions[titles.index(title)]["edit"]["changes"]
    expect("the file edited", list(changes), [f"file://{config}"])
    with open(config, encoding="utf-8") as read:
        text = read.read()
    for change in changes[f"file://{config}"]:
        text = apply_change(text, dict(change, text=change["newText"]))
    expect("the file after the edit", text,
           '# the words of this project\nwords = [\n  "wrold",\n  "teh",\n]\n')
    with open(config, "w", encoding="utf-8") as out:
        out.write(text)
    server.notify("workspace/didChangeWatchedFiles",
                  {"changes": [{"uri": f"file://{config}", "type": 2}]})
    server.settled(uri, [])
    expect("exit status", server.end(), 0)


@scenario
def shutdown_during_a_check():
    """`shutdown` is answered at once while large documents are being checked, and `exit` ends
    the server soon after."""
    server = Server()
    server.initialize()
    Document(server, "/* a */ " * 131072 + "\nteh", "c", "c")  # 1 MB on one line
    Document(server, "the world " * 400000)  # 4 MB of words
    time.sleep(0.3)  # a check is under way
    quickly("shutdown during a check", 2, lambda: server.result("shutdown"))
    server.notify("exit")
    expect("exit status", quickly("the end during a check", 4, server.wait), 0)
    expect("standard error", server.stderr, b"")


@scenario
def long_header_line():
    """A header line of 300 MB is read past in bounded memory, and the next message answered."""
    if not ADDRESS_SPACE_LIMIT:
        return
    server = Server(address_space=ADDRESS_SPACE_LIMIT)
    server.initialize()
    server.send_raw(b"X-Long: ")
    chunk = b"x" * (1 << 20)
    for _ in range(300):
        server.send_raw(chunk)
    server.send_raw(b"\r\n\r\n")  # the block, skipped as one without a length would be
    expect("the call after a long header line",
           server.call("lexivane/unknown").get("error", {}).get("code"), -32601)
    expect("exit status", server.end(), 0)


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    for run in (capabilities, utf16_ranges, incremental_changes, document_modes, code_actions,
                commands, shared_dictionary, settings, project_configuration, errors, lifecycle,
                client_that_writes_before_it_reads, client_that_does_not_read,
                replies_the_client_can_no_longer_use, dictionary_locked_by_another_program,
                shutdown_during_a_check, long_header_line):
        run()
    for server in servers:
        if server.process.poll() is None:
            server.process.kill()
    for failure in failures:
        print(failure, end="\n\n")
    print(f"{len(failures)} mismatches" if failures else "all LSP protocol checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
