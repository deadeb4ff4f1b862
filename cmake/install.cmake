# Installs the three libraries and the plug-in side by side in lib/ (the
# library finds its plug-in beside itself), the public headers, and a CMake
# package (find_package(orbcmn32) gives orbcmn32::orbcmn32) with a
# pkg-config file. orbtool installs itself in tools/CMakeLists.txt.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# On Windows the DLLs, the plug-in and orbtool.exe share bin/ (where the
# loader finds them) and the import libraries go to lib/; elsewhere the
# installed libraries find each other in their own folder.
set(ORB_INSTALL_TARGETS orbcmn32 hostkit)
set(ORB_PLUGIN_DESTINATION ${CMAKE_INSTALL_BINDIR})
if(NOT WIN32)
  list(APPEND ORB_INSTALL_TARGETS orbwin32)
  set(ORB_PLUGIN_DESTINATION ${CMAKE_INSTALL_LIBDIR})
  set_target_properties(${ORB_INSTALL_TARGETS} PROPERTIES INSTALL_RPATH "$ORIGIN")
endif()

install(TARGETS ${ORB_INSTALL_TARGETS}
  EXPORT orbcmn32Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET orbada32)
  install(TARGETS orbada32 LIBRARY DESTINATION ${ORB_PLUGIN_DESTINATION})
endif()
install(DIRECTORY include/orbcmn include/hostkit DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(ORB_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/orbcmn32)
install(EXPORT orbcmn32Targets NAMESPACE orbcmn32:: DESTINATION ${ORB_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/orbcmn32Config.cmake.in
  ${PROJECT_BINARY_DIR}/orbcmn32Config.cmake INSTALL_DESTINATION ${ORB_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/orbcmn32ConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/orbcmn32Config.cmake
              ${PROJECT_BINARY_DIR}/orbcmn32ConfigVersion.cmake
  DESTINATION ${ORB_CMAKE_DIR})

if(WIN32)
  return()
endif()
# The pkg-config file finds the prefix from its own place, so an installed
# tree may be moved.
string(REGEX REPLACE "[^/]+" ".." ORB_PC_UP "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
configure_file(${PROJECT_SOURCE_DIR}/cmake/orbcmn32.pc.in ${PROJECT_BINARY_DIR}/orbcmn32.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orbcmn32.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
