# Runs one script test in a scratch folder of its own, made fresh under the build folder and
# removed afterwards: its working directory, and HOME, TMPDIR and the XDG folders point into it.
#   cmake -DSCRATCH=<folder> -DHOST=<host> "-DSCRIPTS=<assert.js>|<test.js>" -P scratch.cmake
# (the scripts in the order the host runs them, separated by '|').
file(REMOVE_RECURSE "${SCRATCH}")
foreach(dir work home tmp home/.config home/.local/share home/.cache)
  file(MAKE_DIRECTORY "${SCRATCH}/${dir}")
endforeach()
set(ENV{HOME} "${SCRATCH}/home")
set(ENV{TMPDIR} "${SCRATCH}/tmp")
set(ENV{XDG_CONFIG_HOME} "${SCRATCH}/home/.config")
set(ENV{XDG_DATA_HOME} "${SCRATCH}/home/.local/share")
set(ENV{XDG_CACHE_HOME} "${SCRATCH}/home/.cache")
string(REPLACE "|" ";" scripts "${SCRIPTS}")
list(REMOVE_ITEM scripts "")
execute_process(COMMAND "${HOST}" ${scripts} WORKING_DIRECTORY "${SCRATCH}/work" RESULT_VARIABLE rc)
file(REMOVE_RECURSE "${SCRATCH}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${HOST} ended with ${rc}")
endif()
