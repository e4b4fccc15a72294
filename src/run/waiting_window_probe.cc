// Test-only program: holds the waiting window or the error box open so
// that a test can look at it under a virtual display.
//
//   waiting_window_probe window       shows the window, prints "shown",
//                                     closes it when stdin ends; exit 0
//   waiting_window_probe error TEXT   shows the window and the error box
//                                     with TEXT; prints "closed" when the
//                                     box is closed; exit 1
//
// Either prints "headless" and exits 3 when no display opens.
#include <cstdio>
#include <cstring>
#include <memory>

#include "run/waiting_window.h"

int main(int argc, char** argv) {
  const bool window_mode = argc == 2 && std::strcmp(argv[1], "window") == 0;
  const bool error_mode = argc == 3 && std::strcmp(argv[1], "error") == 0;
  if (!window_mode && !error_mode) {
    std::fprintf(stderr, "usage: %s window | error TEXT\n", argv[0]);
    return 2;
  }
  std::unique_ptr<scenario::WaitingWindow> window =
      scenario::WaitingWindow::TryOpen();
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
  window->ShowErrorBox(argv[2]);
  std::puts("closed");
  return 1;
}
