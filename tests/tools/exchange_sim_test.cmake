# Runs exchange-sim as support staff start it: with no option (a
# double-click), with an order file that is not there, and with a child
# program, and checks its exit code and what it prints.
#   cmake -DSIM=path -DCHILD=program-beside-it -DEMULATOR=runner-or-empty -DWORK=folder -P exchange_sim_test.cmake
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/tmp")
# The service file of a POSIX build goes below TMPDIR; under wine it stays
# in the prefix's temporary folder.
set(ENV{TMPDIR} "${WORK}/tmp")
set(service_file "${WORK}/tmp/VXTempDir/QVX-EXCHANGELOCALSERVICE.TXT")
get_filename_component(child_dir "${CHILD}" DIRECTORY)
get_filename_component(child_name "${CHILD}" NAME)

set(failures 0)
function(run_sim)
  execute_process(COMMAND ${EMULATOR} "${SIM}" ${ARGN} WORKING_DIRECTORY "${child_dir}"
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  # A Windows build writes its own lines in text mode.
  string(REPLACE "\r" "" out "${out}")
  string(REPLACE "\r" "" err "${err}")
  set(code "${code}" PARENT_SCOPE)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()
macro(fail name)
  message(SEND_ERROR "${name}:\n  exit ${code}\n  stdout [${out}]\n  stderr [${err}]")
  math(EXPR failures "${failures} + 1")
endmacro()

# A double-click serves nothing and lists nothing.
run_sim()
if(NOT code STREQUAL "2" OR NOT out STREQUAL "" OR
   NOT err MATCHES "^exchange-sim: no option given: nothing is served and nothing is listed\n\nusage: exchange-sim OPTIONS")
  fail(no-options)
endif()
if(EXISTS "${service_file}")
  fail("no-options: listed in ${service_file}")
endif()

run_sim(--order missing.json)
if(NOT code STREQUAL "2" OR NOT out STREQUAL "" OR NOT err STREQUAL "exchange-sim: --order names no file: \"missing.json\"\n")
  fail(missing-order)
endif()

# The first line says what it is and where documents go; then the child runs.
string(RANDOM LENGTH 8 ALPHABET 0123456789 id)
set(line "^exchange-sim: a stand-in for the VX exchange server, serving pipe vx-sim-test-${id} \\(process [0-9]+\\); documents sent to it are ")
run_sim(--name vx-sim-test-${id} --outdir out --launch ./${child_name} --version)
if(NOT code STREQUAL "0" OR NOT out MATCHES "${line}stored in out\n.*vxorder [0-9]")
  fail(start-stored)
endif()
run_sim(--name vx-sim-test-${id} --launch ./${child_name} --version)
if(NOT code STREQUAL "0" OR NOT out MATCHES "${line}not stored \\(no --outdir\\)\n")
  fail(start-not-stored)
endif()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} exchange-sim case(s) failed")
endif()
