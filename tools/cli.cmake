# logosmith-cli: the program's picture and printer functions for scripts. Each subcommand lives
# in its own file and is listed in Subcommands.cpp.
set(cli_dir ${CMAKE_CURRENT_LIST_DIR}/logosmith-cli)
add_executable(logosmith-cli
  ${cli_dir}/main.cpp
  ${cli_dir}/Subcommand.h
  ${cli_dir}/Subcommands.cpp
  ${cli_dir}/Options.h ${cli_dir}/Options.cpp
  ${cli_dir}/DensityOption.h
  ${cli_dir}/ConsoleDialogs.h ${cli_dir}/ConsoleDialogs.cpp
  ${cli_dir}/ConvertCommand.h ${cli_dir}/ConvertCommand.cpp
  ${cli_dir}/StoreCommand.h ${cli_dir}/StoreCommand.cpp
  ${cli_dir}/PrintCommand.h ${cli_dir}/PrintCommand.cpp
  ${cli_dir}/SendCommand.h ${cli_dir}/SendCommand.cpp
)
target_link_libraries(logosmith-cli PRIVATE
  logosmith_loader logosmith_fitting logosmith_separation_engine logosmith_picture
  logosmith_printdata logosmith_transport Qt6::Gui)
set_target_properties(logosmith-cli PROPERTIES AUTOMOC OFF)

logosmith_add_test(NAME logosmith_cli_test
  SOURCES ${cli_dir}/tests/cli_convert_test.cpp
  LIBS logosmith_loader Qt6::Core)
if(TARGET logosmith_cli_test)
  add_dependencies(logosmith_cli_test logosmith-cli)
  set_target_properties(logosmith_cli_test PROPERTIES AUTOMOC OFF)
endif()

# store, print and send, run as processes against the virtual printer.
logosmith_add_test(NAME logosmith_cli_printer_test
  SOURCES ${cli_dir}/tests/CliProcess.h
          ${cli_dir}/tests/cli_streams_test.cpp
          ${cli_dir}/tests/cli_send_test.cpp
  LIBS logosmith_picture Qt6::Core)
if(TARGET logosmith_cli_printer_test)
  add_dependencies(logosmith_cli_printer_test logosmith-cli mrx310-sim)
  set_target_properties(logosmith_cli_printer_test PROPERTIES AUTOMOC OFF)
endif()
