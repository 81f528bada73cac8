# Runs the locale test of the JSON model under wine with "," as the user's
# decimal separator, and puts "." back afterwards whatever happened.
#   cmake -DRUNNER=wine-run.sh -DTESTS=vx_json_tests.exe -P comma_locale_test.cmake
set(key "HKCU\\Control Panel\\International")
execute_process(COMMAND "${RUNNER}" reg add "${key}" /v sDecimal /d , /f OUTPUT_QUIET ERROR_QUIET)
set(ENV{VX_TEST_DECIMAL_SEPARATOR} ",")
execute_process(COMMAND "${RUNNER}" "${TESTS}" --gtest_filter=UserLocale.*:DecimalPoint.*
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
execute_process(COMMAND "${RUNNER}" reg add "${key}" /v sDecimal /d . /f OUTPUT_QUIET ERROR_QUIET)
message("${output}")
if(NOT result EQUAL 0 OR output MATCHES "SKIPPED")
  message(FATAL_ERROR "the locale test failed under a \",\" locale")
endif()
