#ifndef SCENARIO_WINDOW_WINDOW_MODULE_H_
#define SCENARIO_WINDOW_WINDOW_MODULE_H_

// The window module: the functions that draw the waiting window and the
// error box, behind WaitingWindow. On Linux they are a shared module beside
// the executable, drawn with FLTK and Xlib, which only WaitingWindow loads;
// the module and the program are built together from these sources, and a
// module of another build is not supported. On Windows they are built into
// the program and drawn with Win32 (waiting_window_win.cc): the system's
// window libraries are always there.

#include <string>

namespace scenario {

// The Linux module's file and entry point.
inline constexpr char kWindowModuleFile[] = "scenario-window.so";
inline constexpr char kWindowModuleEntry[] = "ScenarioWindowModule";

// What the module does, as plain functions over an opaque window.
struct WindowModule {
  // Opens the display, shows the waiting window and paints it; nullptr
  // when no display opens (or, on Windows, no desktop shows the window).
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
