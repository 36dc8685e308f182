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

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME velquor)
set(CPACK_PACKAGE_VENDOR "Velquor")
set(CPACK_PACKAGE_FILE_NAME ${VQ_RELEASE_NAME})
# Only the release component: the demo, its data and the text.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Velquor;release;/")
set(CPACK_STRIP_FILES TRUE)
include(CPack)
