# Installs the build tree into a scratch prefix, builds the consumer against
# it with find_package and once with pkg-config, and runs both and the
# installed orbtool.
#   -DBIN=<build tree> -DSRC=<this folder> -DWORK=<scratch folder>
#   -DCXX=<compiler> -DFLAGS=<extra compile and link flags, ;-separated>
#   -DTOOLCHAIN=<toolchain file> -DEMULATOR=<runner>: a Windows build (no
#   pkg-config there; the DLLs, the plug-in and orbtool.exe share bin/)
file(REMOVE_RECURSE ${WORK})
set(PREFIX ${WORK}/prefix)
set(EXPECTED "ORBCMN Build 14|plug-in|5 bytes|style|bold | italic")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

function(expect what)
  string(STRIP "${out}" got)
  if(NOT got STREQUAL EXPECTED)
    message(FATAL_ERROR "${what} printed '${got}', expected '${EXPECTED}'")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BIN} --prefix ${PREFIX})
if(TOOLCHAIN)
  include(${CMAKE_CURRENT_LIST_DIR}/windows.cmake)
  return()
endif()
foreach(f include/orbcmn/orbcmn.h include/hostkit/hostkit.h bin/orbtool)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

string(REPLACE ";" " " flag_text "${FLAGS}")
run(${CMAKE_COMMAND} -S ${SRC}/consumer -B ${WORK}/consumer -DCMAKE_PREFIX_PATH=${PREFIX}
    -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${flag_text}"
    "-DCMAKE_EXE_LINKER_FLAGS=${flag_text}")
run(${CMAKE_COMMAND} --build ${WORK}/consumer)
run(${WORK}/consumer/consumer)
expect("the find_package build")

file(GLOB pc_files ${PREFIX}/lib*/pkgconfig/orbcmn32.pc ${PREFIX}/lib/*/pkgconfig/orbcmn32.pc)
list(GET pc_files 0 pc)
get_filename_component(pc_dir ${pc} DIRECTORY)
run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pc_dir} pkg-config --cflags --libs orbcmn32)
string(STRIP "${out}" pc_flags)
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
get_filename_component(libdir ${pc_dir} DIRECTORY)
run(${CXX} -std=c++17 ${FLAGS} ${SRC}/consumer/main.cpp -o ${WORK}/pc-consumer ${pc_flags}
    -Wl,-rpath,${libdir})
run(${WORK}/pc-consumer)
expect("the pkg-config build")

run(${PREFIX}/bin/orbtool version)
# The plug-in is found beside the installed library, not in the build tree.
string(REGEX MATCH "plug-in ORBADA32: ([^\n]*)" line "${out}")
get_filename_component(plugin "${CMAKE_MATCH_1}" REALPATH)
get_filename_component(libreal "${libdir}/liborbada32.so" REALPATH)
if(NOT plugin STREQUAL libreal)
  message(FATAL_ERROR "installed orbtool does not find the plug-in beside the library:\n${out}")
endif()
file(REMOVE_RECURSE ${WORK})
