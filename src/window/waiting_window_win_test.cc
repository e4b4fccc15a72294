// The Windows waiting window and error box, looked at with Win32 itself:
// the test finds the windows by title, reads their sizes, texts and pixels,
// and closes the box as a user would. It runs under Wine, which shows
// windows on an X display: the test command starts a virtual X server for
// it (scripts/run-under-xvfb.sh names it in DISPLAY). Without a display the
// window cases skip.
//
// Wine ties a desktop to the display of the program that first uses it.
// The test command gives these cases a Wine prefix of their own
// (cmake/windows_tests.cmake); they also move onto a desktop of their own,
// first used by this process with its display whatever else runs in the
// prefix, which the programs they start inherit. Those programs get the
// test's X display whatever their Windows environment says: Wine passes
// its own environment on to them.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/child_process_testing.h"
#include "base/exit_status.h"
#include "base/scoped_temp_dir.h"
#include "base/utf16_win.h"
#include "window/waiting_window.h"

namespace scenario {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr milliseconds kTimeout{15000};
constexpr DWORD kTimeoutMs = 15000;

// Text as a program writes it to a pipe or a file: Windows' C library ends
// its lines with CR LF, which the tests compare as LF.
std::string WithoutCr(std::string text) {
  std::erase(text, '\r');
  return text;
}

std::string ReadText(const std::string& path) {
  return WithoutCr(ReadWholeFile(path));
}

// The next line a probe prints, without its line end.
std::optional<std::string> ReadLineOf(ChildProcess& probe) {
  std::optional<std::string> line = probe.ReadLine(kTimeout);
  if (line) line = WithoutCr(*line);
  return line;
}

bool DisplayNamed() {
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0';
}

// The top-level window titled exactly title on this thread's desktop,
// polling until it appears; null after the timeout.
HWND FindTopWindow(const std::string& title) {
  const std::wstring wide = WideFromUtf8(title);
  const auto deadline = steady_clock::now() + kTimeout;
  while (steady_clock::now() < deadline) {
    if (HWND hwnd = ::FindWindowW(nullptr, wide.c_str())) return hwnd;
    std::this_thread::sleep_for(milliseconds(50));
  }
  return nullptr;
}

std::string TextOf(HWND hwnd) {
  wchar_t text[256] = L"";
  ::GetWindowTextW(hwnd, text, 256);
  return Utf8FromWide(text);
}

// The client area's pixels, read from the screen: what the window has
// painted and handed to the display.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;

  int Channel(int x, int y, int c) const {
    const COLORREF p = pixels[static_cast<std::size_t>(y * width + x)];
    return c == 0 ? GetRValue(p) : c == 1 ? GetGValue(p) : GetBValue(p);
  }
  bool Dark(int x, int y) const {
    return Channel(x, y, 0) < 100 && Channel(x, y, 1) < 100 &&
           Channel(x, y, 2) < 100;
  }
  bool AnyDark() const {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (Dark(x, y)) return true;
      }
    }
    return false;
  }
};

Image ScreenshotOfClient(HWND hwnd) {
  RECT client{};
  ::GetClientRect(hwnd, &client);
  POINT origin{0, 0};
  ::ClientToScreen(hwnd, &origin);
  Image image;
  image.width = client.right;
  image.height = client.bottom;
  const HDC screen = ::GetDC(nullptr);
  const HDC memory = ::CreateCompatibleDC(screen);
  const HBITMAP bitmap =
      ::CreateCompatibleBitmap(screen, image.width, image.height);
  const HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, image.width, image.height, screen, origin.x, origin.y,
           SRCCOPY);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      image.pixels.push_back(::GetPixel(memory, x, y));
    }
  }
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return image;
}

// The children of a message box, as the tests look at them.
struct BoxChild {
  HWND hwnd;
  std::string class_name;
  std::string text;
  LONG style;
};

std::vector<BoxChild> VisibleChildren(HWND box) {
  std::vector<BoxChild> children;
  for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(child)) continue;
    wchar_t class_name[64] = L"";
    ::GetClassNameW(child, class_name, 64);
    children.push_back({child, Utf8FromWide(class_name), TextOf(child),
                        ::GetWindowLongW(child, GWL_STYLE)});
  }
  return children;
}

// The visible children of a box once it has shown itself with a button:
// the box's window exists a moment before its controls do.
std::vector<BoxChild> ChildrenOnceShown(HWND box) {
  const auto deadline = steady_clock::now() + kTimeout;
  std::vector<BoxChild> children;
  while (steady_clock::now() < deadline) {
    children = VisibleChildren(box);
    if (::IsWindowVisible(box) &&
        std::any_of(children.begin(), children.end(), [](const BoxChild& c) {
          return c.class_name == "Button";
        })) {
      break;
    }
    std::this_thread::sleep_for(milliseconds(50));
  }
  return children;
}

class WaitingWindowOnADesktop : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!DisplayNamed()) return;
    previous_ = ::GetThreadDesktop(::GetCurrentThreadId());
    const std::wstring name =
        L"ScenarioWindowTest" + std::to_wstring(::GetCurrentProcessId());
    desktop_ = ::CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL,
                                nullptr);
    if (desktop_ == nullptr || ::SetThreadDesktop(desktop_) == 0) return;
    // The desktop's first use starts its shell with this process's display;
    // it ends once nobody is left on the desktop.
    DWORD shell = 0;
    ::GetWindowThreadProcessId(::GetDesktopWindow(), &shell);
    if (shell != ::GetCurrentProcessId()) {
      shell_ = ::OpenProcess(SYNCHRONIZE, FALSE, shell);
    }
    on_own_desktop_ = true;
  }

  static void TearDownTestSuite() {
    if (on_own_desktop_) ::SetThreadDesktop(previous_);
    on_own_desktop_ = false;
    if (desktop_ != nullptr) ::CloseDesktop(desktop_);
    desktop_ = nullptr;
    // Its shell is a client of the display: let it end before the display
    // does.
    if (shell_ != nullptr) {
      ::WaitForSingleObject(shell_, kTimeoutMs);
      ::CloseHandle(shell_);
      shell_ = nullptr;
    }
  }

  void SetUp() override {
    if (!DisplayNamed()) GTEST_SKIP() << "no X display (DISPLAY) for Wine";
    ASSERT_TRUE(on_own_desktop_) << "cannot make a desktop for the test";
  }

  static std::string TempPath(const std::string& name) {
    return testing::TempDir() + name;
  }

  static inline HDESK previous_ = nullptr;
  static inline HDESK desktop_ = nullptr;
  static inline HANDLE shell_ = nullptr;
  static inline bool on_own_desktop_ = false;
};

TEST_F(WaitingWindowOnADesktop, ShowsTheLabelPaintedInAFixedWindow) {
  const std::string err = TempPath("waiting_window_probe.err");
  ChildProcess probe({WAITING_WINDOW_PROBE_EXE, "window"}, "", err);
  ASSERT_TRUE(probe.started());
  ASSERT_EQ(ReadLineOf(probe), "shown") << ReadText(err);

  const HWND window = FindTopWindow(kWaitingWindowTitle);
  ASSERT_NE(window, nullptr) << "no window titled Form1";
  RECT client{};
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, kWaitingWindowWidth);
  EXPECT_EQ(client.bottom, kWaitingWindowHeight);
  // Fixed size: no sizing border, no maximize button.
  const LONG style = ::GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << std::hex << style;

  // The probe serves no messages while it holds the window, as the run's
  // stages do: what the screen shows was painted before TryOpen returned.
  // The X server may draw what the probe sent a moment after this test
  // asks, so the screen is read again for a short while until the word
  // shows.
  Image shot = ScreenshotOfClient(window);
  const auto deadline = steady_clock::now() + milliseconds(2000);
  while (!shot.AnyDark() && steady_clock::now() < deadline) {
    std::this_thread::sleep_for(milliseconds(50));
    shot = ScreenshotOfClient(window);
  }
  ASSERT_EQ(shot.width, kWaitingWindowWidth);
  ASSERT_EQ(shot.height, kWaitingWindowHeight);
  const int left = kWaitingLabelX;
  const int top = kWaitingLabelY;
  const int right = kWaitingLabelX + kWaitingLabelWidth;  // exclusive
  const int bottom = kWaitingLabelY + kWaitingLabelHeight;
  // A light, even background everywhere outside the label's box.
  for (int c = 0; c < 3; ++c) EXPECT_GE(shot.Channel(0, 0, c), 150);
  int stray = 0;
  int dark = 0;
  int min_x = shot.width, max_x = -1, min_y = shot.height, max_y = -1;
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      const bool in_label = x >= left && x < right && y >= top && y < bottom;
      if (!in_label) {
        if (shot.pixels[static_cast<std::size_t>(y * shot.width + x)] !=
            shot.pixels[0]) {
          ++stray;
        }
        continue;
      }
      if (!shot.Dark(x, y)) continue;
      ++dark;
      min_x = std::min(min_x, x);
      max_x = std::max(max_x, x);
      min_y = std::min(min_y, y);
      max_y = std::max(max_y, y);
    }
  }
  EXPECT_EQ(stray, 0) << "pixels outside the label differ from the "
                         "background";
  // "Attendere" in bold at 32 pixels, as on Linux: a dark word 20 to 32
  // pixels high and well over 100 wide at the label's top left.
  EXPECT_GT(dark, 400);
  EXPECT_GE(max_y - min_y + 1, 20);
  EXPECT_LE(max_y - min_y + 1, 32);
  EXPECT_GE(max_x - min_x + 1, 120);
  EXPECT_LT(min_x, left + 12);
  EXPECT_LT(min_y, top + 16);

  probe.CloseInput();
  EXPECT_EQ(probe.Wait(kTimeout), 0);
  EXPECT_EQ(ReadText(err), "");
  EXPECT_EQ(::FindWindowW(nullptr, L"Form1"), nullptr)
      << "the window outlived the program";
}

// The ways a user closes the box; each ends the probe as OK does.
struct BoxCloser {
  const char* how;
  void (*close)(HWND box, HWND ok);
};

constexpr BoxCloser kBoxClosers[] = {
    {"a click on OK",
     [](HWND, HWND ok) { ::SendMessageW(ok, BM_CLICK, 0, 0); }},
    {"Return",
     [](HWND, HWND ok) { ::PostMessageW(ok, WM_KEYDOWN, VK_RETURN, 0); }},
    {"Escape",
     [](HWND, HWND ok) { ::PostMessageW(ok, WM_KEYDOWN, VK_ESCAPE, 0); }},
    {"the close button",
     [](HWND box, HWND) { ::PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
};

TEST_F(WaitingWindowOnADesktop, ErrorBoxShowsTheTextAndClosesAsOk) {
  for (const BoxCloser& closer : kBoxClosers) {
    SCOPED_TRACE(closer.how);
    const std::string err = TempPath("waiting_window_box.err");
    ChildProcess probe({WAITING_WINDOW_PROBE_EXE, "error", "1250"}, "", err);
    ASSERT_TRUE(probe.started());
    const HWND box = FindTopWindow(kApplicationTitle);
    ASSERT_NE(box, nullptr) << "no box titled " << kApplicationTitle
                            << "; stderr: " << ReadText(err);
    // Modal over the waiting window.
    const HWND window = ::FindWindowW(nullptr, L"Form1");
    EXPECT_NE(window, nullptr);
    EXPECT_EQ(::GetWindow(box, GW_OWNER), window);

    // The text, one OK button, and no icon.
    HWND ok = nullptr;
    std::vector<std::string> texts;
    for (const BoxChild& child : ChildrenOnceShown(box)) {
      if (child.class_name == "Button") {
        EXPECT_EQ(ok, nullptr) << "a second button: " << child.text;
        EXPECT_EQ(child.text, "OK");
        ok = child.hwnd;
      } else if ((child.style & SS_TYPEMASK) == SS_ICON) {
        // The box's icon place, which Wine keeps even when it is empty.
        EXPECT_EQ(::SendMessageW(child.hwnd, STM_GETICON, 0, 0), 0)
            << "an icon";
      } else if (child.class_name == "Static") {
        texts.push_back(child.text);
      }
    }
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(texts, std::vector<std::string>{" Errore n. 1250"});
    EXPECT_TRUE(probe.Running()) << "the box must wait for the user";
    // The same text is already on stderr.
    EXPECT_EQ(ReadText(err), " Errore n. 1250\n");

    closer.close(box, ok);
    EXPECT_EQ(probe.Wait(kTimeout), kExitFindings);
    EXPECT_EQ(ReadLineOf(probe), "closed");
    EXPECT_EQ(::FindWindowW(nullptr, L"Form1"), nullptr);
  }
}

// What a run of the real program did.
struct WatchedRun {
  int status = -1;
  std::string err;          // its standard error
  std::string listing;      // the files in its folder, the program aside
  int windows_made = 0;     // top-level or not, by the program's own thread
  std::string why_not_run;  // set when it could not be started
};

// The windows one thread (the program's main one) makes, as the
// out-of-context events report them: queued to this thread in the order
// they happen, so all of them are queued once the program has ended.
struct CreatedWindows {
  static inline DWORD thread = 0;
  static inline int count = 0;
};

void CALLBACK CountCreated(HWINEVENTHOOK, DWORD, HWND, LONG object, LONG,
                           DWORD thread, DWORD) {
  if (object == OBJID_WINDOW && thread == CreatedWindows::thread) {
    ++CreatedWindows::count;
  }
}

// Handles this thread's messages (the events above) until process ends or
// the timeout; then the rest. Returns its exit status, or -1.
int PumpUntilEnded(HANDLE process) {
  const auto deadline = steady_clock::now() + kTimeout;
  MSG message;
  bool ended = false;
  while (!ended && steady_clock::now() < deadline) {
    ended = ::MsgWaitForMultipleObjects(1, &process, FALSE, 100, QS_ALLINPUT) ==
            WAIT_OBJECT_0;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
      ::DispatchMessageW(&message);
    }
  }
  DWORD code = 0;
  if (ended && ::GetExitCodeProcess(process, &code) != 0) {
    return static_cast<int>(code);
  }
  ::TerminateProcess(process, 1);
  ::WaitForSingleObject(process, INFINITE);
  return -1;
}

// Runs program with args in folder, both outputs to the file err_path,
// counting the windows it makes. It starts suspended, so that the count
// begins before it can make any.
WatchedRun RunWatched(const std::string& program,
                      const std::vector<std::string>& args,
                      const std::string& folder, const std::string& err_path) {
  std::wstring command_line = L"\"" + WideFromUtf8(program) + L"\"";
  for (const std::string& arg : args) command_line += L" " + WideFromUtf8(arg);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE err =
      ::CreateFileW(WideFromUtf8(err_path).c_str(), GENERIC_WRITE,
                    FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = err;
  startup.hStdError = err;
  PROCESS_INFORMATION made{};
  WatchedRun run;
  const bool started =
      ::CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE,
                       CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr,
                       WideFromUtf8(folder).c_str(), &startup, &made) != 0;
  if (!started) run.why_not_run = WindowsErrorText(::GetLastError());
  ::CloseHandle(err);
  if (!started) return run;
  CreatedWindows::thread = made.dwThreadId;
  CreatedWindows::count = 0;
  const HWINEVENTHOOK hook = ::SetWinEventHook(
      EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, CountCreated,
      made.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
  ::ResumeThread(made.hThread);
  run.status = PumpUntilEnded(made.hProcess);
  if (hook != nullptr) ::UnhookWinEvent(hook);
  ::CloseHandle(made.hThread);
  ::CloseHandle(made.hProcess);
  run.windows_made = CreatedWindows::count;
  run.err = ReadText(err_path);
  return run;
}

// Runs a copy of the real program in a fresh folder (the built-in run
// writes beside the executable), watching the windows it makes.
WatchedRun RunProgramCopyWatched(const std::vector<std::string>& args) {
  ScopedTempDir dir;
  const std::string program = dir.File("scenario-compiler.exe");
  std::filesystem::copy_file(
      std::filesystem::u8path(std::string(SCENARIO_COMPILER_EXE)),
      std::filesystem::u8path(program));
  WatchedRun run = RunWatched(program, args, dir.path(),
                              testing::TempDir() + "waiting_window_run.err");
  std::filesystem::remove(std::filesystem::u8path(program));
  run.listing = dir.Listing();
  return run;
}

TEST_F(WaitingWindowOnADesktop, BuiltinRunShowsTheWindowUnlessTurnedOff) {
  // --no-window: the run as it is without a desktop, and it makes no
  // window at all.
  const WatchedRun headless = RunProgramCopyWatched({"--no-window"});
  ASSERT_EQ(headless.why_not_run, "");
  ASSERT_NE(headless.status, -1);
  EXPECT_EQ(headless.windows_made, 0);

  // The same run with its window: the same outcome and files.
  const WatchedRun shown = RunProgramCopyWatched({});
  EXPECT_GE(shown.windows_made, 1);
  EXPECT_EQ(shown.status, headless.status);
  EXPECT_EQ(shown.err, headless.err);
  EXPECT_EQ(shown.listing, headless.listing);
  EXPECT_EQ(::FindWindowW(nullptr, L"Form1"), nullptr)
      << "the window outlived the program";
}

TEST(WaitingWindow, HeadlessWithoutADisplay) {
  // Under Wine without an X display no window opens: no message, and the
  // program goes on.
  if (DisplayNamed()) GTEST_SKIP() << "a display is named";
  const std::string err = testing::TempDir() + "waiting_window_headless.err";
  ChildProcess probe({WAITING_WINDOW_PROBE_EXE, "window"}, "", err);
  ASSERT_TRUE(probe.started());
  EXPECT_EQ(ReadLineOf(probe), "headless");
  EXPECT_EQ(probe.Wait(kTimeout), 3);
  EXPECT_EQ(ReadText(err), "");
}

}  // namespace
}  // namespace scenario
