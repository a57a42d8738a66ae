# The Debian package (cpack -G DEB in a build configured with -DCMAKE_INSTALL_PREFIX=/usr): everything
# `cmake --install` puts down, with the libraries it links found by dpkg-shlibdeps and what it only
# loads or runs at run time named here.
set(CPACK_PACKAGE_NAME k3100)
set(CPACK_PACKAGE_VENDOR "Orvik Electronics")
set(CPACK_PACKAGE_CONTACT "Orvik Electronics <support@orvik-electronics.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "software for the Orvik K3100 document scanner")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The TWAIN data source K3100.ds with its page-processing library, the desktop
application tollivar, the menu-bar helper tapwell that runs a job when the
scanner's button is pressed, the command-line TWAIN application twainscan and
an emulated scanner, k3100-emulator.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shared libraries it ships: a shlibs file and the ldconfig trigger (our own postinst and postrm
# take the place of the ones CPack would write to run ldconfig), and the udev rule put in force.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers ${CMAKE_CURRENT_LIST_DIR}/debian/postinst
                                       ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Our own libraries lie beside the programs; dpkg-shlibdeps finds them through the build tree.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
# Loaded or started at run time: Qt's platform and SVG image plugins, the OCR and orientation data,
# the session bus, and the desktop's open and mail commands.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libqt6svg6, tesseract-ocr-eng, tesseract-ocr-osd, dbus-daemon | dbus-x11, xdg-utils, xdg-user-dirs")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "tesseract-ocr-jpn, tesseract-ocr-chi-sim, tesseract-ocr-fra, tesseract-ocr-ita, tesseract-ocr-deu, tesseract-ocr-spa, tesseract-ocr-nld")
set(CPACK_STRIP_FILES ON)
# Debian asks every package for its copyright and (as a native package) its changelog.
set(K3100_PACKAGE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog} COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/debian/changelog > ${changelog}
                   DEPENDS ${CMAKE_CURRENT_LIST_DIR}/debian/changelog VERBATIM)
add_custom_target(k3100_changelog ALL DEPENDS ${changelog})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${changelog} DESTINATION ${K3100_PACKAGE_DOC_DIR})
include(CPack)
