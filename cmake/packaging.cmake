# What `cmake --install` puts where, and the release archives CPack makes from it:
# a .tar.gz on Linux, a .zip on Windows.
include(GNUInstallDirs)

if(WIN32)
  # Unpacked, the archive shows the program beside its documents, as Windows users expect.
  install(TARGETS sproing_dump RUNTIME DESTINATION .)
  install(FILES README.md LICENSE DESTINATION .)
else()
  set(SPROING_MAN_DATE "December 2026")
  configure_file(man/sproing_dump.1.in ${PROJECT_BINARY_DIR}/sproing_dump.1 @ONLY)
  install(TARGETS sproing_dump RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_BINARY_DIR}/sproing_dump.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_PACKAGE_NAME sproing_dump)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Writes the jiggle-bone settings of a compiled studio model as text")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
include(CPack)
