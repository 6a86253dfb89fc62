# The starter language file and the assembly of the application folder.
#
#   lexaro_make_starter_lang(OUTPUT <file> [TARGET <name>])
#
# Makes <file> from resources/LangFiles/English-Deutsch.tsv with lexaro-lang
# (MakeStarterLang.cmake: in code page 1252, reading no settings), again whenever the table or
# the tool changed. With TARGET, a custom target of that name makes it.
#
#   lexaro_assemble_app_folder(TARGET <executable target> FOLDER <application folder>)
#
# After each build the folder holds
#   Text.Db        from ${LEXARO_TEXTDB_FILE}, made by lexaro_textdb                (refreshed)
#   help/          from resources/help                                           (refreshed)
#   Lexaro.Reg     from resources/registry/Lexaro.Reg, when that file exists      (refreshed)
#   presets/       Lexaro.Ini and LangFiles/ as below: what a start without
#                  Lexaro.Ini copies (AppFolders.h)                              (refreshed)
#   LangFiles/English-Deutsch.lang, made by lexaro_make_starter_lang              (only if missing)
#   LangFiles/English-Deutsch.Bmp                                                 (only if missing)
#   Lexaro.Ini     the preset settings, naming the starter language file relatively (only if missing)
#   lexaro-lang    the command-line tool, built straight into the folder (tools/lexaro-lang)
# A user's settings and language files are never overwritten by a rebuild.
#
# Both refer to lexaro-lang and lexaro_textdb by target name only, so they may be called in a
# folder that is added before tools/.

include_guard(GLOBAL)

function(lexaro_make_starter_lang)
  cmake_parse_arguments(ARG "" "OUTPUT;TARGET" "" ${ARGN})
  if(NOT ARG_OUTPUT)
    message(FATAL_ERROR "lexaro_make_starter_lang: OUTPUT is required")
  endif()
  set(tsv "${LEXARO_RESOURCES_DIR}/LangFiles/English-Deutsch.tsv")
  # The step reads no settings (MakeStarterLang.cmake), so no learner's choice can break it.
  set(script "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/MakeStarterLang.cmake")
  add_custom_command(
    OUTPUT "${ARG_OUTPUT}"
    COMMAND "${CMAKE_COMMAND}" "-DTOOL=$<TARGET_FILE:lexaro-lang>" "-DTABLE=${tsv}"
            "-DOUT=${ARG_OUTPUT}" -P "${script}"
    DEPENDS "${tsv}" "${script}" lexaro-lang
    COMMENT "Making the starter language file ${ARG_OUTPUT}"
    VERBATIM)
  if(ARG_TARGET)
    add_custom_target(${ARG_TARGET} DEPENDS "${ARG_OUTPUT}")
  endif()
endfunction()

function(lexaro_assemble_app_folder)
  cmake_parse_arguments(ARG "" "TARGET;FOLDER" "" ${ARGN})
  if(NOT ARG_TARGET OR NOT ARG_FOLDER)
    message(FATAL_ERROR "lexaro_assemble_app_folder: TARGET and FOLDER are required")
  endif()
  cmake_path(ABSOLUTE_PATH ARG_FOLDER BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
             NORMALIZE OUTPUT_VARIABLE folder)
  set(res "${LEXARO_RESOURCES_DIR}")
  set(script "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/AssembleAppFolder.cmake")
  set(stage "${CMAKE_BINARY_DIR}/appfolder-stage/${ARG_TARGET}")
  file(MAKE_DIRECTORY "${stage}")

  # The preset settings name the starter language file relative to the application folder,
  # so a copied or moved folder keeps working. Written with CR LF, as the program writes.
  configure_file("${res}/Lexaro.Ini.in" "${stage}/Lexaro.Ini" @ONLY NEWLINE_STYLE CRLF)

  set(stage_lang "${stage}/English-Deutsch.lang")
  lexaro_make_starter_lang(OUTPUT "${stage_lang}")

  add_custom_target(${ARG_TARGET}_app_folder ALL
    COMMAND "${CMAKE_COMMAND}"
            "-DFOLDER=${folder}"
            "-DRESOURCES=${res}"
            "-DTEXTDB=${LEXARO_TEXTDB_FILE}"
            "-DSTAGE_INI=${stage}/Lexaro.Ini"
            "-DSTAGE_LANG=${stage_lang}"
            -P "${script}"
    DEPENDS "${script}" "${stage}/Lexaro.Ini" "${stage_lang}"
    COMMENT "Assembling the application folder ${folder}"
    VERBATIM)
  add_dependencies(${ARG_TARGET}_app_folder lexaro_textdb)
  # Building the program alone also brings its folder up to date.
  add_dependencies(${ARG_TARGET} ${ARG_TARGET}_app_folder)
endfunction()
