# Assembly of the application folder: everything Lexaro finds beside its executable.
#
#   lexaro_assemble_app_folder(TARGET <executable target> FOLDER <application folder>)
#
# After each build the folder holds
#   Text.Db        from the file named by the global property LEXARO_TEXTDB_FILE  (refreshed)
#   help/          from resources/help                                           (refreshed)
#   Lexaro.Reg     from resources/registry/Lexaro.Reg, when that file exists      (refreshed)
#   LangFiles/English-Deutsch.lang, made from the starter TSV by lexaro-lang     (only if missing)
#   LangFiles/English-Deutsch.Bmp                                                 (only if missing)
#   Lexaro.Ini     the preset settings, pointing at the starter language file    (only if missing)
# A user's settings and language files are never overwritten by a rebuild.
#
# The global property LEXARO_TEXTDB_TARGET, when set, names the target that makes Text.Db;
# the assembly then waits for it. The work is done at the end of the top directory, so the
# properties and the lexaro-lang target may be defined after this function is called.

include_guard(GLOBAL)

set(LEXARO_RESOURCES_DIR "${CMAKE_CURRENT_LIST_DIR}" CACHE INTERNAL "Lexaro resources folder")

function(lexaro_assemble_app_folder)
  cmake_parse_arguments(ARG "" "TARGET;FOLDER" "" ${ARGN})
  if(NOT ARG_TARGET OR NOT ARG_FOLDER)
    message(FATAL_ERROR "lexaro_assemble_app_folder: TARGET and FOLDER are required")
  endif()
  cmake_path(ABSOLUTE_PATH ARG_FOLDER BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
             NORMALIZE OUTPUT_VARIABLE folder)
  # A deferred call evaluates its arguments when it runs, so they are spelled out here.
  cmake_language(EVAL CODE "
    cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]]
                   CALL _lexaro_assemble_app_folder_now [[${ARG_TARGET}]] [[${folder}]])")
endfunction()

function(_lexaro_assemble_app_folder_now target folder)
  set(res "${LEXARO_RESOURCES_DIR}")
  set(stage "${CMAKE_BINARY_DIR}/appfolder-stage/${target}")
  file(MAKE_DIRECTORY "${stage}")

  # The preset settings name the starter language file by its absolute path in this folder.
  cmake_path(APPEND folder "LangFiles" "English-Deutsch.lang" OUTPUT_VARIABLE lang_file)
  cmake_path(NATIVE_PATH lang_file LEXARO_STARTER_LANG_FILE)
  configure_file("${res}/Lexaro.Ini.in" "${stage}/Lexaro.Ini" @ONLY NEWLINE_STYLE CRLF)

  set(depends "${res}/cmake/AssembleAppFolder.cmake" "${stage}/Lexaro.Ini")
  set(stage_lang "")
  if(TARGET lexaro-lang)
    set(stage_lang "${stage}/English-Deutsch.lang")
    # lexaro-lang keeps existing files; --force lets a rebuild replace its own output.
    add_custom_command(
      OUTPUT "${stage_lang}"
      COMMAND lexaro-lang import "${res}/LangFiles/English-Deutsch.tsv" "${stage_lang}"
              --lang1 English --lang2 Deutsch --force
      DEPENDS "${res}/LangFiles/English-Deutsch.tsv" lexaro-lang
      COMMENT "Making the starter language file English-Deutsch.lang"
      VERBATIM)
    list(APPEND depends "${stage_lang}")
  else()
    message(WARNING "lexaro-lang is not built: ${folder} gets no starter language file")
  endif()

  get_property(textdb GLOBAL PROPERTY LEXARO_TEXTDB_FILE)
  get_property(textdb_target GLOBAL PROPERTY LEXARO_TEXTDB_TARGET)
  if(NOT textdb)
    message(WARNING "LEXARO_TEXTDB_FILE is not set: ${folder} gets no Text.Db")
  endif()

  add_custom_target(${target}_app_folder ALL
    COMMAND "${CMAKE_COMMAND}"
            "-DFOLDER=${folder}"
            "-DRESOURCES=${res}"
            "-DTEXTDB=${textdb}"
            "-DSTAGE_INI=${stage}/Lexaro.Ini"
            "-DSTAGE_LANG=${stage_lang}"
            -P "${res}/cmake/AssembleAppFolder.cmake"
    DEPENDS ${depends}
    COMMENT "Assembling the application folder ${folder}"
    VERBATIM)
  if(textdb_target)
    add_dependencies(${target}_app_folder ${textdb_target})
  endif()
  # Building the program alone also brings its folder up to date.
  add_dependencies(${target} ${target}_app_folder)
endfunction()
