# The release note with the page's size written in: cmake -DPAGE= -DVERSION=
# -DTEMPLATE= -DOUTPUT= -P ReleaseNote.cmake
file(SIZE ${PAGE} BYTES)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
