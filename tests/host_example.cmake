# The README's host example must be the program tests/host_example.cpp and
# must print what the README says it prints.
# Called with -DREADME=<README.md> -DSOURCE=<host_example.cpp> -DPROGRAM=<its executable>.

include(${CMAKE_CURRENT_LIST_DIR}/readme_block.cmake)

# The program: the test's source without its opening comment lines.
readme_block(${README} cpp shownProgram)
file(READ ${SOURCE} program)
string(REGEX REPLACE "^(//[^\n]*\n)+" "" program "${program}")
if(NOT program STREQUAL shownProgram)
    message(FATAL_ERROR "README's host example and ${SOURCE} differ; keep them the same text")
endif()

# Its output.
readme_block(${README} text shownOutput)
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
