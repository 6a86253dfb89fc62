# The desktop program: all widgets of this folder in lexaro_ui, and the Lexaro executable,
# which runs from its assembled application folder ${LEXARO_APP_DIR}.
find_package(Qt6 REQUIRED COMPONENTS Widgets Svg Test)

# Widget folders may add their sources to lexaro_ui whichever of them is included first.
if(NOT TARGET lexaro_ui)
  add_library(lexaro_ui STATIC)
endif()
target_sources(lexaro_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ChildWindows.h
  ${CMAKE_CURRENT_LIST_DIR}/HelpWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HelpWindow.h
  ${CMAKE_CURRENT_LIST_DIR}/MainWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainWnd.h
  ${CMAKE_CURRENT_LIST_DIR}/QtMessageSink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtMessageSink.h
  ${CMAKE_CURRENT_LIST_DIR}/QtText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtText.h
  ${CMAKE_CURRENT_LIST_DIR}/T_MAboutDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/T_MAboutDlg.h
  ${CMAKE_CURRENT_LIST_DIR}/UiHelpers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UiHelpers.h
)
set_target_properties(lexaro_ui PROPERTIES AUTOMOC ON)
target_link_libraries(lexaro_ui PUBLIC lexaro_core Qt6::Widgets Qt6::Svg)

# The pictures live in the program itself.
if(EXISTS ${CMAKE_SOURCE_DIR}/resources/lexaro.qrc)
  qt_add_resources(lexaro_ui_resources ${CMAKE_SOURCE_DIR}/resources/lexaro.qrc)
  target_sources(lexaro_ui PRIVATE ${lexaro_ui_resources})
  target_compile_definitions(lexaro_ui PRIVATE LEXARO_HAVE_RESOURCES)
endif()

add_executable(Lexaro ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
set_target_properties(Lexaro PROPERTIES
  AUTOMOC ON
  RUNTIME_OUTPUT_DIRECTORY ${LEXARO_APP_DIR})
target_link_libraries(Lexaro PRIVATE lexaro_ui)
lexaro_assemble_app_folder(TARGET Lexaro FOLDER ${LEXARO_APP_DIR})
