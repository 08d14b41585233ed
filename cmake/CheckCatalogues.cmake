# Fails when a catalogue in CATALOGUES (a list of .po files) lacks the
# translation of a text that a file in SOURCES marks with N_: every text is in
# every language. Touches STAMP when they all hold every text.
#   cmake -DXGETTEXT=... -DMSGCMP=... "-DSOURCES=..." "-DCATALOGUES=..." -DSTAMP=...
#     -P CheckCatalogues.cmake
file(REMOVE ${STAMP})
if(NOT CATALOGUES)
  message(FATAL_ERROR "no catalogue in po/")
endif()
get_filename_component(dir ${STAMP} DIRECTORY)
set(pot ${dir}/tolvanix.pot)
# Its notes in English, whatever the builder's language.
set(ENV{LANGUAGE} "")
set(ENV{LC_ALL} C.UTF-8)
# Only N_ marks a text.
execute_process(COMMAND ${XGETTEXT} --from-code=UTF-8 --language=C++ --keyword= --keyword=N_
    -o ${pot} ${SOURCES}
  RESULT_VARIABLE failed ERROR_VARIABLE errors)
# "\r" stands in a text that shows two lines in a box: not worth a warning.
string(REGEX REPLACE "[^\n]*should not contain the '\\\\r' escape sequence\n" "" errors "${errors}")
if(errors)
  message(WARNING "${errors}")
endif()
if(failed)
  message(FATAL_ERROR "xgettext could not read the texts marked with N_")
endif()
foreach(po IN LISTS CATALOGUES)
  execute_process(COMMAND ${MSGCMP} ${po} ${pot} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${po} lacks the translation of a text the program marks with N_")
  endif()
endforeach()
file(TOUCH ${STAMP})
