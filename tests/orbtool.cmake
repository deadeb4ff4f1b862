# test_orbtool runs the built orbtool as a process.
if(TARGET test_orbtool)
  add_dependencies(test_orbtool orbtool)
endif()
