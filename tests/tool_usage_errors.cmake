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
    set(err "${err}" PARENT_SCOPE)
endfunction()

expect_usage_error(roundtrip ${MISSING})
expect_usage_error(tree ${MISSING})
expect_usage_error(format --indent many ${MISSING})
# Formatting options beyond what a host lays out are refused by name and
# limit, not tried (an indent of 999999999 spaces per level exhausts memory).
function(expect_limit limit)
    expect_usage_error(format ${ARGN} ${MISSING})
    if(NOT err MATCHES "for --(indent|columns) \\(expected a number from 0 to ${limit}\\)")
        message(FATAL_ERROR "pagedom format ${ARGN}: the message names no limit: ${err}")
    endif()
endfunction()
expect_limit(64 --indent 65)
expect_limit(64 --indent=999999999)
expect_limit(10000 --columns 10001)
expect_limit(10000 --columns=99999999999999999999)
expect_usage_error(dtd no-such-type)
expect_usage_error(tree --no-such-option ${MISSING})
expect_usage_error(roundtrip - -)
expect_usage_error(dtd --indent 4 html)
expect_usage_error(tree ${MISSING} ${MISSING})
expect_usage_error(check)
expect_usage_error(check ${MISSING})
expect_usage_error(check - -)
