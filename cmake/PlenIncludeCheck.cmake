if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

# plen_check_includes(PROGRAM...): every library made with plen_add_library, and each PROGRAM,
# may include project headers ("folder/file.h") only of itself and of the libraries it links,
# directly or through another, so that every dependency between the parts is one the build can
# see. The check runs when configuring and again before the target compiles (an include added
# to a file needs no new configure), and fails naming the file, the header and its library.
function(plen_check_includes)
  get_property(libraries GLOBAL PROPERTY PLEN_LIBRARIES)
  set(checked ${libraries} ${ARGN})
  set(owned_headers)
  set(header_owners)
  foreach(target ${checked})
    _plen_project_sources(${target} sources)
    list(FILTER sources INCLUDE REGEX "\\.h$")
    foreach(header ${sources})
      file(RELATIVE_PATH header ${PROJECT_SOURCE_DIR} ${header})
      list(APPEND owned_headers ${header})
      list(APPEND header_owners ${target})
    endforeach()
  endforeach()

  set(folder ${PROJECT_BINARY_DIR}/include-check)
  foreach(target ${checked})
    _plen_walk_links(${target})
    set(allowed)
    foreach(linked ${seen})
      if(linked IN_LIST checked)
        _plen_project_sources(${linked} headers)
        list(FILTER headers INCLUDE REGEX "\\.h$")
        foreach(header ${headers})
          file(RELATIVE_PATH header ${PROJECT_SOURCE_DIR} ${header})
          list(APPEND allowed ${header})
        endforeach()
      endif()
    endforeach()
    _plen_project_sources(${target} sources)
    list(FILTER sources INCLUDE REGEX "\\.(cpp|h)$")
    set(plen_source_dir ${PROJECT_SOURCE_DIR})
    set(plen_target ${target})
    set(plen_sources ${sources})
    set(plen_allowed ${allowed})
    set(plen_owned_headers ${owned_headers})
    set(plen_header_owners ${header_owners})
    _plen_scan_includes()

    set(data ${folder}/${target}.cmake)
    set(content)
    foreach(variable plen_source_dir plen_target plen_sources plen_allowed plen_owned_headers
                     plen_header_owners)
      string(APPEND content "set(${variable} \"${${variable}}\")\n")
    endforeach()
    file(CONFIGURE OUTPUT ${data} CONTENT "${content}")
    set(stamp ${folder}/${target}.checked)
    add_custom_command(OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} -D PLEN_INCLUDE_DATA=${data} -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
      COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
      DEPENDS ${sources} ${data} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
      COMMENT "Checking the headers ${target} includes" VERBATIM)
    add_custom_target(${target}_includes DEPENDS ${stamp})
    add_dependencies(${target} ${target}_includes)
  endforeach()
endfunction()

# _plen_project_sources(TARGET OUT): TARGET's source files as absolute paths.
function(_plen_project_sources target out)
  get_target_property(sources ${target} SOURCES)
  get_target_property(folder ${target} SOURCE_DIR)
  set(absolute)
  foreach(source ${sources})
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${folder})
    list(APPEND absolute ${source})
  endforeach()
  set(${out} ${absolute} PARENT_SCOPE)
endfunction()

# _plen_scan_includes(): checks the #include "folder/file" lines of plen_sources against
# plen_allowed; a project header outside it (one of plen_owned_headers, owned by the library at
# the same place in plen_header_owners, or any file under plen_source_dir) stops with a message.
function(_plen_scan_includes)
  set(problems)
  foreach(source ${plen_sources})
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/[^\"]+\"")
    file(RELATIVE_PATH shown ${plen_source_dir} ${source})
    foreach(line ${lines})
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" header "${line}")
      if(header IN_LIST plen_allowed)
        continue()
      endif()
      list(FIND plen_owned_headers ${header} index)
      if(index GREATER_EQUAL 0)
        list(GET plen_header_owners ${index} owner)
        string(APPEND problems "\n  ${shown} includes \"${header}\" of ${owner}, which "
                               "${plen_target} does not link")
      elseif(EXISTS ${plen_source_dir}/${header})
        string(APPEND problems "\n  ${shown} includes \"${header}\", which belongs to no library")
      endif()
    endforeach()
  endforeach()
  if(problems)
    message(FATAL_ERROR "${plen_target} includes headers of libraries it does not link:"
                        "${problems}\nLink the library in ${plen_target}'s CMakeLists.txt, or move "
                        "the code to the part it belongs to.")
  endif()
endfunction()

# Run as a script (cmake -D PLEN_INCLUDE_DATA=FILE -P PlenIncludeCheck.cmake): checks the
# target that FILE, written by plen_check_includes, describes.
if(CMAKE_SCRIPT_MODE_FILE)
  include(${PLEN_INCLUDE_DATA})
  _plen_scan_includes()
endif()
