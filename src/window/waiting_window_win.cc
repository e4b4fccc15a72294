// The waiting window and the error box on Windows, drawn with Win32 itself
// (user32 and gdi32): the window functions (window_module.h) are built into
// the program, as the system's window libraries are always there to load.
#include "window/waiting_window.h"

#include <windows.h>

#include <memory>
#include <string>

#include "base/utf16_win.h"
#include "window/window_module.h"

namespace scenario {

namespace {

constexpr wchar_t kWindowClass[] = L"ScenarioWaitingWindow";

// A fixed-size form: a caption with the system menu, minimize and close
// buttons, no sizing border and no maximize button.
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The label's face: the first of these that is installed, all with
// Helvetica's widths (Windows has Arial; Wine has whatever the host's
// fontconfig has). At 32 pixels bold, "Attendere" is about 150 pixels wide
// in any of them and fits the label's 177; without any of them the font
// mapper's sans serif choice may overhang the label's box and be clipped.
constexpr const wchar_t* kLabelFaces[] = {L"Arial", L"Liberation Sans",
                                          L"Nimbus Sans"};

// What one open window owns: the window, and the label's font from before
// its first paint until it is destroyed.
struct Win32Window {
  HWND hwnd = nullptr;
  HFONT font = nullptr;
};

// A bold font of the label's size in face. A negative height asks for the
// em height in pixels: 32 pixels is 24 points at 96 dots an inch.
HFONT LabelFont(const wchar_t* face) {
  return ::CreateFontW(-kWaitingLabelFontPixels, 0, 0, 0, FW_BOLD, FALSE, FALSE,
                       FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       VARIABLE_PITCH | FF_SWISS, face);
}

// The label's font in the first of kLabelFaces that the font mapper really
// gives (it answers any name with some face); the first face's font when
// none is there. May be null, and then the system font draws the label.
HFONT ChooseLabelFont() {
  const HDC screen = ::GetDC(nullptr);
  HFONT chosen = nullptr;
  for (const wchar_t* face : kLabelFaces) {
    const HFONT font = LabelFont(face);
    if (font == nullptr || screen == nullptr) {
      chosen = font;
      break;
    }
    const HGDIOBJ old = ::SelectObject(screen, font);
    wchar_t given[LF_FACESIZE] = L"";
    ::GetTextFaceW(screen, LF_FACESIZE, given);
    ::SelectObject(screen, old);
    if (::lstrcmpiW(given, face) == 0) {
      chosen = font;
      break;
    }
    ::DeleteObject(font);
  }
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return chosen != nullptr ? chosen : LabelFont(kLabelFaces[0]);
}

void PaintLabel(HWND hwnd, HDC dc) {
  const auto* window = reinterpret_cast<const Win32Window*>(
      ::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  RECT label = {kWaitingLabelX, kWaitingLabelY,
                kWaitingLabelX + kWaitingLabelWidth,
                kWaitingLabelY + kWaitingLabelHeight};
  const std::wstring text = WideFromUtf8(kWaitingLabel);
  const HGDIOBJ old_font = window != nullptr && window->font != nullptr
                               ? ::SelectObject(dc, window->font)
                               : nullptr;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  // Top left, clipped to the label's box, as a label of a form draws.
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  if (old_font != nullptr) ::SelectObject(dc, old_font);
}

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wparam,
                                 LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(hwnd, &paint);
      if (dc != nullptr) PaintLabel(hwnd, dc);
      ::EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_CLOSE:
      // The run owns the window's life: it only asks the user to wait, and
      // closing it would not stop the run.
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, message, wparam, lparam);
}

// Registers the window class once per process; false when it cannot be.
bool RegisterWindowClass() {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  return ::RegisterClassExW(&window_class) != 0 ||
         ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// True when this process's window station shows windows to a user: a
// service or a task that runs whether anyone is logged on or not has a
// station of its own that nobody sees.
bool OnVisibleWindowStation() {
  USEROBJECTFLAGS flags{};
  const HWINSTA station = ::GetProcessWindowStation();
  return station != nullptr &&
         ::GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags,
                                     nullptr) != 0 &&
         (flags.dwFlags & WSF_VISIBLE) != 0;
}

// Handles what is queued for this thread's windows without waiting.
void DrainMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

// The outer size of a window with the given client size, centred on the
// primary monitor's work area (the screen less the task bar).
RECT CentredFrame(int client_width, int client_height) {
  RECT frame = {0, 0, client_width, client_height};
  ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  RECT work{};
  if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) == 0) {
    work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN),
            ::GetSystemMetrics(SM_CYSCREEN)};
  }
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = work.left + (work.right - work.left - width) / 2;
  const int top = work.top + (work.bottom - work.top - height) / 2;
  return {left, top, left + width, top + height};
}

void* Open() {
  if (!OnVisibleWindowStation() || !RegisterWindowClass()) return nullptr;
  auto window = std::make_unique<Win32Window>();
  const RECT frame = CentredFrame(kWaitingWindowWidth, kWaitingWindowHeight);
  // Without a desktop to show it on (no display under Wine) the window is
  // not made, and the run goes on headless.
  window->hwnd = ::CreateWindowExW(
      0, kWindowClass, WideFromUtf8(kWaitingWindowTitle).c_str(), kWindowStyle,
      frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
      nullptr, nullptr, ::GetModuleHandleW(nullptr), window.get());
  if (window->hwnd == nullptr) return nullptr;
  // Chosen once there is a desktop to ask; the first paint is below.
  window->font = ChooseLabelFont();
  ::ShowWindow(window->hwnd, SW_SHOWNORMAL);
  // The stages run on this thread and serve no messages: paint now (a sent
  // WM_PAINT), handle what showing the window queued, and make sure the
  // drawing has left this process before the first stage starts.
  ::UpdateWindow(window->hwnd);
  DrainMessages();
  ::GdiFlush();
  return window.release();
}

void Close(void* handle) {
  std::unique_ptr<Win32Window> window(static_cast<Win32Window*>(handle));
  ::DestroyWindow(window->hwnd);
  DrainMessages();
  if (window->font != nullptr) ::DeleteObject(window->font);
}

void ShowErrorBox(void* handle, const std::string& text) {
  const auto* window = static_cast<const Win32Window*>(handle);
  // One OK button and no icon (MB_OK alone); modal over the waiting
  // window. Return, Escape and the close button close it as OK does.
  ::MessageBoxW(window->hwnd, WideFromUtf8(text).c_str(),
                WideFromUtf8(kApplicationTitle).c_str(),
                MB_OK | MB_SETFOREGROUND);
}

constexpr WindowModule kWin32Window = {Open, ShowErrorBox, Close};

}  // namespace

Status WaitingWindow::TryOpen(std::unique_ptr<WaitingWindow>* window) {
  window->reset();
  void* handle = kWin32Window.open();
  if (handle != nullptr) window->reset(new WaitingWindow(kWin32Window, handle));
  return Status::Ok();
}

}  // namespace scenario
