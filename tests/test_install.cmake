# Installs the build into a scratch prefix and builds a tiny program against
# it, through find_package and through pkg-config.
set(ORB_INSTALL_FLAGS "")
if(ORB_SANITIZE)
  set(ORB_INSTALL_FLAGS "-fsanitize=address,undefined")
endif()
# A Windows build installs the same way; the consumer is cross-built with the
# same toolchain and run with the emulator, finding the DLLs through PATH.
set(ORB_INSTALL_WINDOWS "")
if(WIN32)
  # The emulator is a command with arguments: "|" stands for ";" on the way.
  string(REPLACE ";" "|" emulator "${CMAKE_CROSSCOMPILING_EMULATOR}")
  # A toolchain file given relative to the source tree, as scripts do.
  get_filename_component(toolchain ${CMAKE_TOOLCHAIN_FILE} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
  set(ORB_INSTALL_WINDOWS -DTOOLCHAIN=${toolchain} "-DEMULATOR=${emulator}")
endif()
add_test(NAME Install.FindPackageAndPkgConfig
  COMMAND ${CMAKE_COMMAND} -DBIN=${CMAKE_BINARY_DIR} -DSRC=${CMAKE_CURRENT_SOURCE_DIR}/test_install
          -DWORK=${CMAKE_BINARY_DIR}/install-test -DCXX=${CMAKE_CXX_COMPILER}
          "-DFLAGS=${ORB_INSTALL_FLAGS}" ${ORB_INSTALL_WINDOWS}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/test_install/run.cmake)
set_tests_properties(Install.FindPackageAndPkgConfig PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)
