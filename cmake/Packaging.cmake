# SPDX-License-Identifier: GPL-3.0-or-later
# What the Debian package installs besides the two programs, and how CPack
# builds it (scripts/package runs it): the desktop entry, the icons, the
# AppStream metainfo, the MIME type for lyric files, the man pages, the
# default sound cues and the copyright file.
include(GNUInstallDirs)

set(DICTORA_ID io.github.dictora.Dictora)
set(res ${CMAKE_SOURCE_DIR}/res)

install(FILES ${res}/${DICTORA_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${res}/${DICTORA_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${res}/${DICTORA_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${DICTORA_ID}.xml)
foreach(size 16 22 24 32 48 64 128 256 512)
    install(FILES ${res}/icons/${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${DICTORA_ID}.png)
endforeach()
install(FILES ${res}/icons/scalable.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${DICTORA_ID}.svg)
# The cues the program places in a new Cfg folder, for a learner who wants
# them back.
install(FILES ${res}/sound/Tip.wav ${res}/sound/Error.wav ${res}/sound/Match.wav
        DESTINATION ${CMAKE_INSTALL_DATADIR}/dictora/Cfg)

# Man pages and the Debian changelog are installed compressed, without a
# time stamp in the gzip header, as Debian policy asks.
find_program(GZIP gzip REQUIRED)
set(compressed)
foreach(page dictora.1 dictora-cli.1)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND ${GZIP} -9nc ${res}/man/${page} > ${CMAKE_BINARY_DIR}/man/${page}.gz
        DEPENDS ${res}/man/${page} VERBATIM)
    list(APPEND compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
    install(FILES ${CMAKE_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debian
    COMMAND ${GZIP} -9nc ${CMAKE_SOURCE_DIR}/cmake/debian/changelog > ${CMAKE_BINARY_DIR}/debian/changelog.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/cmake/debian/changelog VERBATIM)
list(APPEND compressed ${CMAKE_BINARY_DIR}/debian/changelog.gz)
add_custom_target(dictora_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dictora)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dictora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dictora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Dictora developers <dictora@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "trainer for listening and writing by sentence dictation")
# CPack puts the summary first and indents every line of the text itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Dictora plays one sentence of an audio or video file (or speaks it through
espeak-ng), the learner types what they heard, and wrong characters are
marked and hinted at. Sentences live in study Units imported from lyric,
subtitle and text files (LRC, SRT, WebVTT, ASS/SSA, plain text); a review
schedule decides each day which sentences are due again.
.
The package holds the program dictora and the command-line companion
dictora-cli.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/dictora/dictora)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What dpkg-shlibdeps cannot see: the plugins GStreamer and Qt load at run
# time and the voices espeak-ng reads.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-libav, espeak-ng-data")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-qpa-plugins, qt6-wayland, qt6-translations-l10n, gstreamer1.0-pulseaudio | gstreamer1.0-pipewire")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fcitx5-frontend-qt6")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
