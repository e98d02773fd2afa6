# Runs one scenario: TOOL on SCRIPT with the options of its "# args:" line, and compares
# its output (standard output, then "exit N" and standard error when N is not 0) with
# the .expected file beside the script. With UPDATE set, writes that file instead.
# A second line "# script: PATH" runs the tool on PATH instead of SCRIPT, and
# "# stdin: PATH" on "-" with PATH as standard input (PATH relative to SCRIPT's folder,
# where the tool then runs).
get_filename_component(SCRIPT ${SCRIPT} ABSOLUTE)
get_filename_component(TOOL ${TOOL} ABSOLUTE)
file(STRINGS ${SCRIPT} head LIMIT_COUNT 2)
list(GET head 0 first)
set(args "")
if(first MATCHES "^# args:(.*)$")
    separate_arguments(args UNIX_COMMAND "${CMAKE_MATCH_1}")
endif()
set(input ${SCRIPT})
set(redirect "")
get_filename_component(folder ${SCRIPT} DIRECTORY)
list(LENGTH head lines)
if(lines GREATER 1)
    list(GET head 1 second)
    if(second MATCHES "^# script: (.*)$")
        set(input ${CMAKE_MATCH_1})
    elseif(second MATCHES "^# stdin: (.*)$")
        set(input -)
        set(redirect INPUT_FILE ${CMAKE_MATCH_1})
    endif()
endif()
execute_process(COMMAND ${TOOL} ${args} ${input} ${redirect}
    WORKING_DIRECTORY ${folder}
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
