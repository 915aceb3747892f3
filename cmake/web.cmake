# The page: the model and definitions code with the checks, compiled to WebAssembly and
# wrapped in the worker's script, laid out with the page's files in <build>/page, which
# opens from disk as it is. `cpack` packs that folder as sproing_dump-<version>-web.zip.
# The page's own sources are compiled into the module itself, not a library, so that the
# functions it exports are kept; the layers below are linked as everywhere.
add_executable(sproing_web ${SPROING_SOURCES_web})
list(TRANSFORM SPROING_BELOW_web PREPEND sproing_ OUTPUT_VARIABLE SPROING_WEB_LAYERS)
target_link_libraries(sproing_web PRIVATE ${SPROING_WEB_LAYERS})
# One self-contained script: a page opened from disk may not fetch the .wasm beside it.
# Memory grows to the largest model of a batch (up to 512 MiB) with its text, which for a
# model full of jiggle bones is twice its size: hence 4 GB, as far as WebAssembly reaches.
# A 64 KiB stack, current releases' default, set whatever the release: a page that works
# built here works built anywhere. Releases before 3.1.25 name the setting TOTAL_STACK.
if(EMSCRIPTEN_VERSION VERSION_LESS 3.1.25)
  set(SPROING_STACK_SETTING -sTOTAL_STACK=64KB)
else()
  set(SPROING_STACK_SETTING -sSTACK_SIZE=64KB)
endif()
target_link_options(sproing_web PRIVATE ${SPROING_STACK_SETTING}
  -sSINGLE_FILE=1 -sMODULARIZE=1 -sEXPORT_NAME=createSproing -sENVIRONMENT=worker
  -sFILESYSTEM=0 -sALLOW_MEMORY_GROWTH=1 -sMAXIMUM_MEMORY=4GB
  -sEXPORTED_FUNCTIONS=_malloc,_free,_sproingAllocate,_sproingRelease,_sproingDump,_sproingSkeletonFile,_sproingApply,_sproingModelPath,_sproingText,_sproingTextLength,_sproingNumber,_sproingWords,_sproingFormatValue,_sproingPlaces,_sproingPlacesLength)
# Debian's emcc finds its JavaScript parser through NODE_PATH, which a node of another origin
# does not set; the link, the one step that runs it, sets it, so the one build command works
# from any shell.
if(IS_DIRECTORY /usr/share/nodejs)
  set_target_properties(sproing_web PROPERTIES
    CXX_LINKER_LAUNCHER "${CMAKE_COMMAND};-E;env;NODE_PATH=/usr/share/nodejs")
endif()

set(SPROING_PAGE_DIR ${PROJECT_BINARY_DIR}/page)
set(SPROING_PAGE_FILES index.html style.css
  module_words.js text_bytes.js dom.js virtual_list.js bone_data.js spring.js swing.js bone_pictures.js
  bone_legend.js swing_views.js
  preview.js bone_cards.js skeleton_data.js skeleton_motion.js skeleton_drawing.js skeleton_view.js
  notices.js worker_link.js models.js edit_state.js scale.js scale_control.js
  editor.js siblings.js rows.js
  row_view.js status.js saving.js taking.js start.js)
set(SPROING_PAGE_SOURCES)
foreach(file ${SPROING_PAGE_FILES})
  list(APPEND SPROING_PAGE_SOURCES ${PROJECT_SOURCE_DIR}/web/${file})
endforeach()
add_custom_command(
  OUTPUT ${SPROING_PAGE_DIR}/sproing_worker.js ${SPROING_PAGE_DIR}/index.html
  # Laid out afresh, so that a script the page no longer has is not packed with it.
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${SPROING_PAGE_DIR}
  COMMAND ${CMAKE_COMMAND} -DMODULE=$<TARGET_FILE:sproing_web>
          -DWORKER=${PROJECT_SOURCE_DIR}/web/worker.js -DOUT=${SPROING_PAGE_DIR}/sproing_worker.js
          -P ${PROJECT_SOURCE_DIR}/cmake/web_worker_script.cmake
  COMMAND ${CMAKE_COMMAND} -E copy ${SPROING_PAGE_SOURCES} ${SPROING_PAGE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/web/vendor/fflate.min.js
          ${PROJECT_SOURCE_DIR}/web/vendor/fflate.LICENSE ${PROJECT_SOURCE_DIR}/LICENSE
          ${SPROING_PAGE_DIR}
  DEPENDS sproing_web ${SPROING_PAGE_SOURCES} ${PROJECT_SOURCE_DIR}/web/worker.js
          ${PROJECT_SOURCE_DIR}/cmake/web_worker_script.cmake
          ${PROJECT_SOURCE_DIR}/web/vendor/fflate.min.js
  VERBATIM)
add_custom_target(sproing_page ALL
  DEPENDS ${SPROING_PAGE_DIR}/sproing_worker.js ${SPROING_PAGE_DIR}/index.html)

install(DIRECTORY ${SPROING_PAGE_DIR}/ DESTINATION .)
set(CPACK_PACKAGE_NAME sproing_dump)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME sproing_dump-${PROJECT_VERSION}-web)
include(CPack)
