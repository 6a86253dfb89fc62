# Run as: cmake -DTOOL=<lexaro-lang> -DOUT=<lexaro-lang.1> -DVERSION=<version> -P HelpToMan.cmake
# The manual page of lexaro-lang, made from its --help text at every build, so the two never
# differ: the usage text stands in the page as it is, in a literal block.
# A build step reads none of the learner's settings (see MakeStarterLang.cmake).
set(ENV{LEXARO_NO_SETTINGS} 1)
execute_process(COMMAND "${TOOL}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "HelpToMan: ${TOOL} --help ended with ${status}")
endif()
# Backslashes first, then what roff would read as requests at a line's start.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(TIMESTAMP date "%B %Y" UTC)
file(WRITE "${OUT}"
".TH LEXARO\\-LANG 1 \"${date}\" \"Lexaro ${VERSION}\" \"User Commands\"
.SH NAME
lexaro\\-lang \\- check, dump, export, import and speak Lexaro language files
.SH SYNOPSIS
.B lexaro\\-lang
.I COMMAND
.RI [ OPTIONS ]
.SH DESCRIPTION
.B lexaro\\-lang
works on the language files of the vocabulary trainer
.BR lexaro (1)
and restores their kept versions.
This is its usage text, as
.B lexaro\\-lang \\-\\-help
prints it:
.PP
.nf
${help}.fi
.SH SEE ALSO
.BR lexaro (1)
")
