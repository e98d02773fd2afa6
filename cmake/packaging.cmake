# The Debian package (make package): fenwater_<version>_<arch>.deb with what an install
# writes under /usr, the program stripped. Depends is what the program links against
# (dpkg-shlibdeps) plus what it only loads at run time: the fonts it draws its texts
# with, xdg-open for the two text files, and Qt's Wayland platform plugin. The image
# format plugins it loads (ICO, GIF, JPEG) come with libqt6gui6, which it links against.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fenwater)
set(CPACK_PACKAGE_VERSION ${FENWATER_VERSION})
set(CPACK_PACKAGE_VENDOR "the Fenwater simulator authors")
set(CPACK_PACKAGE_CONTACT "the Fenwater simulator authors <fenwater@morvane.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.morvane.example/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "simulator of the Fenwater LCD fishing game and clock")
# Lines of the long description are kept under 80 columns, as Debian asks.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Fenwater is a one-screen LCD handheld game by Ostrel that is also a"
    "12-hour clock. This simulator shows its whole face in one window: the"
    "case with its printed scenery and, over it, the black segments of the"
    "LCD, lit and cleared on the handheld's own timers."
    ""
    "Move the fisherman with the arrow keys and catch the fish before they"
    "reach the end of their lane. Game B adds leaping fish and crabs. The"
    "best score of each game is kept between runs.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core, xdg-utils, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_checks.cmake)
include(CPack)

# make uninstall: what the last install from this build folder wrote, and the folders
# it had to make once they are empty.
add_custom_target(uninstall
    COMMAND ${CMAKE_COMMAND} -D BUILD=${CMAKE_BINARY_DIR}
            -P ${CMAKE_CURRENT_LIST_DIR}/uninstall.cmake
    VERBATIM)
