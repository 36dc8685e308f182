# vq_add_frame_test(<name> CAPTURE <target> REFERENCES <dir> AT <seconds>...
#                   [SIZE WxH] [FPS n] [WORKING_DIRECTORY <dir>])
#
# A CTest case <name> that runs the capture program <target> (one built on
# vq_tools::captureMain) once, drawing the frame at each of the moments, and
# holds each frame with --compare to the picture of the same name in <dir>:
# t2.500.png for 2.5 s, the name the capture writes it under with --at 2.5
# --frames <dir>. It passes when every frame agrees with its reference, and
# fails naming each moment that differs or has no reference. SIZE and FPS
# are the capture's --size and --fps (its defaults 1920x1080 and 60), and the
# references hold for those alone: motion advances once per frame. A
# relative <dir> is taken from the current source directory. The capture
# runs where it is built, which is where a build puts the data/ it reads
# beside it, unless WORKING_DIRECTORY says otherwise; without a DISPLAY, on a
# private X server of its own (xvfb-run -a).
function(vq_add_frame_test name)
  cmake_parse_arguments(PARSE_ARGV 1 VQ_FRAME "" "CAPTURE;REFERENCES;SIZE;FPS;WORKING_DIRECTORY" "AT")
  set(_vq_where "vq_add_frame_test(${name})")
  if(VQ_FRAME_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${_vq_where}: unexpected arguments: ${VQ_FRAME_UNPARSED_ARGUMENTS}")
  endif()
  foreach(_vq_required CAPTURE REFERENCES AT)
    if(NOT VQ_FRAME_${_vq_required})
      message(FATAL_ERROR "${_vq_where}: ${_vq_required} is missing (CAPTURE <target> REFERENCES <dir> AT <seconds>...)")
    endif()
  endforeach()
  foreach(_vq_moment ${VQ_FRAME_AT})
    if(NOT _vq_moment MATCHES "^([0-9]+\\.?[0-9]*|\\.[0-9]+)$")
      message(FATAL_ERROR "${_vq_where}: AT ${_vq_moment} is not a time in seconds (such as 12 or 2.5)")
    endif()
  endforeach()
  string(REPLACE ";" "," _vq_times "${VQ_FRAME_AT}")
  get_filename_component(_vq_references "${VQ_FRAME_REFERENCES}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  set(_vq_args --at ${_vq_times} --compare ${_vq_references})
  if(DEFINED VQ_FRAME_SIZE)
    if(NOT VQ_FRAME_SIZE MATCHES "^[0-9]+x[0-9]+$")
      message(FATAL_ERROR "${_vq_where}: SIZE ${VQ_FRAME_SIZE} is not a size such as 1920x1080")
    endif()
    list(APPEND _vq_args --size ${VQ_FRAME_SIZE})
  endif()
  if(DEFINED VQ_FRAME_FPS)
    if(NOT VQ_FRAME_FPS MATCHES "^[0-9]+$")
      message(FATAL_ERROR "${_vq_where}: FPS ${VQ_FRAME_FPS} is not a whole number of frames a second")
    endif()
    list(APPEND _vq_args --fps ${VQ_FRAME_FPS})
  endif()
  set(_vq_directory "$<TARGET_FILE_DIR:${VQ_FRAME_CAPTURE}>")
  if(DEFINED VQ_FRAME_WORKING_DIRECTORY)
    get_filename_component(_vq_directory "${VQ_FRAME_WORKING_DIRECTORY}" ABSOLUTE
      BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  endif()
  # Whether there is a display is a matter of where the test runs, not of
  # where it was configured.
  set(_vq_display [=[
if [ -z "$DISPLAY" ]; then
  command -v xvfb-run >/dev/null ||
    { echo "$0: no DISPLAY, and xvfb-run is not installed to start a private X server (on Debian: apt-get install xvfb xauth)" >&2; exit 1; }
  exec xvfb-run -a -s "-screen 0 1280x720x24" "$@"
fi
exec "$@"]=])
  add_test(NAME ${name}
    COMMAND /bin/sh -c "${_vq_display}" ${name} $<TARGET_FILE:${VQ_FRAME_CAPTURE}> ${_vq_args}
    WORKING_DIRECTORY "${_vq_directory}")
endfunction()
