// What the waiting window does once open, on every platform; how it is
// opened is the platform's (waiting_window_posix.cc, waiting_window_win.cc).
#include "window/waiting_window.h"

#include "window/window_module.h"

namespace scenario {

WaitingWindow::WaitingWindow(const WindowModule& module, void* handle)
    : module_(module), handle_(handle) {}

WaitingWindow::~WaitingWindow() { module_.close(handle_); }

void WaitingWindow::ShowErrorBox(const std::string& text) {
  module_.show_error_box(handle_, text);
}

}  // namespace scenario
