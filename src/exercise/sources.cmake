target_sources(lexaro_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ExerciseData.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExerciseHelpFunc.cpp
)
