// Test-only program: holds the waiting window or the error box open so
// that a test can look at it under a virtual display.
//
//   waiting_window_probe window      shows the window, prints "shown" and
//                                    closes it when stdin ends; exit 0
//   waiting_window_probe error CODE  shows the window, then ends as the
//                                    compile stage's fatal error CODE
//                                    (1250 or 1251) does: the message on
//                                    stderr and in the error box; prints
//                                    "closed" once the box is closed and
//                                    exits with the run's failure status
//
// Either prints "headless" and exits 3 when no display opens, and exits 4
// with the reason on stderr when the window module cannot be loaded.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

#include "compile/compile_stage.h"
#include "run/run_sequence.h"
#include "window/waiting_window.h"

int main(int argc, char** argv) {
  const bool window_mode = argc == 2 && std::strcmp(argv[1], "window") == 0;
  const bool error_mode = argc == 3 && std::strcmp(argv[1], "error") == 0;
  if (!window_mode && !error_mode) {
    std::fprintf(stderr, "usage: %s window | error CODE\n", argv[0]);
    return 2;
  }
  std::unique_ptr<scenario::WaitingWindow> window;
  const scenario::Status status = scenario::WaitingWindow::TryOpen(&window);
  if (!status.ok()) {
    std::fprintf(stderr, "%s\n", status.message().c_str());
    return 4;
  }
  if (window == nullptr) {
    std::puts("headless");
    return 3;
  }
  if (window_mode) {
    std::puts("shown");
    std::fflush(stdout);
    // Like the run's stages, this blocks without serving the window.
    while (std::getchar() != EOF) {
    }
    return 0;
  }
  scenario::CompileResult result;
  result.end = scenario::CompileEnd::kHeaderFatal;
  result.fatal_code = std::atoi(argv[2]);
  const int end =
      scenario::ReportCompileEnd(result, 0, std::cerr, window.get());
  std::puts("closed");
  return end;
}
