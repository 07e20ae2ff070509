# build/linux/pavix: the Linux entry point, the Linux backend and the program's layers, with the
# desktop module (pavix-desktop.so), the portal's client (pavix-portal.so), the default sounds (se/) and the tray's pictures (icons/)
# beside it, from where the first start installs the sounds into the user's configuration folder.
# Included from the top level so that the executable lands in the top of the build tree.
add_executable(pavix app/linux_main.cpp ${PAVIX_DIALOG_TEMPLATES_CPP})
set_source_files_properties(${PAVIX_DIALOG_TEMPLATES_CPP} PROPERTIES GENERATED TRUE)
target_link_libraries(pavix PRIVATE pavix_app pavix_linux pavix_model pavix_platform pavix_resources)
set_target_properties(pavix PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# The C++ runtime linked in: loading and binding the shared one took about as long as the rest of
# the start until the chords are grabbed. The module keeps the shared one, loaded after the grabs
# with GTK; both runtimes allocate through malloc, so what one side makes the other may free.
if(NOT PAVIX_SANITIZE)
  target_link_options(pavix PRIVATE -static-libstdc++ -static-libgcc)
endif()

file(GLOB PAVIX_LINUX_ASSETS CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/resources/se/*.wav ${CMAKE_SOURCE_DIR}/resources/icons/*.ico)
set(PAVIX_LINUX_ASSET_COPIES)
foreach(asset IN LISTS PAVIX_LINUX_ASSETS)
  get_filename_component(name ${asset} NAME)
  get_filename_component(folder ${asset} DIRECTORY)
  get_filename_component(folder ${folder} NAME)
  set(copy ${CMAKE_BINARY_DIR}/${folder}/${name})
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${asset} ${copy}
    DEPENDS ${asset}
    COMMENT "Copying ${folder}/${name}")
  list(APPEND PAVIX_LINUX_ASSET_COPIES ${copy})
endforeach()
add_custom_target(pavix_linux_assets ALL DEPENDS ${PAVIX_LINUX_ASSET_COPIES})
add_dependencies(pavix pavix_linux_assets pavix-desktop pavix-portal)
add_dependencies(pavix pavix_texts)
