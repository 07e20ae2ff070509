# Layers the build enforces. The code includes headers by their folder ("model/sequence.h"), and no
# target has the source tree on its include path: each library publishes an include root of its
# own under the build tree, holding links to the headers of its folder alone (not its
# subfolders). A target therefore reaches a layer's headers only by linking that layer, and the
# layers link privately downward, so an include that points up a layer fails to compile.
#
#   pavix_expose_headers(<target> <folder> [AS <include prefix>])
#
# publishes <folder>'s headers as "<include prefix>/<name>.h" (the prefix defaults to the folder)
# to <target> and whatever links it. The links follow the folder at build time: a header added
# or removed there reconfigures the build tree. Only links are replaced, so a generator may write
# a header of its own into <target>'s root (${CMAKE_BINARY_DIR}/include/<target>/<prefix>/).
function(pavix_expose_headers target folder)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "AS" "")
  set(prefix ${folder})
  if(arg_AS)
    set(prefix ${arg_AS})
  endif()
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  set(linkFolder ${root}/${prefix})
  file(MAKE_DIRECTORY ${linkFolder})

  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  file(GLOB oldLinks LIST_DIRECTORIES false ${linkFolder}/*.h)
  foreach(link IN LISTS oldLinks)
    if(IS_SYMLINK ${link})
      file(REMOVE ${link})
    endif()
  endforeach()
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${linkFolder}/${name} SYMBOLIC)
  endforeach()

  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
