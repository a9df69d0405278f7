# The program rewrites sysini.ini at every exit; a rebuild must not undo that.
if(NOT EXISTS "${DST}")
  file(COPY_FILE "${SRC}" "${DST}")
endif()
