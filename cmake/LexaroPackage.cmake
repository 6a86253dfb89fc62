# The installed form of Lexaro and its Debian package (cpack -G DEB, see scripts/package.sh).
#
#   lexaro_install_program(TARGET <program> TOOL <lexaro-lang> ICON_TOOL <lexaro-svg-png>)
#
# installs, below the prefix (/usr in the package):
#   bin/lexaro, bin/lexaro-lang
#   share/lexaro/             Text.Db, help/, Lexaro.Reg (read from here, never copied), the
#                             preset Lexaro.Ini and LangFiles/ with the starter file: what a
#                             start without settings copies for the learner (AppFolders.h);
#                             the program finds it as ../share/lexaro
#   share/applications/lexaro.desktop, share/metainfo/org.example.lexaro.metainfo.xml
#   share/icons/hicolor/      the icon as SVG and as 48 and 256 pixel PNGs
#   share/man/man1/           lexaro.1.gz, lexaro-lang.1.gz (made from its --help)
#   share/doc/lexaro/         copyright, changelog.gz
# The bundled application folder (build/<preset>/Lexaro) stays the portable form.

include_guard(GLOBAL)

function(lexaro_install_program)
  cmake_parse_arguments(ARG "" "TARGET;TOOL;ICON_TOOL" "" ${ARGN})
  set(res "${LEXARO_RESOURCES_DIR}")
  set(pkg "${res}/package")
  set(out "${CMAKE_BINARY_DIR}/package-data")
  set(stage "${CMAKE_BINARY_DIR}/appfolder-stage/${ARG_TARGET}")
  file(MAKE_DIRECTORY "${out}")

  install(PROGRAMS "$<TARGET_FILE:${ARG_TARGET}>" DESTINATION bin RENAME lexaro)
  install(PROGRAMS "$<TARGET_FILE:${ARG_TOOL}>" DESTINATION bin)
  # Installed programs carry no debugging sections (the build's own keep them).
  install(CODE "
    foreach(program lexaro lexaro-lang)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded --remove-section=.comment
                              --remove-section=.note
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/\${program}\"
                      RESULT_VARIABLE stripped)
      if(NOT stripped EQUAL 0)
        message(FATAL_ERROR \"\${program} could not be stripped\")
      endif()
    endforeach()")

  install(FILES "${LEXARO_TEXTDB_FILE}" "${res}/registry/Lexaro.Reg" "${stage}/Lexaro.Ini"
          DESTINATION share/lexaro)
  install(FILES "${stage}/English-Deutsch.lang" "${res}/LangFiles/English-Deutsch.Bmp"
          DESTINATION share/lexaro/LangFiles)
  install(DIRECTORY "${res}/help" DESTINATION share/lexaro)

  install(FILES "${pkg}/lexaro.desktop" DESTINATION share/applications)
  install(FILES "${pkg}/org.example.lexaro.metainfo.xml" DESTINATION share/metainfo)

  # The icon: the program's own SVG, and PNGs drawn from it.
  install(FILES "${res}/images/app-icon.svg" DESTINATION share/icons/hicolor/scalable/apps
          RENAME lexaro.svg)
  set(icons "")
  foreach(size 48 256)
    set(png "${out}/lexaro-${size}.png")
    add_custom_command(OUTPUT "${png}"
      COMMAND "$<TARGET_FILE:${ARG_ICON_TOOL}>" "${res}/images/app-icon.svg" "${png}" ${size}
      DEPENDS "${res}/images/app-icon.svg" ${ARG_ICON_TOOL}
      COMMENT "Drawing the ${size} pixel icon"
      VERBATIM)
    install(FILES "${png}" DESTINATION share/icons/hicolor/${size}x${size}/apps
            RENAME lexaro.png)
    list(APPEND icons "${png}")
  endforeach()

  # Manual pages and the changelog, compressed as Debian wants them.
  set(toolman "${out}/lexaro-lang.1")
  add_custom_command(OUTPUT "${toolman}"
    COMMAND "${CMAKE_COMMAND}" "-DTOOL=$<TARGET_FILE:${ARG_TOOL}>" "-DOUT=${toolman}"
            "-DVERSION=${PROJECT_VERSION}" -P "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/HelpToMan.cmake"
    DEPENDS ${ARG_TOOL} "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/HelpToMan.cmake"
    COMMENT "Making the manual page of lexaro-lang from its help text"
    VERBATIM)
  set(gzipped "")
  foreach(pair "${pkg}/lexaro.1|lexaro.1.gz" "${toolman}|lexaro-lang.1.gz"
               "${pkg}/changelog|changelog.gz")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 from)
    list(GET pair 1 name)
    add_custom_command(OUTPUT "${out}/${name}"
      COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" gzip "${from}" "${out}/${name}"
      DEPENDS "${from}"
      VERBATIM)
    list(APPEND gzipped "${out}/${name}")
  endforeach()
  install(FILES "${out}/lexaro.1.gz" "${out}/lexaro-lang.1.gz" DESTINATION share/man/man1)
  install(FILES "${pkg}/copyright" "${out}/changelog.gz" DESTINATION share/doc/lexaro)
  add_custom_target(lexaro_package_data ALL DEPENDS ${icons} ${gzipped})

  set(CPACK_GENERATOR DEB PARENT_SCOPE)
  set(CPACK_PACKAGE_NAME lexaro PARENT_SCOPE)
  set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}" PARENT_SCOPE)
  set(CPACK_PACKAGE_CONTACT "The Lexaro developers <lexaro@example.org>" PARENT_SCOPE)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
      "vocabulary trainer with cards that fly onto a table and speak" PARENT_SCOPE)
  # The long description; CPack puts the summary above it.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "Lexaro keeps vocabulary in language files of two languages and numbered
lessons of word pairs. It composes exercises from chosen lessons and shows
them as cards that fly onto a table, speak one side of a pair with an
espeak-ng voice and write the solution letter by letter. Priorities hold
pairs back from later exercises. Lessons are edited in a table, and the
command-line tool lexaro-lang imports word lists and writes listening
tracks." PARENT_SCOPE)
  set(CPACK_DEBIAN_PACKAGE_SECTION education PARENT_SCOPE)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional PARENT_SCOPE)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT PARENT_SCOPE)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON PARENT_SCOPE)
  # What the libraries do not say: the voices, the window system's plugin and a font.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng-data, qt6-qpa-plugins, fonts-dejavu-core"
      PARENT_SCOPE)
  # Without a sound server the speech is silent; the preset settings' card font (Times New
  # Roman) and the settings dialog's Arial are drawn with their metric-compatible stand-ins
  # (Liberation Serif and Sans, or URW's Nimbus Roman and Sans), which fontconfig puts in
  # their place. Cards in other scripts (Arabic, Hebrew, the Indic scripts, Thai, Chinese,
  # Japanese, Korean) take their letters from the Noto fonts where the card font has none.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
      "pulseaudio | pipewire-pulse, fonts-liberation2 | fonts-urw-base35, fonts-noto-core, fonts-noto-cjk"
      PARENT_SCOPE)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr PARENT_SCOPE)
endfunction()
