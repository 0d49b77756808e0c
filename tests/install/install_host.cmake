# Installs the build into a scratch prefix, checks what was installed, and
# builds the README's host example against the installed package the two
# ways the README shows: a CMake project using find_package(pagedom) and the
# pkg-config command line.  Each program must print what the README says.
# Called with -DBUILD=<build tree> -DWORK=<scratch directory> -DREADME=<README.md>
#   -DCXX=<C++ compiler> -DGENERATOR=<CMake generator> -DPKG_CONFIG=<pkg-config>
#   -DHOST_FLAGS=<compile and link flags the library's build needs of a host>.
cmake_minimum_required(VERSION 3.20)

include(${CMAKE_CURRENT_LIST_DIR}/../readme_block.cmake)

function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status STREQUAL "0")
        message(FATAL_ERROR "${what}: exit status '${status}'\n${out}\n${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
run("cmake --install" ${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix})

# The public headers and only they; the tool runs from the prefix.
foreach(path IN ITEMS include/pagedom/dom.h include/pagedom/tree/Document.h include/pagedom/node/Node.h
                      bin/pagedom)
    if(NOT EXISTS ${prefix}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
foreach(path IN ITEMS include/pagedom/reading include/pagedom/writing include/pagedom/tree/DocumentAccess.h
                      include/pagedom/doctype/DTDParser.h)
    if(EXISTS ${prefix}/${path})
        message(FATAL_ERROR "an internal header is installed: ${path}")
    endif()
endforeach()
file(GLOB_RECURSE pcFiles ${prefix}/pagedom.pc)
if(NOT pcFiles)
    message(FATAL_ERROR "not installed: pagedom.pc")
endif()
list(GET pcFiles 0 pcFile)
get_filename_component(pkgconfigDir ${pcFile} DIRECTORY)
get_filename_component(libdir ${pkgconfigDir} DIRECTORY)
set(runEnv ${CMAKE_COMMAND} -E env "LD_LIBRARY_PATH=${libdir}")
run("installed pagedom --version" ${runEnv} ${prefix}/bin/pagedom --version)

readme_block(${README} cpp program)
readme_block(${README} text expected)
function(expect_output what program)
    run("${what}" ${runEnv} ${program})
    if(NOT out STREQUAL expected)
        message(FATAL_ERROR "${what} printed\n${out}\nbut the README shows\n${expected}")
    endif()
endfunction()

# The CMake way: the README's project file, configured against the prefix.
set(project ${WORK}/cmake-host)
readme_block(${README} cmake projectFile)
file(WRITE ${project}/CMakeLists.txt "${projectFile}")
file(WRITE ${project}/host.cpp "${program}")
run("configuring the CMake host" ${CMAKE_COMMAND} -S ${project} -B ${project}/build -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=Release
    "-DCMAKE_CXX_FLAGS=${HOST_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${HOST_FLAGS}")
run("building the CMake host" ${CMAKE_COMMAND} --build ${project}/build)
expect_output("the CMake host" ${project}/build/host)

# The pkg-config way: the README's command line, with this build's compiler
# and the flags its library needs.
if(NOT PKG_CONFIG)
    message(FATAL_ERROR "pkg-config is not installed (scripts/setup.sh installs it)")
endif()
set(direct ${WORK}/pkg-config-host)
file(WRITE ${direct}/host.cpp "${program}")
readme_block(${README} sh commands CONTAINING "pkg-config --cflags --libs pagedom")
string(REGEX MATCH "[^\n]*pkg-config --cflags --libs pagedom[^\n]*" command "${commands}")
string(REGEX REPLACE "^g\\+\\+ " "\"${CXX}\" " command "${command}")
string(REPLACE "pkg-config " "\"${PKG_CONFIG}\" " command "${command}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env "PKG_CONFIG_PATH=${pkgconfigDir}"
                        sh -c "${command} ${HOST_FLAGS}"
                WORKING_DIRECTORY ${direct} RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status STREQUAL "0")
    message(FATAL_ERROR "building with pkg-config (${command}): exit status '${status}'\n${err}")
endif()
expect_output("the pkg-config host" ${direct}/host)
