# Runs the pagedom tool the wrong ways and checks that each run ends with
# exit status 2 and one message on stderr (a crash would give another status).
# Called with -DTOOL=<pagedom executable> -DMISSING=<path of no file>.
function(expect_usage_error)
    execute_process(COMMAND ${TOOL} ${ARGN}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status STREQUAL "2")
        message(FATAL_ERROR "pagedom ${ARGN}: exit status '${status}', expected 2\n${err}")
    endif()
    if(NOT err MATCHES "^pagedom: [^\n]+\n$")
        message(FATAL_ERROR "pagedom ${ARGN}: expected one message on stderr, got '${err}'")
    endif()
endfunction()

expect_usage_error(roundtrip ${MISSING})
expect_usage_error(tree ${MISSING})
expect_usage_error(format --indent many ${MISSING})
expect_usage_error(dtd no-such-type)
expect_usage_error(tree --no-such-option ${MISSING})
expect_usage_error(roundtrip - -)
expect_usage_error(dtd --indent 4 html)
expect_usage_error(tree ${MISSING} ${MISSING})
