# The Windows half of run.cmake: the installed folder as a Windows
# developer gets it, a consumer cross-built against it, and orbtool.exe
# finding the plug-in beside itself.
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")
foreach(f include/orbcmn/orbcmn.h include/hostkit/hostkit.h bin/orbtool.exe bin/orbcmn32.dll
          bin/HOSTKIT.DLL bin/ORBADA32.DLL lib/orbcmn32.dll.a lib/HOSTKIT.dll.a
          lib/cmake/orbcmn32/orbcmn32Config.cmake)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

# The consumer links its own runtimes statically, as the project does.
run(${CMAKE_COMMAND} -S ${SRC}/consumer -B ${WORK}/consumer -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}
    -Dorbcmn32_DIR=${PREFIX}/lib/cmake/orbcmn32 -DCMAKE_EXE_LINKER_FLAGS=-static)
run(${CMAKE_COMMAND} --build ${WORK}/consumer)
# Windows finds the DLLs and the plug-in through PATH (Wine's drive Z: is /).
run(${CMAKE_COMMAND} -E env WINEPATH=Z:${PREFIX}/bin ${EMULATOR} ${WORK}/consumer/consumer.exe)
expect("the find_package build")

run(${EMULATOR} ${PREFIX}/bin/orbtool.exe version)
# Windows names the file in the case the loader chose (".dll" added to the bare name).
string(TOUPPER "${out}" upper)
if(NOT upper MATCHES "PLUG-IN ORBADA32: [^\n]*[/\\]INSTALL-TEST[/\\]PREFIX[/\\]BIN[/\\]ORBADA32.DLL")
  message(FATAL_ERROR "installed orbtool.exe does not find the plug-in beside itself:\n${out}")
endif()
file(REMOVE_RECURSE ${WORK})
