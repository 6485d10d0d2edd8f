# The Debian package (cpack in a build folder, best from the release preset):
#   /usr/lib/corvane/program/  what `cmake --install` puts in a device's program
#                              folder: Corvane, CorvanePlugin.so, phonectl and the
#                              default Skin, Icons, Smilies and Sounds
#   /usr/lib/corvane/tools/    oscar-server with its accounts file, corvane-cli and,
#                              when it is built, homescreen
#   /usr/lib/corvane/version   the package's version, which the launcher compares
#                              with the copy in the user's device folder
#   /usr/bin/                  the launchers (package/launcher.sh under each name)
# The program folder's rules install without a component ("Unspecified"); the
# package's other files belong to components that a plain `cmake --install`
# leaves out, so a device folder laid out from a build gets none of them.
set(corvane_tools_component package_tools)
set(corvane_launchers_component package_launchers)

install(TARGETS oscar-server corvane-cli RUNTIME DESTINATION tools
        COMPONENT ${corvane_tools_component} EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/tools/oscar-server/accounts.xml DESTINATION tools
        COMPONENT ${corvane_tools_component} EXCLUDE_FROM_ALL)
set(corvane_launchers corvane corvane-cli corvane-server phonectl)
if(TARGET homescreen)
  install(TARGETS homescreen RUNTIME DESTINATION tools COMPONENT ${corvane_tools_component} EXCLUDE_FROM_ALL)
  list(APPEND corvane_launchers corvane-home)
endif()

# The launcher compares this file and the program with the copies in the
# user's device folder and copies the program folder again when either differs.
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/package/version CONTENT "${PROJECT_VERSION}\n")
install(FILES ${PROJECT_BINARY_DIR}/package/version DESTINATION .
        COMPONENT ${corvane_tools_component} EXCLUDE_FROM_ALL)
foreach(launcher ${corvane_launchers})
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/package/launcher.sh DESTINATION bin RENAME ${launcher}
          COMPONENT ${corvane_launchers_component} EXCLUDE_FROM_ALL)
endforeach()

# Each component lands in its own folder of the package.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${PROJECT_BINARY_DIR};Corvane;Unspecified;/usr/lib/corvane/program"
    "${PROJECT_BINARY_DIR};Corvane;${corvane_tools_component};/usr/lib/corvane"
    "${PROJECT_BINARY_DIR};Corvane;${corvane_launchers_component};/usr")
set(CPACK_PACKAGING_INSTALL_PREFIX "/")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Corvane developers <corvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ICQ client for keypad phones, on a simulated phone")
set(CPACK_PACKAGE_DESCRIPTION
    "Corvane is an ICQ (OSCAR) client for keypad phones. The package runs it on a \
simulated phone: the program, its home-screen plug-in, the default skins, icons, \
smilies and sounds, a local OSCAR server, a console front-end and the phone's \
remote control.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # corvane_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries come from the binaries themselves; the font is found
# through fontconfig at run time and has no link to show it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
include(CPack)
