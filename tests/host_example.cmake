# The README's host example must be the program tests/host_example.cpp and
# must print what the README says it prints.
# Called with -DREADME=<README.md> -DSOURCE=<host_example.cpp> -DPROGRAM=<its executable>.

# The text of the first fenced block of the given language after the README
# heading "## Using the library", without the fences.
function(readme_block language out)
    file(READ ${README} readme)
    string(FIND "${readme}" "## Using the library" section)
    if(section EQUAL -1)
        message(FATAL_ERROR "README: no section \"## Using the library\"")
    endif()
    string(SUBSTRING "${readme}" ${section} -1 readme)
    set(fence "```${language}\n")
    string(FIND "${readme}" "${fence}" start)
    if(start EQUAL -1)
        message(FATAL_ERROR "README: no ${language} block under \"## Using the library\"")
    endif()
    string(LENGTH "${fence}" fenceLength)
    math(EXPR start "${start} + ${fenceLength}")
    string(SUBSTRING "${readme}" ${start} -1 readme)
    string(FIND "${readme}" "```" end)
    string(SUBSTRING "${readme}" 0 ${end} block)
    set(${out} "${block}" PARENT_SCOPE)
endfunction()

# The program: the test's source without its opening comment lines.
readme_block(cpp shownProgram)
file(READ ${SOURCE} program)
string(REGEX REPLACE "^(//[^\n]*\n)+" "" program "${program}")
if(NOT program STREQUAL shownProgram)
    message(FATAL_ERROR "README's host example and ${SOURCE} differ; keep them the same text")
endif()

# Its output.
readme_block(text shownOutput)
execute_process(COMMAND ${PROGRAM} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status STREQUAL "0")
    message(FATAL_ERROR "host example: exit status '${status}'\n${errors}")
endif()
if(NOT errors STREQUAL "")
    message(FATAL_ERROR "host example wrote to stderr:\n${errors}")
endif()
if(NOT output STREQUAL shownOutput)
    message(FATAL_ERROR "host example printed\n${output}\nbut the README shows\n${shownOutput}")
endif()
