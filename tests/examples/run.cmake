# Runs one example script in our host, in a scratch folder of its own (HOME and TMPDIR point into
# it), and checks what it prints:
#   cmake -DSCRATCH=<folder> -DHOST=<host> -DEXAMPLE=<script.js> -DCHECK=<mode> -DEXPECTED=<file>
#         [-DARGS=<a|b|c>] -P run.cmake
# CHECK is "same" (the output is the expected file's text) or "md5sum" (the example sums a tree
# made here, compared with md5sum's own output for it).
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}/home" "${SCRATCH}/tmp" "${SCRATCH}/work")
set(ENV{HOME} "${SCRATCH}/home")
set(ENV{TMPDIR} "${SCRATCH}/tmp")
set(ENV{XDG_CONFIG_HOME} "${SCRATCH}/home/.config")
string(REPLACE "|" ";" arguments "${ARGS}")

if(CHECK STREQUAL "md5sum")
  set(tree "${SCRATCH}/work/tree")
  file(MAKE_DIRECTORY "${tree}/a/b" "${tree}/c")
  file(WRITE "${tree}/one.txt" "one\n")
  file(WRITE "${tree}/a/two.txt" "two\nlines\n")
  file(WRITE "${tree}/a/b/empty" "")
  string(REPEAT "0123456789abcdef" 9000 big)
  file(WRITE "${tree}/c/big.txt" "${big}")
  file(WRITE "${tree}/c/.dot" "hidden\n")
  execute_process(COMMAND sh -c "find . -type f | sed 's|^\\./||' | LC_ALL=C sort | xargs md5sum"
                  WORKING_DIRECTORY "${tree}" OUTPUT_VARIABLE expected RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "md5sum failed")
  endif()
  set(arguments "${tree}")
else()
  file(READ "${EXPECTED}" expected)
endif()

if(arguments)
  set(arguments "--" ${arguments})
endif()
execute_process(COMMAND "${HOST}" "${EXAMPLE}" ${arguments} WORKING_DIRECTORY "${SCRATCH}/work"
                OUTPUT_VARIABLE output RESULT_VARIABLE rc)
file(GLOB left RELATIVE "${SCRATCH}/tmp" "${SCRATCH}/tmp/*")
file(REMOVE_RECURSE "${SCRATCH}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${EXAMPLE} ended with ${rc}:\n${output}")
endif()
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "${EXAMPLE} printed:\n${output}\nexpected:\n${expected}")
endif()
if(left)
  message(FATAL_ERROR "${EXAMPLE} left behind in its temporary folder: ${left}")
endif()
