# Runs vxorder's commands on small order files and compares the exit code,
# the standard output and the standard error byte for byte.
#   cmake -DVXORDER=path -DEMULATOR=runner-or-empty -DWORK=folder -P vxorder_test.cmake
cmake_minimum_required(VERSION 3.20)
string(ASCII 13 CR)
set(CRLF "${CR}\n")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

set(failures 0)
function(expect_run name code stdout stderr)
  execute_process(COMMAND ${EMULATOR} "${VXORDER}" ${ARGN}
    WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE actual_code OUTPUT_VARIABLE actual_out ERROR_VARIABLE actual_err)
  if(NOT actual_code STREQUAL "${code}" OR NOT actual_out STREQUAL "${stdout}" OR NOT actual_err STREQUAL "${stderr}")
    message(SEND_ERROR "${name}: vxorder ${ARGN}\n"
      "  exit   ${actual_code} (expected ${code})\n"
      "  stdout [${actual_out}] (expected [${stdout}])\n"
      "  stderr [${actual_err}] (expected [${stderr}])")
    math(EXPR n "${failures} + 1")
    set(failures ${n} PARENT_SCOPE)
  endif()
endfunction()

# The same with regular expressions for both outputs.
function(expect_match name code stdout_regex stderr_regex)
  execute_process(COMMAND ${EMULATOR} "${VXORDER}" ${ARGN}
    WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE actual_code OUTPUT_VARIABLE actual_out ERROR_VARIABLE actual_err)
  if(NOT actual_code STREQUAL "${code}" OR NOT actual_out MATCHES "${stdout_regex}" OR NOT actual_err MATCHES "${stderr_regex}")
    message(SEND_ERROR "${name}: vxorder ${ARGN}\n"
      "  exit   ${actual_code} (expected ${code})\n"
      "  stdout [${actual_out}] (expected to match [${stdout_regex}])\n"
      "  stderr [${actual_err}] (expected to match [${stderr_regex}])")
    math(EXPR n "${failures} + 1")
    set(failures ${n} PARENT_SCOPE)
  endif()
endfunction()

function(expect_file name file content)
  file(READ "${WORK}/${file}" hex HEX)
  string(HEX "${content}" expected)
  if(NOT hex STREQUAL expected)
    file(READ "${WORK}/${file}" actual)
    message(SEND_ERROR "${name}: ${file} is [${actual}], expected [${content}]")
  endif()
endfunction()

set(order "{\"Order\":[{\"PrintName\":\"Auftrag\",\"Adress\":[{\"Name\":\"Muster\"}],\"Parts\":[{\"Position\":\"1\",\"Quantity\":2},{\"Position\":\"2\",\"Quantity\":1.5}],\"Tags\":[1,2]}]}")
file(WRITE "${WORK}/order.json" " ${order}\n")
file(WRITE "${WORK}/empty-parts.json" "{\"order\":[{\"adress\":[{}]}]}")
file(WRITE "${WORK}/broken.json" "{\"a\":tru}")
file(WRITE "${WORK}/broken.~json" "{\"Order\":[{\"Adress\":[{}]}]}")
file(WRITE "${WORK}/no-order.json" "{\"Order\":[]}")
file(WRITE "${WORK}/array.json" "[1]")
file(WRITE "${WORK}/wrong-type.json" "{\"Order\":[\"x\"]}")
file(WRITE "${WORK}/umlaut.json" "{\"Name\":\"M\\u00fcller / \\u20ac\"}")

expect_run(check-ok 0 "OK 2 positions\n" "" check order.json)
expect_run(check-empty-parts 0 "OK 0 positions\n" "" check empty-parts.json)
# A broken file is an error even when a backup is there.
expect_run(check-broken 1 "" "<TJsonValue>\"a\" parse error: tru ..\n" check broken.json)
# The list index error is Windows-1252 text ("\xfc" is the u with diaeresis).
expect_match(check-no-order 1 "^$" "^Der Index der Liste .berschreitet das Maximum \\(0\\)\n$" check no-order.json)
expect_run(check-array 1 "" "<TFastJSON>json struct type is not jsObject\n" check array.json)
expect_run(check-wrong-type 1 "" "<TJsonValue>\"Order\" value type error: jvString to jvObject\n" check wrong-type.json)
expect_run(check-missing 1 "" "file not found: missing.json\n" check missing.json)

expect_run(compact-ok 0 "${order}" "" compact order.json)
expect_run(compact-escapes 0 "{\"Name\":\"M\\u00fcller \\/ \\u20ac\"}" "" compact umlaut.json)
expect_run(compact-broken 1 "" "<TJsonValue>\"a\" parse error: tru ..\n" compact broken.json)
# Written block by block: about 100 KB come out whole, whichever escape a
# block boundary falls into.
string(REPEAT "{\"Name\":\"M\\u00fcller \\/ \\u20ac\",\"Quantity\":1.5}," 2000 positions)
set(large "{\"Order\":[{\"Adress\":[{}],\"Parts\":[${positions}{}]}]}")
file(WRITE "${WORK}/large.json" "${large}")
expect_run(compact-large 0 "${large}" "" compact large.json)

expect_run(format-ok 0 "" "" format order.json out/formatted.json)
# The worked example of the formatted layout; "|" stands for CR LF (a CMake
# list would take the brackets for list syntax).
set(formatted "  {|  \"Order\":[|   {|   \"PrintName\":\"Auftrag\",|   \"Adress\":[|    {|    \"Name\":\"Muster\"|    }|    ]|,|   \"Parts\":[|    {|    \"Position\":\"1\",|    \"Quantity\":2|    },|    {|    \"Position\":\"2\",|    \"Quantity\":1.5|    }|    ]|,|   \"Tags\":[1,2|    ]||   }|   ]||  }")
string(REPLACE "|" "${CRLF}" formatted "${formatted}")
expect_file(format-ok out/formatted.json "${formatted}")
expect_run(format-broken 1 "" "<TJsonValue>\"a\" parse error: tru ..\n" format broken.json out/broken.json)

expect_run(no-arguments 2 "" "usage: vxorder check FILE\n" check)
expect_run(too-many 2 "" "usage: vxorder format FILE OUT\n" format a b c)

expect_match(help 0 "^usage: vxorder COMMAND.*\n  check +FILE .*\n  format +FILE OUT .*\n  compact +FILE .*\n  doctor +\\[--json\\] .*\nexchange trace: with VX_TRACE=1" "^$" --help)
expect_match(no-command 2 "^$" "^vxorder: missing command\nusage: vxorder COMMAND" )
expect_match(unknown-command 2 "^$" "^vxorder: unknown command \"bogus\"\nusage: vxorder COMMAND" bogus)
# Every way of asking for help gives it on standard output, exit 0.
foreach(help_option --help -h /? help)
  expect_match(help-${help_option} 0 "^usage: vxorder COMMAND.*\n  send +FILE\\.\\.\\. " "^$" ${help_option})
endforeach()
set(check_usage "usage: vxorder check FILE\n  load an order file and count its positions (\"OK <n> positions\")\n")
expect_run(command-help 0 "${check_usage}" "" check --help)
expect_run(command-help-first 0 "${check_usage}" "" check -h order.json)
expect_run(help-command 0 "${check_usage}" "" help check)
expect_match(version-extra 2 "^$" "^vxorder: --version takes no arguments, not \"extra\"\nusage: vxorder COMMAND" --version extra)

# A file that loads but that the window and send would skip.
file(WRITE "${WORK}/order.txt" " ${order}\n")
expect_run(check-not-json 0 "OK 2 positions\n"
  "warning: order.txt does not end in .json: the window and vxorder send skip it\n" check order.txt)
# A name's control bytes never reach the terminal as they are.
string(ASCII 27 escape)
expect_run(check-control-bytes 1 "" "file not found: x\\x1B[2Jy.json\n" check "x${escape}[2Jy.json")

# Under wine, as where the shell, COM and window DLLs cannot be loaded:
# vxorder loads them only on first use, so the commands on order files run
# as ever, and one that needs them (the doctor, for the client root folder)
# ends with the reason and exit 1 instead of a crash.
if(EMULATOR)
  set(ENV{VX_WINE_MISSING_DLLS} "ole32,shell32,user32")
  expect_run(check-without-shell-dlls 0 "OK 2 positions\n" "" check order.json)
  expect_run(compact-without-shell-dlls 0 "${order}" "" compact order.json)
  expect_run(format-without-shell-dlls 0 "" "" format order.json out/formatted-without-shell-dlls.json)
  expect_file(format-without-shell-dlls out/formatted-without-shell-dlls.json "${formatted}")
  expect_match(doctor-without-shell-dlls 1 "^$" "^Cannot load (ole32|shell32|user32)\\.dll: [^\n]+\n$" doctor)
  unset(ENV{VX_WINE_MISSING_DLLS})
endif()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} vxorder case(s) failed")
endif()
