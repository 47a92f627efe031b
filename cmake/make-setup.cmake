# Builds the Windows setup program with NSIS from the program folder: both programs, the help file, the
# read-me and the uninstaller, with zarvelo.exe's own icon.
# Called with -DBIN_DIR=... -DREADME=... -DVERSION=... -DNSI=<installer/zarvelo.nsi>
# -DTARGET=x86-ansi|amd64-unicode -DSETUP=<the setup program to write>.
cmake_minimum_required(VERSION 3.25)
foreach(var BIN_DIR README VERSION NSI TARGET SETUP)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make-setup: ${var} not given")
  endif()
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/windows-readme.cmake)
# makensis reads paths from the script's folder.
foreach(var BIN_DIR README NSI SETUP)
  get_filename_component(${var} ${${var}} ABSOLUTE)
endforeach()

find_program(MAKENSIS makensis REQUIRED)
find_program(WRESTOOL wrestool REQUIRED)

foreach(f zarvelo.exe pulsiva.exe zarvelo.chm)
  if(NOT EXISTS ${BIN_DIR}/${f})
    message(FATAL_ERROR "make-setup: ${BIN_DIR}/${f} is missing; build the programs and the help file first")
  endif()
endforeach()

get_filename_component(setup_dir ${SETUP} DIRECTORY)
get_filename_component(setup_name ${SETUP} NAME_WE)
set(stage ${setup_dir}/${setup_name}.stage)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
zv_write_windows_readme(${README} ${VERSION} ${stage}/readme.txt)

# NSIS wants the icon as an .ico file: the icon group of zarvelo.exe (IDI_Zarvelo, 200).
execute_process(
  COMMAND ${WRESTOOL} --extract --type=14 --name=200 --output=${stage}/zarvelo.ico ${BIN_DIR}/zarvelo.exe
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT EXISTS ${stage}/zarvelo.ico)
  message(FATAL_ERROR "make-setup: could not take the icon out of ${BIN_DIR}/zarvelo.exe")
endif()

file(REMOVE ${SETUP})
execute_process(
  COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DTARGET=${TARGET} -DBIN_DIR=${BIN_DIR} -DSTAGE_DIR=${stage}
          -DOUTFILE=${SETUP} ${NSI}
  RESULT_VARIABLE rc)
file(REMOVE_RECURSE ${stage})
if(NOT rc EQUAL 0 OR NOT EXISTS ${SETUP})
  message(FATAL_ERROR "make-setup: makensis failed (${rc})")
endif()
file(SIZE ${SETUP} size)
math(EXPR kb "(${size} + 1023) / 1024")
message(STATUS "Wrote ${SETUP} (${kb} KB)")
