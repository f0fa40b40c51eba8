# The window tests: one Qt Test program per tests/{app,help}/*QtTest.cpp, run
# on the offscreen platform without network or display. Included from
# tests/CMakeLists.txt when the desktop program is built.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

file(GLOB ZORBIK_QT_TESTS CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/app/*QtTest.cpp ${CMAKE_CURRENT_LIST_DIR}/help/*QtTest.cpp)

foreach(source ${ZORBIK_QT_TESTS})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE zorbik_gui Qt6::Test)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_compile_definitions(${name} PRIVATE ZORBIK_CONVERT_EXE="$<TARGET_FILE:zorbik-convert>")
  add_dependencies(${name} zorbik-convert)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS qt TIMEOUT 120
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=;LC_MESSAGES=")
endforeach()

# The window's timings are measured in bench/window, built only when asked
# for (the target window_bench).
add_subdirectory(${PROJECT_SOURCE_DIR}/bench/window ${CMAKE_BINARY_DIR}/bench/window EXCLUDE_FROM_ALL)
