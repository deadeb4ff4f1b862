# Test plug-ins, each in its own folder under testplugins/ so that a test
# can point the module search at exactly the plug-in it needs (on Windows
# the files are ORBADA32.DLL, below):
#   partial/   liborbada32.so exporting only AdaNormalizeAtomStream
#   failing/   liborbada32.so whose every entry answers 9
#   names/     ORBADA32, liborbada32.so and orbada32.so, none with entries
#   plain/     orbada32.so (on Windows with file version 7.3)
#   empty/     nothing
# Each plug-in names itself through OrbTestPluginName().
set(ORB_TEST_PLUGIN_ROOT ${CMAKE_BINARY_DIR}/testplugins)
file(MAKE_DIRECTORY ${ORB_TEST_PLUGIN_ROOT}/empty)

function(orb_test_plugin target source folder file name)
  add_library(${target} MODULE ${CMAKE_CURRENT_SOURCE_DIR}/plugins/${source})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/include
                                               ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${target} PRIVATE ORB_PLUGIN_NAME="${name}")
  set_target_properties(${target} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${ORB_TEST_PLUGIN_ROOT}/${folder}
    PREFIX "" SUFFIX "" OUTPUT_NAME ${file})
  add_dependencies(orb_test_fixtures ${target})
endfunction()

if(WIN32)
  # Windows adds ".DLL" to a bare name and ignores case; names/ also holds
  # a file of the bare name, which Windows passes over.
  orb_test_plugin(orb_tp_partial partial.cpp partial ORBADA32.DLL partial)
  orb_test_plugin(orb_tp_failing failing.cpp failing ORBADA32.DLL failing)
  orb_test_plugin(orb_tp_names_exact named.cpp names-exact ORBADA32.DLL exact)
  add_custom_command(TARGET orb_tp_names_exact POST_BUILD COMMAND ${CMAKE_COMMAND} -E copy
    $<TARGET_FILE:orb_tp_names_exact> ${ORB_TEST_PLUGIN_ROOT}/names/ORBADA32)
  orb_test_plugin(orb_tp_names_dll named.cpp names ORBADA32.DLL dll)
  orb_test_plugin(orb_tp_plain named.cpp plain orbada32.dll plain)
  target_sources(orb_tp_plain PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/plugins/version.rc)
else()
  orb_test_plugin(orb_tp_partial partial.cpp partial liborbada32.so partial)
  orb_test_plugin(orb_tp_failing failing.cpp failing liborbada32.so failing)
  orb_test_plugin(orb_tp_names_exact named.cpp names ORBADA32 exact)
  orb_test_plugin(orb_tp_names_lib named.cpp names liborbada32.so lib)
  orb_test_plugin(orb_tp_names_plain named.cpp names orbada32.so plain)
  orb_test_plugin(orb_tp_plain named.cpp plain orbada32.so plain)
endif()

# Tests that load the real plug-in from lib/ need it built.
if(TARGET orbada32)
  add_dependencies(orb_test_fixtures orbada32)
endif()
