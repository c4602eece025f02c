# The slow drive: a FUSE mirror that delays every request and can stop answering, for the tests
# of a drive that stops answering (tests/support/SlowDrive.h) and for the cold and slow-drive
# benchmarks. Built wherever libfuse3 is found (scripts/install-deps --test or --bench installs
# it), in every build that has tests or benchmarks, the sanitized one included: it is not code
# under test, so it takes the warnings but not the sanitizers.
find_package(Threads REQUIRED)
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(FUSE3 QUIET IMPORTED_TARGET fuse3)
endif()
if(FUSE3_FOUND)
  add_executable(slowfs ${CMAKE_CURRENT_LIST_DIR}/slowfs.cpp)
  set_target_properties(slowfs PROPERTIES AUTOMOC OFF RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  target_link_libraries(slowfs PRIVATE vellumry_warnings PkgConfig::FUSE3 Threads::Threads)
endif()

# Gives a target slowfs's path as VELLUMRY_SLOWFS and builds slowfs with it. Without libfuse3
# the target builds all the same, and SlowDrive says that slowfs was not built.
function(vellumry_use_slow_drive target)
  if(TARGET slowfs)
    target_compile_definitions(${target} PRIVATE VELLUMRY_SLOWFS="$<TARGET_FILE:slowfs>")
    add_dependencies(${target} slowfs)
  endif()
endfunction()
