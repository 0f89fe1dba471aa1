# logosmith_add_library(name sources...): one static library of the project. Its headers are
# included qualified by folder from the source root ("separation/Separation.h").
function(logosmith_add_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# logosmith_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l])
# One small GoogleTest executable per unit, registered with CTest.
function(logosmith_add_test)
  if(NOT LOGOSMITH_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LOGOSMITH_SOURCE_DIR=${PROJECT_SOURCE_DIR};LOGOSMITH_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
    TIMEOUT 600)
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# logosmith_add_gui_test(NAME name SOURCES ... LIBS ...): a GoogleTest program with the GUI main.
function(logosmith_add_gui_test)
  if(NOT LOGOSMITH_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} logosmith_gui_test_main GTest::gtest)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LOGOSMITH_SOURCE_DIR=${PROJECT_SOURCE_DIR};LOGOSMITH_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
    TIMEOUT 600 LABELS gui)
endfunction()

# logosmith_add_fuzzer(NAME name SOURCES ... LIBS ...): a libFuzzer target (clang only), built
# when LOGOSMITH_FUZZ is on. Each target lives in the fuzz/ folder of the library it reads for;
# its regression inputs (every input that ever failed) sit in fuzz/regressions/<name>/, and
# fuzz/seeds.sh OUTDIR writes its seed inputs (into OUTDIR/<name>/, or OUTDIR itself for all
# targets of the folder). Every target is listed in <build>/fuzz/targets.txt at the end of
# configuring, one per line: name, program, regressions folder, seeds script (tab-separated),
# which is what scripts/fuzz.sh runs.
function(logosmith_add_fuzzer)
  if(NOT LOGOSMITH_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  get_filename_component(folder_name ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  if(folder_name STREQUAL "fuzz")
    set(fuzz_folder ${CMAKE_CURRENT_SOURCE_DIR})
  else()
    set(fuzz_folder ${CMAKE_CURRENT_SOURCE_DIR}/fuzz)
  endif()
  set_property(GLOBAL APPEND PROPERTY LOGOSMITH_FUZZERS ${F_NAME})
  set_property(GLOBAL APPEND PROPERTY LOGOSMITH_FUZZER_LINES
    "${F_NAME}\t${CMAKE_BINARY_DIR}/fuzz/${F_NAME}\t${fuzz_folder}/regressions/${F_NAME}\t${fuzz_folder}/seeds.sh")
endfunction()

# Writes <build>/fuzz/targets.txt from every logosmith_add_fuzzer call of the project.
function(logosmith_write_fuzzer_list)
  get_property(lines GLOBAL PROPERTY LOGOSMITH_FUZZER_LINES)
  set(text "")
  foreach(line IN LISTS lines)
    string(APPEND text "${line}\n")
  endforeach()
  file(WRITE ${CMAKE_BINARY_DIR}/fuzz/targets.txt "${text}")
endfunction()
if(LOGOSMITH_FUZZ)
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL logosmith_write_fuzzer_list)
endif()
