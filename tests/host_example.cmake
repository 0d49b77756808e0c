# A README host example must be the program SOURCE and must print what the
# README says it prints.
# Called with -DREADME=<README.md> -DSOURCE=<program.cpp> -DPROGRAM=<its executable>,
# and for any example but the first with -DSHOWN=<a text of its cpp block>
# -DPRINTED=<a text of its output block>.

include(${CMAKE_CURRENT_LIST_DIR}/readme_block.cmake)

# The program: the test's source without its opening comment lines.
if(SHOWN)
    readme_block(${README} cpp shownProgram CONTAINING "${SHOWN}")
else()
    readme_block(${README} cpp shownProgram)
endif()
file(READ ${SOURCE} program)
string(REGEX REPLACE "^(//[^\n]*\n)+" "" program "${program}")
if(NOT program STREQUAL shownProgram)
    message(FATAL_ERROR "README's host example and ${SOURCE} differ; keep them the same text")
endif()

# Its output.
if(PRINTED)
    readme_block(${README} text shownOutput CONTAINING "${PRINTED}")
else()
    readme_block(${README} text shownOutput)
endif()
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
