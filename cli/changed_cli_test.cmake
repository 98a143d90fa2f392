# End-to-end checks of `check --changed`: only the lines a change added or altered are reported,
# in the working tree against HEAD or against a revision, for a folder walked and for files
# named; a path after --changed is a path. Run by CTest with -DLEXIVANE=<tool>
# -DWORK_DIR=<scratch>; needs the git command.
include(${CMAKE_CURRENT_LIST_DIR}/cli_test_support.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
set(repo ${WORK_DIR}/repo)
file(MAKE_DIRECTORY ${repo})
function(git)
  execute_process(COMMAND git -C ${repo} -c user.name=t -c user.email=t@example.org ${ARGN}
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "git ${ARGN} failed")
  endif()
endfunction()
git(init -q)
file(WRITE ${repo}/a.txt "Teh first\nfine line\n")
file(WRITE ${repo}/b.txt "wrold\n")
git(add -A)
git(commit -q -m one)
file(WRITE ${repo}/a.txt "Teh first\nfine line\nrecieve\n")
file(WRITE ${repo}/c.txt "tset\n")

# The working tree against HEAD: a.txt's new line and the untracked c.txt, not b.txt.
run(1 check --suggestions 0 --changed ${repo})
if(NOT out STREQUAL "${repo}/a.txt:3:1: recieve\n${repo}/c.txt:1:1: tset\n")
  message(FATAL_ERROR "check --changed of the folder gave:\n${out}")
endif()
run(1 check --suggestions 0 --changed=HEAD ${repo}/a.txt ${repo}/b.txt)
if(NOT out STREQUAL "${repo}/a.txt:3:1: recieve\n")
  message(FATAL_ERROR "check --changed=HEAD of two files gave:\n${out}")
endif()
# Against the first commit once the change is committed: the same lines.
git(add a.txt)
git(commit -q -m two)
run(1 check --suggestions 0 --changed HEAD~1 ${repo}/a.txt)
if(NOT out STREQUAL "${repo}/a.txt:3:1: recieve\n")
  message(FATAL_ERROR "check --changed HEAD~1 gave:\n${out}")
endif()
run(0 check --changed HEAD ${repo}/a.txt)
run(2 check --changed no-such-revision ${repo})
