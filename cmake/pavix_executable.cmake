# Pavix.exe: the entry point, the Win32 backend and the program's layers, with the resources compiled in and
# the default sounds copied beside it. Included from the top level so that the executable lands
# in the top of the build tree.

# The master script includes the generated texts.rc (string table and menu) and dialogs.rc.
set(PAVIX_RC ${CMAKE_SOURCE_DIR}/resources/pavix.rc)

# The version resource and the manifest take the release from VERSION and the architecture
# from the toolchain.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PAVIX_MANIFEST_ARCH amd64)
else()
  set(PAVIX_MANIFEST_ARCH x86)
endif()
set(PAVIX_BUILD_INFO ${CMAKE_BINARY_DIR}/resources/version.h ${CMAKE_BINARY_DIR}/resources/pavix.manifest)
add_custom_command(
  OUTPUT ${PAVIX_BUILD_INFO}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_build_info.py
          ${CMAKE_SOURCE_DIR}/VERSION ${PAVIX_MANIFEST_ARCH} ${CMAKE_BINARY_DIR}/resources
  DEPENDS ${CMAKE_SOURCE_DIR}/VERSION ${CMAKE_SOURCE_DIR}/resources/pavix.manifest.in
          ${CMAKE_SOURCE_DIR}/tools/gen_build_info.py
  COMMENT "Generating the version header and the ${PAVIX_MANIFEST_ARCH} manifest")
add_custom_target(pavix_build_info DEPENDS ${PAVIX_BUILD_INFO})

# windres reports no dependencies, so everything the script may pull in is listed by hand.
file(GLOB PAVIX_RC_INPUTS CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/resources/*.rc
  ${CMAKE_SOURCE_DIR}/resources/*.h
  ${CMAKE_SOURCE_DIR}/resources/*.ico
  ${CMAKE_SOURCE_DIR}/resources/icons/*.ico)
set_source_files_properties(${PAVIX_RC} PROPERTIES OBJECT_DEPENDS
  "${PAVIX_TEXTS_RC};${PAVIX_DIALOGS_RC};${PAVIX_RC_INPUTS};${PAVIX_BUILD_INFO}")

add_executable(Pavix WIN32 app/win_main.cpp ${PAVIX_RC})
target_link_libraries(Pavix PRIVATE pavix_app pavix_win32 pavix_platform)
target_include_directories(Pavix PRIVATE
  $<$<COMPILE_LANGUAGE:RC>:${CMAKE_BINARY_DIR}/resources>
  $<$<COMPILE_LANGUAGE:RC>:${CMAKE_SOURCE_DIR}/resources>)
add_dependencies(Pavix pavix_texts pavix_build_info)
# The released program carries no symbols: half the file's size otherwise.
target_link_options(Pavix PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)

# The default sounds live in se\ beside the executable.
file(GLOB PAVIX_SOUNDS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/se/*.wav)
set(PAVIX_SOUND_COPIES)
foreach(sound IN LISTS PAVIX_SOUNDS)
  get_filename_component(name ${sound} NAME)
  set(copy ${CMAKE_BINARY_DIR}/se/${name})
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${sound} ${copy}
    DEPENDS ${sound}
    COMMENT "Copying se/${name}")
  list(APPEND PAVIX_SOUND_COPIES ${copy})
endforeach()
add_custom_target(pavix_sounds ALL DEPENDS ${PAVIX_SOUND_COPIES})
add_dependencies(Pavix pavix_sounds)
