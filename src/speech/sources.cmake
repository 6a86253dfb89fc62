target_sources(lexaro_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/LH_TTSVoice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MS_TTSVoice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegEntryStr.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegistryStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegistryUtil.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpeechEngine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TTSVoice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveFileOutput.cpp
)
