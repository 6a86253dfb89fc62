# Run as: cmake -DFOLDER=... -DRESOURCES=... -DTEXTDB=... -DSTAGE_INI=... -DSTAGE_LANG=...
#         -P AssembleAppFolder.cmake
# Files that ship with the program are refreshed; files a user may have changed (settings,
# language files and their pictures) are copied only when they are missing.

foreach(var FOLDER RESOURCES STAGE_INI)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "AssembleAppFolder: ${var} is not given")
  endif()
endforeach()

file(MAKE_DIRECTORY "${FOLDER}" "${FOLDER}/LangFiles")

function(copy_if_missing from to)
  if(NOT EXISTS "${to}")
    if(NOT EXISTS "${from}")
      message(FATAL_ERROR "AssembleAppFolder: ${from} does not exist")
    endif()
    file(COPY_FILE "${from}" "${to}" ONLY_IF_DIFFERENT)
    message(STATUS "Installed ${to}")
  endif()
endfunction()

# Shipped files: always the current ones.
if(NOT "${TEXTDB}" STREQUAL "")
  if(NOT EXISTS "${TEXTDB}")
    message(FATAL_ERROR "AssembleAppFolder: the text database ${TEXTDB} was not made")
  endif()
  file(COPY_FILE "${TEXTDB}" "${FOLDER}/Text.Db" ONLY_IF_DIFFERENT)
endif()

# Pages removed from the sources must not linger, so help/ is replaced as a whole.
file(REMOVE_RECURSE "${FOLDER}/help")
file(COPY "${RESOURCES}/help" DESTINATION "${FOLDER}")

if(EXISTS "${RESOURCES}/registry/Lexaro.Reg")
  file(COPY_FILE "${RESOURCES}/registry/Lexaro.Reg" "${FOLDER}/Lexaro.Reg" ONLY_IF_DIFFERENT)
endif()

# The presets that a start without Lexaro.Ini copies (the learner deleted it to reset the
# settings): the program's own, so always the current ones.
file(MAKE_DIRECTORY "${FOLDER}/presets/LangFiles")
file(COPY_FILE "${STAGE_INI}" "${FOLDER}/presets/Lexaro.Ini" ONLY_IF_DIFFERENT)
if(NOT "${STAGE_LANG}" STREQUAL "")
  file(COPY_FILE "${STAGE_LANG}" "${FOLDER}/presets/LangFiles/English-Deutsch.lang"
       ONLY_IF_DIFFERENT)
endif()
file(COPY_FILE "${RESOURCES}/LangFiles/English-Deutsch.Bmp"
     "${FOLDER}/presets/LangFiles/English-Deutsch.Bmp" ONLY_IF_DIFFERENT)

# The user's files: never overwritten.
copy_if_missing("${STAGE_INI}" "${FOLDER}/Lexaro.Ini")
if(NOT "${STAGE_LANG}" STREQUAL "")
  copy_if_missing("${STAGE_LANG}" "${FOLDER}/LangFiles/English-Deutsch.lang")
endif()
copy_if_missing("${RESOURCES}/LangFiles/English-Deutsch.Bmp" "${FOLDER}/LangFiles/English-Deutsch.Bmp")
