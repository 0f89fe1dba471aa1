# The application shell: main window, library, editor hand-off, information dialog.
add_library(logosmith_app_windows STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AppWindows.h ${CMAKE_CURRENT_LIST_DIR}/AppWindows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uMain.h ${CMAKE_CURRENT_LIST_DIR}/uMain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uMainColour.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uMainPicture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uMainLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uMainOutward.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uMainPrinting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StoreCommandFile.h ${CMAKE_CURRENT_LIST_DIR}/StoreCommandFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureView.h ${CMAKE_CURRENT_LIST_DIR}/PictureView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Swatch.h ${CMAKE_CURRENT_LIST_DIR}/Swatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditorHandoff.h ${CMAKE_CURRENT_LIST_DIR}/EditorHandoff.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uHelp.h ${CMAKE_CURRENT_LIST_DIR}/uHelp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uImageEditor.h ${CMAKE_CURRENT_LIST_DIR}/uImageEditor.cpp
)
target_include_directories(logosmith_app_windows PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(logosmith_app_windows PUBLIC
  logosmith_platform_widgets logosmith_printdata_windows logosmith_transport_windows
  logosmith_picture logosmith_separation_engine logosmith_loader logosmith_library
  logosmith_printdata logosmith_transport)

add_executable(logosmith ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(logosmith PRIVATE logosmith_app_windows)

# The help page is installed beside the program, where the help menu looks for it.
configure_file(${CMAKE_CURRENT_LIST_DIR}/help/help.html ${CMAKE_BINARY_DIR}/bin/help.html COPYONLY)
file(GLOB help_images ${PROJECT_SOURCE_DIR}/docs/*.png)
foreach(image ${help_images})
  get_filename_component(image_name ${image} NAME)
  configure_file(${image} ${CMAKE_BINARY_DIR}/bin/help-images/${image_name} COPYONLY)
endforeach()
