# cmake --install <build> --prefix DIR puts here:
#   bin/velquor                   a launcher: runs the demo where its data/ is
#   bin/velquor-capture, bin/velquor-page-capture, bin/velquor-soundtrack (and bin/velquor-preview when built)
#   libexec/velquor/velquor       the demo itself
#   share/velquor/data/           the shaders and the soundtrack the programs read
#   share/velquor/examples/hello-particles/   a demo of ones own starts here
#   include/velquor/engine/*.h, include/velquor/tools/ShowTools.h, include/velquor/web/ShowPage.h,
#   share/velquor/web/            the page runtime and the engine's show sources, for emcmake builds
#   lib/libvq_engine.a, lib/libvq_tools.a, lib/libvq_tools_base.a
#   lib/cmake/Velquor/            for find_package(Velquor): Velquor::vq_engine, Velquor::vq_tools,
#                                 vq_add_frame_test
#   lib/pkgconfig/velquor.pc      for pkg-config
#   share/man/man6/velquor.6.gz, share/man/man1/ for the tools
# in two components, which cmake/Package.cmake makes the two Debian packages:
# demo (the programs, data and manual pages) and dev (the engine and example).
# Every path inside the install is relative, so the whole folder can move.
include(CMakePackageConfigHelpers)

set(VQ_INSTALL_DATA ${CMAKE_INSTALL_DATADIR}/velquor)
set(VQ_INSTALL_LIBEXEC ${CMAKE_INSTALL_LIBEXECDIR}/velquor)
set(VQ_INSTALL_CMAKE ${CMAKE_INSTALL_LIBDIR}/cmake/Velquor)

# The programs and what they read.
install(TARGETS velquor DESTINATION ${VQ_INSTALL_LIBEXEC} COMPONENT demo)
install(TARGETS velquor-capture velquor-page-capture velquor-soundtrack DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT demo)
if(TARGET velquor-preview)
  install(TARGETS velquor-preview DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT demo)
endif()
install(FILES ${VQ_DATA_FILES} ${CMAKE_BINARY_DIR}/data/quorvin.mp3 DESTINATION ${VQ_INSTALL_DATA}/data COMPONENT demo)

file(RELATIVE_PATH VQ_BIN_TO_DATA /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VQ_INSTALL_DATA})
file(RELATIVE_PATH VQ_BIN_TO_LIBEXEC /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VQ_INSTALL_LIBEXEC})
configure_file(${CMAKE_CURRENT_LIST_DIR}/velquor-launcher.sh.in ${CMAKE_BINARY_DIR}/install/velquor @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/install/velquor DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT demo)

# The engine, and the preview and capture for any show on it, for other projects.
install(TARGETS vq_engine vq_tools vq_tools_base EXPORT VelquorTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
file(GLOB VQ_ENGINE_HEADERS ${CMAKE_SOURCE_DIR}/engine/*.h)
install(FILES ${VQ_ENGINE_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/velquor/engine COMPONENT dev)
install(FILES ${CMAKE_SOURCE_DIR}/tools/ShowTools.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/velquor/tools COMPONENT dev)
install(EXPORT VelquorTargets NAMESPACE Velquor:: DESTINATION ${VQ_INSTALL_CMAKE} COMPONENT dev)

# A show's own page: under emcmake, find_package(Velquor) compiles the
# engine's show classes from these sources and gives vq_add_web_page, with
# the page runtime and its header web/ShowPage.h.
set(VQ_INSTALL_WEB ${VQ_INSTALL_DATA}/web)
list(TRANSFORM VQ_ENGINE_SHOW_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/engine/ OUTPUT_VARIABLE VQ_ENGINE_WEB_SOURCES)
install(FILES ${VQ_ENGINE_WEB_SOURCES} DESTINATION ${VQ_INSTALL_WEB}/engine COMPONENT dev)
install(FILES ${CMAKE_SOURCE_DIR}/web/ShowPage.h ${CMAKE_SOURCE_DIR}/web/Synthesis.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/velquor/web COMPONENT dev)
install(FILES ${CMAKE_SOURCE_DIR}/web/ShowPage.cpp ${CMAKE_SOURCE_DIR}/web/Synthesis.cpp ${CMAKE_SOURCE_DIR}/web/PageFiles.cpp
  DESTINATION ${VQ_INSTALL_WEB} COMPONENT dev)
install(FILES ${CMAKE_SOURCE_DIR}/web/runtime/runtime.js ${CMAKE_SOURCE_DIR}/web/runtime/page.js
  ${CMAKE_SOURCE_DIR}/web/runtime/boot.js ${CMAKE_SOURCE_DIR}/web/runtime/page.html ${CMAKE_SOURCE_DIR}/web/runtime/WebPage.cmake
  DESTINATION ${VQ_INSTALL_WEB}/runtime COMPONENT dev)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/web/runtime/pack.py DESTINATION ${VQ_INSTALL_WEB}/runtime COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/VelquorConfig.cmake.in
  ${CMAKE_BINARY_DIR}/install/VelquorConfig.cmake
  INSTALL_DESTINATION ${VQ_INSTALL_CMAKE}
  PATH_VARS VQ_INSTALL_DATA VQ_INSTALL_WEB CMAKE_INSTALL_INCLUDEDIR)
# Any architecture: emscripten's 32-bit WebAssembly builds take the package too,
# for the web page of a show (the native libraries are not theirs).
write_basic_package_version_file(${CMAKE_BINARY_DIR}/install/VelquorConfigVersion.cmake
  COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${CMAKE_BINARY_DIR}/install/VelquorConfig.cmake ${CMAKE_BINARY_DIR}/install/VelquorConfigVersion.cmake
  ${CMAKE_CURRENT_LIST_DIR}/VelquorFrameTest.cmake
  DESTINATION ${VQ_INSTALL_CMAKE} COMPONENT dev)

file(RELATIVE_PATH VQ_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/velquor.pc.in ${CMAKE_BINARY_DIR}/install/velquor.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/install/velquor.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

# The starting point for a demo of one's own, to copy out of the install.
set(VQ_HELLO_FILES main.cpp hello.h show.h preview.cpp capture.cpp page.cpp CMakeLists.txt)
list(TRANSFORM VQ_HELLO_FILES PREPEND ${CMAKE_SOURCE_DIR}/examples/hello-particles/)
install(FILES ${VQ_HELLO_FILES}
  DESTINATION ${VQ_INSTALL_DATA}/examples/hello-particles COMPONENT dev)

# The manual pages, compressed as Debian keeps them (no name or time stored).
set(VQ_MAN_PAGES velquor.6 velquor-capture.1 velquor-page-capture.1 velquor-soundtrack.1)
if(TARGET velquor-preview)
  list(APPEND VQ_MAN_PAGES velquor-preview.1)
endif()
foreach(page ${VQ_MAN_PAGES})
  string(REGEX MATCH "[0-9]$" section ${page})
  set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/docs/man/${page} > ${compressed}
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/${page})
  list(APPEND VQ_MAN_COMPRESSED ${compressed})
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT demo)
endforeach()
add_custom_target(velquor_man_pages ALL DEPENDS ${VQ_MAN_COMPRESSED})
