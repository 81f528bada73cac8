# Runs a program with --version and compares what it prints with the
# version in the file VERSION.
#   cmake -DPROGRAM=path -DNAME=name -DVERSION=x.y.z -DEMULATOR=runner-or-empty -P version_test.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${EMULATOR} "${PROGRAM}" --version RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
# Under Windows the text-mode output ends its line in CR LF.
string(REPLACE "\r" "" out "${out}")
if(NOT code EQUAL 0 OR NOT out STREQUAL "${NAME} ${VERSION}\n" OR NOT err STREQUAL "")
  message(FATAL_ERROR "${NAME} --version: exit ${code}, stdout [${out}], stderr [${err}]; expected [${NAME} ${VERSION}]")
endif()
