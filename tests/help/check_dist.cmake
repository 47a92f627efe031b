# make dist: the zip holds the two programs and the help file as built, and a Windows read-me.
# Called with -DBIN_DIR=<program folder> -DREADME=<read-me source> -DVERSION=... -DWORK=<scratch folder>
# -DMAKE_DIST=<cmake/make-dist.cmake>.
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/archive_listing.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(zip ${WORK}/zarvelo-${VERSION}.zip)
execute_process(
  COMMAND ${CMAKE_COMMAND} -DBIN_DIR=${BIN_DIR} -DREADME=${README} -DVERSION=${VERSION} -DZIP=${zip} -P ${MAKE_DIST}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "make-dist failed: ${rc}")
endif()

# It fits on a floppy with room to spare, and downloads quickly over a modem.
file(SIZE ${zip} zip_size)
if(zip_size GREATER 430080)
  fail("the zip is ${zip_size} bytes, over 420 KB")
endif()

archive_entries(${zip} names)
list(SORT names)
set(expected pulsiva.exe readme.txt zarvelo.chm zarvelo.exe)
if(NOT names STREQUAL expected)
  fail("the zip holds [${names}], not [${expected}] at its top")
endif()

execute_process(COMMAND ${SEVENZIP} x -y -o${WORK}/out ${zip} OUTPUT_QUIET RESULT_VARIABLE rc)
foreach(f zarvelo.exe pulsiva.exe zarvelo.chm)
  if(NOT EXISTS ${WORK}/out/${f})
    continue()
  endif()
  file(SHA256 ${BIN_DIR}/${f} built)
  file(SHA256 ${WORK}/out/${f} packed)
  if(NOT built STREQUAL packed)
    fail("${f} in the zip differs from the built one")
  endif()
endforeach()

if(EXISTS ${WORK}/out/readme.txt)
  file(READ ${WORK}/out/readme.txt readme HEX)
  # Every line feed (0a) follows a carriage return (0d): look for a line feed after any other byte.
  string(REGEX MATCHALL "([0-9a-f][0-9a-f])" bytes "${readme}")
  set(previous "")
  set(bare 0)
  set(crlf 0)
  foreach(b IN LISTS bytes)
    if(b STREQUAL "0a")
      if(previous STREQUAL "0d")
        math(EXPR crlf "${crlf} + 1")
      else()
        math(EXPR bare "${bare} + 1")
      endif()
    endif()
    set(previous ${b})
  endforeach()
  if(bare GREATER 0 OR crlf LESS 10)
    fail("readme.txt has ${bare} bare line feeds and ${crlf} Windows line endings")
  endif()
  # (file(READ) drops the carriage returns.)
  file(READ ${WORK}/out/readme.txt text)
  string(FIND "${text}" "Version ${VERSION}\n" at)
  if(at EQUAL -1 OR text MATCHES "@VERSION@")
    fail("readme.txt does not name version ${VERSION}")
  endif()
endif()

if(errors)
  message(FATAL_ERROR "dist zip:${errors}")
endif()
message(STATUS "${zip}: ${names}")
