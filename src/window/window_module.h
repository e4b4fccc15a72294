#ifndef SCENARIO_WINDOW_WINDOW_MODULE_H_
#define SCENARIO_WINDOW_WINDOW_MODULE_H_

// The window module: a shared module beside the executable that draws the
// waiting window and the error box with FLTK and Xlib. Only WaitingWindow
// loads it. The module and the program are built together from these
// sources; a module of another build is not supported.

#include <string>

namespace scenario {

inline constexpr char kWindowModuleFile[] = "scenario-window.so";
inline constexpr char kWindowModuleEntry[] = "ScenarioWindowModule";

// What the module does, as plain functions over an opaque window.
struct WindowModule {
  // Opens the display, shows the waiting window and paints it; nullptr
  // when no display opens.
  void* (*open)();
  // The modal error box over the window; returns once it is closed.
  void (*show_error_box)(void* window, const std::string& text);
  // Closes and frees the window.
  void (*close)(void* window);
};

// The type of the module's entry point, kWindowModuleEntry.
using WindowModuleEntry = const WindowModule* (*)();

}  // namespace scenario

#endif  // SCENARIO_WINDOW_WINDOW_MODULE_H_
