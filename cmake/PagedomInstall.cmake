# What `cmake --install` puts under the prefix: the library, the public
# headers under include/pagedom/, the pagedom tool, a CMake package
# (find_package(pagedom CONFIG), target pagedom::pagedom) and a pkg-config
# file.  Every installed path is relative to the prefix, so the tree may be
# installed anywhere with `cmake --install build --prefix P`.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The public headers: dom.h and every header it includes, directly or
# through another, as paths relative to src/dom.  The readers', writers' and
# accessors' internal headers are not among them and stay uninstalled.
function(pagedom_public_headers out)
    set(pending dom.h)
    set(found)
    while(pending)
        list(POP_FRONT pending header)
        if(header IN_LIST found)
            continue()
        endif()
        list(APPEND found ${header})
        file(STRINGS ${PROJECT_SOURCE_DIR}/src/dom/${header} lines REGEX "^#include \"")
        foreach(line IN LISTS lines)
            string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
            list(APPEND pending ${included})
        endforeach()
    endwhile()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

set(PAGEDOM_INCLUDE_DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/pagedom)
pagedom_public_headers(public_headers)
foreach(header IN LISTS public_headers)
    get_filename_component(folder ${header} DIRECTORY)
    install(FILES ${PROJECT_SOURCE_DIR}/src/dom/${header} DESTINATION ${PAGEDOM_INCLUDE_DESTINATION}/${folder})
endforeach()

# The headers include each other as "tree/Node.h" and a host writes
# <pagedom/dom.h>: both directories go on the include path.
target_include_directories(pagedom PUBLIC
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
    $<INSTALL_INTERFACE:${PAGEDOM_INCLUDE_DESTINATION}>)

# A shared library is versioned; releases before 1.0 may change the ABI
# with every minor version.
set_target_properties(pagedom PROPERTIES VERSION ${PROJECT_VERSION}
                      SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})

# A shared build's tool finds the library next to it, wherever the prefix.
file(RELATIVE_PATH tool_to_lib /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
set_target_properties(pagedom-tool PROPERTIES INSTALL_RPATH "$ORIGIN/${tool_to_lib}")

install(TARGETS pagedom EXPORT pagedomTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS pagedom-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(PAGEDOM_CMAKE_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/pagedom)
install(EXPORT pagedomTargets NAMESPACE pagedom:: DESTINATION ${PAGEDOM_CMAKE_DESTINATION})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/pagedomConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/pagedomConfig.cmake
                              INSTALL_DESTINATION ${PAGEDOM_CMAKE_DESTINATION})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/pagedomConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/pagedomConfig.cmake ${PROJECT_BINARY_DIR}/pagedomConfigVersion.cmake
        DESTINATION ${PAGEDOM_CMAKE_DESTINATION})

# The .pc file names its prefix relative to its own directory.
set(PAGEDOM_PKGCONFIG_DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH PAGEDOM_PC_PREFIX /${PAGEDOM_PKGCONFIG_DESTINATION} /)
string(REGEX REPLACE "/$" "" PAGEDOM_PC_PREFIX "${PAGEDOM_PC_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/pagedom.pc.in ${PROJECT_BINARY_DIR}/pagedom.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/pagedom.pc DESTINATION ${PAGEDOM_PKGCONFIG_DESTINATION})
