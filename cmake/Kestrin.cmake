# Project-wide build helpers.

if(KESTRIN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# A fuzz build instruments every library for coverage, so libFuzzer sees the branches of
# the code under test and not only those of the fuzz entry point.
if(KESTRIN_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Warnings for our own code only (third-party headers are system headers).
set(KESTRIN_WARNINGS -Wall -Wextra -Wpedantic -Wno-unused-parameter)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND KESTRIN_WARNINGS -Wshadow=local)
  # GCC 12 reports -Wrestrict for std::string code inlined from its own headers (overlapping
  # copies it cannot prove absent); none of them is in our code, and they drown real warnings.
  if(CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12 AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    list(APPEND KESTRIN_WARNINGS -Wno-restrict)
  endif()
endif()

# Adds each listed folder; a missing one fails the configure step with its name.
function(kestrin_add_subdirectories)
  foreach(dir IN LISTS ARGN)
    add_subdirectory(${dir})
  endforeach()
endfunction()

# kestrin_target_defaults(<target>): warnings and include conventions for a project target.
function(kestrin_target_defaults target)
  target_compile_options(${target} PRIVATE ${KESTRIN_WARNINGS})
endfunction()

# kestrin_add_gtest(NAME <name> LABEL <layer> SOURCES <files...> LIBS <targets...>
#                   [DEPENDS <targets...>] [DEFINES <definitions...>])
# One GoogleTest executable; its tests are registered with CTest under the layer label,
# so `ctest -L <layer>` runs one layer alone. Tests run with the offscreen Qt platform and
# with XDG_DATA_HOME pointed into the build tree, never at the user's real folders. The tests
# of one executable share that folder, so they never run at the same time (RESOURCE_LOCK).
# DEPENDS names what the build must make before the test (program data, the program itself),
# DEFINES extra compile definitions of the test.
function(kestrin_add_gtest)
  if(NOT KESTRIN_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBS;DEPENDS;DEFINES" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  kestrin_target_defaults(${T_NAME})
  target_compile_definitions(${T_NAME} PRIVATE
    KESTRIN_TEST_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}"
    KESTRIN_PROGRAM_DIR="${KESTRIN_PROGRAM_DIR}"
    ${T_DEFINES})
  if(T_DEPENDS)
    add_dependencies(${T_NAME} ${T_DEPENDS})
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      LABELS ${T_LABEL}
      RESOURCE_LOCK ${T_NAME}
      FIXTURES_REQUIRED program_folder
      # One variable per property: gtest_discover_tests would split a ";" list apart.
      ENVIRONMENT "XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-home/${T_NAME}"
      ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORM=set:offscreen"
      TIMEOUT 300)
endfunction()

# kestrin_add_test_fixture(NAME <library> SOURCES <files...> LIBS <targets...>)
# A fixture shared by several test executables, compiled once as a static library instead of
# once in every executable that uses it.
function(kestrin_add_test_fixture)
  if(NOT KESTRIN_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${F_NAME} STATIC ${F_SOURCES})
  target_link_libraries(${F_NAME} PUBLIC ${F_LIBS} GTest::gtest GTest::gmock)
  target_compile_definitions(${F_NAME} PRIVATE KESTRIN_PROGRAM_DIR="${KESTRIN_PROGRAM_DIR}")
  kestrin_target_defaults(${F_NAME})
endfunction()

# kestrin_add_bench(NAME <name> SOURCES <files...> LIBS <targets...> [DEPENDS <targets...>])
function(kestrin_add_bench)
  if(NOT KESTRIN_BUILD_BENCH)
    return()
  endif()
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} kestrin_bench_main)
  target_compile_definitions(${B_NAME} PRIVATE KESTRIN_PROGRAM_DIR="${KESTRIN_PROGRAM_DIR}")
  kestrin_target_defaults(${B_NAME})
  if(B_DEPENDS)
    add_dependencies(${B_NAME} ${B_DEPENDS})
  endif()
endfunction()

# kestrin_add_fuzzer(NAME <name> SOURCES <files...> LIBS <targets...> CORPUS <dir>)
# The fuzz entry point LLVMFuzzerTestOneInput is always built: with clang and
# KESTRIN_BUILD_FUZZ as a libFuzzer program, otherwise linked with a small driver that
# feeds every file of the seed corpus through it, registered as a regression test.
function(kestrin_add_fuzzer)
  cmake_parse_arguments(F "" "NAME;CORPUS;LABEL" "SOURCES;LIBS" ${ARGN})
  if(KESTRIN_BUILD_FUZZ)
    add_executable(${F_NAME} ${F_SOURCES})
    target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
    file(WRITE ${CMAKE_BINARY_DIR}/fuzz-corpus/${F_NAME} "${F_CORPUS}")
  elseif(KESTRIN_BUILD_TESTS)
    add_executable(${F_NAME}_replay ${F_SOURCES} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_link_libraries(${F_NAME}_replay PRIVATE ${F_LIBS})
    add_test(NAME ${F_NAME}_replay COMMAND ${F_NAME}_replay ${F_CORPUS})
    set_tests_properties(${F_NAME}_replay PROPERTIES LABELS "${F_LABEL}" FIXTURES_REQUIRED program_folder
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-home/${F_NAME}")
  endif()
endfunction()

# The project's one version, from project(Kestrin VERSION ...): the generated header
# kestrin_version.h (include it as "kestrin_version.h": kestrin::kVersion, kVersionText,
# kVersionMajor, kVersionMinor, kVersionPatch, kProgramName) and an ELF note with the version
# text that every shipped program and library carries.
set(KESTRIN_PROGRAM_NAME vexon)
# The version as the program shows it: the major version, ".", the minor in two digits.
if(PROJECT_VERSION_MINOR LESS 10)
  set(KESTRIN_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR}")
else()
  set(KESTRIN_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/kestrin_version.h.in
  ${CMAKE_BINARY_DIR}/generated/kestrin_version.h @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/version_note.cpp.in
  ${CMAKE_BINARY_DIR}/generated/version_note.cpp @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)
add_library(kestrin_version_note OBJECT ${CMAKE_BINARY_DIR}/generated/version_note.cpp)

# kestrin_export_only_marked(<target>): a shared library whose symbols are hidden unless its
# headers mark them with <TARGET>_EXPORT, from the generated header <target>_export.h
# (include it as "<target>_export.h"). Inline functions are hidden too: every user compiles
# its own copy.
include(GenerateExportHeader)
function(kestrin_export_only_marked target)
  set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  generate_export_header(${target} EXPORT_FILE_NAME ${CMAKE_BINARY_DIR}/generated/${target}_export.h)
endfunction()

# kestrin_ship(<target>...): marks programs and shared libraries as part of the installation.
# Each gets the version note; a shared library also gets VERSION and SOVERSION (its file is
# lib<name>.so.<version>, found through lib<name>.so.<major>). The list of shipped targets
# (global property KESTRIN_SHIPPED_TARGETS) feeds the SETUP.CRC of the program folder, and
# each is installed into the program folder (a program also gets its link in bin/).
function(kestrin_ship)
  foreach(t IN LISTS ARGN)
    get_target_property(_type ${t} TYPE)
    if(_type STREQUAL "SHARED_LIBRARY")
      set_target_properties(${t} PROPERTIES
        VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
      install(TARGETS ${t} LIBRARY DESTINATION ${KESTRIN_INSTALL_PROGRAM_DIR} NAMELINK_SKIP)
    else()
      install(TARGETS ${t} RUNTIME DESTINATION ${KESTRIN_INSTALL_PROGRAM_DIR})
      install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
        file(CREATE_LINK ../${KESTRIN_INSTALL_PROGRAM_DIR}/${t}
             \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${t}\" SYMBOLIC)")
    endif()
    target_sources(${t} PRIVATE $<TARGET_OBJECTS:kestrin_version_note>)
    set_property(GLOBAL APPEND PROPERTY KESTRIN_SHIPPED_TARGETS ${t})
  endforeach()
endfunction()
