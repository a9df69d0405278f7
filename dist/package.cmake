# Run by cpack between the staging install and the making of the package
# (CPACK_PRE_BUILD_SCRIPTS): the administrator's default configuration in
# /etc/xdg/rq300/, where the programs look before the shipped one in
# /usr/share/rq300/. A ~/.local install has no /etc of its own, so this is
# the package's alone.
set(root ${CPACK_TEMPORARY_DIRECTORY})
file(MAKE_DIRECTORY ${root}/etc/xdg/rq300)
file(COPY_FILE ${root}${CPACK_PACKAGING_INSTALL_PREFIX}/share/rq300/sysini.ini ${root}/etc/xdg/rq300/sysini.ini)

# What dh_strip leaves of a program: the compiler's notes go as well as the
# symbols cpack's own strip removed.
file(GLOB programs ${root}${CPACK_PACKAGING_INSTALL_PREFIX}/bin/*)
execute_process(COMMAND strip --remove-section=.comment --remove-section=.note ${programs}
                RESULT_VARIABLE stripped)
if(NOT stripped EQUAL 0)
  message(FATAL_ERROR "strip failed on ${programs}")
endif()
