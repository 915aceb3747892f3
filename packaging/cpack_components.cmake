# Read by cpack once per generator: which install components go into that package,
# all of them into one file. The .deb carries its documents where Debian wants them,
# the .tar.gz as `cmake --install` lays them out.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL ${CPACK_SPROING_DEB_COMPONENTS})
  set(CPACK_DEB_COMPONENT_INSTALL ON)
elseif(DEFINED CPACK_SPROING_ARCHIVE_COMPONENTS)
  set(CPACK_COMPONENTS_ALL ${CPACK_SPROING_ARCHIVE_COMPONENTS})
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  # Unpacks into one folder named after the archive, as a monolithic archive does.
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
