# Installation and the Debian package.
#
#   cmake --install build [--prefix DIR]     tavo, tavo-gui, desktop entry, MIME type, icons, manual
#   (cd build && cpack -G DEB)               tavo_<version>_<arch>.deb
#
# The command line is installed in every build; the desktop's files only when
# the desktop program is built.
include(GNUInstallDirs)

install(TARGETS tavo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tavo)
install(FILES ${CMAKE_SOURCE_DIR}/examples/plan.tvd ${CMAKE_SOURCE_DIR}/examples/goals.tvd
              ${CMAKE_SOURCE_DIR}/examples/trucks.tvd ${CMAKE_SOURCE_DIR}/examples/knapsack.tvd
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tavo/examples COMPONENT tavo)

if(TARGET tavo-gui)
  install(TARGETS tavo-gui RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tavo)
  # The desktop entry and the model file type (".tvd"), so that file managers
  # open models with TAVO. Debian's triggers refresh the MIME, desktop and
  # icon caches when the package installs these.
  install(FILES ${CMAKE_SOURCE_DIR}/resources/tavo.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT tavo)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/tavo-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tavo.xml COMPONENT tavo)
  foreach(size 16 32 48 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/tavo-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tavo.png COMPONENT tavo)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/tavo-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/mimetypes
            RENAME application-x-tavo-model.png COMPONENT tavo)
  endforeach()
  # The manual: the HTML page built from docs/manual.md (the program's
  # home-page command opens it), the Markdown beside it, and its pictures.
  install(FILES ${CMAKE_BINARY_DIR}/manual/manual.html ${CMAKE_SOURCE_DIR}/docs/manual.md
          DESTINATION ${CMAKE_INSTALL_DATADIR}/tavo/manual COMPONENT tavo)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/images DESTINATION ${CMAKE_INSTALL_DATADIR}/tavo/manual
          COMPONENT tavo FILES_MATCHING PATTERN "*.png")
endif()

# ---- Debian package ----------------------------------------------------------
set(CPACK_PACKAGE_NAME "tavo")
set(CPACK_PACKAGE_VENDOR "Marvolen")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "goal, linear and integer programming workbench")
set(CPACK_PACKAGE_DESCRIPTION "TAVO solves goal programming, linear programming and integer programming
models written as plain text: a two-phase revised simplex method with
preemptive goal priorities, a depth-first branch and bound, and a
right-hand-side sensitivity analysis. It contains the command line tavo and,
when built with it, the desktop program tavo-gui.")
set(CPACK_PACKAGE_CONTACT "TAVO maintainers <tavo@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "file:///usr/share/tavo/manual/manual.html")
# The shared libraries (Qt, QScintilla, iconv in libc) found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET tavo-gui)
  # Japanese glyphs for the editor and the dialogs.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
endif()
set(CPACK_GENERATOR "DEB")
set(CPACK_STRIP_FILES ON)
include(CPack)
