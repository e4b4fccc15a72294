# The dependencies of a Windows build (cmake/mingw-w64-x86_64.cmake). Debian
# has no MinGW build of the packages the Linux build finds with pkg-config
# or CMake configs, so:
#
# - CLI11, nlohmann-json and xxHash are header-only: each of their own
#   header folders (and nothing else of the host's /usr/include, whose C
#   library headers would shadow MinGW's) is linked into host-headers/ of
#   the build tree, which the targets below put on the include path.
# - GoogleTest is built from its sources (Debian: googletest).
# - FLTK, librsvg, cairo, libxml2 and GLib have no Windows build here: the
#   window and the rasteriser have Windows forms without them
#   (src/window, src/plot), and the tests that need libxml2 are left out
#   (cmake/windows_tests.cmake).

set(SCENARIO_HOST_INCLUDE_DIR "/usr/include" CACHE PATH
    "The host's include folder that holds CLI11, nlohmann-json and xxHash")
set(scenario_host_headers ${PROJECT_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${scenario_host_headers})
foreach(header IN ITEMS CLI nlohmann xxhash.h)
  set(from ${SCENARIO_HOST_INCLUDE_DIR}/${header})
  if(NOT EXISTS ${from})
    message(FATAL_ERROR "${from} is missing: the Windows build takes CLI11, "
            "nlohmann-json and xxHash's headers from the host "
            "(Debian: libcli11-dev nlohmann-json3-dev libxxhash-dev)")
  endif()
  file(CREATE_LINK ${from} ${scenario_host_headers}/${header} SYMBOLIC)
endforeach()

# The folders' find_package(CLI11) and find_package(nlohmann_json) find
# these small configurations, which give the usual targets over
# host-headers/.
foreach(package IN ITEMS CLI11|CLI11::CLI11
                         nlohmann_json|nlohmann_json::nlohmann_json)
  string(REPLACE "|" ";" parts ${package})
  list(GET parts 0 name)
  list(GET parts 1 target)
  set(config_dir ${PROJECT_BINARY_DIR}/host-packages/${name})
  file(WRITE ${config_dir}/${name}Config.cmake
"if(NOT TARGET ${target})
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES \"${scenario_host_headers}\")
endif()
")
  file(WRITE ${config_dir}/${name}ConfigVersion.cmake
"set(PACKAGE_VERSION 99)
set(PACKAGE_VERSION_COMPATIBLE TRUE)
")
  set(${name}_DIR ${config_dir} CACHE PATH "" FORCE)
endforeach()
set(XXHASH_INCLUDE_DIR ${scenario_host_headers})

if(BUILD_TESTING)
  set(SCENARIO_GOOGLETEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH
      "GoogleTest's sources, built for Windows (Debian: googletest)")
  if(NOT EXISTS ${SCENARIO_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest's sources are not in "
            "${SCENARIO_GOOGLETEST_SOURCE_DIR} (Debian: googletest)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${SCENARIO_GOOGLETEST_SOURCE_DIR}
                   ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # GoogleTest names its targets GTest::gtest and GTest::gtest_main itself.
endif()
