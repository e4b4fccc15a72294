# The tests of a Windows build (the windows preset) run under Wine, which
# CMake puts before each test command (CMAKE_CROSSCOMPILING_EMULATOR). What
# cannot run there yet is left out here, and only here:
#
# Test sources left out of the Windows test programs, by file name:
set(SCENARIO_WINDOWS_LEFT_OUT_TEST_SOURCES
  # The editor that drives the language server in its test is Linux's.
  neovim_client_test.cc
  # FIFOs and devices are POSIX's.
  hostile_inputs_end_to_end_test.cc
  # They check SVG with libxml2, which has no Windows build here.
  svg_builder_test.cc
  scenario_sheet_test.cc
  sheet_panels_test.cc
  scenario_files_test.cc
  notepadpp_language_test.cc
)
# Whole test programs left out (each folder says so beside its own):
# raster_tests (the librsvg module) and fuzz_tests (libxml2). window_tests
# has a Windows form of its own (waiting_window_win_test.cc), whose window
# cases run under a virtual X display (scripts/run-under-xvfb.sh).
#
# GoogleTest cases left out of the test programs that run, as filters:
set(SCENARIO_WINDOWS_LEFT_OUT_TEST_CASES
  # The modules beside the executable (the Linux window, the rasteriser)
  # and the Linux loader's list of libraries.
  ProgramModules.*
  # A folder that a watch holds open is removed by Wine only once the watch
  # lets it go, and nothing tells of its removal before (Windows takes its
  # name away at once).
  FileWatch.FollowsTheFilesWhenTheirFolderIsRemovedAndMadeAgain
  WatchEndToEnd.WaitsForItsFolderToComeBackAndCompilesAgain
  # Wine tells of one write in more than one read, the last one maybe
  # later, so no test can know that all the events of a write have come.
  FileWatch.ReportsChangesToTheWatchedFilesOnly
  # FIFOs are POSIX's.
  LspEndToEndLineFile.NotANormalFileIsNamedAtOnce
  # Symbolic links, which Windows makes only with a privilege.
  ListPackFiles.FollowsNoLinkOnRealFolders
)

# Removes from the list named by sources_var the sources left out above.
function(scenario_windows_test_sources sources_var)
  if(WIN32)
    set(kept)
    foreach(source IN LISTS ${sources_var})
      get_filename_component(file_name ${source} NAME)
      if(NOT file_name IN_LIST SCENARIO_WINDOWS_LEFT_OUT_TEST_SOURCES)
        list(APPEND kept ${source})
      endif()
    endforeach()
    set(${sources_var} ${kept} PARENT_SCOPE)
  endif()
endfunction()

if(WIN32 AND BUILD_TESTING AND CMAKE_CROSSCOMPILING)
  if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    message(FATAL_ERROR "the Windows tests run under Wine, which is not "
            "installed (Debian: wine64)")
  endif()
  # Wine's server, which the window's test waits for (the program that
  # ends a prefix's session, beside Wine itself).
  get_filename_component(scenario_wine_dir ${CMAKE_CROSSCOMPILING_EMULATOR}
                         DIRECTORY)
  find_program(SCENARIO_WINESERVER NAMES wineserver
               HINTS ${scenario_wine_dir} REQUIRED
               DOC "Wine's server (Debian: wine64)")
  # Wine keeps its own Windows installation (a prefix) in the build tree,
  # made by the first test; the others wait for it.
  set(SCENARIO_WINE_ENVIRONMENT
      "WINEPREFIX=${PROJECT_BINARY_DIR}/wine-prefix" "WINEDEBUG=-all")
  add_test(NAME wine.prefix
           COMMAND ${CMAKE_COMMAND} -E env ${SCENARIO_WINE_ENVIRONMENT}
                   ${CMAKE_CROSSCOMPILING_EMULATOR} cmd /c exit 0)
  set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine
                       LABELS scripts)
endif()

# On Windows, scenario_discover_tests's counterpart: every Wine start
# costs, so each program runs once per label with a filter, as one ctest
# test named TARGET.LABEL, instead of once per case.
#
#   scenario_windows_add_tests(TARGET LABEL FILTER)
function(scenario_windows_add_tests target label filter)
  list(JOIN SCENARIO_WINDOWS_LEFT_OUT_TEST_CASES ":" left_out)
  if(filter MATCHES "-")
    set(filter "${filter}:${left_out}")
  else()
    set(filter "${filter}-${left_out}")
  endif()
  set(command ${target} --gtest_filter=${filter} --gtest_brief=1)
  set(environment "${SCENARIO_WINE_ENVIRONMENT}")
  if(label STREQUAL "display" AND CMAKE_CROSSCOMPILING)
    # Wine shows the windows on an X display: a virtual one of the test's
    # own, started and stopped around it. Wine ties a desktop to the
    # display of the program that first uses it, and the other tests use
    # the shared prefix's desktop without any display (and end its session
    # at any time), so these cases have a prefix of their own (made by
    # their first run).
    # The server stops once that prefix's Wine processes, its clients,
    # have ended (wineserver -w).
    set(command ${PROJECT_SOURCE_DIR}/scripts/run-under-xvfb.sh
                --then ${SCENARIO_WINESERVER} -w --
                ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}>
                --gtest_filter=${filter} --gtest_brief=1)
    set(environment
        "WINEPREFIX=${PROJECT_BINARY_DIR}/wine-prefix-display" "WINEDEBUG=-all")
  endif()
  add_test(NAME ${target}.${label} COMMAND ${command})
  set_tests_properties(${target}.${label} PROPERTIES LABELS ${label})
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${target}.${label} PROPERTIES
      FIXTURES_REQUIRED wine ENVIRONMENT "${environment}")
  endif()
endfunction()
