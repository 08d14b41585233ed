# Tests of the Windows build: GoogleTest compiled from Debian's sources (there
# is no mingw build of it), and every test executable run under Wine in a
# private prefix inside the build folder, made on first use.
set(GOOGLETEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian's googletest)")
if(NOT EXISTS ${GOOGLETEST_SOURCES}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest's sources are missing: install Debian's googletest package")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCES} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

set(TOLVANIX_WINE_PREFIX ${PROJECT_BINARY_DIR}/wine-prefix CACHE PATH "Wine prefix the tests run in")
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${TOLVANIX_WINE_PREFIX})
