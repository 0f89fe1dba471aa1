# Tests that need services of their own: a private CUPS scheduler (started and stopped by the
# tests through integration/private-cupsd.sh).
logosmith_add_test(NAME spooler_integration_test
  SOURCES ${PROJECT_SOURCE_DIR}/transport/tests/TransportTestSupport.cpp
          ${CMAKE_CURRENT_LIST_DIR}/integration/spooler_test.cpp
  LIBS logosmith_transport
  LABELS integration)
if(TARGET spooler_integration_test)
  target_include_directories(spooler_integration_test PRIVATE ${PROJECT_SOURCE_DIR}/transport/tests)
  # One scheduler per run of the test program; keep two runs from sharing a queue name.
  set_tests_properties(spooler_integration_test PROPERTIES RUN_SERIAL TRUE)
endif()
