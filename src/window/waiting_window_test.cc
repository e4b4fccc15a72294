#include "window/waiting_window.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/child_process_testing.h"
#include "base/exit_status.h"
#include "base/scoped_temp_dir.h"
#include "run/run_sequence.h"
#include "window/window_module.h"

// The window and the box are checked under a virtual X server (Xvfb), with
// the X tools the test set-up installs: xdotool finds windows and presses
// keys, xwininfo reads their geometry, ImageMagick's import takes the
// screenshots and xev reports the windows the real program creates. Only a
// server that cannot start skips these tests.

namespace scenario {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr milliseconds kTimeout{15000};

// The display a child is given: "" starts it without DISPLAY.
std::vector<EnvironmentChange> OnDisplay(const std::string& display) {
  if (display.empty()) return {{"DISPLAY", std::nullopt}};
  return {{"DISPLAY", display}};
}

// A virtual X server on a display number it picks itself and writes to
// its standard output (-displayfd 1), so that parallel test runs never
// collide.
class Xvfb {
 public:
  static std::unique_ptr<Xvfb> Start() {
    // -noreset: a server resets when its last client leaves and refuses
    // connections meanwhile; each probe is such a last client.
    auto server = std::unique_ptr<Xvfb>(
        new Xvfb({"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                  "-nolisten", "tcp", "-noreset"}));
    const std::optional<std::string> number = server->child_.ReadLine(kTimeout);
    if (!number || number->empty()) return nullptr;
    server->display_ = ":" + *number;
    return server;
  }

  ~Xvfb() {
    child_.Signal(SIGTERM);
    child_.Wait(kTimeout);
  }

  const std::string& display() const { return display_; }

 private:
  explicit Xvfb(const std::vector<std::string>& argv)
      : child_(argv, "", "/dev/null") {}

  ChildProcess child_;
  std::string display_;
};

// Runs a program on display to its end.
ChildRun RunOn(const std::string& display,
               const std::vector<std::string>& argv) {
  return RunChild(argv, "", OnDisplay(display), kTimeout);
}

// An RGB screenshot read from a binary PPM (P6, 8 bits a sample).
struct Image {
  int width = 0;
  int height = 0;
  std::string rgb;

  int Channel(int x, int y, int c) const {
    return static_cast<unsigned char>(rgb[(y * width + x) * 3 + c]);
  }
  bool Dark(int x, int y) const {
    return Channel(x, y, 0) < 100 && Channel(x, y, 1) < 100 &&
           Channel(x, y, 2) < 100;
  }
  bool SameAs(int x, int y, int x2, int y2) const {
    for (int c = 0; c < 3; ++c) {
      if (Channel(x, y, c) != Channel(x2, y2, c)) return false;
    }
    return true;
  }
};

std::optional<Image> ReadPpm(const std::string& path) {
  const std::string data = ReadWholeFile(path);
  std::istringstream in(data);
  std::string magic;
  Image image;
  int max_value = 0;
  if (!(in >> magic >> image.width >> image.height >> max_value)) {
    return std::nullopt;
  }
  if (magic != "P6" || max_value != 255 || image.width <= 0 ||
      image.height <= 0) {
    return std::nullopt;
  }
  const std::size_t start = static_cast<std::size_t>(in.tellg()) + 1;
  const std::size_t size = static_cast<std::size_t>(image.width) *
                           static_cast<std::size_t>(image.height) * 3;
  if (data.size() < start + size) return std::nullopt;
  image.rgb = data.substr(start, size);
  return image;
}

// Records the top-level windows created on a display (xev on the root
// window). Sync() makes sure that every event caused before it has been
// seen: it changes a property of the root window and waits for xev to
// report that change.
class WindowWatch {
 public:
  WindowWatch(const std::string& display, const std::string& stderr_path)
      : display_(display),
        xev_({"xev", "-root", "-event", "substructure", "-event", "property"},
             "", stderr_path, OnDisplay(display)) {}

  [[nodiscard]] bool Sync() {
    // Each sync has its own property name, so that a late report of an
    // earlier one is not taken for it. The change is repeated until xev
    // reports it: xev may not be listening yet at the first sync.
    ++syncs_;
    const std::string name = "_SCENARIO_TEST_SYNC_" + std::to_string(syncs_);
    const auto deadline = steady_clock::now() + kTimeout;
    while (steady_clock::now() < deadline) {
      RunOn(display_, {"xprop", "-root", "-f", name, "8s", "-set", name, "1"});
      while (const std::optional<std::string> line =
                 xev_.ReadLine(milliseconds(300))) {
        if (line->find("(" + name + ")") != std::string::npos) return true;
        if (line->find("_SCENARIO_TEST_SYNC") == std::string::npos) {
          events_ += *line + "\n";
        }
      }
    }
    return false;
  }

  // Everything reported since the last Clear().
  const std::string& events() const { return events_; }
  void Clear() { events_.clear(); }

  // True when a window of this size was created and then mapped. xev
  // reports each event as a block of lines that begins with its name and
  // the window it was reported to (the root); "window ID," on the next
  // line names the window concerned.
  bool ShownWindowOfSize(int width, int height) const {
    const std::string size =
        "width " + std::to_string(width) + ", height " + std::to_string(height);
    std::vector<std::string> created;
    std::istringstream lines(events_);
    std::string line;
    std::string block;
    bool more = true;
    while (more) {
      more = static_cast<bool>(std::getline(lines, line));
      if (more && !line.empty()) {
        block += line + "\n";
        continue;
      }
      const std::size_t at = block.find(", window ", block.find('\n'));
      if (at != std::string::npos) {
        std::string id = block.substr(at + 2);  // "window 0x...,"
        id = id.substr(0, id.find(',') + 1);
        if (block.rfind("CreateNotify", 0) == 0 &&
            block.find(size) != std::string::npos) {
          created.push_back(id);
        }
        if (block.rfind("MapNotify", 0) == 0 &&
            std::find(created.begin(), created.end(), id) != created.end()) {
          return true;
        }
      }
      block.clear();
    }
    return false;
  }

 private:
  std::string display_;
  ChildProcess xev_;
  int syncs_ = 0;
  std::string events_;
};

// What a run of the real program left behind.
struct RunRecord {
  int status = -1;
  std::string err;      // its standard error
  std::string listing;  // the files in its folder, the program aside
};

// Runs a copy of the real program in a fresh folder: the built-in run
// writes beside the executable.
RunRecord RunProgramCopy(const std::string& display,
                         const std::vector<std::string>& args) {
  ScopedTempDir dir;
  const std::string program = dir.File("scenario-compiler");
  std::filesystem::copy_file(SCENARIO_COMPILER_EXE, program);
  // The program loads the window from its own folder.
  const std::string module = dir.File(kWindowModuleFile);
  std::filesystem::copy_file(SCENARIO_WINDOW_MODULE, module);
  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), args.begin(), args.end());
  const std::string err = testing::TempDir() + "waiting_window_run.err";
  RunRecord record;
  {
    ChildProcess run(argv, "", err, OnDisplay(display));
    run.CloseInput();
    record.status = run.Wait(kTimeout);
  }
  record.err = ReadWholeFile(err);
  std::filesystem::remove(program);
  std::filesystem::remove(module);
  record.listing = dir.Listing();
  return record;
}

class WaitingWindowUnderXvfb : public testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = Xvfb::Start().release(); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }

  void SetUp() override {
    if (server_ == nullptr) GTEST_SKIP() << "Xvfb cannot start here";
    for (const char* tool : {"xdotool", "xwininfo", "import"}) {
      ASSERT_EQ(
          RunChild({"sh", "-c", std::string("command -v ") + tool}).status, 0)
          << tool << " is missing: run scripts/install-deps.sh";
    }
  }

  static std::string Display() { return server_->display(); }

  // Runs an X tool against the virtual display.
  static ChildRun X(const std::vector<std::string>& argv) {
    return RunOn(Display(), argv);
  }

  // The id of the one window titled exactly title, polling until it
  // appears; "" after the timeout.
  static std::string FindWindow(const std::string& title) {
    const auto deadline = steady_clock::now() + kTimeout;
    while (steady_clock::now() < deadline) {
      const ChildRun r = X({"xdotool", "search", "--name", "^" + title + "$"});
      std::istringstream ids(r.out);
      std::string id;
      if (r.status == 0 && (ids >> id)) return id;
      std::this_thread::sleep_for(milliseconds(100));
    }
    return "";
  }

  // The client size xwininfo reports for a window, or {-1, -1}.
  static std::pair<int, int> ClientSize(const std::string& id,
                                        std::string* info) {
    const ChildRun r = X({"xwininfo", "-id", id});
    *info = r.out;
    int width = -1;
    int height = -1;
    std::istringstream lines(r.out);
    std::string line;
    while (std::getline(lines, line)) {
      std::sscanf(line.c_str(), " Width: %d", &width);
      std::sscanf(line.c_str(), " Height: %d", &height);
    }
    return {width, height};
  }

  static std::optional<Image> Screenshot(const std::string& id) {
    const std::string path =
        testing::TempDir() + "waiting_window_" + id + ".ppm";
    if (X({"import", "-silent", "-window", id, "-depth", "8", "ppm:" + path})
            .status != 0) {
      return std::nullopt;
    }
    std::optional<Image> image = ReadPpm(path);
    std::remove(path.c_str());
    return image;
  }

  // What the probe did when its box did not show.
  static std::string BoxMissing(ChildProcess& probe, const std::string& err) {
    std::string report = std::string("no box titled ") + kApplicationTitle;
    report += "; probe output: " +
              probe.ReadLine(milliseconds(100)).value_or("(none)");
    report += "; exit status: " + std::to_string(probe.Wait(milliseconds(100)));
    report += "; stderr: " + ReadWholeFile(err);
    report += "\n" + X({"xwininfo", "-root", "-tree"}).out;
    return report;
  }

  static std::string TempPath(const std::string& name) {
    return testing::TempDir() + name;
  }

  static Xvfb* server_;
};

Xvfb* WaitingWindowUnderXvfb::server_ = nullptr;

TEST_F(WaitingWindowUnderXvfb, ShowsTheLabelPaintedInAFixedWindow) {
  const std::string err = TempPath("waiting_window_probe.err");
  ChildProcess probe({WAITING_WINDOW_PROBE_EXE, "window"}, "", err,
                     OnDisplay(Display()));
  ASSERT_TRUE(probe.started());
  ASSERT_EQ(probe.ReadLine(kTimeout), "shown");

  const std::string id = FindWindow(kWaitingWindowTitle);
  ASSERT_FALSE(id.empty()) << "no window titled Form1";
  std::string info;
  EXPECT_EQ(ClientSize(id, &info),
            std::make_pair(kWaitingWindowWidth, kWaitingWindowHeight))
      << info;

  // The probe serves no events while it holds the window, as the run's
  // stages do: what the screenshot shows was painted before TryOpen
  // returned.
  const std::optional<Image> shot = Screenshot(id);
  ASSERT_TRUE(shot.has_value());
  ASSERT_EQ(shot->width, kWaitingWindowWidth);
  ASSERT_EQ(shot->height, kWaitingWindowHeight);

  const int left = kWaitingLabelX;
  const int top = kWaitingLabelY;
  const int right = kWaitingLabelX + kWaitingLabelWidth;  // exclusive
  const int bottom = kWaitingLabelY + kWaitingLabelHeight;
  // A light, even background everywhere outside the label's box.
  for (int c = 0; c < 3; ++c) EXPECT_GE(shot->Channel(0, 0, c), 150);
  int stray = 0;
  int dark = 0;
  int min_x = shot->width, max_x = -1, min_y = shot->height, max_y = -1;
  for (int y = 0; y < shot->height; ++y) {
    for (int x = 0; x < shot->width; ++x) {
      const bool in_label = x >= left && x < right && y >= top && y < bottom;
      if (!in_label) {
        if (!shot->SameAs(x, y, 0, 0)) ++stray;
        continue;
      }
      if (!shot->Dark(x, y)) continue;
      ++dark;
      min_x = std::min(min_x, x);
      max_x = std::max(max_x, x);
      min_y = std::min(min_y, y);
      max_y = std::max(max_y, y);
    }
  }
  EXPECT_EQ(stray, 0) << "pixels outside the label differ from the "
                         "background";
  // "Attendere" in bold at 32 pixels: a dark word about 20 to 30 pixels
  // high (capitals and ascenders, no descenders) and well over 100 wide,
  // starting at the label's top left. The default 14-pixel font would be
  // half that.
  EXPECT_GT(dark, 400);
  EXPECT_GE(max_y - min_y + 1, 20);
  EXPECT_LE(max_y - min_y + 1, 32);
  EXPECT_GE(max_x - min_x + 1, 120);
  EXPECT_LT(min_x, left + 12);
  EXPECT_LT(min_y, top + 16);

  probe.CloseInput();
  EXPECT_EQ(probe.Wait(kTimeout), 0);
  EXPECT_EQ(ReadWholeFile(err), "");
  EXPECT_NE(X({"xdotool", "search", "--name", "^Form1$"}).status, 0)
      << "the window outlived the program";
}

TEST_F(WaitingWindowUnderXvfb, ErrorBoxClosesOnOkAndTheProgramEnds) {
  const std::string err = TempPath("waiting_window_box.err");
  ChildProcess probe({WAITING_WINDOW_PROBE_EXE, "error", "1250"}, "", err,
                     OnDisplay(Display()));
  ASSERT_TRUE(probe.started());

  const std::string id = FindWindow(kApplicationTitle);
  ASSERT_FALSE(id.empty()) << BoxMissing(probe, err);
  std::string info;
  const std::pair<int, int> size = ClientSize(id, &info);
  EXPECT_GE(size.first, 150) << info;
  EXPECT_GE(size.second, 60) << info;
  EXPECT_LE(size.second, 200) << info;

  // The text in the upper part, left-aligned; the OK button's caption
  // centred in the lower part; nothing else (no icon) on the left.
  const std::optional<Image> shot = Screenshot(id);
  ASSERT_TRUE(shot.has_value());
  int text_dark = 0;
  int text_min_x = shot->width;
  int button_dark = 0;
  for (int y = 0; y < shot->height; ++y) {
    for (int x = 0; x < shot->width; ++x) {
      if (!shot->Dark(x, y)) continue;
      if (y < shot->height / 2 - 8) {
        ++text_dark;
        text_min_x = std::min(text_min_x, x);
      } else if (y > shot->height / 2 && std::abs(x - shot->width / 2) < 20) {
        ++button_dark;
      }
    }
  }
  EXPECT_GT(text_dark, 60);
  EXPECT_LT(text_min_x, 40) << "the text does not start at the left";
  EXPECT_GT(button_dark, 15);
  EXPECT_TRUE(probe.Running()) << "the box must wait for the user";
  // The same text is already on stderr.
  EXPECT_EQ(ReadWholeFile(err), " Errore n. 1250\n");

  // Return presses the OK button.
  X({"xdotool", "windowfocus", "--sync", id, "key", "Return"});
  EXPECT_EQ(probe.Wait(kTimeout), kExitFindings);
  EXPECT_EQ(probe.ReadLine(kTimeout), "closed");
  EXPECT_NE(X({"xdotool", "search", "--name",
               std::string("^") + kApplicationTitle + "$"})
                .status,
            0);
}

TEST_F(WaitingWindowUnderXvfb, ErrorBoxClosesOnAClickOnOk) {
  const std::string err = TempPath("waiting_window_click.err");
  ChildProcess probe({WAITING_WINDOW_PROBE_EXE, "error", "1251"}, "", err,
                     OnDisplay(Display()));
  ASSERT_TRUE(probe.started());
  const std::string id = FindWindow(kApplicationTitle);
  ASSERT_FALSE(id.empty()) << BoxMissing(probe, err);
  std::string info;
  const std::pair<int, int> size = ClientSize(id, &info);
  // The button is centred, 16 pixels above the bottom, 26 high.
  X({"xdotool", "mousemove", "--sync", "--window", id,
     std::to_string(size.first / 2), std::to_string(size.second - 29), "click",
     "1"});
  EXPECT_EQ(probe.Wait(kTimeout), kExitFindings);
  EXPECT_EQ(ReadWholeFile(err), " Errore n. 1251\n");
}

TEST_F(WaitingWindowUnderXvfb, BuiltinRunShowsTheWindowUnlessTurnedOff) {
  // The run as it is without a display: the other runs must match it.
  const RunRecord headless = RunProgramCopy("", {});
  ASSERT_NE(headless.status, -1);

  WindowWatch watch(Display(), TempPath("waiting_window_xev.err"));
  ASSERT_TRUE(watch.Sync()) << "xev does not report";

  const RunRecord shown = RunProgramCopy(Display(), {});
  ASSERT_TRUE(watch.Sync());
  EXPECT_TRUE(
      watch.ShownWindowOfSize(kWaitingWindowWidth, kWaitingWindowHeight))
      << watch.events();
  EXPECT_EQ(shown.status, headless.status);
  EXPECT_EQ(shown.err, headless.err);
  EXPECT_EQ(shown.listing, headless.listing);
  EXPECT_NE(X({"xdotool", "search", "--name", "^Form1$"}).status, 0)
      << "the window outlived the program";

  // --no-window: the program does not even connect to the display.
  watch.Clear();
  const RunRecord no_window = RunProgramCopy(Display(), {"--no-window"});
  ASSERT_TRUE(watch.Sync());
  EXPECT_EQ(watch.events().find("CreateNotify"), std::string::npos)
      << watch.events();
  EXPECT_EQ(no_window.status, headless.status);
  EXPECT_EQ(no_window.err, headless.err);
  EXPECT_EQ(no_window.listing, headless.listing);
}

TEST(WaitingWindow, HeadlessWithoutADisplay) {
  // No DISPLAY, or a display nobody serves: no window, no message, and the
  // program goes on.
  for (const char* display : {"", ":4093"}) {
    SCOPED_TRACE(display);
    const std::string err = testing::TempDir() + "waiting_window_headless.err";
    ChildProcess probe({WAITING_WINDOW_PROBE_EXE, "window"}, "", err,
                       OnDisplay(display));
    ASSERT_TRUE(probe.started());
    EXPECT_EQ(probe.ReadLine(kTimeout), "headless");
    EXPECT_EQ(probe.Wait(kTimeout), 3);
    EXPECT_EQ(ReadWholeFile(err), "");
  }
}

}  // namespace
}  // namespace scenario
