// Opening the window where X may be there: the window module is loaded
// only when a display is named.
#include "window/waiting_window.h"

#include <cstdlib>

#include "base/shared_module.h"
#include "window/window_module.h"

namespace scenario {

Status WaitingWindow::TryOpen(std::unique_ptr<WaitingWindow>* window) {
  window->reset();
  // Without a display name there is nothing to connect to: the window
  // system's libraries are not even loaded.
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return Status::Ok();

  void* entry = nullptr;
  Status status =
      LoadSharedModule(kWindowModuleFile, kWindowModuleEntry, &entry);
  if (!status.ok()) return status;
  const WindowModule& module = *reinterpret_cast<WindowModuleEntry>(entry)();
  void* handle = module.open();
  if (handle != nullptr) window->reset(new WaitingWindow(module, handle));
  return Status::Ok();
}

}  // namespace scenario
