# Installs the build into a staging folder the way a package does (prefix /usr under DESTDIR)
# and checks that every file lands where a freedesktop desktop looks for it, that the desktop
# entry and the metainfo name what was installed, and that the desktop's own validators accept
# them. A validator that is not installed is reported and not run.
#
#   cmake -D BUILD_DIR=<build> -D STAGE_DIR=<empty folder> -D APP_ID=<id> [-D CONFIG=<cfg>]
#         -P CheckInstall.cmake
cmake_minimum_required(VERSION 3.25)

foreach(required BUILD_DIR STAGE_DIR APP_ID)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "CheckInstall.cmake needs -D ${required}=...")
  endif()
endforeach()

set(failures "")
macro(fail text)
  string(APPEND failures "  ${text}\n")
endmacro()

# Install as a package would.
file(REMOVE_RECURSE ${STAGE_DIR})
file(MAKE_DIRECTORY ${STAGE_DIR})
set(config_arguments "")
if(CONFIG)
  set(config_arguments --config ${CONFIG})
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE_DIR}
          ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr ${config_arguments}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

# Exactly these files, and nothing else, in the places the desktop searches.
set(prefix ${STAGE_DIR}/usr)
set(desktop_entry share/applications/vellumry.desktop)
set(metainfo share/metainfo/${APP_ID}.metainfo.xml)
set(expected bin/vellumry ${desktop_entry} ${metainfo}
  share/icons/hicolor/scalable/apps/vellumry.svg
  share/man/man1/vellumry.1.gz share/man/zh_CN/man1/vellumry.1.gz)
foreach(size 16 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/vellumry.png)
endforeach()
list(TRANSFORM expected PREPEND usr/)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${STAGE_DIR} ${STAGE_DIR}/*)
foreach(file ${expected})
  if(NOT file IN_LIST installed)
    fail("missing: /${file}")
  endif()
endforeach()
foreach(file ${installed})
  if(NOT file IN_LIST expected)
    fail("installed but not expected: /${file}")
  endif()
endforeach()

find_program(installed_program vellumry PATHS ${prefix}/bin NO_DEFAULT_PATH NO_CACHE)
if(NOT installed_program)
  fail("/usr/bin/vellumry is not an executable file")
endif()

# The desktop entry starts the installed program by name, takes no file arguments and names
# the icon that was installed into the theme.
if(EXISTS ${prefix}/${desktop_entry})
  file(STRINGS ${prefix}/${desktop_entry} entry ENCODING UTF-8)
  foreach(line "Exec=vellumry" "Icon=vellumry" "Type=Application")
    if(NOT line IN_LIST entry)
      fail("${desktop_entry} lacks the line ${line}")
    endif()
  endforeach()
  foreach(line ${entry})
    if(line MATCHES "^MimeType=")
      fail("${desktop_entry} declares MIME types, but the program opens no files given to it")
    endif()
    if(line MATCHES "^(Try)?Exec=.*%[fFuU]")
      fail("${desktop_entry} passes file arguments: ${line}")
    endif()
  endforeach()
endif()

# The metainfo carries the id its file is named after and points at the installed entry.
if(EXISTS ${prefix}/${metainfo})
  file(READ ${prefix}/${metainfo} component)
  if(NOT component MATCHES "<id>${APP_ID}</id>")
    fail("${metainfo} does not carry the id ${APP_ID}")
  endif()
  if(NOT component MATCHES "<launchable type=\"desktop-id\">vellumry.desktop</launchable>")
    fail("${metainfo} does not launch vellumry.desktop")
  endif()
endif()

# The validators the desktop's own tools use.
macro(validate tool)
  find_program(validator ${tool} NO_CACHE)
  string(JOIN " " command ${tool} ${ARGN})
  if(validator)
    execute_process(COMMAND ${validator} ${ARGN}
      RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    message(STATUS "${command}: exit ${result}\n${output}")
    if(NOT result EQUAL 0)
      fail("${tool} rejects what was installed:\n${output}")
    endif()
  else()
    message(STATUS "${tool} is not installed; not run")
  endif()
  unset(validator)
endmacro()
validate(desktop-file-validate ${prefix}/${desktop_entry})
validate(appstreamcli validate --no-net ${prefix}/${metainfo})
validate(appstreamcli validate-tree --no-net ${STAGE_DIR})

if(failures)
  message(FATAL_ERROR "The installation is not what the desktop expects:\n${failures}")
endif()
list(LENGTH installed count)
message(STATUS "${count} files installed where the desktop looks for them")
