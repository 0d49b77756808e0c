# Runs every command and option of the pagedom tool once and checks its
# output for what the README's tool table promises.
# Called with -DTOOL=<pagedom executable> -DWORK=<scratch directory>
# -DEXAMPLES=<the bundled example pages>.

# Runs the tool with ARGS (standard input from INPUT when given); fails unless
# it exits with status 0 and its output holds every text after CONTAINS and
# none after LACKS.  The texts are plain substrings (without ";" or an
# unmatched "[", which CMake lists do not keep whole).
function(expect)
    cmake_parse_arguments(PARSE_ARGV 0 RUN "" "INPUT" "ARGS;CONTAINS;LACKS")
    if(RUN_INPUT)
        set(input INPUT_FILE ${RUN_INPUT})
    endif()
    # CMake hands the output over with the CR of each CR LF dropped.
    execute_process(COMMAND ${TOOL} ${RUN_ARGS} ${input}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status STREQUAL "0")
        message(FATAL_ERROR "pagedom ${RUN_ARGS}: exit status '${status}'\n${err}")
    endif()
    foreach(text IN LISTS RUN_CONTAINS)
        string(FIND "${out}" "${text}" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "pagedom ${RUN_ARGS}: the output lacks '${text}':\n${out}")
        endif()
    endforeach()
    foreach(text IN LISTS RUN_LACKS)
        string(FIND "${out}" "${text}" at)
        if(NOT at EQUAL -1)
            message(FATAL_ERROR "pagedom ${RUN_ARGS}: the output has '${text}':\n${out}")
        endif()
    endforeach()
endfunction()

set(page ${WORK}/tool-page.html)
file(WRITE ${page} "<table border=1><tr><td>Hello &amp; <b>world</b>&nbsp;</table>"
                   "<ul>x<li>one two three four five six seven eight nine ten eleven twelve</ul>"
                   "<p align=left>end\n")
set(jspPage ${WORK}/tool-page.jsp)
file(WRITE ${jspPage} "<jsp:useBean id=\"a\" class=\"b\"/><%= x %>\n")

# tree: tag states, attributes, escapes, error bits; from a file and from "-".
foreach(source IN ITEMS FILE STDIN)
    if(source STREQUAL "FILE")
        set(how ARGS tree ${page})
    else()
        set(how ARGS tree - INPUT ${page})
    endif()
    expect(${how}
           CONTAINS "element table start=written end=written" "element TBODY start=omitted end=omitted"
                    "@border=\"1\"" "text \"Hello {&} \"" "text \"{#160}\"" "text \"x\" [INVALID_CONTENT]")
endforeach()

# roundtrip: the page comes back byte for byte.
expect(ARGS roundtrip ${page} CONTAINS "tool-page.html: identical (")

# dtd: every built-in name; --jsp merges the JSP declarations into html.
expect(ARGS dtd html CONTAINS "<!DOCTYPE HTML PUBLIC \"-//ZEB//DTD ZEB Version 4.0//EN\""
       LACKS "<!ELEMENT jsp:useBean")
expect(ARGS --jsp 1.0 dtd html CONTAINS "<!ELEMENT jsp:useBean" "<!ELEMENT QRTX:TEXT")
expect(ARGS dtd html --jsp=0.91 CONTAINS "<!ELEMENT jsp:directive" LACKS "<!ELEMENT jsp:useBean")
expect(ARGS dtd xml CONTAINS "<!DOCTYPE xml " "<!ENTITY amp \"&#38")
expect(ARGS dtd vxml CONTAINS "<!DOCTYPE vxml " "<!ELEMENT vxml (")
expect(ARGS dtd jsp091 CONTAINS "<!DOCTYPE jsp " "<!ELEMENT SERVLET (PARAM)*>")
expect(ARGS dtd jsp10 CONTAINS "<!DOCTYPE jsp " "<!ELEMENT jsp:useBean ANY>")
expect(ARGS dtd QRTX CONTAINS "<!DOCTYPE qrtx " "<!ELEMENT QRTX:LOOP ANY>")

# format and each formatting option.
# Block elements get line breaks where the page has no text beside them.
expect(ARGS format ${page} CONTAINS "<TABLE border=\"1\"><TR>\n    <TD>" "<P align=\"left\">")
expect(ARGS format --tag-case lower --attr-case upper --value-case upper ${page}
       CONTAINS "<table BORDER=\"1\"><tr>\n    <td>" "<p ALIGN=\"LEFT\">")
expect(ARGS format --tag-case=as-is --attr-case lower --value-case=lower ${page}
       CONTAINS "<TABLE border=\"1\">" "<P align=\"left\">")
expect(ARGS format --columns 20 --indent=4 ${page}
       CONTAINS "<LI>one two three four five\n    six seven eight nine\n    ten eleven twelve</UL>")
# The default column limit wraps nothing here; the page's last line break
# stays a line break.
expect(ARGS format ${page} CONTAINS "twelve</UL>\n<P align=\"left\">end\n" LACKS "five\n")

# format twice is format once, on every bundled example page.
file(GLOB examplePages ${EXAMPLES}/*)
foreach(example IN LISTS examplePages)
    get_filename_component(name ${example} NAME)
    execute_process(COMMAND ${TOOL} format ${example} OUTPUT_FILE ${WORK}/once-${name} RESULT_VARIABLE status)
    execute_process(COMMAND ${TOOL} format ${WORK}/once-${name} OUTPUT_FILE ${WORK}/twice-${name}
                    RESULT_VARIABLE status2)
    if(NOT status STREQUAL "0" OR NOT status2 STREQUAL "0")
        message(FATAL_ERROR "pagedom format ${name}: exit status '${status}' then '${status2}'")
    endif()
    file(READ ${WORK}/once-${name} once HEX)
    file(READ ${WORK}/twice-${name} twice HEX)
    if(NOT once STREQUAL twice)
        message(FATAL_ERROR "pagedom format of the formatted ${name} changes it")
    endif()
endforeach()

# check: one line per node with errors, FILE:LINE: NODE: KINDS, a summary,
# exit status 1 when a page has errors and 0 when none has.
set(broken ${WORK}/tool-broken.html)
file(WRITE ${broken} "<html>\r\n<body>\r\n<table><tr>\r\nstray<td>x</td></tr></table>\r\n<p bogus=1>y</p>\r\n")
set(clean ${WORK}/tool-clean.html)
file(WRITE ${clean} "<html><body><p>fine</p></body></html>")
execute_process(COMMAND ${TOOL} check ${broken} ${clean} RESULT_VARIABLE status OUTPUT_VARIABLE out)
foreach(text IN ITEMS "tool-broken.html:4: text: invalid content\n" "tool-broken.html:5: element p: undefined attribute\n"
                      "2 errors in 1 of 2 pages\n")
    string(FIND "${out}" "${text}" at)
    if(at EQUAL -1 OR NOT status STREQUAL "1")
        message(FATAL_ERROR "pagedom check: status '${status}', the output lacks '${text}':\n${out}")
    endif()
endforeach()
execute_process(COMMAND ${TOOL} check - INPUT_FILE ${clean} RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status STREQUAL "0" OR NOT out STREQUAL "0 errors in 0 of 1 page\n")
    message(FATAL_ERROR "pagedom check of a clean page: status '${status}', output '${out}'")
endif()

# fix: the repaired page on standard output or in -o OUT (a directory for
# several pages), --report on standard error, exit status 1 while errors
# the repair cannot take away remain (the undeclared attribute).
execute_process(COMMAND ${TOOL} fix --report ${broken} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${out}" "stray<table>" moved)
string(FIND "${out}" "<p bogus=1>y</p>" kept)
if(NOT status STREQUAL "1" OR moved EQUAL -1 OR kept EQUAL -1)
    message(FATAL_ERROR "pagedom fix: status '${status}', output:\n${out}")
endif()
foreach(text IN ITEMS "tool-broken.html:4: text: invalid content: " "tool-broken.html:5: element p: undefined attribute: left as it is\n")
    string(FIND "${err}" "${text}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "pagedom fix --report lacks '${text}':\n${err}")
    endif()
endforeach()
execute_process(COMMAND ${TOOL} fix ${clean} -o ${WORK}/tool-fixed.html RESULT_VARIABLE status OUTPUT_VARIABLE out)
file(READ ${WORK}/tool-fixed.html fixedClean)
file(READ ${clean} original)
if(NOT status STREQUAL "0" OR NOT out STREQUAL "" OR NOT fixedClean STREQUAL original)
    message(FATAL_ERROR "pagedom fix -o of a clean page: status '${status}', wrote '${fixedClean}'")
endif()
file(REMOVE_RECURSE ${WORK}/tool-fixed)
file(MAKE_DIRECTORY ${WORK}/tool-fixed)
execute_process(COMMAND ${TOOL} fix ${broken} ${clean} --output=${WORK}/tool-fixed RESULT_VARIABLE status)
if(NOT EXISTS ${WORK}/tool-fixed/tool-broken.html OR NOT EXISTS ${WORK}/tool-fixed/tool-clean.html)
    message(FATAL_ERROR "pagedom fix of two pages into a directory: status '${status}'")
endif()
execute_process(COMMAND ${TOOL} fix ${WORK}/tool-fixed/tool-broken.html RESULT_VARIABLE status OUTPUT_VARIABLE again)
file(READ ${WORK}/tool-fixed/tool-broken.html once)
if(NOT again STREQUAL once)
    message(FATAL_ERROR "pagedom fix of a repaired page changes it:\n${once}\n---\n${again}")
endif()

# --adjust: the page is tidied as it is read.
set(untidy ${WORK}/tool-untidy.html)
file(WRITE ${untidy} "<p><b><b>x</b></b><font>y</font><i></i></p>"
                     "<table><tr><td>a</td></tr><tbody><tr><td>b</td></tr></tbody></table>")
expect(ARGS tree --adjust ${untidy}
       CONTAINS "element b start=written end=written\n          text \"x\"\n        text \"y\""
       LACKS "element font" "element i " "start=omitted end=omitted\n          element tr")
expect(ARGS tree ${untidy} CONTAINS "element font" "element i ")
execute_process(COMMAND ${TOOL} roundtrip --adjust ${untidy} RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status STREQUAL "1")
    message(FATAL_ERROR "pagedom roundtrip --adjust of an untidy page: exit status '${status}', expected 1")
endif()

# --jsp: files ending in .jsp are read as JSP 1.0 unless told otherwise.
expect(ARGS tree ${jspPage} CONTAINS "element jsp:useBean start=written" "element jsp:expression"
       LACKS "untyped")
expect(ARGS tree --jsp none ${jspPage} CONTAINS "element jsp:useBean start=written end=omitted empty-tag untyped")
expect(ARGS tree --jsp 0.91 ${jspPage} CONTAINS "element jsp:expression" "jsp:useBean start=written end=omitted empty-tag untyped")

# XML and VoiceXML: files ending in .xml and .vxml, --xml and --vxml, and
# otherwise the content (an XML declaration, a vxml root) choose the kind of
# document; the example documents come back byte for byte.
expect(ARGS roundtrip ${EXAMPLES}/inventory.xml ${EXAMPLES}/dialog.vxml
       CONTAINS "inventory.xml: identical (" "dialog.vxml: identical (")
expect(ARGS tree ${EXAMPLES}/dialog.vxml
       CONTAINS "document #document type=vxml" "processing-instruction xml " "document-type vxml public="
                "element choice start=written end=written" "element break start=written end=omitted empty-tag"
       LACKS "untyped" "INVALID_" "UNDEFINED_" "MISSING_")
expect(ARGS tree ${EXAMPLES}/inventory.xml
       CONTAINS "document #document type=xml" "document-type inventory" "reference shop"
                "element stock start=written end=omitted empty-tag")
expect(ARGS check ${EXAMPLES}/dialog.vxml CONTAINS "0 errors in 0 of 1 page")
set(vxmlText ${WORK}/tool-dialog.txt)
file(WRITE ${vxmlText} "<!-- note -->\n<vxml version=\"1.0\"><form><block>Hi</block></form></vxml>\n")
expect(ARGS tree ${vxmlText} CONTAINS "type=vxml" "element block start=written end=written" LACKS "untyped")
set(xmlText ${WORK}/tool-data.txt)
file(WRITE ${xmlText} "<?xml version=\"1.0\"?>\n<table><TD>x</td></table>\n")
expect(ARGS tree ${xmlText} CONTAINS "type=xml" "element TD start=written end=written" LACKS "TBODY")
expect(ARGS tree --vxml ${xmlText} CONTAINS "type=vxml")
expect(ARGS tree --xml ${vxmlText} CONTAINS "type=xml" "element block start=written end=written untyped")
expect(ARGS tree ${page} CONTAINS "type=HTML")

# --help and --version.
expect(ARGS --help CONTAINS "usage: pagedom COMMAND" "--value-case C")
expect(ARGS --version CONTAINS "pagedom ")
