# End-to-end checks of a project's configuration: `check` and `list` take each file's, or the
# one --config names; a fault stops the command before any file is checked; `init` writes a
# starter once. Run by CTest with -DLEXIVANE=<tool> -DWORK_DIR=<scratch>.
include(${CMAKE_CURRENT_LIST_DIR}/cli_test_support.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
set(repo ${WORK_DIR}/repo)
file(MAKE_DIRECTORY ${repo}/.git ${repo}/docs ${repo}/vendor ${WORK_DIR}/new)
file(WRITE ${repo}/.lexivane.toml [=[
words = ["wrold"]
flag-words = ["their"]
ignore-paths = ["vendor/"]
[[overrides]]
paths = ["docs/"]
words = ["helo"]
]=])
set(text "Hello wrold, their helo.\n")
foreach(file a.txt docs/b.txt vendor/c.txt)
  file(WRITE ${repo}/${file} "${text}")
endforeach()

run(1 check --suggestions 0 ${repo}/a.txt ${repo}/docs/b.txt ${repo}/vendor/c.txt)
if(NOT out STREQUAL "${repo}/a.txt:1:14: their\n${repo}/a.txt:1:20: helo\n${repo}/docs/b.txt:1:14: their\n")
  message(FATAL_ERROR "check with the configuration gave:\n${out}")
endif()
run(1 list ${repo}/docs/b.txt ${repo}/vendor/c.txt)
if(NOT out STREQUAL "their\n")
  message(FATAL_ERROR "list with the configuration gave:\n${out}")
endif()
# --config: that file for every file, wherever it is.
file(WRITE ${WORK_DIR}/elsewhere.txt "${text}")
run(1 list --config ${repo}/.lexivane.toml ${WORK_DIR}/elsewhere.txt)
if(NOT out STREQUAL "their\nhelo\n")
  message(FATAL_ERROR "list --config gave:\n${out}")
endif()
run(2 check --config ${WORK_DIR}/none.toml ${WORK_DIR}/elsewhere.txt)

# The English variant: the configuration's (an override's for its files), unless --variant names one.
file(MAKE_DIRECTORY ${WORK_DIR}/british/uk)
file(WRITE ${WORK_DIR}/british/.lexivane.toml "variant = \"en-US\"\n[[overrides]]\npaths = [\"uk/\"]\nvariant = \"en_GB\"\n")
file(WRITE ${WORK_DIR}/british/uk/a.txt "The colour of the color.\n")
file(WRITE ${WORK_DIR}/british/b.txt "The colour of the color.\n")
run(1 check ${WORK_DIR}/british/uk/a.txt ${WORK_DIR}/british/b.txt)
expect_in("${out}" "^[^\n]*uk/a.txt:1:19: color: colour, [^\n]*\n[^\n]*b.txt:1:5: colour: color, [^\n]*\n$")
run(0 list --variant en ${WORK_DIR}/british/uk/a.txt ${WORK_DIR}/british/b.txt)
run(1 list --variant en-AU ${WORK_DIR}/british/b.txt)
if(NOT out STREQUAL "color\n")
  message(FATAL_ERROR "list --variant en-AU gave:\n${out}")
endif()
run(2 check --variant en-NZ ${WORK_DIR}/british/b.txt)
expect_in("${err}" "no variant en-NZ \\(the variants: en-US, en-GB, en-CA, en-AU, en\\)")

# A fault in the configuration of the last file stops the command before the first.
file(WRITE ${repo}/docs/lexivane.toml "words = \"helo\"\n")
foreach(command check list)
  run(2 ${command} ${repo}/a.txt ${repo}/docs/b.txt)
  expect_in("${err}" "^lexivane: [^\n]*repo/docs/lexivane.toml:1:9: words is an array of strings, not a string\n$")
  if(NOT out STREQUAL "")
    message(FATAL_ERROR "${command} checked a file before the fault:\n${out}")
  endif()
endforeach()

# init writes a starter that changes nothing, and never writes over a configuration.
function(run_in folder expected_code)
  execute_process(COMMAND ${LEXIVANE} ${ARGN} WORKING_DIRECTORY ${folder}
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "lexivane ${ARGN} in ${folder}: exit ${code}, expected ${expected_code}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()
run_in(${WORK_DIR}/new 0 init)
file(READ ${WORK_DIR}/new/.lexivane.toml starter)
file(WRITE ${WORK_DIR}/new/a.txt "${text}")
run(1 list ${WORK_DIR}/new/a.txt)
if(NOT out STREQUAL "wrold\nhelo\n")
  message(FATAL_ERROR "the starter configuration changed the check:\n${out}")
endif()
run_in(${WORK_DIR}/new 2 init)
expect_in("${err}" "^lexivane: .lexivane.toml is here already; nothing was written\n$")
file(READ ${WORK_DIR}/new/.lexivane.toml kept)
if(NOT kept STREQUAL starter)
  message(FATAL_ERROR "init wrote over a configuration")
endif()

# A folder's own words, learned before it is checked: a name its code defines or uses (zorbify)
# and a word that recurs in three files (Quuxley) pass in every file, prose included; a likely
# typo does not, however often it recurs (lenght), nor does a word of one file (frobnitz). Files
# named alone learn nothing.
set(learning ${WORK_DIR}/learning)
file(MAKE_DIRECTORY ${learning}/.git)
file(WRITE ${learning}/main.c "int zorbify(int lenght) { return lenght; }\n")
foreach(n 1 2 3)
  file(WRITE ${learning}/notes${n}.txt "Quuxley calls zorbify with a lenght.\n")
endforeach()
file(WRITE ${learning}/README "Frobnitz by Quuxley.\n")
run_in(${learning} 1 list -u --no-ignore .)
if(NOT out STREQUAL "Frobnitz\nlenght\n")
  message(FATAL_ERROR "list over a folder learned wrong:\n${out}")
endif()
run_in(${learning} 1 list README notes1.txt)
if(NOT out STREQUAL "Frobnitz\nQuuxley\nQuuxley\nzorbify\nlenght\n")
  message(FATAL_ERROR "list of files named learned words:\n${out}")
endif()
# With identifiers checked, a word that eight distinct names use is their vocabulary (a prefix:
# KEYC), unless it has the shape of a slip (etst, test with two letters swapped), which a
# misspelt word keeps in every name made with it.
set(names ${WORK_DIR}/names)
file(MAKE_DIRECTORY ${names}/.git)
set(code "")
foreach(n a b c d e f g h)
  string(APPEND code "int KEYC_${n}, etst_${n};\n")
endforeach()
file(WRITE ${names}/keys.c "${code}")
run_in(${names} 1 list -u --identifiers --no-ignore .)
if(NOT out STREQUAL "etst\n")
  message(FATAL_ERROR "list over a folder learned names wrong:\n${out}")
endif()
# An empty folder has nothing to learn from, nor to check.
file(MAKE_DIRECTORY ${WORK_DIR}/empty)
foreach(command check list)
  run_in(${WORK_DIR}/empty 0 ${command} .)
endforeach()
