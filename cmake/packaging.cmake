# What `cmake --install` puts where, and the release archives CPack makes from it:
# a .tar.gz and a Debian package on Linux, a .zip on Windows.
include(GNUInstallDirs)

if(WIN32)
  # Unpacked, the archive shows the program beside its documents, as Windows users expect.
  install(TARGETS sproing_dump sproing_apply sproing_sweep RUNTIME DESTINATION .)
  install(FILES README.md LICENSE DESTINATION .)
  # Where README's link to the edit language's rules finds them.
  install(FILES docs/editing.md DESTINATION docs)
else()
  # The latest entry of the package changelog is the release: it must name the project
  # version, and its date is the man page's, so every package says the same.
  set(_changelog ${PROJECT_SOURCE_DIR}/packaging/changelog)
  configure_file(${_changelog} ${PROJECT_BINARY_DIR}/debian/changelog COPYONLY)
  file(STRINGS ${_changelog} _changelog_lines)
  list(GET _changelog_lines 0 _latest)
  if(NOT _latest MATCHES "^sproing-dump \\(([^)]+)\\) ")
    message(FATAL_ERROR "packaging/changelog: first line is not an entry heading: ${_latest}")
  endif()
  if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "packaging/changelog's latest entry is ${CMAKE_MATCH_1}, the project "
            "version is ${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION} on top")
  endif()
  list(FILTER _changelog_lines INCLUDE REGEX "^ -- .*>  [A-Z][a-z][a-z], [0-9][0-9] ")
  list(GET _changelog_lines 0 _signed)
  string(REGEX REPLACE ".*>  [A-Z][a-z][a-z], [0-9][0-9] ([A-Z][a-z][a-z]) ([0-9]+) .*"
         "\\1;\\2" _month_year "${_signed}")
  list(GET _month_year 0 _month)
  list(GET _month_year 1 _year)
  set(_months Jan January Feb February Mar March Apr April May May Jun June Jul July
      Aug August Sep September Oct October Nov November Dec December)
  list(FIND _months ${_month} _at)
  math(EXPR _at "${_at} + 1")
  list(GET _months ${_at} _month)
  set(SPROING_MAN_DATE "${_month} ${_year}")

  foreach(_page sproing_dump sproing_apply sproing_sweep)
    configure_file(man/${_page}.1.in ${PROJECT_BINARY_DIR}/${_page}.1 @ONLY)
  endforeach()
  install(TARGETS sproing_dump sproing_apply sproing_sweep RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
  install(FILES ${PROJECT_BINARY_DIR}/sproing_dump.1 ${PROJECT_BINARY_DIR}/sproing_apply.1 ${PROJECT_BINARY_DIR}/sproing_sweep.1
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT documents)
  install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT documents)
  install(FILES docs/editing.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs COMPONENT documents)

  # The Debian package's documents, where Debian keeps them: the package is named
  # sproing-dump (no underscores in Debian names), the licence is its copyright file,
  # man page and changelog are compressed at most, without a time stamp (same bytes
  # every build). Only the .deb gets these; `cmake --install` and the .tar.gz do not.
  set(_debian ${PROJECT_BINARY_DIR}/debian)
  configure_file(LICENSE ${_debian}/copyright COPYONLY)
  foreach(_file sproing_dump.1 sproing_apply.1 sproing_sweep.1 debian/changelog)
    get_filename_component(_name ${_file} NAME)
    execute_process(COMMAND gzip -9 -n -c INPUT_FILE ${PROJECT_BINARY_DIR}/${_file}
                    OUTPUT_FILE ${_debian}/${_name}.gz RESULT_VARIABLE _gzip)
    if(NOT _gzip EQUAL 0)
      message(FATAL_ERROR "gzip ${_file} failed (${_gzip}); Debian: apt-get install gzip")
    endif()
  endforeach()
  install(FILES ${_debian}/sproing_dump.1.gz ${_debian}/sproing_apply.1.gz ${_debian}/sproing_sweep.1.gz DESTINATION share/man/man1
          COMPONENT debian EXCLUDE_FROM_ALL)
  install(FILES ${_debian}/copyright ${_debian}/changelog.gz README.md
          DESTINATION share/doc/sproing-dump COMPONENT debian EXCLUDE_FROM_ALL)
  install(FILES docs/editing.md DESTINATION share/doc/sproing-dump/docs COMPONENT debian EXCLUDE_FROM_ALL)
  install(FILES packaging/lintian-overrides DESTINATION share/lintian/overrides
          RENAME sproing-dump COMPONENT debian EXCLUDE_FROM_ALL)
endif()

set(CPACK_PACKAGE_NAME sproing_dump)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Writes the jiggle-bone settings of a compiled studio model as text, and back")
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
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
  # One package each, holding the program and the documents made for that kind of
  # package (read by packaging/cpack_components.cmake, once per generator).
  set(CPACK_SPROING_ARCHIVE_COMPONENTS program documents)
  set(CPACK_SPROING_DEB_COMPONENTS program debian)
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/cpack_components.cmake)
  set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

  set(CPACK_DEBIAN_PACKAGE_NAME sproing-dump)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER
      "The sproing_dump authors <maintainers@users.noreply.c-seed-23359737.example>")
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "sproing_dump reads one compiled studio model file (.mdl) and writes the
jiggle-bone settings stored in it back out as editable $jigglebone blocks,
gathered in a .qci include file named after the model, with a short console
report and a distinct exit status for each kind of refusal. sproing_apply
writes edited definitions back into a copy of the model, changing nothing
else, so that a model's jiggle settings can be changed without its source.
.
Every offset, count and name in a model is checked against the file before
use, so it is safe to run over thousands of downloaded models: a damaged or
hostile file is refused, never trusted.")
  # Dependencies as dpkg-shlibdeps finds them: none, while the program is linked statically.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
include(CPack)
