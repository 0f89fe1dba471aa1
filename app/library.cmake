# The image library model: entries, library folder, history. Qt Core only, no widgets.
add_library(logosmith_library STATIC
  ${CMAKE_CURRENT_LIST_DIR}/library/LibraryPaths.h ${CMAKE_CURRENT_LIST_DIR}/library/LibraryPaths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/library/ImageLibrary.h ${CMAKE_CURRENT_LIST_DIR}/library/ImageLibrary.cpp
)
target_include_directories(logosmith_library PUBLIC ${CMAKE_CURRENT_LIST_DIR}/library)
target_link_libraries(logosmith_library PUBLIC logosmith_platform logosmith_picture Qt6::Core)

logosmith_add_test(NAME library_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/library_paths_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/library_model_test.cpp
  LIBS logosmith_library)
