# The Windows build (cmake/mingw-w64.cmake, preset "windows"): device/ and
# imaging/ against the real <windows.h>, and their tests with the platform
# contract tests, run by CTest under Wine. The platform is the system itself.

add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN)
# The compiler's own runtime is linked in, so every program and module runs
# where only the system's libraries are.
add_link_options(-static)

# What platform/win32.h declares lives in these system libraries.
add_library(platform INTERFACE)
target_link_libraries(platform INTERFACE version gdi32 user32)

if(TOLVANE_BUILD_TESTS)
  # GoogleTest from Debian's sources, built by this compiler. It is not the
  # project's code, so the project's warning options do not apply to it.
  set(INSTALL_GTEST OFF)
  get_directory_property(project_options COMPILE_OPTIONS)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "${project_options}")
endif()
