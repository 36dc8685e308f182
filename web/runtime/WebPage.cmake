# vq_add_web_page: a show on the engine as one HTML file, built with
# emscripten (emcmake cmake).
#
#   vq_add_web_page(<name>
#     SOURCES <files...>            the page's main, which returns vq_web::pageMain(show)
#                                   (#include "web/ShowPage.h")
#     [LIBRARIES <targets...>]      what they link: the show's scenes
#     [FILES <files...>]            data files the show reads, relative to DATA_DIRECTORY
#     [DATA_DIRECTORY <dir>]        where FILES are; the show's working directory
#                                   (default: the current source directory)
#     [SYNTHESIS <files...>]        a main that returns vq_web::synthesisMain(render),
#     [SYNTHESIS_LIBRARIES <...>]   for a page that makes its own music
#     [TITLE <text>]                the page's title (default: <name>)
#     [OUTPUT <file>])              default: <name>.html in the current binary directory
#
# FILES are packed under the names they are given, which are the names the
# show opens them by. A show's track is one of its FILES (MP3 or Ogg, which the
# browser decodes); a silent show plays for its Show::seconds.
set(VQ_WEB_RUNTIME_DIR ${CMAKE_CURRENT_LIST_DIR})
# ShowPage, Synthesis and PageFiles: the runtime's C++ half, beside this folder.
get_filename_component(VQ_WEB_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)

# Standalone WebAssembly: the imports are plain functions that runtime.js
# gives (undefined symbols are those imports, so not warned of), and an import
# it lacks is named by the packer. libm's functions come
# from JavaScript's Math, which the page has anyway.
set(VQ_WEB_LINK_OPTIONS
  -Oz --no-entry -sSTANDALONE_WASM=1 -sALLOW_MEMORY_GROWTH=1 -sMALLOC=emmalloc -sJS_MATH=1
  -sERROR_ON_UNDEFINED_SYMBOLS=0 -Wno-undefined -sEXPORTED_FUNCTIONS=_main,_malloc)

function(vq_web_module target)
  set_target_properties(${target} PROPERTIES SUFFIX .wasm)
  target_compile_options(${target} PRIVATE -Oz)
  target_link_options(${target} PRIVATE ${VQ_WEB_LINK_OPTIONS})
  # Debian's emcc finds its optimiser's JavaScript modules only here.
  set_target_properties(${target} PROPERTIES CXX_LINKER_LAUNCHER "${CMAKE_COMMAND};-E;env;NODE_PATH=/usr/share/nodejs")
endfunction()

function(vq_add_web_page name)
  cmake_parse_arguments(PAGE "" "TITLE;OUTPUT;DATA_DIRECTORY" "SOURCES;LIBRARIES;FILES;SYNTHESIS;SYNTHESIS_LIBRARIES"
                        ${ARGN})
  if(NOT PAGE_SOURCES)
    message(FATAL_ERROR "vq_add_web_page(${name}): SOURCES names no file; give the page's main")
  endif()
  if(PAGE_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vq_add_web_page(${name}): unknown arguments ${PAGE_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT PAGE_TITLE)
    set(PAGE_TITLE ${name})
  endif()
  if(NOT PAGE_OUTPUT)
    set(PAGE_OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${name}.html)
  endif()
  if(NOT PAGE_DATA_DIRECTORY)
    set(PAGE_DATA_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  endif()

  add_executable(${name}_show ${PAGE_SOURCES} ${VQ_WEB_SOURCE_DIR}/ShowPage.cpp ${VQ_WEB_SOURCE_DIR}/PageFiles.cpp)
  target_link_libraries(${name}_show PRIVATE ${PAGE_LIBRARIES} Velquor::vq_engine)
  vq_web_module(${name}_show)
  set(modules --show $<TARGET_FILE:${name}_show>)
  set(depends ${name}_show)
  if(PAGE_SYNTHESIS)
    add_executable(${name}_synthesis ${PAGE_SYNTHESIS} ${VQ_WEB_SOURCE_DIR}/Synthesis.cpp)
    # The engine's include folder, where web/Synthesis.h is too.
    target_link_libraries(${name}_synthesis PRIVATE ${PAGE_SYNTHESIS_LIBRARIES} Velquor::vq_engine)
    vq_web_module(${name}_synthesis)
    list(APPEND modules --synthesis $<TARGET_FILE:${name}_synthesis>)
    list(APPEND depends ${name}_synthesis)
  endif()

  set(files "")
  foreach(file ${PAGE_FILES})
    if(IS_ABSOLUTE ${file})
      message(FATAL_ERROR "vq_add_web_page(${name}): FILES ${file} is absolute; give it relative to "
                          "DATA_DIRECTORY (${PAGE_DATA_DIRECTORY}), as the show opens it")
    endif()
    list(APPEND files --file ${file}=${PAGE_DATA_DIRECTORY}/${file})
    list(APPEND depends ${PAGE_DATA_DIRECTORY}/${file})
  endforeach()

  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  get_filename_component(directory ${PAGE_OUTPUT} DIRECTORY)
  set(report ${CMAKE_CURRENT_BINARY_DIR}/${name}-sizes.txt)
  add_custom_command(OUTPUT ${PAGE_OUTPUT} ${report}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${directory}
    COMMAND ${Python3_EXECUTABLE} ${VQ_WEB_RUNTIME_DIR}/pack.py --title ${PAGE_TITLE} ${modules} ${files}
            --output ${PAGE_OUTPUT} --report ${report}
    COMMAND ${CMAKE_COMMAND} -E cat ${report}
    DEPENDS ${depends} ${VQ_WEB_RUNTIME_DIR}/pack.py ${VQ_WEB_RUNTIME_DIR}/runtime.js ${VQ_WEB_RUNTIME_DIR}/page.js
            ${VQ_WEB_RUNTIME_DIR}/boot.js ${VQ_WEB_RUNTIME_DIR}/page.html
    COMMENT "Packing ${name} into ${PAGE_OUTPUT}"
    VERBATIM)
  add_custom_target(${name} ALL DEPENDS ${PAGE_OUTPUT})
endfunction()
