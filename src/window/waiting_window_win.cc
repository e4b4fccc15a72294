// On Windows the built-in run shows no window yet: it always runs as with
// --no-window, and the header check's message goes to standard error only.
#include "window/waiting_window.h"

#include "window/window_module.h"

namespace scenario {

Status WaitingWindow::TryOpen(std::unique_ptr<WaitingWindow>* window) {
  window->reset();
  return Status::Ok();
}

WaitingWindow::WaitingWindow(const WindowModule& module, void* handle)
    : module_(module), handle_(handle) {}

WaitingWindow::~WaitingWindow() { module_.close(handle_); }

void WaitingWindow::ShowErrorBox(const std::string& text) {
  module_.show_error_box(handle_, text);
}

}  // namespace scenario
