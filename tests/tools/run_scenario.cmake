# Runs one scenario: TOOL on SCRIPT with the options of its "# args:" line, and compares
# its output (standard output, then "exit N" and standard error when N is not 0) with
# the .expected file beside the script. With UPDATE set, writes that file instead.
file(STRINGS ${SCRIPT} first LIMIT_COUNT 1)
set(args "")
if(first MATCHES "^# args:(.*)$")
    separate_arguments(args UNIX_COMMAND "${CMAKE_MATCH_1}")
endif()
execute_process(COMMAND ${TOOL} ${args} ${SCRIPT}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    string(APPEND out "exit ${rc}\n${err}")
endif()
string(REGEX REPLACE "\\.replay$" ".expected" expected_file ${SCRIPT})
if(UPDATE)
    file(WRITE ${expected_file} "${out}")
    return()
endif()
file(READ ${expected_file} expected)
if(NOT out STREQUAL expected)
    get_filename_component(name ${SCRIPT} NAME_WE)
    file(WRITE ${name}.actual "${out}")
    message(FATAL_ERROR "output differs; compare with: diff ${expected_file} ${name}.actual")
endif()
