# Test helpers shared by both build trees.
#
# archiwin_add_test(NAME [SEALED | STANDARD_USER] SOURCES ... LIBS ...)
#   One GoogleTest executable, registered once with CTest. On the Windows side
#   CTest starts it through CMAKE_CROSSCOMPILING_EMULATOR (scripts/wine-exec),
#   and every start of Wine costs about a second, hence one registration per
#   executable rather than per test case.
#   SEALED (Windows only): the executable runs in the sealed prefix, copied to
#   drive C: with no drive Z: (scripts/wine-sealed, docs/testing.md): for
#   tests that delete files or search whole drives.
#   STANDARD_USER (Windows only): the executable runs as an unprivileged system
#   user in a sealed prefix of his own, installed into a Program Files folder
#   he cannot write (scripts/wine-standard-user; skipped unless run as root).

macro(archiwin_find_gtest)
  if(WIN32)
    # Debian ships GoogleTest as sources; build them with the cross compiler.
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set(ARCHIWIN_GTEST_LIBS gtest gmock)
  else()
    find_package(GTest REQUIRED)
    set(ARCHIWIN_GTEST_LIBS GTest::gtest GTest::gmock)
  endif()
endmacro()

function(archiwin_add_test name)
  cmake_parse_arguments(T "SEALED;STANDARD_USER" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} archiwin_test_main ${ARCHIWIN_GTEST_LIBS})
  if(WIN32)
    set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF)
  endif()
  if((T_SEALED OR T_STANDARD_USER) AND NOT WIN32)
    message(FATAL_ERROR "${name}: SEALED and STANDARD_USER are for Windows tests")
  endif()
  if(T_SEALED)
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-sealed $<TARGET_FILE:${name}> --gtest_brief=1)
  elseif(T_STANDARD_USER)
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-standard-user $<TARGET_FILE:${name}> --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  else()
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
