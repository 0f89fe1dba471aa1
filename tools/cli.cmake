# logosmith-cli: the program's picture and printer functions for scripts. Each subcommand lives
# in its own file and is listed in Subcommands.cpp.
add_executable(logosmith-cli
  ${CMAKE_CURRENT_LIST_DIR}/logosmith-cli/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/logosmith-cli/Subcommand.h
  ${CMAKE_CURRENT_LIST_DIR}/logosmith-cli/Subcommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/logosmith-cli/Options.h ${CMAKE_CURRENT_LIST_DIR}/logosmith-cli/Options.cpp
  ${CMAKE_CURRENT_LIST_DIR}/logosmith-cli/ConvertCommand.h
  ${CMAKE_CURRENT_LIST_DIR}/logosmith-cli/ConvertCommand.cpp
)
target_link_libraries(logosmith-cli PRIVATE
  logosmith_loader logosmith_fitting logosmith_separation_engine logosmith_picture Qt6::Gui)
set_target_properties(logosmith-cli PROPERTIES AUTOMOC OFF)

logosmith_add_test(NAME logosmith_cli_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/logosmith-cli/tests/cli_convert_test.cpp
  LIBS logosmith_loader Qt6::Core)
if(TARGET logosmith_cli_test)
  add_dependencies(logosmith_cli_test logosmith-cli)
  set_target_properties(logosmith_cli_test PROPERTIES AUTOMOC OFF)
endif()
