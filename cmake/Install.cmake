# What `cmake --install` lays out and what CPack packs, in one place, by target:
#   bin/                          tolvane-diag, tolvane-sim
#   lib/ARCH/tolvane-diag/        (ARCH: e.g. x86_64-linux-gnu) the platform library and the simulated machine
#                                 library: private to these programs, reached by
#                                 run paths relative to them
#   lib/ARCH/tolvane-diag/tolvane-modules/
#                                 the simulated driver modules and the framework
#                                 stand-in, where the machine library looks for
#                                 them (beside itself)
#   share/applications/           the desktop entry
#   share/icons/hicolor/          the icon
#   share/man/man1/               the manual pages
#   share/doc/tolvane-diag/       copyright and changelog
# Test programs, benchmarks and helper tools stay in the build tree.
# Installed files find each other through run paths relative to themselves, so
# the tree works wherever it is installed.

# Installing builds nothing: the packaging script builds the installed targets
# only, not the helper tools and benchmarks that `all` holds.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

# Debian's multiarch folder when there is one: its packager runs no ldconfig
# for a private folder there, where it would for one right under lib/.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(TOLVANE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/tolvane-diag)
else()
  set(TOLVANE_INSTALL_LIBDIR lib/tolvane-diag)
endif()
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
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION share/doc/tolvane-diag)

# Manual pages and the changelog go compressed, as Debian keeps them; gzip -n
# leaves out the time stamp so that every build packs the same bytes.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(tolvane_compressed)
foreach(source IN ITEMS man/tolvane-diag.1 man/tolvane-sim.1 changelog)
  get_filename_component(name ${source} NAME)
  set(compressed ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${GZIP_PROGRAM} -9n -c ${PROJECT_SOURCE_DIR}/packaging/${source} > ${compressed}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${source} VERBATIM)
  list(APPEND tolvane_compressed ${compressed})
endforeach()
add_custom_target(tolvane_compressed_docs DEPENDS ${tolvane_compressed})
add_dependencies(tolvane-diag tolvane_compressed_docs)
install(FILES ${CMAKE_BINARY_DIR}/packaging/tolvane-diag.1.gz ${CMAKE_BINARY_DIR}/packaging/tolvane-sim.1.gz
        DESTINATION share/man/man1)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION share/doc/tolvane-diag)

# The Debian package. Its library dependencies (Qt 6, libsystemd, the C++
# runtime) are read from the installed binaries by dpkg-shlibdeps (dpkg-dev);
# the window's face with the form's metrics comes from fonts-wine, which no
# library names. Binaries are packed stripped.
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
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/lib ${TOLVANE_MODULE_DIR})
include(CPack)
