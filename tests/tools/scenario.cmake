# run_scenario(SCRIPT OUT COMMAND...): runs a replay tool (COMMAND, the tool and any
# program in front of it) on a scenario as its first lines ask, and sets OUT to its
# standard output, then "exit N" and standard error when N is not 0.
# "# args: ..." on the first line gives the tool's options; a second line
# "# script: PATH" runs the tool on PATH instead of SCRIPT, and "# stdin: PATH" on "-"
# with PATH as standard input (PATH relative to SCRIPT's folder, where the tool runs).
function(run_scenario SCRIPT OUT)
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
    execute_process(COMMAND ${ARGN} ${args} ${input} ${redirect}
        WORKING_DIRECTORY ${folder}
        OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        string(APPEND out "exit ${rc}\n${err}")
    endif()
    set(${OUT} "${out}" PARENT_SCOPE)
endfunction()
