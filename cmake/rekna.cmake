# Helpers shared by the build files of the core libraries, tests and benchmarks.

# rekna_core_library(<folder> SOURCES <files...> DEPS <libraries...>)
# One static library per core folder; it links only the folders below it and never Qt.
function(rekna_core_library folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  set(target rekna_${folder})
  add_library(${target} STATIC ${ARG_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  set_target_properties(${target} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
endfunction()

# rekna_core_test(<name> SOURCES <files...> DEPS <libraries...>)
# A GoogleTest binary for core code, registered with CTest.
function(rekna_core_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "REKNA_TEST_DATA=${PROJECT_SOURCE_DIR}/tests")
endfunction()

# rekna_bench(<name> SOURCES <files...> DEPS <libraries...>)
function(rekna_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
endfunction()

# rekna_fuzz(<name> SOURCES <files...> DEPS <libraries...>)
function(rekna_fuzz name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()

# rekna_qt_library(<folder> SOURCES <files...> DEPS <libraries...>)
# The widgets and windows of a folder's qt/ subfolder: rekna_<folder>_qt, over the folder's core
# library and the Qt libraries of the folders below it. Nothing is built without the desktop
# program.
function(rekna_qt_library folder)
  if(NOT REKNA_BUILD_UI)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  set(target rekna_${folder}_qt)
  add_library(${target} STATIC ${ARG_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC rekna_${folder} ${ARG_DEPS} Qt6::Widgets)
  set_target_properties(${target} PROPERTIES AUTOMOC ON AUTOUIC OFF AUTORCC OFF)
endfunction()

# rekna_qt_test(<name> SOURCES <files...> DEPS <libraries...>)
# A GoogleTest binary of Qt tests, run on the offscreen platform; a Qt warning fails its test.
function(rekna_qt_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} rekna_qt_test_main Qt6::Widgets Qt6::Test
                        GTest::gtest)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# rekna_qt_demo(<name> SOURCES <files...> DEPS <libraries...>)
# A small window for trying a widget by hand and for screenshots.
function(rekna_qt_demo name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} Qt6::Widgets)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
endfunction()
