# lexaro_speech: the espeak-ng speech control, Lexaro's own audio output on Qt Multimedia
# and the desktop engine's factory (MakeDesktopSpeechEngine).
find_package(Qt6 REQUIRED COMPONENTS Core Multimedia)
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(ESPEAK_NG IMPORTED_TARGET espeak-ng)
endif()

add_library(lexaro_speech STATIC
  ${CMAKE_CURRENT_LIST_DIR}/DesktopSpeech.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DesktopSpeech.h
  ${CMAKE_CURRENT_LIST_DIR}/EspeakControl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EspeakControl.h
  ${CMAKE_CURRENT_LIST_DIR}/QtAudioOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtAudioOutput.h
)
set_target_properties(lexaro_speech PROPERTIES AUTOMOC ON)
target_link_libraries(lexaro_speech PUBLIC lexaro_core Qt6::Core Qt6::Multimedia)
if(TARGET PkgConfig::ESPEAK_NG)
  target_link_libraries(lexaro_speech PRIVATE PkgConfig::ESPEAK_NG)
else()
  find_path(ESPEAK_NG_INCLUDE espeak-ng/speak_lib.h REQUIRED)
  find_library(ESPEAK_NG_LIBRARY espeak-ng REQUIRED)
  target_include_directories(lexaro_speech PRIVATE ${ESPEAK_NG_INCLUDE})
  target_link_libraries(lexaro_speech PRIVATE ${ESPEAK_NG_LIBRARY})
endif()

# The main window makes its engine with MakeDesktopSpeechEngine.
if(TARGET lexaro_ui)
  target_link_libraries(lexaro_ui PUBLIC lexaro_speech)
endif()
