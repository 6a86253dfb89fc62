target_sources(lexaro_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AppIniFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AppLangHandl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormFit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniFileHandler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainWndLogic.cpp
)
