# GoogleTest built from Debian's sources (package googletest) for a cross
# build, where no GoogleTest library of the target system is installed.
set(ZORBIK_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${ZORBIK_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest brings its own warning flags (and the GTest:: names); the
# project's flags are not for it.
set_target_properties(gtest gtest_main PROPERTIES COMPILE_OPTIONS "")
