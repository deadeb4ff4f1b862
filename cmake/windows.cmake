# The Windows build (MinGW-w64): static C and C++ runtimes, so the DLLs and
# programs need nothing beyond Windows' own DLLs; DLLs named as the system
# names them; the library's version resource; and, when cross-compiling,
# the header-only and source packages the tools and tests use, taken from
# the build machine without its system headers.
add_link_options(-static -static-libgcc -static-libstdc++)
# Plain exported functions keep their C names on i686 too (no @n suffix).
add_link_options(-Wl,--kill-at)
set(CMAKE_SHARED_LIBRARY_PREFIX "")
set(CMAKE_SHARED_MODULE_PREFIX "")
set(CMAKE_IMPORT_LIBRARY_PREFIX "")

string(REPLACE "." "," ORB_VERSION_COMMAS "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
configure_file(${PROJECT_SOURCE_DIR}/src/lib/orbcmn32.rc.in ${PROJECT_BINARY_DIR}/orbcmn32.rc @ONLY)

if(CMAKE_CROSSCOMPILING)
  # nlohmann/json and CLI11 are header-only: their folders are staged apart
  # from /usr/include so that no host system header reaches the compiler.
  set(ORB_HOST_HEADERS ${PROJECT_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${ORB_HOST_HEADERS})
  foreach(dir nlohmann CLI)
    if(EXISTS /usr/include/${dir} AND NOT EXISTS ${ORB_HOST_HEADERS}/${dir})
      file(CREATE_LINK /usr/include/${dir} ${ORB_HOST_HEADERS}/${dir} SYMBOLIC)
    endif()
  endforeach()
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json CLI11::CLI11 PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${ORB_HOST_HEADERS})
  if(ORB_BUILD_TESTS)
    # GoogleTest from its Debian source package, built for the target.
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
endif()

# On 32-bit Windows --kill-at exports __stdcall functions without their @n
# suffix, but the import library the linker writes then lacks the
# decorated symbols callers compiled against the headers ask for: it is
# made again from the linker's export list.
function(orb_stdcall_import_library target)
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    return()
  endif()
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}-exports.def)
  target_link_options(${target} PRIVATE -Wl,--output-def,${def})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DDEF=${def} -DDLL=$<TARGET_FILE_NAME:${target}>
            -DIMPLIB=$<TARGET_LINKER_FILE:${target}> -DDLLTOOL=${CMAKE_DLLTOOL}
            -P ${PROJECT_SOURCE_DIR}/cmake/stdcall-implib.cmake
    VERBATIM)
endfunction()
