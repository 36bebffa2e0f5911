# The demo folder, and what `cmake --install` puts where a Linux desktop expects it: the two
# programs and the window's preview helper, the help pages, the shipped camera table, the demo
# folder, a desktop entry, the icon and the AppStream metainfo. An installed program cannot
# write beside itself, so it keeps its settings, camera table and path list in the per-user
# configuration folder.
include(GNUInstallDirs)

add_subdirectory(${CMAKE_SOURCE_DIR}/samples ${CMAKE_BINARY_DIR}/samples)
if(TARGET quorvela)
  # A first start with no saved folder opens on the demo folder beside the program.
  add_dependencies(quorvela quorvela_demo_folder)
endif()

set(QUORVELA_APP_ID org.quorvela.Quorvela)
set(QUORVELA_DATA_DEST ${CMAKE_INSTALL_DATADIR}/quorvela)

install(TARGETS quorvela-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quorvela)
  # The preview helper beside the window, where the window looks for it.
  install(TARGETS quorvela quorvela-preview RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/data/${QUORVELA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/data/${QUORVELA_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${CMAKE_SOURCE_DIR}/data/${QUORVELA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/data/cam_equiv.exp DESTINATION ${QUORVELA_DATA_DEST})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/help/ DESTINATION ${QUORVELA_DATA_DEST}/help)
install(DIRECTORY ${QUORVELA_DEMO_DIR}/ DESTINATION ${QUORVELA_DATA_DEST}/demo)
include(${CMAKE_CURRENT_LIST_DIR}/package.cmake)
