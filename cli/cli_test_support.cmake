# Helpers of the tool's end-to-end checks, included by cli_test.cmake and zlib_cli_test.cmake.
# They expect LEXIVANE, the path of the tool.

# Runs the tool with ARGN and fails unless it exits with `expected_code`; leaves its standard
# output in `out` and its standard error in `err`.
function(run expected_code)
  execute_process(COMMAND ${LEXIVANE} ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "lexivane ${ARGN}: exit ${code}, expected ${expected_code}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect_in text pattern)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "expected '${pattern}' in:\n${text}")
  endif()
endfunction()

# Writes the bytes given in hexadecimal (CMake strings cannot hold NUL).
function(write_bytes path hex)
  string(REGEX REPLACE "(..)" "\\\\x\\1" escaped "${hex}")
  execute_process(COMMAND printf "${escaped}" OUTPUT_FILE ${path} RESULT_VARIABLE code)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "cannot write ${path}")
  endif()
endfunction()

# A 300-character file name, longer than any file system allows.
string(REPEAT "n" 300 too_long_name)

# Like run, with standard input read from `input`.
function(run_with_input expected_code input)
  execute_process(COMMAND ${LEXIVANE} ${ARGN} INPUT_FILE ${input} RESULT_VARIABLE code
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "lexivane ${ARGN} < ${input}: exit ${code}, expected ${expected_code}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()
