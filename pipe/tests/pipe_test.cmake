# End-to-end checks of `lexivane -a` and its family: golden transcripts of whole sessions
# (NAME.in answered as NAME.out), list mode, the calls editors make before a session, and input
# or output that must end in a message, never a crash, a hang or a lost dictionary. Run by CTest
# with -DLEXIVANE=<tool> -DWORK_DIR=<scratch>.
include(${CMAKE_CURRENT_LIST_DIR}/../../cli/cli_test_support.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/config)
set(ENV{XDG_CONFIG_HOME} ${WORK_DIR}/config)
set(personal ${WORK_DIR}/personal.dic)

# The session's exit status, standard error and output against NAME.out.
macro(expect_golden name)
  file(READ ${CMAKE_CURRENT_LIST_DIR}/${name}.out expected)
  if(NOT code EQUAL 0 OR NOT out STREQUAL expected OR NOT err STREQUAL "")
    file(WRITE ${WORK_DIR}/${name}.out "${out}")
    message(FATAL_ERROR "${name}.in: exit ${code}, ${err}\ndiff ${CMAKE_CURRENT_LIST_DIR}/${name}.out ${WORK_DIR}/${name}.out")
  endif()
endmacro()

# The arguments editors pass, an empty one included.
foreach(name text commands)
  execute_process(COMMAND ${LEXIVANE} -a -m -B -d en_US -i UTF-8 --encoding=utf-8 -p ${personal} ""
                  INPUT_FILE ${CMAKE_CURRENT_LIST_DIR}/${name}.in RESULT_VARIABLE code
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  expect_golden(${name})
endforeach()
# Sessions in a document mode, switched by + and - as editors do for each buffer, and one with
# word rules switched off (and the names rule on: `thant` is flagged until added).
set(sessions html tex rules)
set(session_options -H --mode=tex --no-rule=digits,capitals)
foreach(name option IN ZIP_LISTS sessions session_options)
  execute_process(COMMAND ${LEXIVANE} -a -d en_US ${option} -p ${WORK_DIR}/none.dic
                  INPUT_FILE ${CMAKE_CURRENT_LIST_DIR}/${name}.in RESULT_VARIABLE code
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  expect_golden(${name})
endforeach()
# The typing ranking unless the engine's own search is asked for, in either spelling of the
# option (the engine's own search offers "hole" first).
file(WRITE ${WORK_DIR}/helo.in "helo\n")
set(rankings "-d en_US" "--ranking=typing" "--ranking=engine" "--ranking engine")
set(firsts hello hello hole hole)
foreach(ranking first IN ZIP_LISTS rankings firsts)
  separate_arguments(ranking)
  run_with_input(0 ${WORK_DIR}/helo.in -a ${ranking} -p ${WORK_DIR}/none.dic)
  expect_in("${out}" "\n& helo 15 0: ${first}, ")
endforeach()

# A dictionary is an English variant: its own spellings accepted, the American ones it writes
# otherwise flagged with its own first.
file(WRITE ${WORK_DIR}/colour.in "colour color\n")
foreach(dictionary "-d en_GB" "-den-GB" "--lang=british")
  separate_arguments(dictionary)
  run_with_input(0 ${WORK_DIR}/colour.in -a ${dictionary} -p ${WORK_DIR}/none.dic)
  expect_in("${out}" "\n\\*\n& color [0-9]+ 7: colour, ")
endforeach()
run_with_input(0 ${WORK_DIR}/colour.in -a -d en -p ${WORK_DIR}/none.dic)
expect_in("${out}" "\n\\*\n\\*\n\n$")

# `*` and `&` words, not `@` ones, were saved by `#`, in the custom dictionary's format.
file(READ ${personal} saved HEX)
if(NOT saved STREQUAL "77726f6c640d0a666f6f626172780d0a")  # wrold CR LF foobarx CR LF
  message(FATAL_ERROR "the personal dictionary holds: ${saved}")
endif()

# The next session starts with them; `pipe` is the same conversation.
execute_process(COMMAND ${LEXIVANE} pipe -p ${personal} INPUT_FILE ${CMAKE_CURRENT_LIST_DIR}/commands.in
                OUTPUT_VARIABLE again)
expect_in("${again}" "^@[^\n]*\n& helo [0-9]+ 0: ")
# Without -p the default custom dictionary is the personal one; `#` creates it and its folder.
file(WRITE ${WORK_DIR}/add.in "*Lexivanee\n#\n")
run_with_input(0 ${WORK_DIR}/add.in -a)
file(READ ${WORK_DIR}/config/lexivane/lvscust.dic saved)
expect_in("${saved}" "^Lexivanee\n$")  # CMake reads CR LF as LF
file(WRITE ${WORK_DIR}/check.in "Lexivanee\n")
run_with_input(0 ${WORK_DIR}/check.in -a)
expect_in("${out}" "\n\\*\n\n$")

# An aspell-style personal list (a header line, LF line ends) is read a line at a time, and `#`
# keeps its line ends.
file(WRITE ${WORK_DIR}/aspell.pws "personal_ws-1.1 en 1\nwrold\n")
file(WRITE ${WORK_DIR}/aspell.in "*helo\n#\nwrold helo\n")
run_with_input(0 ${WORK_DIR}/aspell.in -a -p ${WORK_DIR}/aspell.pws)
expect_in("${out}" "\n\\*\n\\*\n\n$")
file(READ ${WORK_DIR}/aspell.pws saved HEX)
string(HEX "personal_ws-1.1 en 1\nwrold\nhelo\n" expected)
if(NOT saved STREQUAL expected)
  message(FATAL_ERROR "the aspell-style list holds: ${saved}")
endif()

# Two sessions that save to one file at the same instant keep both words. A long file makes
# each save long enough for the two to meet.
string(REPEAT "filler\n" 200000 long)
file(WRITE ${WORK_DIR}/a.in "*zqax\n#\n")
file(WRITE ${WORK_DIR}/b.in "*zqbx\n#\n")
foreach(round RANGE 1 3)
  file(WRITE ${WORK_DIR}/shared.dic "${long}")
  execute_process(COMMAND sh -c "\"$0\" -a -p \"$1\" <\"$2\" >/dev/null & first=$!
                                 \"$0\" -a -p \"$1\" <\"$3\" >/dev/null && wait $first"
                          ${LEXIVANE} ${WORK_DIR}/shared.dic ${WORK_DIR}/a.in ${WORK_DIR}/b.in
                  RESULT_VARIABLE code)
  file(STRINGS ${WORK_DIR}/shared.dic saved REGEX "^zq")
  list(SORT saved)
  if(NOT code EQUAL 0 OR NOT saved STREQUAL "zqax;zqbx")
    message(FATAL_ERROR "two sessions saving at once: exit ${code}, kept ${saved}")
  endif()
endforeach()

# Eight sessions saving forty words each, one `#` a word, keep all 320, each once. With a lock
# file that cannot serve (a symbolic link), every save is refused with the reason and the file
# stays as it was.
set(sessions "")
foreach(session RANGE 1 8)
  set(requests "")
  foreach(word RANGE 1 40)
    string(APPEND requests "*zq${session}x${word}\n#\n")
  endforeach()
  file(WRITE ${WORK_DIR}/saves${session}.in "${requests}")
  list(APPEND sessions ${WORK_DIR}/saves${session}.in)
endforeach()
set(eight_at_once [[
  for input in "$@"; do "$0" -a -p "$DICTIONARY" <"$input" >/dev/null 2>"$input.err" & done
  wait; for input in "$@"; do cat "$input.err"; done >"$DICTIONARY.err"]])
file(MAKE_DIRECTORY ${WORK_DIR}/shared)
set(ENV{DICTIONARY} ${WORK_DIR}/shared/w.dic)
foreach(lock_file regular link)
  file(WRITE ${WORK_DIR}/shared/w.dic "wrold\n")
  file(REMOVE ${WORK_DIR}/shared/w.dic.err ${WORK_DIR}/shared/.w.dic.lock)
  if(lock_file STREQUAL "link")
    file(CREATE_LINK w.dic ${WORK_DIR}/shared/.w.dic.lock SYMBOLIC)
  endif()
  execute_process(COMMAND sh -c "${eight_at_once}" ${LEXIVANE} ${sessions} RESULT_VARIABLE code)
  file(STRINGS ${WORK_DIR}/shared/w.dic saved)
  list(LENGTH saved lines)
  list(REMOVE_DUPLICATES saved)
  list(LENGTH saved kept)
  file(READ ${WORK_DIR}/shared/w.dic.err err)
  if(lock_file STREQUAL "regular" AND NOT "${code} ${lines} ${kept} ${err}" STREQUAL "0 321 321 ")
    message(FATAL_ERROR "eight sessions saving at once: exit ${code}, ${lines} lines, ${kept} "
                        "words of 321\n${err}")
  endif()
endforeach()
# One message a save, naming the lock file and the reason.
string(REGEX MATCHALL "\n" lines "${err}")
list(LENGTH lines refused)
set(message "lexivane: [^\n]*/shared/w\\.dic: cannot save the custom dictionary: the lock file ")
string(APPEND message "[^\n]*/shared/\\.w\\.dic\\.lock is a symbolic link; ")
string(APPEND message "the file was left as it was\n")
string(REGEX REPLACE "${message}" "" others "${err}")
if(NOT "${code} ${saved} ${refused} ${others}" STREQUAL "0 wrold 320 ")
  message(FATAL_ERROR "saves beside a linked lock file: exit ${code}, kept ${saved}\n${err}")
endif()

# List mode: the misspelt words as written, one a line, with the personal words accepted.
run_with_input(0 ${CMAKE_CURRENT_LIST_DIR}/text.in -l -p ${personal})
set(listed "helo\nhelo\nhelo\ndont\nwouldnt\ntis\nMarys\nrecieve\nhelo\nTeh\ntEH\nHte\n")
if(NOT out STREQUAL listed)
  message(FATAL_ERROR "-l gave:\n${out}")
endif()
# It takes files too, as `lexivane list` does; a personal dictionary not yet made is empty.
file(WRITE ${WORK_DIR}/list.in "wrold helo\n")
run_with_input(0 ${WORK_DIR}/list.in -l -p ${personal} ${CMAKE_CURRENT_LIST_DIR}/text.in -)
expect_in("${out}" "^${listed}helo\n$")
run_with_input(0 ${WORK_DIR}/list.in -l -p ${WORK_DIR}/none.dic)
expect_in("${out}" "^wrold\nhelo\n$")
# After `--` every argument is a file; one that cannot be read is reported, and the files after
# it are still listed.
file(WRITE ${WORK_DIR}/-l "teh\n")
execute_process(COMMAND ${LEXIVANE} -l -p ${WORK_DIR}/none.dic -- -l missing.in -
                INPUT_FILE ${WORK_DIR}/list.in WORKING_DIRECTORY ${WORK_DIR}
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
expect_in("${code}: ${out}${err}" "^2: teh\nwrold\nhelo\nlexivane: missing.in: No such file")

# With a mode, list mode reads every file in it.
file(WRITE ${WORK_DIR}/list.tex "\\section{Teh} \\cite{wrold} $zqxv$ helo\n")
run_with_input(0 ${WORK_DIR}/list.in -l -t -p ${WORK_DIR}/none.dic ${WORK_DIR}/list.tex)
expect_in("${out}" "^Teh\nhelo\n$")

# What editors ask before a session.
run(0 -vv)
expect_in("${out}" "^@\\(#\\) International Ispell Version 3\\.1\\.20 \\(but really Enchant [0-9.]+\\)[^\n]*\n$")
run(0 -list-dicts)
expect_in("${out}" "^en_US \\(lexivane\\)\nen_GB \\(lexivane\\)\nen_CA \\(lexivane\\)\nen_AU \\(lexivane\\)\nen \\(lexivane\\)\n$")
run(0 -word-chars en_US)
expect_in("${out}" "^'’\n$")
foreach(call "-D" "dicts" "config;dict-dir")
  run(0 ${call})
endforeach()
run(0 -a --help)
expect_in("${out}" "^The ispell interface of lexivane")
set(calls "-a -d de_DE" "-a -i ISO-8859-1" "-a --frobnicate" "-a -p" "-a --personal=" "-a x.txt"
          "-a --mode=latex" "-l --mode" "-a --ranking=best" "-a --ranking")
set(messages "no dictionary de_DE" "encoding iso-8859-1" "unknown option" "-p needs a value"
             "name is empty" "only taken in list mode" "unknown mode latex: the modes are none, "
             "--mode needs a value" "unknown ranking best: the rankings are typing, engine\n"
             "--ranking needs a value")
foreach(call message IN ZIP_LISTS calls messages)
  separate_arguments(call)
  run(2 ${call})
  expect_in("${err}" "^lexivane: [^\n]*${message}")
endforeach()

# A personal dictionary that exists must be readable: saving over it would lose the words.
run(2 -a -p ${WORK_DIR})
expect_in("${err}" "cannot read the custom dictionary")
# One that cannot be saved is reported; the session goes on and the old file stays.
file(WRITE ${WORK_DIR}/save.in "*helo\n#\nhelo\n")
run_with_input(0 ${WORK_DIR}/save.in -a -p ${WORK_DIR}/missing/personal.dic)
expect_in("${out}" "\n\\*\n\n$")
expect_in("${err}" "missing/personal.dic: cannot save the custom dictionary: .*left as it was")

# A 10 MB line is answered; an endless one of NUL bytes is skipped with a warning.
string(REPEAT "wrold cat " 1000000 long)
file(WRITE ${WORK_DIR}/long.in "${long}\ncat\n")
run_with_input(0 ${WORK_DIR}/long.in -a -p ${personal})  # wrold is a personal word
string(LENGTH "${out}" length)
string(SUBSTRING "${out}" 0 100 start)
string(FIND "${out}" "\n\n*\n\n" last REVERSE)
expect_in("${length} ${last}: ${start}" "^(40000[0-9][0-9]) ([0-9]+): @[^\n]*\n\\*\n")
math(EXPR last "${last} + 5")  # the long line's blank line and the next line's answer end it
if(NOT last EQUAL length)
  message(FATAL_ERROR "the 10 MB line was not answered as one line")
endif()
execute_process(COMMAND head -c 70000000 /dev/zero COMMAND ${LEXIVANE} -a RESULTS_VARIABLE codes
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
expect_in("${codes}: ${out}" "^0;0: @[^\n]*\n\n$")
expect_in("${err}" "^lexivane: line 1 is longer than [0-9]+ bytes and was not checked\n$")

# Output that cannot be written ends the session with a message.
execute_process(COMMAND ${LEXIVANE} -a INPUT_FILE ${WORK_DIR}/check.in OUTPUT_FILE /dev/full
                RESULT_VARIABLE code ERROR_VARIABLE err)
expect_in("${code}: ${err}" "^2: lexivane: cannot write to standard output: No space left on device\n$")
execute_process(COMMAND ${LEXIVANE} -a INPUT_FILE ${WORK_DIR}/long.in COMMAND head -c 1
                RESULTS_VARIABLE codes OUTPUT_QUIET ERROR_VARIABLE err)
expect_in("${codes}: ${err}" "^2;0: lexivane: cannot write to standard output: Broken pipe\n$")
