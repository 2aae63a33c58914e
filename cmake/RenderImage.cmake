# Renders one picture for Images.cmake: cmake -P with RSVG_CONVERT, SOURCE, OUTPUT, FORMAT (png
# or svg), WIDTH, HEIGHT and PARTIAL (the temporary name, renamed to OUTPUT when complete).
# rsvg-convert leaves out a picture embedded in another that it cannot load and still succeeds;
# only its log (RSVG_LOG) says so, and that log decides whether the picture is complete.
set(ENV{RSVG_LOG} 1)
execute_process(
  COMMAND ${RSVG_CONVERT} -f ${FORMAT} -w ${WIDTH} -h ${HEIGHT} -o ${PARTIAL} ${SOURCE}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE log
  ERROR_VARIABLE log)
if(NOT result EQUAL 0 OR log MATCHES "[Ll]oad")
  file(REMOVE ${PARTIAL})
  get_filename_component(name ${OUTPUT} NAME)
  get_filename_component(folder ${OUTPUT} DIRECTORY)
  get_filename_component(folder ${folder} NAME)
  message(FATAL_ERROR "${folder}/${name} cannot be rendered completely from ${SOURCE}:\n${log}"
    "rsvg-convert draws pictures embedded in others through gdk-pixbuf's SVG loader, the Debian "
    "package librsvg2-common (tools/setup.sh installs it).")
endif()
file(RENAME ${PARTIAL} ${OUTPUT})
