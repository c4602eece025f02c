# The Unihan database, the Unicode Consortium's data on every Han character (readings, variants,
# frequencies, the national standards that hold it), as Debian's unicode-data package ships
# it: Unihan.zip in newer releases, one Unihan_*.txt.bz2 per part in Debian 12. Included once,
# it unpacks the parts into the build tree at configure time and sets
#   VELLUMRY_UNIHAN_DIR    the folder of the unpacked Unihan_*.txt
#   VELLUMRY_UNIHAN_FILES  those files, for the DEPENDS of a generator that reads them
# Every generator that reads Unihan takes it from here.
include_guard(GLOBAL)

set(VELLUMRY_UNICODE_DATA_DIR /usr/share/unicode CACHE PATH "Where unicode-data keeps the Unihan database")
set(VELLUMRY_UNIHAN_DIR ${CMAKE_BINARY_DIR}/unihan)
file(MAKE_DIRECTORY ${VELLUMRY_UNIHAN_DIR})

if(EXISTS ${VELLUMRY_UNICODE_DATA_DIR}/Unihan.zip)
  set(unihan_source ${VELLUMRY_UNICODE_DATA_DIR}/Unihan.zip)
  if(NOT EXISTS ${VELLUMRY_UNIHAN_DIR}/Unihan_Readings.txt OR unihan_source IS_NEWER_THAN
     ${VELLUMRY_UNIHAN_DIR}/Unihan_Readings.txt)
    file(ARCHIVE_EXTRACT INPUT ${unihan_source} DESTINATION ${VELLUMRY_UNIHAN_DIR})
  endif()
else()
  file(GLOB unihan_parts ${VELLUMRY_UNICODE_DATA_DIR}/Unihan_*.txt.bz2)
  if(NOT unihan_parts)
    message(FATAL_ERROR "No Unihan database in ${VELLUMRY_UNICODE_DATA_DIR}: install unicode-data (scripts/install-deps)")
  endif()
  find_program(VELLUMRY_BZIP2 bzip2 REQUIRED)
  foreach(part ${unihan_parts})
    get_filename_component(name ${part} NAME_WLE)
    if(NOT EXISTS ${VELLUMRY_UNIHAN_DIR}/${name} OR part IS_NEWER_THAN ${VELLUMRY_UNIHAN_DIR}/${name})
      execute_process(COMMAND ${VELLUMRY_BZIP2} -dc ${part} OUTPUT_FILE ${VELLUMRY_UNIHAN_DIR}/${name}
        RESULT_VARIABLE unpacked)
      if(NOT unpacked EQUAL 0)
        file(REMOVE ${VELLUMRY_UNIHAN_DIR}/${name})
        message(FATAL_ERROR "Could not unpack ${part}")
      endif()
    endif()
  endforeach()
endif()
file(GLOB VELLUMRY_UNIHAN_FILES ${VELLUMRY_UNIHAN_DIR}/Unihan_*.txt)
