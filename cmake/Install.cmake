# What `cmake --install` places, as Debian places games (the prefix is /usr for the package):
#   games/quellix                                   the game
#   share/games/quellix/{Images,Audio,Levels,Scripts} its data, made by the build
#   share/games/quellix/Fonts/*.ttf                 links to the files of the package fonts-play
#   share/games/quellix/Installed.txt               tells the game to keep its players in the home
#   share/applications/quellix.desktop              the menu entry
#   share/metainfo/<id>.metainfo.xml                the description for software centres
#   share/locale/<language>/LC_MESSAGES/quellix.mo  the game's texts in each language
#   share/icons/hicolor/{32,64,128,256,scalable}    the icon, drawn from assets/images/Icon.svg
#   share/man/man6/quellix.6.gz                     the manual page
#   share/doc/quellix/{copyright,changelog.gz}      as Debian asks of every package
#   share/lintian/overrides/quellix                 what lintian may say that is meant so
# The players' folder data/User is never installed.
set(quellix_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(quellix_made ${CMAKE_BINARY_DIR}/packaging)
set(quellix_made_files)

# The icon at every size the hicolor theme asks for, and as one SVG with the glyph drawn in (an
# icon theme cannot follow the reference to Glyphs.svg).
foreach(size 32 64 128 256)
  set(icon ${quellix_made}/icons/${size}x${size}/apps/quellix.png)
  quellix_render_svg(Icon ${icon} png ${size} ${size} Glyphs.svg)
  list(APPEND quellix_made_files ${icon})
  install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
set(icon ${quellix_made}/icons/scalable/apps/quellix.svg)
quellix_render_svg(Icon ${icon} svg 256 256 Glyphs.svg)
list(APPEND quellix_made_files ${icon})
install(FILES ${icon} DESTINATION share/icons/hicolor/scalable/apps)

# The version, the release date, the addresses and the data folder come from CMakeLists.txt.
# The menu entry and the metainfo carry the translations of the catalogues, merged in by msgfmt
# once every catalogue has passed its checks (cmake/Translations.cmake).
set(quellix_metainfo ${quellix_made}/${QUELLIX_APP_ID}.metainfo.xml)
set(quellix_desktop ${quellix_made}/quellix.desktop)
configure_file(${quellix_packaging}/quellix.metainfo.xml.in ${quellix_made}/untranslated.metainfo.xml
  @ONLY)
add_custom_command(
  OUTPUT ${quellix_desktop} ${quellix_metainfo}
  COMMAND ${MSGFMT} --desktop --template=${quellix_packaging}/quellix.desktop -d ${QUELLIX_PO_DIR}
    -o ${quellix_desktop}
  COMMAND ${MSGFMT} --xml --template=${quellix_made}/untranslated.metainfo.xml -d ${QUELLIX_PO_DIR}
    -o ${quellix_metainfo}
  DEPENDS ${quellix_packaging}/quellix.desktop ${quellix_made}/untranslated.metainfo.xml
    ${quellix_po_files} ${quellix_catalogues}
  COMMENT "Translating the menu entry and the metainfo"
  VERBATIM)
list(APPEND quellix_made_files ${quellix_desktop} ${quellix_metainfo})
configure_file(${quellix_packaging}/quellix.6.in ${quellix_made}/quellix.6 @ONLY)

# Debian's changelog must name the version being released first.
file(STRINGS ${quellix_packaging}/changelog quellix_newest LIMIT_COUNT 1)
if(NOT quellix_newest MATCHES "^quellix \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog begins with '${quellix_newest}': add an entry for "
    "the version ${PROJECT_VERSION} at its top")
endif()

# The manual page and the changelog are installed compressed, without names or times in the
# archive, so the package is the same each time it is made.
find_program(GZIP gzip REQUIRED)
foreach(plain ${quellix_made}/quellix.6 ${quellix_packaging}/changelog)
  get_filename_component(name ${plain} NAME)
  set(packed ${quellix_made}/packed/${name}.gz)
  add_custom_command(
    OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E copy ${plain} ${quellix_made}/packed/${name}
    COMMAND ${GZIP} -9nf ${quellix_made}/packed/${name}
    DEPENDS ${plain}
    COMMENT "Compressing ${name}"
    VERBATIM)
  list(APPEND quellix_made_files ${packed})
endforeach()

add_custom_target(quellix_desktop_files ALL DEPENDS ${quellix_made_files})

install(TARGETS quellix RUNTIME DESTINATION ${QUELLIX_INSTALL_BINDIR})
install(FILES ${quellix_image_files} DESTINATION ${QUELLIX_INSTALL_DATADIR}/Images)
install(FILES ${quellix_audio_outputs} DESTINATION ${QUELLIX_INSTALL_DATADIR}/Audio)
install(FILES ${quellix_level_scripts} DESTINATION ${QUELLIX_INSTALL_DATADIR}/Levels)
file(GLOB quellix_scripts CONFIGURE_DEPENDS ${QUELLIX_DATA_DIR}/Scripts/*.lua)
install(FILES ${quellix_scripts} DESTINATION ${QUELLIX_INSTALL_DATADIR}/Scripts)
install(FILES ${quellix_packaging}/Installed.txt
  DESTINATION ${QUELLIX_INSTALL_DATADIR} RENAME ${QUELLIX_INSTALLED_MARKER})

# The fonts are links to fonts-play's files, relative as Debian wants links inside /usr; made at
# install time, so they are right for whatever prefix the installation uses.
foreach(entry ${quellix_font_faces})
  quellix_font_entry(${entry} face name)
  install(CODE "
    set(folder \"\${CMAKE_INSTALL_PREFIX}/${QUELLIX_INSTALL_DATADIR}/Fonts\")
    if(IS_ABSOLUTE \"${QUELLIX_INSTALL_DATADIR}\")
      set(folder \"${QUELLIX_INSTALL_DATADIR}/Fonts\")
    endif()
    file(RELATIVE_PATH target \"\${folder}\" \"${face}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${folder}\")
    message(STATUS \"Linking: \$ENV{DESTDIR}\${folder}/${name} -> \${target}\")
    file(CREATE_LINK \"\${target}\" \"\$ENV{DESTDIR}\${folder}/${name}\" SYMBOLIC)")
endforeach()

# The marker explains its folder to whoever looks there, which lintian takes for misplaced docs.
install(FILES ${quellix_packaging}/lintian-overrides DESTINATION share/lintian/overrides
  RENAME quellix)
install(FILES ${quellix_desktop} DESTINATION share/applications)
install(FILES ${quellix_metainfo} DESTINATION share/metainfo)
install(FILES ${quellix_made}/packed/quellix.6.gz DESTINATION share/man/man6)
foreach(language ${QUELLIX_LANGUAGES})
  install(FILES ${quellix_locale_dir}/${language}/LC_MESSAGES/${QUELLIX_TEXT_DOMAIN}.mo
    DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${language}/LC_MESSAGES)
endforeach()
install(FILES ${quellix_packaging}/copyright ${quellix_made}/packed/changelog.gz
  DESTINATION share/doc/quellix)
