# plen_add_library(NAME [EXCLUDE paths...] [SOURCES files...] LINKS...): a static library made of
# every source file below the current folder, except the EXCLUDE subfolders and files (libraries
# of their own). Sources are globbed so that adding a file to a subsystem needs no CMake change.
# With SOURCES, the library is made of those files only; when they are all headers it is a
# header-only (INTERFACE) library. Every library is recorded for plen_check_includes.
function(plen_add_library name)
  cmake_parse_arguments(ARG "" "" "LINKS;EXCLUDE;SOURCES" ${ARGN})
  if(ARG_SOURCES)
    list(TRANSFORM ARG_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ OUTPUT_VARIABLE sources)
  else()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
         ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  endif()
  foreach(excluded ${ARG_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${excluded}(/|$)")
  endforeach()
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.(cpp|qrc)$")
  if(compiled)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LINKS} PRIVATE pbp_flags)
    target_compile_definitions(${name} PRIVATE QT_NO_CAST_FROM_ASCII)
  else()
    add_library(${name} INTERFACE ${sources})
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_LINKS})
  endif()
  set_property(GLOBAL APPEND PROPERTY PLEN_LIBRARIES ${name})
endfunction()

# plen_add_test(NAME LINKS...): one GoogleTest executable made of every source file in this
# folder, one ctest entry per test case. The shared test main runs Qt offscreen.
# PROPERTIES are extra ctest properties for every case (for example FIXTURES_REQUIRED cups).
function(plen_add_test name)
  cmake_parse_arguments(ARG "" "" "LINKS;PROPERTIES" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE pbp_flags plen_test_common ${ARG_LINKS})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300 ${ARG_PROPERTIES})
endfunction()
