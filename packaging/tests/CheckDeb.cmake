# Builds the Debian package with CPack and checks what it holds and what it depends on: the
# files where the desktop looks for them, owned by root, and the packages the program needs at
# run time (the libraries it links, found by dpkg-shlibdeps, a Chinese font and xdg-utils),
# and no development package. Without dpkg's tools the test reports itself skipped.
#
#   cmake -D BUILD_DIR=<build> -D PACKAGE_DIR=<folder> -D APP_ID=<id> -D CPACK=<cpack>
#         [-D CONFIG=<cfg>] -P CheckDeb.cmake
cmake_minimum_required(VERSION 3.25)

foreach(required BUILD_DIR PACKAGE_DIR APP_ID CPACK)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "CheckDeb.cmake needs -D ${required}=...")
  endif()
endforeach()

find_program(dpkg_deb dpkg-deb NO_CACHE)
find_program(dpkg_shlibdeps dpkg-shlibdeps NO_CACHE)
if(NOT dpkg_deb OR NOT dpkg_shlibdeps)
  message("SKIPPED: dpkg-deb and dpkg-shlibdeps (Debian package dpkg-dev) are needed")
  return()
endif()

file(REMOVE_RECURSE ${PACKAGE_DIR})
set(config_arguments "")
if(CONFIG)
  set(config_arguments -C ${CONFIG})
endif()
execute_process(
  COMMAND ${CPACK} --config ${BUILD_DIR}/CPackConfig.cmake -G DEB -B ${PACKAGE_DIR}
          ${config_arguments}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${output}")
endif()
file(GLOB packages ${PACKAGE_DIR}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb in ${PACKAGE_DIR}, found: ${packages}")
endif()
message(STATUS "built ${packages}")

set(failures "")
macro(fail text)
  string(APPEND failures "  ${text}\n")
endmacro()

execute_process(COMMAND ${dpkg_deb} --field ${packages} Package Version Depends
  OUTPUT_VARIABLE fields RESULT_VARIABLE result)
message(STATUS "control fields:\n${fields}")
if(NOT fields MATCHES "Package: vellumry\n")
  fail("the package is not named vellumry")
endif()
string(REPLACE "." "\\." version_pattern "${VERSION}")
if(NOT fields MATCHES "Version: ${version_pattern}\n")
  fail("the package version is not ${VERSION}")
endif()
string(REGEX MATCH "Depends: ([^\n]*)" depends_line "${fields}")
set(depends "${CMAKE_MATCH_1}")
foreach(package libc6 libstdc\\+\\+6 libqt6core6 libqt6gui6 libqt6widgets6 libicu[0-9]+ xdg-utils)
  if(NOT depends MATCHES "(^|, )${package}( \\(|,|$)")
    fail("Depends lacks ${package}: ${depends}")
  endif()
endforeach()
if(NOT depends MATCHES "(^|, )fonts-wqy-microhei \\| fonts-noto-cjk(,|$)")
  fail("Depends lacks a font with Simplified Chinese: ${depends}")
endif()
if(depends MATCHES "-dev( |,|$)")
  fail("Depends names a development package: ${depends}")
endif()

execute_process(COMMAND ${dpkg_deb} --contents ${packages} OUTPUT_VARIABLE contents)
set(expected usr/bin/vellumry usr/share/applications/vellumry.desktop
  usr/share/metainfo/${APP_ID}.metainfo.xml usr/share/icons/hicolor/scalable/apps/vellumry.svg
  usr/share/man/man1/vellumry.1.gz usr/share/man/zh_CN/man1/vellumry.1.gz)
foreach(size 16 32 48 64 128 256)
  list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/vellumry.png)
endforeach()
foreach(file ${expected})
  string(REPLACE "+" "\\+" pattern "${file}")
  if(NOT contents MATCHES " \\./${pattern}\n")
    fail("the package lacks /${file}")
  endif()
endforeach()
string(REGEX MATCHALL "[^\n]+" entries "${contents}")
foreach(entry ${entries})
  if(NOT entry MATCHES "^[-dl][rwxs-]+ root/root ")
    fail("not owned by root: ${entry}")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "The Debian package is not right:\n${failures}")
endif()
