# Flags, platform switches and helpers shared by every target of the tree.

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

option(VK_BUILD_TESTS "Build the unit and end-to-end tests" ON)
option(VK_BUILD_BENCH "Build the Google Benchmark programs" OFF)
option(VK_BUILD_FUZZERS "Build the libFuzzer targets (clang only)" OFF)
set(VK_SANITIZE "" CACHE STRING "Sanitizers for the native build: address,undefined or thread")
set(VK_DIST_NAME "" CACHE STRING "Folder under dist/ that receives the deliverables (empty: none)")

if(WIN32)
  set(VK_PLATFORM win32)
else()
  set(VK_PLATFORM posix)
endif()

# Identical arithmetic on every target: no contraction into fused multiply-add,
# no fast-math, and SSE2 (not x87) for the 32-bit build.
set(VK_WARNINGS -Wall -Wextra -Werror)
add_compile_options(-ffp-contract=off -fno-fast-math)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_compile_options(-msse2 -mfpmath=sse)
endif()

if(MINGW)
  # Ship only what imports Windows system DLLs: libgcc, libstdc++ and
  # winpthread go in statically (the -static-lib* switches alone still pull
  # in libwinpthread-1.dll).
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

if(VK_SANITIZE)
  add_compile_options(-fsanitize=${VK_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${VK_SANITIZE})
endif()

if(CMAKE_CROSSCOMPILING AND WIN32)
  # Tests and tools of the Windows builds run under Wine, in a prefix private
  # to this build folder.
  set(VK_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  math(EXPR VK_WINE_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
  configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in" "${CMAKE_BINARY_DIR}/wine-run" @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run")
  set(VK_RUN "${CMAKE_BINARY_DIR}/wine-run")
else()
  set(VK_RUN "")
endif()

# vk_add_children(DIR [EXCEPT name...])
# Adds every child folder of DIR, in name order. Each one must have a
# CMakeLists.txt, so a folder of tests or tools can never drop out of the
# build unnoticed. Folders named after EXCEPT are not added here (code shared
# by the others, or a folder added under an option of its own); they must
# exist.
function(vk_add_children dir)
  cmake_parse_arguments(C "" "" "EXCEPT" ${ARGN})
  set(base "${CMAKE_CURRENT_SOURCE_DIR}/${dir}")
  foreach(except IN LISTS C_EXCEPT)
    if(NOT IS_DIRECTORY "${base}/${except}")
      message(FATAL_ERROR "${dir}/${except}: folder named after EXCEPT in vk_add_children is missing")
    endif()
  endforeach()
  file(GLOB children LIST_DIRECTORIES true RELATIVE "${base}" "${base}/*")
  list(SORT children)
  foreach(child IN LISTS children)
    if(NOT IS_DIRECTORY "${base}/${child}" OR child MATCHES "^\\." OR child IN_LIST C_EXCEPT)
      continue()
    endif()
    if(NOT EXISTS "${base}/${child}/CMakeLists.txt")
      message(FATAL_ERROR "${dir}/${child} has no CMakeLists.txt: give it one, or name it after "
                          "EXCEPT in the vk_add_children(${dir}) call")
    endif()
    add_subdirectory("${base}/${child}")
  endforeach()
endfunction()

# Warnings as errors on our own targets (third-party code keeps its own flags).
function(vk_target_warnings target)
  target_compile_options(${target} PRIVATE ${VK_WARNINGS})
endfunction()

# Copies a built target into dist/<VK_DIST_NAME>/ after each build.
function(vk_dist target)
  if(VK_DIST_NAME)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory "${PROJECT_SOURCE_DIR}/dist/${VK_DIST_NAME}"
      COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:${target}>" "${PROJECT_SOURCE_DIR}/dist/${VK_DIST_NAME}/"
      VERBATIM)
  endif()
endfunction()

if(VK_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(CTest)
  if(CMAKE_CROSSCOMPILING AND WIN32)
    # One wineserver for the whole run, started detached from CTest's output
    # pipe so that each test costs milliseconds instead of seconds.
    add_test(NAME wine.start COMMAND "${CMAKE_BINARY_DIR}/wine-run" --start-server)
    set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine)
    add_test(NAME wine.stop COMMAND "${CMAKE_BINARY_DIR}/wine-run" --stop-server)
    set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine)
  endif()
endif()

# vk_add_gtest(NAME name SOURCES ... [LIBS ...] [LABELS ...] [TIMEOUT s])
# A GoogleTest executable registered as one CTest test; the Windows builds run
# it under Wine.
function(vk_add_gtest)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  vk_target_warnings(${T_NAME})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  # Test doubles shared by every test folder.
  target_include_directories(${T_NAME} PRIVATE "${PROJECT_SOURCE_DIR}/tests/support")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "unit;${T_LABELS}")
  if(CMAKE_CROSSCOMPILING AND WIN32)
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wine)
  endif()
endfunction()

# vk_add_optional_test(NAME name NEEDS program... COMMAND command...)
# A test that needs programs a machine may lack. Without them the test is
# still registered: it reports itself skipped (return code 77) and names what
# is missing, and scripts/test.sh lists it by name in its summary, so a green
# run never hides it. COMMAND finds the programs along PATH.
function(vk_add_optional_test)
  cmake_parse_arguments(T "" "NAME" "NEEDS;COMMAND" ${ARGN})
  set(missing "")
  foreach(program IN LISTS T_NEEDS)
    string(MAKE_C_IDENTIFIER "VK_PROGRAM_${program}" var)
    find_program(${var} ${program})
    if(NOT ${var})
      list(APPEND missing ${program})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing ", " missing)
    add_test(NAME ${T_NAME} COMMAND sh -c "echo '${T_NAME} skipped: ${missing} not found'; exit 77")
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
  endif()
  set_tests_properties(${T_NAME} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()

# Marks a test added with add_test() as one that needs the Wine fixture on the
# Windows builds.
function(vk_wine_test name)
  if(CMAKE_CROSSCOMPILING AND WIN32)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine)
  endif()
endfunction()
