# The native program without a display: one clear line naming the display it tried, exit code 1.
set(ENV{DISPLAY} ":4711")
execute_process(COMMAND ${PROGRAM} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err
                TIMEOUT 30)
string(REGEX MATCHALL "\n" lines "${err}")
list(LENGTH lines count)
if(NOT result EQUAL 1 OR NOT count EQUAL 1 OR NOT err MATCHES ":4711" OR NOT out STREQUAL "")
  message(FATAL_ERROR "expected one line naming :4711 and exit code 1, got exit ${result}, "
                      "stdout '${out}', stderr '${err}'")
endif()
