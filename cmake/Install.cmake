# What `cmake --install` lays out and what CPack packs, in one place, by target:
#   bin/                   tolvane-diag, tolvane-sim
#   lib/                   the platform library and the simulated machine library
#   lib/tolvane-modules/   the simulated driver modules and the framework stand-in,
#                          where the machine library looks for them (beside itself)
#   share/applications/    the desktop entry
#   share/icons/hicolor/   the icon
# Test programs, benchmarks and helper tools stay in the build tree.
# Installed files find each other through run paths relative to themselves, so
# the tree works wherever it is installed.

# Installing builds nothing: the packaging script builds the installed targets
# only, not the helper tools and benchmarks that `all` holds.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(TOLVANE_INSTALL_LIBDIR lib)
set(TOLVANE_INSTALL_MODULEDIR ${TOLVANE_INSTALL_LIBDIR}/tolvane-modules)

set(tolvane_installed_programs tolvane-diag tolvane-sim)
set(tolvane_installed_libraries platform simmachine)
get_target_property(tolvane_module_targets tolvane_modules MANUALLY_ADDED_DEPENDENCIES)
set(tolvane_installed_modules ${tolvane_module_targets} winbio)

set_target_properties(${tolvane_installed_programs} PROPERTIES INSTALL_RPATH "$ORIGIN/../${TOLVANE_INSTALL_LIBDIR}")
set_target_properties(${tolvane_installed_libraries} PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(${tolvane_installed_modules} PROPERTIES INSTALL_RPATH "$ORIGIN/..")

install(TARGETS ${tolvane_installed_programs} RUNTIME DESTINATION bin)
install(TARGETS ${tolvane_installed_libraries} LIBRARY DESTINATION ${TOLVANE_INSTALL_LIBDIR})
install(TARGETS ${tolvane_installed_modules} LIBRARY DESTINATION ${TOLVANE_INSTALL_MODULEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tolvane-diag.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tolvane-diag.svg DESTINATION share/icons/hicolor/scalable/apps)

# The Debian package. Its library dependencies (Qt 6, libsystemd, the C++
# runtime) are read from the installed binaries by dpkg-shlibdeps (dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvane-diag)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VENDOR "Tolvane")
set(CPACK_PACKAGE_CONTACT "Tolvane utility maintainers <maintainers@tolvane.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Lists attached Tolvane fingerprint readers and installed drivers with versions,\n\
initializes a reader, captures images and saves them, running against a\n\
simulated workstation (tolvane-sim) when no reader is attached.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/lib ${TOLVANE_MODULE_DIR})
include(CPack)
