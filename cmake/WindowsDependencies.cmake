# What a Windows cross-build takes from the build machine.
set(STRATIVUE_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's googletest package)")
if(NOT EXISTS ${STRATIVUE_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${STRATIVUE_GOOGLETEST_SOURCE} (apt install googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# GoogleTest is not ours: our warnings-as-errors are not imposed on it. Its
# own CMake files name the targets GTest::gtest, GTest::gtest_main, ...
add_subdirectory(${STRATIVUE_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(target gtest gtest_main gmock gmock_main)
  target_compile_options(${target} PRIVATE -Wno-error)
endforeach()

function(strativue_header_only_library target folder)
  set(copy ${CMAKE_BINARY_DIR}/header-only/${target})
  file(COPY /usr/include/${folder} DESTINATION ${copy})
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${copy})
endfunction()
strativue_header_only_library(nlohmann_json::nlohmann_json nlohmann)
strativue_header_only_library(CLI11::CLI11 CLI)
