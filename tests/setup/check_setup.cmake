# The shipped setup program, which cannot run here: read back with 7-Zip, it packs the programs and the
# help file as built and the Windows read-me, and fits the size budget; with -DEXPORTS=... it and the NSIS
# plug-ins it carries also go through the import check.
# cmake -DSETUP=<setup.exe> -DBIN_DIR=... -DREADME=... -DVERSION=... -DWORK=<scratch folder>
#       [-DOBJDUMP=... -DEXPORTS=<windows-exports.txt>] -P check_setup.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../help/archive_listing.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/windows-readme.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${SEVENZIP} x -y -o${WORK}/out ${SETUP} OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "7z could not unpack ${SETUP}: ${rc}")
endif()

if(DEFINED EXPORTS)
  # The stub and every plug-in it unpacks at run time must load on all six systems.
  file(GLOB PROGRAMS ${WORK}/out/$PLUGINSDIR/*.dll)
  list(PREPEND PROGRAMS ${SETUP})
  include(${CMAKE_CURRENT_LIST_DIR}/../imports/check_imports.cmake)
  return()
endif()

# Room on a floppy beside the zip, and a short download over a modem.
file(SIZE ${SETUP} size)
if(size GREATER 460800)
  fail("the setup program is ${size} bytes, over 450 KB")
endif()

zv_write_windows_readme(${README} ${VERSION} ${WORK}/readme.txt)
foreach(f zarvelo.exe pulsiva.exe zarvelo.chm readme.txt)
  set(source ${BIN_DIR}/${f})
  if(f STREQUAL "readme.txt")
    set(source ${WORK}/readme.txt)
  endif()
  if(NOT EXISTS ${WORK}/out/${f})
    fail("${f} is not in the setup program")
    continue()
  endif()
  file(SHA256 ${source} built)
  file(SHA256 ${WORK}/out/${f} packed)
  if(NOT built STREQUAL packed)
    fail("${f} in the setup program differs from ${source}")
  endif()
endforeach()

if(errors)
  message(FATAL_ERROR "setup program:${errors}")
endif()
math(EXPR kb "(${size} + 1023) / 1024")
message(STATUS "${SETUP}: ${kb} KB, packs the program folder as built")
