# End-to-end checks of the lexivane tool: exit codes, findings on the sample text, JSON output,
# the custom dictionary option. Run by CTest with -DLEXIVANE=<tool> -DSOURCE_DIR=<repo>
# -DWORK_DIR=<scratch>.
include(${CMAKE_CURRENT_LIST_DIR}/cli_test_support.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(ENV{XDG_CONFIG_HOME} ${WORK_DIR}/config)

run(1 check ${SOURCE_DIR}/examples/sample.txt)
foreach(word Teh seperate recieve thankyou offise definately)
  expect_in("${out}" "sample.txt:[0-9]+:[0-9]+: ${word}:")
endforeach()
expect_in("${out}" "thankyou: thank you")

file(WRITE ${WORK_DIR}/clean.txt "The cat sat on the mat.\r\nAll is well.\n")
run(0 check ${WORK_DIR}/clean.txt)
run(2 check ${WORK_DIR}/missing.txt)
expect_in("${err}" "missing.txt")
run(2 check ${WORK_DIR})
run(2 frobnicate)
run(0 --help)
run(0 check --help)
run(0 suggest --help)

file(WRITE ${WORK_DIR}/lines.txt "fine\r\nstill fine\rand then wrold\n")
run(1 check --json ${WORK_DIR}/lines.txt)
expect_in("${out}" "\"column\":10,")
expect_in("${out}" "\"line\":3,")
expect_in("${out}" "\"word\":\"wrold\"")

# A custom dictionary named on the command line must exist; the default one is optional.
file(WRITE ${WORK_DIR}/custom.dic "Wrold\r\n")
run(0 check --custom ${WORK_DIR}/custom.dic ${WORK_DIR}/lines.txt)
run(2 check --custom ${WORK_DIR}/nope.dic ${WORK_DIR}/lines.txt)
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
run(2 suggest --threshold 1.5 word)
run(2 suggest)

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
