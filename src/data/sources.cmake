target_sources(lexaro_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ArrayUtil.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Charset.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CodeDecode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileUtil.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LangFHandler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Lesson.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StrUtil.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StrVector.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Word_Pear.cpp
)
