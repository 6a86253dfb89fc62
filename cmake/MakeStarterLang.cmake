# Run as: cmake -DTOOL=<lexaro-lang> -DTABLE=<English-Deutsch.tsv> -DOUT=<file.lang>
#         -P MakeStarterLang.cmake
# The starter language file, made from its word list by lexaro-lang. A build step depends on
# nothing of the learner's: the code page is given, and LEXARO_NO_SETTINGS keeps lexaro-lang
# from reading any settings (the Lexaro.Ini beside it in the application folder, or the
# learner's), whatever a learner chose there.
foreach(var TOOL TABLE OUT)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "MakeStarterLang: ${var} is not given")
  endif()
endforeach()
set(ENV{LEXARO_NO_SETTINGS} 1)
# lexaro-lang keeps existing files; --force lets a rebuild replace its own output.
execute_process(
  COMMAND "${TOOL}" import "${TABLE}" "${OUT}" --lang1 English --lang2 Deutsch
          --codepage 1252 --force
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "MakeStarterLang: lexaro-lang import ended with ${status}")
endif()
