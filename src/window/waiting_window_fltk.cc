// The window module: the waiting window and the error box, drawn with
// FLTK. Built as a shared module of its own (window_module.h).

// The project's headers come first, out of the usual order: Xlib, which
// the FLTK headers include, defines macros (Status, None, Bool) that would
// clash with their names.
// clang-format off
#include "window/waiting_window.h"
#include "window/window_module.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
// clang-format on

#include <algorithm>
#include <memory>
#include <string>

namespace scenario {

namespace {

// Bold Helvetica, through fontconfig: Nimbus Sans, Liberation Sans or
// Arial, whichever is installed. At 32 pixels "Attendere" is about 150
// pixels wide there and fits the label's 177; FLTK's plain "sans" face is
// DejaVu Sans on most systems, whose bold runs 183 pixels wide. Without any
// of these fonts fontconfig falls back to that face and the word overhangs
// the label's box a little, still well inside the window.
constexpr Fl_Font kLabelFont = FL_FREE_FONT;
constexpr char kLabelFontName[] = "BHelvetica";  // leading B: bold

// The error box: a plain text line above a centred OK button.
constexpr int kBoxMargin = 16;
constexpr int kBoxTextPixels = 14;
constexpr int kBoxMinTextWidth = 180;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;

// FLTK draws "@..." in a label as a symbol; "@@" is a plain "@".
std::string PlainLabel(const std::string& text) {
  std::string label;
  for (const char c : text) {
    label += c;
    if (c == '@') label += '@';
  }
  return label;
}

void HideWindowOf(Fl_Widget* widget, void* /*data*/) {
  widget->window()->hide();
}

void* Open() {
  // FLTK ends the program when it cannot open the display itself, so the
  // connection is opened here first and handed over only when it works.
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;
  fl_open_display(display);

  auto window = std::make_unique<Fl_Window>(
      kWaitingWindowWidth, kWaitingWindowHeight, kWaitingWindowTitle);
  window->begin();
  auto* label = new Fl_Box(kWaitingLabelX, kWaitingLabelY, kWaitingLabelWidth,
                           kWaitingLabelHeight, kWaitingLabel);
  label->box(FL_NO_BOX);
  Fl::set_font(kLabelFont, kLabelFontName);
  label->labelfont(kLabelFont);
  label->labelsize(kWaitingLabelFontPixels);
  // Top left, as a label of a form is drawn.
  label->align(FL_ALIGN_TOP | FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  window->end();
  // Fixed size: nothing to do but move or close it.
  window->size_range(kWaitingWindowWidth, kWaitingWindowHeight,
                     kWaitingWindowWidth, kWaitingWindowHeight);
  window->position((Fl::w() - kWaitingWindowWidth) / 2,
                   (Fl::h() - kWaitingWindowHeight) / 2);
  window->show();
  // The stages run on this thread and never return to the event loop:
  // wait until the window is mapped and exposed, draw it, and make sure the
  // drawing has reached the display before the first stage starts.
  window->wait_for_expose();
  Fl::flush();
  XSync(fl_display, False);
  return window.release();
}

void Close(void* handle) {
  std::unique_ptr<Fl_Window> window(static_cast<Fl_Window*>(handle));
  window->hide();
  window.reset();
  Fl::flush();
  XSync(fl_display, False);
}

void ShowErrorBox(void* /*window*/, const std::string& text) {
  const std::string label = PlainLabel(text);
  fl_font(FL_HELVETICA, kBoxTextPixels);
  int text_width = 0;
  int text_height = 0;
  fl_measure(label.c_str(), text_width, text_height, 1);
  text_width = std::max(text_width, kBoxMinTextWidth);
  const int width = text_width + 2 * kBoxMargin;
  const int height =
      kBoxMargin + text_height + kBoxMargin + kButtonHeight + kBoxMargin;

  Fl_Window box(width, height, kApplicationTitle);
  box.begin();
  auto* message = new Fl_Box(kBoxMargin, kBoxMargin, text_width, text_height);
  message->box(FL_NO_BOX);
  message->labelfont(FL_HELVETICA);
  message->labelsize(kBoxTextPixels);
  message->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE);
  message->copy_label(label.c_str());
  auto* ok = new Fl_Return_Button((width - kButtonWidth) / 2,
                                  height - kBoxMargin - kButtonHeight,
                                  kButtonWidth, kButtonHeight, "OK");
  ok->callback(HideWindowOf);
  box.end();
  box.set_modal();
  box.position((Fl::w() - width) / 2, (Fl::h() - height) / 2);
  box.show();
  // Escape and the close button hide the box as well; its answer is not
  // used.
  while (box.shown()) Fl::wait();
}

constexpr WindowModule kModule = {Open, ShowErrorBox, Close};

}  // namespace
}  // namespace scenario

// The entry point named by kWindowModuleEntry.
extern "C" const scenario::WindowModule* ScenarioWindowModule() {
  return &scenario::kModule;
}
