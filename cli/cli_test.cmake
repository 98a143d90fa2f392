# End-to-end checks of the lexivane tool: exit codes, findings on the sample text, JSON output,
# byte order marks, the custom dictionary option, failures that must end in a message. Run by
# CTest with -DLEXIVANE=<tool> -DSOURCE_DIR=<repo> -DWORK_DIR=<scratch>, and
# -DADDRESS_SPACE_LIMIT=<bytes> where the tool may run under such a limit.
include(${CMAKE_CURRENT_LIST_DIR}/cli_test_support.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(ENV{XDG_CONFIG_HOME} ${WORK_DIR}/config)

run(1 check ${SOURCE_DIR}/examples/sample.txt)
foreach(word Teh seperate recieve thankyou offise definately)
  expect_in("${out}" "sample.txt:[0-9]+:[0-9]+: ${word}:")
endforeach()
# The suggestions the pipe shows: in the misspelling's letter case, in the typing ranking unless
# --ranking engine asks for the engine's own search. Either way a word's first five are those
# `suggest` gives in the same ranking.
expect_in("${out}" "sample.txt:3:1: Teh: The, ")
set(by_default "${out}")
foreach(ranking typing engine)
  run(1 check --ranking ${ranking} ${SOURCE_DIR}/examples/sample.txt)
  set(checked "${out}")
  if(ranking STREQUAL "typing" AND NOT checked STREQUAL by_default)
    message(FATAL_ERROR "the default is not the typing ranking:\n${by_default}")
  endif()
  foreach(word seperate recieve thankyou offise definately)
    run(0 suggest --json --ranking ${ranking} ${word})
    string(JSON count LENGTH "${out}" suggestions)
    set(first_five "")
    foreach(i RANGE 4)
      if(i LESS count)
        string(JSON suggestion GET "${out}" suggestions ${i})
        list(APPEND first_five "${suggestion}")
      endif()
    endforeach()
    list(JOIN first_five ", " first_five)
    expect_in("${checked}" ": ${word}: ${first_five}\n")
  endforeach()
endforeach()
# A word far longer than any English word gets none, without a search that grows with the square
# of its length.
string(REPEAT "q" 30000 long_word)
file(WRITE ${WORK_DIR}/long.txt "${long_word}\n")
run(1 check ${WORK_DIR}/long.txt)
expect_in("${out}" "long.txt:1:1: q+: \\(no suggestions\\)\n$")

file(WRITE ${WORK_DIR}/clean.txt "The cat sat on the mat.\r\nAll is well.\n")
run(0 check ${WORK_DIR}/clean.txt)
run(0 list ${WORK_DIR}/clean.txt)
run(2 list ${WORK_DIR}/missing.txt)
# A usage error is one line like every other failure; --suggestions names what it takes.
run(2 frobnicate)
expect_in("${err}" "^lexivane: [^\n]*frobnicate \\(see lexivane --help\\)\n$")
run(2 check --suggestions -1)
expect_in("${err}" "^lexivane: --suggestions: -1 is not a whole number from 0 to 999999999 ")
run(2 check --ranking best)
expect_in("${err}" "^lexivane: --ranking: no ranking best \\(the rankings: typing, engine\\) ")
run(0 --help)
run(0 check --help)
run(0 suggest --help)
run(0)
expect_in("${out}" "^lexivane: .*Usage: lexivane")
run(0 --version)
expect_in("${out}" "^lexivane [0-9]+\\.[0-9]+\\.[0-9]+\n$")

# "Teh wrold" and a line end in every encoding a byte order mark names; --suggestions 0 leaves
# the word alone on its line. The mark is no part of the first word.
string(HEX "Teh wrold\n" ascii)
string(REGEX REPLACE "(..)" "\\100" utf16le "${ascii}")
string(REGEX REPLACE "(..)" "00\\1" utf16be "${ascii}")
string(REGEX REPLACE "(..)" "\\1000000" utf32le "${ascii}")
string(REGEX REPLACE "(..)" "000000\\1" utf32be "${ascii}")
foreach(encoded "EFBBBF${ascii}" "FFFE${utf16le}" "FEFF${utf16be}" "FFFE0000${utf32le}"
                "0000FEFF${utf32be}")
  write_bytes(${WORK_DIR}/bom.txt ${encoded})
  run(1 check --suggestions 0 ${WORK_DIR}/bom.txt)
  if(NOT out STREQUAL "${WORK_DIR}/bom.txt:1:1: Teh\n${WORK_DIR}/bom.txt:1:5: wrold\n")
    message(FATAL_ERROR "${encoded} gave:\n${out}")
  endif()
endforeach()
# An unpaired surrogate and a lone last byte each become U+FFFD.
write_bytes(${WORK_DIR}/broken.txt "FFFE00D82000770072006F006C00640041")
run(1 check --suggestions 0 ${WORK_DIR}/broken.txt)
if(NOT out STREQUAL "${WORK_DIR}/broken.txt:1:3: wrold\n")
  message(FATAL_ERROR "broken UTF-16 gave:\n${out}")
endif()

# Words in running text: dashes, ellipses, + and & split words, quotes are no part of them, a
# typographic apostrophe is one; columns count characters (the emoji is one).
file(WRITE ${WORK_DIR}/running.txt "\"Teh\" wouldn’t “wrold”—recieve… a+teh & 😀 Teh\n")
set(list_all "Teh\nwrold\nrecieve\nteh\nTeh\n")
run(1 check --suggestions 0 ${WORK_DIR}/running.txt)
string(REGEX MATCHALL ":1:[0-9]+: [a-zA-Z]+" found "${out}")
if(NOT found STREQUAL ":1:2: Teh;:1:17: wrold;:1:24: recieve;:1:35: teh;:1:43: Teh")
  message(FATAL_ERROR "running text gave:\n${out}")
endif()
foreach(args "list;${WORK_DIR}/running.txt" "list;-;${WORK_DIR}/running.txt"
             "list;-u;${WORK_DIR}/running.txt;${WORK_DIR}/running.txt")
  execute_process(COMMAND ${LEXIVANE} ${args} INPUT_FILE ${WORK_DIR}/running.txt
                  RESULT_VARIABLE code OUTPUT_VARIABLE out)
  list(LENGTH args files)
  math(EXPR files "${files} - 1")
  string(REPEAT "${list_all}" ${files} expected)
  if(args MATCHES "-u")
    set(expected "Teh\nwrold\nrecieve\nteh\n")
  endif()
  if(NOT "${code}:${out}" STREQUAL "1:${expected}")
    message(FATAL_ERROR "lexivane ${args}: exit ${code}\n${out}")
  endif()
endforeach()
execute_process(COMMAND ${LEXIVANE} list INPUT_FILE ${WORK_DIR}/running.txt RESULT_VARIABLE code
                OUTPUT_VARIABLE out)
if(NOT "${code}:${out}" STREQUAL "1:${list_all}")
  message(FATAL_ERROR "lexivane list < running.txt: exit ${code}\n${out}")
endif()

file(WRITE ${WORK_DIR}/lines.txt "fine\r\nstill fine\rand then wrold\n")
run(1 check --json ${WORK_DIR}/lines.txt)
expect_in("${out}" "\"column\":10,")
expect_in("${out}" "\"line\":3,")
expect_in("${out}" "\"word\":\"wrold\"")
# --json is --format json; the two together, or a format of no name, are usage errors.
set(json_lines "${out}")
run(1 check --format json ${WORK_DIR}/lines.txt)
if(NOT out STREQUAL json_lines)
  message(FATAL_ERROR "--format json differs from --json:\n${out}")
endif()
run(2 check --json --format sarif ${WORK_DIR}/lines.txt)
run(2 check --format xml ${WORK_DIR}/lines.txt)
expect_in("${err}" "no format xml")

# A custom dictionary named on the command line must be readable, and so must a text; the
# message gives the system's reason.
file(WRITE ${WORK_DIR}/custom.dic "Wrold\r\n")
run(0 check --custom ${WORK_DIR}/custom.dic ${WORK_DIR}/lines.txt)
run(0 list --custom ${WORK_DIR}/custom.dic ${WORK_DIR}/lines.txt)
file(CREATE_LINK loop ${WORK_DIR}/loop SYMBOLIC)
set(files missing loop ${too_long_name} .)
set(reasons "No such file or directory" "Too many levels of symbolic links" "File name too long"
            "Is a directory")
foreach(file reason IN ZIP_LISTS files reasons)
  run(2 check --custom ${WORK_DIR}/${file} ${WORK_DIR}/lines.txt)
  expect_in("${err}" "^lexivane: ${WORK_DIR}/${file}: cannot read the custom dictionary: ${reason}\n$")
  if(NOT file STREQUAL ".")  # a folder is walked
    run(2 check ${WORK_DIR}/${file})
    expect_in("${err}" "^lexivane: ${WORK_DIR}/${file}: ${reason}\n$")
  endif()
endforeach()

# A folder: its text files in path order, what is left out counted on standard error, the same
# output for any number of jobs; a file named is checked whatever it is. A file found whose name
# says nothing is read by its editor's mode line, or else as text with addresses (url). The tree
# is no repository (the one the build folder stands in ends above it).
set(ENV{GIT_CEILING_DIRECTORIES} ${WORK_DIR})
set(tree ${WORK_DIR}/tree)
file(WRITE ${tree}/b.md "Teh end.\n")
file(WRITE ${tree}/a/z.txt "wrold\n")
file(WRITE ${tree}/a.txt "recieve\n")
file(WRITE ${tree}/.hidden.txt "Teh\n")
file(WRITE ${tree}/yarn.lock "wrold\n")
write_bytes(${tree}/data.txt "7772006F6C640A00")
file(WRITE ${tree}/NEWS "wrold, see https://exampel.org/\n")
file(WRITE ${tree}/complete "# -*- shell-script -*-\nx=$recieve\n")
run(1 check --suggestions 0 --jobs 1 ${tree})
set(walked "${tree}/NEWS:1:1: wrold\n${tree}/a.txt:1:1: recieve\n${tree}/a/z.txt:1:1: wrold\n${tree}/b.md:1:1: Teh\n")
if(NOT out STREQUAL walked)
  message(FATAL_ERROR "check of a folder gave:\n${out}")
endif()
expect_in("${err}" "^lexivane: 5 files checked, 4 findings, 3 skipped \\(1 hidden, 1 lock file, 1 binary\\), [0-9.]+ s\n$")
run(1 list ${tree}/NEWS)
if(NOT out STREQUAL "wrold\nexampel\n")
  message(FATAL_ERROR "list of a file named gave:\n${out}")
endif()
run(1 check --suggestions 0 --jobs 4 ${tree}/yarn.lock ${tree})
if(NOT out STREQUAL "${tree}/yarn.lock:1:1: wrold\n${walked}")
  message(FATAL_ERROR "check --jobs 4 of a file and a folder gave:\n${out}")
endif()
run(1 list -u --hidden ${tree} ${tree})
if(NOT out STREQUAL "Teh\nwrold\nrecieve\n")
  message(FATAL_ERROR "list -u --hidden of a folder gave:\n${out}")
endif()
# Many files of different sizes, each thread with its own session: still the output of one.
run(1 check --suggestions 3 --jobs 1 ${SOURCE_DIR}/docs)
set(one_job "${out}")
run(1 check --suggestions 3 --jobs 4 ${SOURCE_DIR}/docs)
if(NOT out STREQUAL one_job)
  message(FATAL_ERROR "check --jobs 4 of the docs differs from --jobs 1")
endif()
execute_process(COMMAND ${LEXIVANE} check --suggestions 0 . WORKING_DIRECTORY ${tree}
                RESULT_VARIABLE code OUTPUT_VARIABLE out)
if(NOT "${code}:${out}" STREQUAL "1:NEWS:1:1: wrold\na.txt:1:1: recieve\na/z.txt:1:1: wrold\nb.md:1:1: Teh\n")
  message(FATAL_ERROR "check . gave: exit ${code}\n${out}")
endif()
execute_process(COMMAND ${LEXIVANE} check --custom "" ${WORK_DIR}/lines.txt RESULT_VARIABLE code
                ERROR_VARIABLE err)
expect_in("${code}: ${err}" "^2: lexivane: --custom: the file name is empty")
# A file that cannot be read is reported, and the files after it are still checked.
foreach(command list check)
  run(2 ${command} ${WORK_DIR}/running.txt ${WORK_DIR}/missing.txt ${WORK_DIR}/lines.txt)
  expect_in("${err}" "^lexivane: ${WORK_DIR}/missing.txt: No such file or directory\n$")
  expect_in("${out}" "wrold[^\n]*\n$")  # the last of lines.txt
endforeach()

# The default custom dictionary is optional, even where its folder cannot exist.
set(ENV{XDG_CONFIG_HOME} ${WORK_DIR}/clean.txt)
run(1 check ${WORK_DIR}/lines.txt)
unset(ENV{XDG_CONFIG_HOME})
set(ENV{HOME} ${WORK_DIR}/clean.txt)
run(1 check ${WORK_DIR}/lines.txt)
set(ENV{XDG_CONFIG_HOME} ${WORK_DIR}/config)
file(MAKE_DIRECTORY ${WORK_DIR}/config/lexivane)
file(COPY_FILE ${WORK_DIR}/custom.dic ${WORK_DIR}/config/lexivane/lvscust.dic)
run(0 check ${WORK_DIR}/lines.txt)

run(0 suggest offise)
expect_in("${out}" "^offise: [0-9]+\n  office\n")
run(0 suggest --json --threshold 1 recieve)
expect_in("${out}" "\"suggestions\":\\[\"receive\"\\]")
run(0 suggest --no-custom wrold)
if(out MATCHES "Wrold")
  message(FATAL_ERROR "--no-custom still offered the custom word:\n${out}")
endif()
foreach(threshold 1.5 nan inf)
  run(2 suggest --threshold ${threshold} word)
endforeach()
run(2 suggest)

# Documents are checked in the mode their extension calls for: only their prose, each word
# reported where it stands in the file; --mode none reads them as plain text.
file(WRITE ${WORK_DIR}/doc.md "# Setup guidde\n\nRun `lexivane chek` and see [the docs](https://exampel.org/dokz).\n\n```sh\ngitt clone\n```\n\nA caf&eacute; with _emphasys_.\n")
run(1 check --suggestions 0 ${WORK_DIR}/doc.md)
if(NOT out STREQUAL "${WORK_DIR}/doc.md:1:9: guidde\n${WORK_DIR}/doc.md:9:21: emphasys\n")
  message(FATAL_ERROR "check doc.md:\n${out}")
endif()
run(1 list --mode none ${WORK_DIR}/doc.md)
expect_in("${out}" "chek\nexampel\n")  # https: the extra word list has it
file(WRITE ${WORK_DIR}/page.htm "<p title=\"Hellp\">Teh <code>fooo</code> &amp; ba&shy;nana</p>\n")
run(1 list ${WORK_DIR}/page.htm)
if(NOT out STREQUAL "Hellp\nTeh\n")
  message(FATAL_ERROR "list page.htm:\n${out}")
endif()
run(2 list --mode nope ${WORK_DIR}/page.htm)
expect_in("${err}" "no mode nope")
# With --identifiers, each word of an identifier in the code, at its own column; a part of one
# or two letters is not judged, nor one that runs listed words together.
file(WRITE ${WORK_DIR}/code.c "int getVaule(int max_lenght, dt, getIi, filedir); // teh getVaule\n")
run(1 check --suggestions 0 --identifiers ${WORK_DIR}/code.c)
if(NOT out STREQUAL "${WORK_DIR}/code.c:1:8: Vaule\n${WORK_DIR}/code.c:1:22: lenght\n${WORK_DIR}/code.c:1:54: teh\n")
  message(FATAL_ERROR "check --identifiers code.c:\n${out}")
endif()
run(1 list ${WORK_DIR}/code.c)
if(NOT out STREQUAL "teh\n")
  message(FATAL_ERROR "list code.c:\n${out}")
endif()
# In other modes the option changes nothing: prose is cut up only by the camel-case rule.
file(WRITE ${WORK_DIR}/notes.txt "McDonaldx getVaule\n")
run(1 list --identifiers --no-rule camel-case ${WORK_DIR}/notes.txt ${WORK_DIR}/doc.md)
if(NOT out STREQUAL "McDonaldx\ngetVaule\nguidde\nemphasys\n")
  message(FATAL_ERROR "list --identifiers notes.txt doc.md:\n${out}")
endif()
run(1 list ${WORK_DIR}/notes.txt)
if(NOT out STREQUAL "Donaldx\nVaule\n")
  message(FATAL_ERROR "list notes.txt:\n${out}")
endif()

# The word rules accept words of these shapes and the extra word list's words, unless switched off.
file(WRITE ${WORK_DIR}/rules.txt "GPLv3 _ssh ABIs MCMXCIX distro recieve\n")
run(1 list ${WORK_DIR}/rules.txt)
if(NOT out STREQUAL "recieve\n")
  message(FATAL_ERROR "list rules.txt:\n${out}")
endif()
run(1 check --suggestions 0 --no-rule digits,underscores --no-rule=extra-words ${WORK_DIR}/rules.txt)
if(NOT out STREQUAL "${WORK_DIR}/rules.txt:1:1: GPLv3\n${WORK_DIR}/rules.txt:1:7: _ssh\n${WORK_DIR}/rules.txt:1:25: distro\n${WORK_DIR}/rules.txt:1:32: recieve\n")
  message(FATAL_ERROR "check --no-rule rules.txt:\n${out}")
endif()
run(2 list --no-rule roman,nosuch ${WORK_DIR}/rules.txt)
expect_in("${err}" "no rule nosuch")

# The events of a text check run without the dialog, one JSON object a line.
run(1 check --events ${SOURCE_DIR}/examples/sample.txt)
expect_in("${out}" "^{\"event\":\"SpellCheckProgress\",\"lPosition\":0,")
expect_in("${out}" "{\"event\":\"SpellWordNotInDic\",\"sOriginalWord\":\"Teh\",\"lPosStart\":[0-9]+,\"Cancel\":false}")
expect_in("${out}" "{\"event\":\"SpellCheckComplete\",\"lNumWordsChecked\":[0-9]+}\n$")
run(0 check --events ${WORK_DIR}/clean.txt)

# Whole-word replacement in any letter case, the replacement inserted as given.
file(WRITE ${WORK_DIR}/cats.txt "The cat and the Cat, catalog and CAT's bobcat.")
run(0 replace cat dog ${WORK_DIR}/cats.txt)
if(NOT out STREQUAL "The dog and the dog, catalog and dog's bobcat.")
  message(FATAL_ERROR "replace gave: ${out}")
endif()
run(2 replace cat)

# Output is never lost silently: not to a full device, not to a reader that went away.
foreach(command "check;${SOURCE_DIR}/examples/sample.txt" "check;--events;${WORK_DIR}/clean.txt"
                "list;${SOURCE_DIR}/examples/sample.txt"
                "suggest;offise" "replace;cat;dog;${WORK_DIR}/cats.txt" "--help" "--version")
  execute_process(COMMAND ${LEXIVANE} ${command} OUTPUT_FILE /dev/full RESULT_VARIABLE code
                  ERROR_VARIABLE err)
  if(NOT code EQUAL 2 OR NOT err STREQUAL
     "lexivane: cannot write to standard output: No space left on device\n")
    message(FATAL_ERROR "lexivane ${command} > /dev/full: exit ${code}\n${err}")
  endif()
endforeach()
string(REPEAT "xqzvwk " 200000 many)
file(WRITE ${WORK_DIR}/many.txt "${many}")
foreach(command "check;--suggestions;0" "list")
  execute_process(COMMAND ${LEXIVANE} ${command} ${WORK_DIR}/many.txt COMMAND head -c 1
                  RESULTS_VARIABLE codes OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT codes STREQUAL "2;0" OR NOT err MATCHES "cannot write to standard output: Broken pipe")
    message(FATAL_ERROR "${command} into a closed pipe gave exit ${codes}\n${err}")
  endif()
endforeach()

# Out of memory is a message too (the sanitizers reserve too much address space for this).
if(ADDRESS_SPACE_LIMIT)
  # check reads a text whole.
  execute_process(COMMAND prlimit --as=${ADDRESS_SPACE_LIMIT} ${LEXIVANE} check
                  INPUT_FILE /dev/zero RESULT_VARIABLE code ERROR_VARIABLE err)
  if(NOT code EQUAL 2 OR NOT err STREQUAL "lexivane: <stdin>: not enough memory to check it\n")
    message(FATAL_ERROR "check of endless standard input gave exit ${code}\n${err}")
  endif()
  # list reads in pieces, cut even where there is no blank for twice the limit (here at NULs).
  execute_process(COMMAND head -c 512M /dev/zero
                  COMMAND prlimit --as=${ADDRESS_SPACE_LIMIT} ${LEXIVANE} list
                  RESULTS_VARIABLE codes OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT "${codes}:${out}${err}" STREQUAL "0;0:")
    message(FATAL_ERROR "list of 512 MB of NULs gave exit ${codes}\n${out}${err}")
  endif()
  # The pipe remembers no verdict or suggestions of a token longer than any word: 16 lines of
  # 5 million letters each, all different, would otherwise be kept whole (300 MB). The digit
  # that makes them different must not make them accepted.
  execute_process(
    COMMAND sh -c "for n in $(seq 16); do printf $n; head -c 5000000 /dev/zero | tr '\\0' q; echo; done"
    COMMAND prlimit --as=${ADDRESS_SPACE_LIMIT} ${LEXIVANE} -a --no-rule=digits
    COMMAND grep -c "^# [0-9]*q* 0$"
    RESULTS_VARIABLE codes OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT codes STREQUAL "0;0;0" OR NOT out STREQUAL "16\n")
    message(FATAL_ERROR "the pipe on long tokens gave exit ${codes}, ${out} answers\n${err}")
  endif()
endif()
