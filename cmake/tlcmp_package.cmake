# The Debian package of tlcmp and its manual page (cpack -G DEB in a native
# build): what cmake --install puts under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tlcmp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Corvale Tools")
set(CPACK_PACKAGE_CONTACT "Corvale Tools")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compares two files byte by byte and reports in Japanese")
set(CPACK_PACKAGE_DESCRIPTION
    "tlcmp is the console companion of Tarnlight: it compares two files byte by byte, prints\nthe report of Tarnlight's Save result in Japanese and exits as cmp does; -l lists every\ndiffering byte as cmp -l does.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
