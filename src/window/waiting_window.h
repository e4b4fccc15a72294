#ifndef SCENARIO_WINDOW_WAITING_WINDOW_H_
#define SCENARIO_WINDOW_WAITING_WINDOW_H_

#include <memory>
#include <string>

#include "base/status.h"

namespace scenario {

struct WindowModule;

// The window's geometry, in pixels: a fixed client area with one label.
inline constexpr int kWaitingWindowWidth = 280;
inline constexpr int kWaitingWindowHeight = 179;
inline constexpr int kWaitingLabelX = 64;
inline constexpr int kWaitingLabelY = 64;
inline constexpr int kWaitingLabelWidth = 177;
inline constexpr int kWaitingLabelHeight = 53;
inline constexpr int kWaitingLabelFontPixels = 32;  // 24 points, bold
inline constexpr char kWaitingWindowTitle[] = "Form1";
inline constexpr char kWaitingLabel[] = "Attendere";

// The title of the error box: the application's own, as a system message
// box would show it.
inline constexpr char kApplicationTitle[] = "Scenario Compiler";

// The small "Attendere" (please wait) window of the built-in run, and the
// modal box of its fatal errors. This is the program's only contact with a
// window system: run control opens it and nothing else knows about it. The
// drawing lives in the window module (window_module.h): on Linux a shared
// module loaded only here, so that a program that never shows the window
// never loads the window system's libraries; on Windows, Win32 calls built
// into the program.
class WaitingWindow {
 public:
  // Opens the display, shows the window and paints it before returning:
  // the stages that follow block the event loop, so this is the window's
  // only paint. Sets *window to null, silently, when no display can be
  // opened (no DISPLAY, when the module is not even loaded, or a display
  // that refuses the connection; on Windows, a process whose window
  // station no user sees, such as a service's, or a window that cannot be
  // made, as under Wine without an X display): the run is then headless.
  // Fails, with *window null, when DISPLAY is set but the Linux window
  // module cannot be loaded; the caller may report that and go on
  // headless.
  static Status TryOpen(std::unique_ptr<WaitingWindow>* window);

  WaitingWindow(const WaitingWindow&) = delete;
  WaitingWindow& operator=(const WaitingWindow&) = delete;

  // Closes the window.
  ~WaitingWindow();

  // Shows text in a modal box with one OK button, no icon and the
  // application's title; returns when the user closes the box (OK, Return,
  // Escape or the window's close button).
  void ShowErrorBox(const std::string& text);

 private:
  WaitingWindow(const WindowModule& module, void* handle);

  const WindowModule& module_;
  void* handle_;  // the module's window, owned through module_
};

}  // namespace scenario

#endif  // SCENARIO_WINDOW_WAITING_WINDOW_H_
