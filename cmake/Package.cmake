# The release folder for showing the demo elsewhere:
#   cmake --build build --target package
# writes build/velquor-<version>-linux-<processor>.tar.gz, one folder holding
# the demo, its data/ and README.txt, which runs where it is unpacked. The
# version is the one in the project() call.
string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" VQ_PLATFORM)
set(VQ_RELEASE_NAME "velquor-${PROJECT_VERSION}-${VQ_PLATFORM}")

# The text names the folder it is unpacked in and the track's length, which
# demo/Cues.h holds for the show and its soundtrack.
file(STRINGS ${CMAKE_SOURCE_DIR}/demo/Cues.h VQ_TRACK_LENGTH_LINE REGEX "double trackLength = ")
string(REGEX REPLACE ".*= *([0-9.]+).*" "\\1" VQ_TRACK_SECONDS "${VQ_TRACK_LENGTH_LINE}")
set(VQ_RELEASE_README ${CMAKE_BINARY_DIR}/release/README.txt)
configure_file(${CMAKE_CURRENT_LIST_DIR}/release-README.txt.in ${VQ_RELEASE_README} @ONLY)

install(TARGETS velquor DESTINATION . COMPONENT release EXCLUDE_FROM_ALL)
install(FILES ${VQ_DATA_FILES} ${CMAKE_BINARY_DIR}/data/quorvin.mp3 DESTINATION data
  COMPONENT release EXCLUDE_FROM_ALL)
install(FILES ${VQ_RELEASE_README} DESTINATION . COMPONENT release EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR TGZ DEB)
set(CPACK_PACKAGE_NAME velquor)
set(CPACK_PACKAGE_VENDOR "Velquor")
set(CPACK_PACKAGE_FILE_NAME ${VQ_RELEASE_NAME})
# The tarball: only the release component, the demo, its data and the text.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Velquor;release;/")
set(CPACK_STRIP_FILES TRUE)

# The Debian packages, one per install component:
#   velquor_<version>_amd64.deb         the demo (bin/velquor runs it), the
#                                       tools, the data and the manual pages
#   libvelquor-dev_<version>_amd64.deb  the engine's headers and library, the
#                                       CMake package, velquor.pc, hello-particles
# The programs' runtime dependencies come from dpkg-shlibdeps. The engine is
# a static library: the -dev package names the development packages of the
# libraries it links, and the demo package for the shaders its users read.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL demo dev)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velquor developers <velquor@velquor.invalid>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_DEMO_PACKAGE_NAME velquor)
set(CPACK_DEBIAN_DEMO_FILE_NAME "velquor_${PROJECT_VERSION}_amd64.deb")
set(CPACK_DEBIAN_DEMO_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_DEMO_PACKAGE_SUGGESTS "ffmpeg, xvfb")
set(CPACK_COMPONENT_DEMO_DESCRIPTION "real-time audiovisual demo of particle clouds
Velquor opens a full-screen OpenGL 4.1 window, plays its own music track
once and draws nine scenes built from GPU point clouds: a face of star
clouds in the distance, and words and numbers written in small particle
clouds in front of it. With it come velquor-preview, velquor-capture and
velquor-soundtrack, to play, record and rebuild the show.")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libvelquor-dev)
set(CPACK_DEBIAN_DEV_FILE_NAME "libvelquor-dev_${PROJECT_VERSION}_amd64.deb")
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
  "velquor (= ${PROJECT_VERSION}), libglew-dev, libgl-dev, libpng-dev, libturbojpeg0-dev, libsdl2-dev, libsdl2-mixer-dev, python3")
# A show's web page is built with emscripten and packed by pack.py with terser
# (and zopfli, when it is there).
set(CPACK_DEBIAN_DEV_PACKAGE_SUGGESTS "emscripten, node-terser, zopfli")
set(CPACK_COMPONENT_DEV_DESCRIPTION "engine of the Velquor demo, for demos of one's own
The vq_engine library: timeline, matrices, shaders, textures,
render-to-texture, particles, particle text and OBJ meshes on OpenGL 4.1.
Headers, the static library, a CMake package (find_package(Velquor)),
velquor.pc for pkg-config, the hello-particles example to start from, and
the page runtime that makes a show a web page of one file under emcmake.")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/DebianOptions.cmake)
configure_file(${CMAKE_CURRENT_LIST_DIR}/DebianOptions.cmake.in ${CMAKE_BINARY_DIR}/DebianOptions.cmake @ONLY)

# What Debian asks of every package: its copyright and changelog in /usr/share/doc.
foreach(component demo dev)
  string(TOUPPER ${component} upper)
  set(VQ_DEB_PACKAGE ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  set(doc ${CMAKE_BINARY_DIR}/debian/${VQ_DEB_PACKAGE})
  configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${doc}/changelog @ONLY)
  execute_process(COMMAND gzip -9n -c ${doc}/changelog OUTPUT_FILE ${doc}/changelog.gz)
  install(FILES ${doc}/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${VQ_DEB_PACKAGE} COMPONENT ${component})
endforeach()
include(CPack)
