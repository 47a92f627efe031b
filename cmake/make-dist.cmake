# Packs the program folder into the distribution zip: both programs, the help file and the read-me.
# Called with -DBIN_DIR=... -DREADME=... -DVERSION=... -DZIP=... (the zip to write).
cmake_minimum_required(VERSION 3.25)
foreach(var BIN_DIR README VERSION ZIP)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make-dist: ${var} not given")
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/windows-readme.cmake)
find_program(ZIP_PROGRAM zip REQUIRED)

set(files zarvelo.exe pulsiva.exe zarvelo.chm)
foreach(f IN LISTS files)
  if(NOT EXISTS ${BIN_DIR}/${f})
    message(FATAL_ERROR "make-dist: ${BIN_DIR}/${f} is missing; build the win32 preset first")
  endif()
endforeach()

get_filename_component(zip_dir ${ZIP} DIRECTORY)
get_filename_component(zip_name ${ZIP} NAME_WE)
set(stage ${zip_dir}/${zip_name}.stage)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
foreach(f IN LISTS files)
  file(COPY ${BIN_DIR}/${f} DESTINATION ${stage})
endforeach()

zv_write_windows_readme(${README} ${VERSION} ${stage}/readme.txt)

file(REMOVE ${ZIP})
execute_process(
  COMMAND ${ZIP_PROGRAM} -q -X -9 ${ZIP} ${files} readme.txt
  WORKING_DIRECTORY ${stage}
  RESULT_VARIABLE rc)
file(REMOVE_RECURSE ${stage})
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "make-dist: zip failed (${rc})")
endif()
message(STATUS "Wrote ${ZIP}")
