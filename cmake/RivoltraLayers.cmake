# The game's libraries and the edges between them, enforced by the compiler: each library's
# headers are linked into an include root of its own in the build folder, and a library sees only
# its own root and those of the libraries it uses (through target_link_libraries). An include
# across an edge that is not declared finds no file and fails the build. The source folder itself
# is never an include directory of a library.
#
# Every library also compiles one generated file that includes each of its headers, so a header
# that no source of its own library includes is held to the same edges.
#
# Needs RIVOLTRA_SOURCE_DIR (the src/ folder) and the target rivoltra_warnings.

set(RIVOLTRA_INCLUDE_ROOTS ${CMAKE_BINARY_DIR}/include_roots)

# Links each header (a path relative to src/) into root, at the same relative path. The root is
# made afresh, so a header that moved away is gone from it.
function(rivoltra_make_include_root root)
  file(REMOVE_RECURSE ${root})
  foreach(header ${ARGN})
    get_filename_component(folder ${root}/${header} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${RIVOLTRA_SOURCE_DIR}/${header} ${root}/${header} SYMBOLIC)
  endforeach()
endfunction()

# rivoltra_layer(<target> [OBJECT]
#   [FOLDERS <folder>...]          sources (*.cpp) and headers (*.h) of these folders of src/,
#                                  not their subfolders
#   [SOURCES <file>...]            more sources, relative to src/
#   [HEADERS <file>...]            more headers, relative to src/
#   [PUBLIC_HEADERS <file>...]     when given, only these headers are seen by the libraries and
#                                  programs that link <target>; <target>_internals sees them all
#   [USES <target>...])            the libraries its sources and headers may include and call
function(rivoltra_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 LAYER "OBJECT" "" "FOLDERS;SOURCES;HEADERS;PUBLIC_HEADERS;USES")
  set(sources)
  set(headers ${LAYER_HEADERS})
  foreach(source ${LAYER_SOURCES})
    list(APPEND sources ${RIVOLTRA_SOURCE_DIR}/${source})
  endforeach()
  foreach(folder ${LAYER_FOLDERS})
    file(GLOB folder_sources CONFIGURE_DEPENDS ${RIVOLTRA_SOURCE_DIR}/${folder}/*.cpp)
    file(GLOB folder_headers CONFIGURE_DEPENDS RELATIVE ${RIVOLTRA_SOURCE_DIR}
      ${RIVOLTRA_SOURCE_DIR}/${folder}/*.h)
    list(APPEND sources ${folder_sources})
    list(APPEND headers ${folder_headers})
  endforeach()
  list(SORT headers)

  set(root ${RIVOLTRA_INCLUDE_ROOTS}/${target})
  rivoltra_make_include_root(${root} ${headers})
  set(header_check ${CMAKE_BINARY_DIR}/header_checks/${target}.cpp)
  set(check_text "// Generated: every header of ${target}, seen through its include roots only.\n")
  foreach(header ${headers})
    string(APPEND check_text "#include \"${header}\"\n")
  endforeach()
  file(CONFIGURE OUTPUT ${header_check} CONTENT "${check_text}")

  if(LAYER_OBJECT)
    add_library(${target} OBJECT ${sources} ${header_check})
  else()
    add_library(${target} STATIC ${sources} ${header_check})
  endif()
  target_link_libraries(${target} PUBLIC ${LAYER_USES} PRIVATE rivoltra_warnings)
  if(LAYER_PUBLIC_HEADERS)
    set(public_root ${RIVOLTRA_INCLUDE_ROOTS}/${target}_public)
    rivoltra_make_include_root(${public_root} ${LAYER_PUBLIC_HEADERS})
    target_include_directories(${target} PUBLIC ${public_root} PRIVATE ${root})
    add_library(${target}_internals INTERFACE)
    target_include_directories(${target}_internals INTERFACE ${root})
    target_link_libraries(${target}_internals INTERFACE ${target})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
