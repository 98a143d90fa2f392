#!/usr/bin/env python3
"""Fails when an #include runs against the layers (HACKING.md draws them).

The library's folders stack: a folder may include its own headers, the public headers of its
own floor and of the floors below it, and the folders of lower layers; two folders of one layer
may not include each other. support/, the lowest floor, includes nothing of ours, and every
folder of the library and every client may include it; the public headers may not, since it is
not installed. A public header sits on the floor of the folder that implements it,
so that lexivane/X.h included from below X's implementation is caught like any other include.

Above the library stand its clients: the tool, the front ends, the layer they share and the
examples. They use the installed library through its public headers, and support/, and include
one another only as CLIENTS says. Unit tests (*_test.*), the shared test support and the
benchmarks sit above everything and are not checked, nor are the documents of others in
testdata/. Only C++ is scanned (*.h, *.cc and the header templates).

usage: tests/check_layers.py [SOURCE_DIR]
       tests/check_layers.py --self-test
"""
import pathlib
import re
import sys

# The library's folders, lowest floor first. A folder inside another ("suggest/typing") is a floor
# of its own when it is listed; otherwise its files belong to the folder it is in.
LAYERS = [
    {"support"},
    {"platform"},
    {"engine", "zlibwrap"},
    {"suggest"},
    {"suggest/typing"},
    {"textcheck", "dialog"},
    {"api"},
    {"component", "qt"},
]
RANK = {folder: rank for rank, layer in enumerate(LAYERS) for folder in layer}

# The floors of the front-end layer, lowest first: each may include the ones below it.
FRONTEND_FLOORS = ["frontend/io", "frontend/words", "frontend/modes", "frontend/session",
                   "frontend/pipeline", "frontend/project"]

# Each client folder and the folders it may include besides its own ("frontend": any of its
# floors); all of them may include every public header, none of the library's folders but
# support/. The examples show a host of the installed library, which has no support/.
FRONT_ENDS = {"pipe", "lsp", "fix", "enchant"}
CLIENTS = {
    "cli": FRONT_ENDS | {"frontend", "support"},
    **{front_end: {"frontend", "support"} for front_end in FRONT_ENDS},
    **{floor: {"support", *FRONTEND_FLOORS[:rank]} for rank, floor in enumerate(FRONTEND_FLOORS)},
    "examples": set(),
}
ABOVE_ALL = {"tests", "bench"}
# Documents of others that the benchmarks read (testdata/README.md): none of our code.
NOT_OURS = {"testdata"}

# Each public header and the folder that implements it. A header of declarations only belongs
# to the lowest folder whose types it uses: platform/ when it uses none of ours.
PUBLIC_HEADERS = {
    "export.h": "platform",  # macros only
    "events.h": "platform",  # an interface over standard types
    "dialog_buttons.h": "platform",  # two enumerations
    "error.h": "platform",
    "utf8.h": "platform",
    "letter_case.h": "platform",
    "zlib_wrapper.h": "zlibwrap",
    "suggestions_dialog.h": "dialog",
    "dialog.h": "api",  # SetDialogView keeps the view in the thread's state
    "spell_check.h": "api",
    "shown_suggestions.h": "api",
    "typing_suggestions.h": "api",
    "version.h": "api",  # generated from version.h.in
    "yield.h": "api",
    "lexivane.h": "api",  # all of the above but qt.h
    "qt.h": "qt",
}

INCLUDE = re.compile(r'^\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>)', re.MULTILINE)
SOURCES = (".h", ".cc", ".h.in")


def folder_of(path):
    """The folder a file or an include path belongs to: the longest of its leading folders that
    LAYERS or CLIENTS lists, else its first ("suggest/typing/x.h": suggest/typing; "cli/x.cc":
    cli)."""
    parts = pathlib.PurePosixPath(path).parts[:-1]
    for end in range(len(parts), 1, -1):
        if "/".join(parts[:end]) in RANK or "/".join(parts[:end]) in CLIENTS:
            return "/".join(parts[:end])
    return parts[0] if parts else ""


def below(wanted, folder):
    """True when `folder` may use what `wanted` implements."""
    return wanted == folder or RANK[wanted] < RANK[folder]


def include_violation(folder, floor, target):
    """Why `folder`, a file of which sits on `floor`, may not include `target` (None if it may)."""
    first, _, rest = target.partition("/")
    wanted = folder_of(target)
    if not rest or wanted == folder:
        return None
    if first == "lexivane":
        implemented = PUBLIC_HEADERS.get(rest)
        if implemented is None:
            return "which is no public header in the table of tests/check_layers.py"
        if floor in RANK and not below(implemented, floor):
            return f"which {implemented}/ implements, above {floor}/"
        return None
    if folder in CLIENTS or folder == "include":
        allowed = CLIENTS.get(folder, set())
        if first in allowed or wanted in allowed:
            return None
        more = "".join(f", {name}/" for name in sorted(allowed))
        return f"but may include public headers{more} only"
    if wanted not in RANK:
        return "which belongs to no layer below it"
    if not below(wanted, floor):
        return "which is not in a lower layer"
    return None


def file_violations(relative, text):
    """The messages for one source file, `relative` to the source folder."""
    folder = folder_of(relative)
    if folder in ABOVE_ALL | NOT_OURS or re.search(r"_test\.\w+$", relative.name):
        return
    if folder == "include":
        floor = PUBLIC_HEADERS.get(relative.name.removesuffix(".in"))
        if floor is None:
            yield f"{relative}: a public header missing from the table of tests/check_layers.py"
            return
    elif folder in RANK or folder in CLIENTS:
        floor = folder
    else:
        yield f"{relative}: {folder}/ is in no layer; add it to tests/check_layers.py and HACKING.md"
        return
    for quoted, angled in INCLUDE.findall(text):
        # Angle brackets reach our folders through the same include path, so they count too.
        target = quoted or angled
        if angled and target.split("/")[0] not in {"lexivane", *RANK, *CLIENTS}:
            continue
        why = include_violation(folder, floor, target)
        if why:
            yield f"{relative}: includes {target}, {why}"


def violations(root):
    for path in sorted(root.rglob("*")):
        relative = path.relative_to(root)
        top = relative.parts[0]
        if not path.name.endswith(SOURCES) or top.startswith((".", "build")) or not path.is_file():
            continue
        yield from file_violations(relative, path.read_text(encoding="utf-8", errors="replace"))


# (file, include line, whether the rules allow it): the rules held to cases worked out by hand.
SELF_TEST = [
    ("support/binary_image.cc", '#include "support/binary_image.h"', True),
    ("support/descriptor.cc", "#include <unistd.h>", True),
    ("support/descriptor.cc", '#include "lexivane/error.h"', False),
    ("support/descriptor.cc", '#include "platform/files.h"', False),
    ("support/descriptor.cc", '#include "frontend/io/command_error.h"', False),
    ("platform/files_posix.cc", '#include "support/descriptor.h"', True),
    ("engine/prepared_tables.cc", "#include <support/binary_image.h>", True),
    ("api/facade.cc", '#include "support/ascii.h"', True),
    ("frontend/io/input.cc", '#include "support/descriptor.h"', True),
    ("fix/text_file.cc", '#include "support/file_replacement.h"', True),
    ("cli/main.cc", '#include "support/ascii.h"', True),
    ("include/lexivane/spell_check.h", '#include "support/ascii.h"', False),
    ("examples/host/main.cc", '#include "support/ascii.h"', False),
    ("platform/error.cc", '#include "lexivane/error.h"', True),
    ("engine/word_list.cc", '#include "lexivane/error.h"', True),
    ("engine/word_list.cc", '#include "lexivane/spell_check.h"', False),
    ("engine/word_list.cc", "#include <lexivane/spell_check.h>", False),
    ("zlibwrap/zlib_wrapper.cc", '#include "lexivane/zlib_wrapper.h"', True),
    ("engine/word_list.cc", '#include "lexivane/zlib_wrapper.h"', False),
    ("dialog/model.cc", '#include "lexivane/suggestions_dialog.h"', True),
    ("dialog/model.cc", '#include "lexivane/dialog_buttons.h"', True),
    ("dialog/model.cc", '#include "lexivane/dialog.h"', False),
    ("textcheck/run.cc", '#include "lexivane/suggestions_dialog.h"', False),
    ("textcheck/run.cc", '#include "lexivane/events.h"', True),
    ("textcheck/run.cc", '#include "dialog/model.h"', False),
    ("suggest/speller.cc", '#include "engine/word_check.h"', True),
    ("suggest/typing/typing_ranking.cc", '#include "suggest/near_words.h"', True),
    ("suggest/typing/typing_ranking.cc", '#include "suggest/typing/typing_ranking.h"', True),
    ("suggest/suggestion_search.cc", '#include "suggest/typing/typing_ranking.h"', False),
    ("suggest/typing/typing_ranking.cc", '#include "api/thread_state.h"', False),
    ("api/typing_suggestions.cc", '#include "suggest/typing/typing_ranking.h"', True),
    ("textcheck/run.cc", '#include "suggest/typing/typing_ranking.h"', True),
    ("engine/word_check.cc", "#include <suggest/speller.h>", False),
    ("engine/word_check.cc", '#include "lexivane/nothing.h"', False),
    ("api/facade.cc", '#include "lexivane/dialog.h"', True),
    ("qt/window.cc", '#include "lexivane/qt.h"', True),
    ("component/object.cc", '#include "lexivane/qt.h"', False),
    ("component/object.cc", '#include "api/thread_state.h"', True),
    ("include/lexivane/suggestions_dialog.h", '#include "lexivane/export.h"', True),
    ("include/lexivane/suggestions_dialog.h", '#include "lexivane/spell_check.h"', False),
    ("include/lexivane/version.h.in", '#include "lexivane/export.h"', True),
    ("include/lexivane/spell_check.h", '#include "api/thread_state.h"', False),
    ("include/lexivane/unlisted.h", '#include "lexivane/export.h"', False),
    ("cli/main.cc", '#include "lsp/server.h"', True),
    ("cli/main.cc", '#include "frontend/pipeline/checker.h"', True),
    ("cli/main.cc", '#include "api/thread_state.h"', False),
    ("lsp/server.cc", '#include "frontend/words/words.h"', True),
    ("lsp/server.cc", '#include "pipe/protocol.h"', False),
    ("lsp/server.cc", '#include "cli/main.h"', False),
    ("enchant/provider.cc", '#include "frontend/session/session.h"', True),
    ("frontend/session/session.cc", '#include "lexivane/qt.h"', True),
    ("frontend/session/session.cc", '#include "fix/window.h"', False),
    ("frontend/session/session.cc", '#include "engine/word_check.h"', False),
    # The front-end layer's floors: each includes those below it, never one above.
    ("frontend/pipeline/checker.cc", '#include "frontend/session/session.h"', True),
    ("frontend/modes/filter.cc", '#include "frontend/words/words.h"', True),
    ("frontend/modes/filter.cc", '#include "frontend/modes/filter.h"', True),
    ("frontend/words/words.cc", '#include "frontend/modes/filter.h"', False),
    ("frontend/io/input.cc", '#include "frontend/pipeline/checker.h"', False),
    ("frontend/session/session.cc", '#include "frontend/pipeline/checker.h"', False),
    ("frontend/loose.cc", '#include "frontend/io/input.h"', False),
    ("examples/host/main.cc", "#include <lexivane/lexivane.h>", True),
    ("examples/host/main.cc", '#include "frontend/pipeline/checker.h"', False),
    ("engine/word_check_test.cc", '#include "api/thread_state.h"', True),
    ("tests/test_support.cc", '#include "cli/main.h"', True),
    ("bench/peers.cc", "#include <hunspell/hunspell.hxx>", True),
    ("testdata/modes-corpus/ccpp/stdio.h", "#include <bits/types.h>", True),
    ("unlisted/tool.cc", "#include <vector>", False),
]


def self_test():
    wrong = 0
    for file, line, allowed in SELF_TEST:
        found = list(file_violations(pathlib.PurePosixPath(file), line + "\n"))
        if bool(found) == allowed:
            wrong += 1
            print(f"{file}: {line}: expected {'no ' if allowed else ''}violation, got {found}")
    print(f"{len(SELF_TEST) - wrong} of {len(SELF_TEST)} cases answered as expected")
    return 1 if wrong else 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    found = list(violations(root))
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) against the layers; see HACKING.md")
        return 1
    print("every include follows the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
