# test_orbtool runs the built orbtool as a process and reads the binary
# samples it built.
if(TARGET test_orbtool AND TARGET orbtool_samples)
  add_dependencies(test_orbtool orbtool orbtool_samples)
endif()
