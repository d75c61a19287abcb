// SPDX-License-Identifier: GPL-3.0-or-later
// Starts each real program on its own X server, as a user would, and looks
// at what it shows.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Last: Xlib defines macros (None, Status, Bool) that clash with the above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Starts argv with extra environment entries; stderr goes to errFd if set.
pid_t Spawn(const std::vector<std::string>& argv,
            const std::vector<std::string>& env, int errFd = -1,
            bool dropDisplay = false) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  if (dropDisplay) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
  }
  unsetenv("QT_QPA_PLATFORM");
  for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
  const int devnull = open("/dev/null", O_WRONLY);
  dup2(devnull, STDOUT_FILENO);
  dup2(errFd >= 0 ? errFd : devnull, STDERR_FILENO);
  std::vector<char*> args;
  for (const std::string& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

// Waits for pid up to `limit`; the wait status, or nothing on time-out.
std::optional<int> WaitFor(pid_t pid, std::chrono::milliseconds limit) {
  const auto end = Clock::now() + limit;
  while (Clock::now() < end) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return status;
    std::this_thread::sleep_for(20ms);
  }
  return std::nullopt;
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  if (!WaitFor(pid, 3000ms)) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

class XServer {
 public:
  // Xvfb picks a free display number itself and reports it on a pipe, so
  // tests running side by side never share a server.
  XServer() {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      const int devnull = open("/dev/null", O_WRONLY);
      dup2(devnull, STDOUT_FILENO);
      dup2(devnull, STDERR_FILENO);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0",
             "1024x768x24", "-nolisten", "tcp", "-dpi", "96",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) return;
    name_ = ":" + number;
    display_ = XOpenDisplay(name_.c_str());
  }
  ~XServer() {
    if (display_ != nullptr) XCloseDisplay(display_);
    Stop(pid_);
  }
  Display* display() const { return display_; }
  const std::string& name() const { return name_; }

 private:
  std::string name_;
  pid_t pid_ = -1;
  Display* display_ = nullptr;
};

Window FindWindow(Display* d, Window parent, const char* title) {
  Window root = 0, up = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(d, parent, &root, &up, &children, &count) == 0) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    char* name = nullptr;
    XWindowAttributes a;
    if (XFetchName(d, children[i], &name) != 0 && name != nullptr) {
      if (std::string(name) == title &&
          XGetWindowAttributes(d, children[i], &a) != 0 &&
          a.map_state == IsViewable) {
        found = children[i];
      }
      XFree(name);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

QImage Grab(Display* d, Window w) {
  XWindowAttributes a;
  if (XGetWindowAttributes(d, w, &a) == 0) return {};
  XImage* x = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width),
                        static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
  if (x == nullptr) return {};
  QImage image(a.width, a.height, QImage::Format_RGB32);
  for (int y = 0; y < a.height; ++y) {
    for (int xx = 0; xx < a.width; ++xx) {
      image.setPixel(xx, y,
                     static_cast<QRgb>(XGetPixel(x, xx, y)) | 0xFF000000u);
    }
  }
  XDestroyImage(x);
  return image;
}

bool IsRingColour(QColor c) {
  const int hi = std::max({c.red(), c.green(), c.blue()});
  const int lo = std::min({c.red(), c.green(), c.blue()});
  return hi - lo > 120;
}

struct Program {
  const char* name;
  const char* path;
  const char* desktopEntry;
};

// The value of `key=` in the main group of a desktop entry.
std::string DesktopValue(const std::string& path, const std::string& key) {
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("[Desktop Action", 0) == 0) break;
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return {};
}

// The sizes of the icons in the window's _NET_WM_ICON (width, height, then
// that many pixels, again and again).
std::vector<int> IconSizes(Display* d, Window w) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, left = 0;
  unsigned char* data = nullptr;
  std::vector<int> sizes;
  if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_ICON", False), 0,
                         1 << 20, False, XA_CARDINAL, &type, &format, &count,
                         &left, &data) != Success ||
      data == nullptr) {
    return sizes;
  }
  const auto* values = reinterpret_cast<const unsigned long*>(data);
  for (unsigned long i = 0; i + 1 < count;) {
    const unsigned long width = values[i], height = values[i + 1];
    if (width != height) break;
    sizes.push_back(static_cast<int>(width));
    i += 2 + width * height;
  }
  XFree(data);
  return sizes;
}

class EndToEndTest : public ::testing::TestWithParam<Program> {};

TEST_P(EndToEndTest, ShowsTheFirstFrameAndClosesCleanly) {
  XServer x;
  ASSERT_NE(x.display(), nullptr) << "no X server could be started";
  Display* d = x.display();
  // What the program says on stderr is shown when it fails (sanitizer
  // reports among it).
  std::FILE* errors = std::tmpfile();
  ASSERT_NE(errors, nullptr);
  const pid_t program =
      Spawn({GetParam().path}, {"DISPLAY=" + x.name()}, fileno(errors));

  Window window = 0;
  const auto end = Clock::now() + 15s;
  QImage shot;
  // A's outer crest at the first frame: radius 1100 twips right of A.
  const QPoint crest((4000 + 1100) / 15, 4000 / 15);
  while (Clock::now() < end) {
    if (window == 0) window = FindWindow(d, DefaultRootWindow(d), "Form1");
    if (window != 0) {
      shot = Grab(d, window);
      if (!shot.isNull() && shot.pixelColor(crest).blue() > 200 &&
          shot.pixelColor(crest).red() < 80) {
        break;
      }
    }
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_NE(window, 0u) << "no window named Form1";
  ASSERT_FALSE(shot.isNull());
  shot.save(QString("%1/%2-window.png").arg(SCREENSHOT_DIR, GetParam().name));
  EXPECT_EQ(shot.size(), QSize(682, 476));

  const QColor ring = shot.pixelColor(crest);
  EXPECT_GT(ring.blue(), 200) << "A's outer crest is not blue";
  EXPECT_LT(ring.red(), 80);
  // The black marks of the sources at (4000, 4000) and (7000, 4000).
  for (const QPoint mark : {QPoint(266, 266), QPoint(466, 266)}) {
    const QColor c = shot.pixelColor(mark);
    EXPECT_LT(c.red() + c.green() + c.blue(), 200) << mark.x();
  }
  // The label below A hides the rings behind it, and the parameter row is
  // never drawn over.
  for (const QRect area : {QRect(257, 273, 24, 24), QRect(184, 8, 40, 24)}) {
    for (int yy = area.top(); yy <= area.bottom(); ++yy) {
      for (int xx = area.left(); xx <= area.right(); ++xx) {
        ASSERT_FALSE(IsRingColour(shot.pixelColor(xx, yy)))
            << "ring colour in a label at " << xx << "," << yy;
      }
    }
  }

  // The task bar ties the window to its desktop entry by the window's class
  // and shows the program's own icon.
  XClassHint hint{};
  ASSERT_NE(XGetClassHint(d, window, &hint), 0);
  const std::string windowClass =
      hint.res_class != nullptr ? hint.res_class : "";
  XFree(hint.res_name);
  XFree(hint.res_class);
  EXPECT_EQ(windowClass,
            DesktopValue(GetParam().desktopEntry, "StartupWMClass"));
  const std::vector<int> icons = IconSizes(d, window);
  EXPECT_NE(std::find(icons.begin(), icons.end(), 32), icons.end());
  EXPECT_NE(std::find(icons.begin(), icons.end(), 256), icons.end());

  const Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False);
  const Atom close = XInternAtom(d, "WM_DELETE_WINDOW", False);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = protocols;
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(close);
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, window, False, NoEventMask, &event);
  XFlush(d);
  const std::optional<int> status = WaitFor(program, 10s);
  ASSERT_TRUE(status.has_value()) << "still running after the window closed";
  EXPECT_TRUE(WIFEXITED(*status));
  std::string said;
  std::rewind(errors);
  for (int c; (c = std::fgetc(errors)) != EOF;) said += static_cast<char>(c);
  std::fclose(errors);
  EXPECT_EQ(WEXITSTATUS(*status), 0) << said;
}

// xdotool against the test's own server.
void Xdotool(const XServer& x, const std::string& args) {
  const std::string command =
      "DISPLAY=" + x.name() + " xdotool " + args + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

bool IsProbeColour(const QColor& c) {
  return c.red() > 220 && c.green() > 90 && c.green() < 170 && c.blue() < 60;
}

// Orange pixels of P's mark within 9 pixels of `at`.
int ProbePixelsNear(const QImage& shot, QPoint at) {
  int found = 0;
  for (int y = at.y() - 9; y <= at.y() + 9; ++y) {
    for (int x = at.x() - 9; x <= at.x() + 9; ++x) {
      if (shot.rect().contains(x, y) && IsProbeColour(shot.pixelColor(x, y))) {
        ++found;
      }
    }
  }
  return found;
}

// A click on free picture places P and its readout; a drag moves it; a
// click on it removes it. The picture under it stays as drawn.
TEST_P(EndToEndTest, ThePointIsPlacedDraggedAndRemovedByMouse) {
  XServer x;
  ASSERT_NE(x.display(), nullptr) << "no X server could be started";
  Display* d = x.display();
  const pid_t program = Spawn({GetParam().path}, {"DISPLAY=" + x.name()}, -1);
  Window window = 0;
  const auto end = Clock::now() + 15s;
  while (Clock::now() < end && window == 0) {
    window = FindWindow(d, DefaultRootWindow(d), "Form1");
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_NE(window, 0u) << "no window named Form1";
  std::this_thread::sleep_for(500ms);
  const auto click = [&](QPoint at) {
    Xdotool(x, "mousemove --window " + std::to_string(window) + " " +
                   std::to_string(at.x()) + " " + std::to_string(at.y()) +
                   " click 1");
    std::this_thread::sleep_for(150ms);
  };
  click({24, 144});  // 自動/手動: stopped
  click({24, 20});   // 駒送り
  const QPoint first(366, 120), second(420, 380);
  const QImage bare = Grab(d, window);
  EXPECT_EQ(ProbePixelsNear(bare, first), 0);
  click(first);
  const QImage placed = Grab(d, window);
  EXPECT_GT(ProbePixelsNear(placed, first), 12) << "no mark at P";
  // The readout's frame, just under P.
  int framed = 0;
  for (int xx = 150; xx < 580; ++xx) {
    framed += IsProbeColour(placed.pixelColor(xx, first.y() + 13)) ||
              IsProbeColour(placed.pixelColor(xx, first.y() + 12));
  }
  EXPECT_GT(framed, 100) << "no readout under P";
  // Away from P and its readout the picture is as it was.
  for (const QPoint far : {QPoint(200, 400), QPoint(600, 300)}) {
    EXPECT_EQ(placed.pixelColor(far), bare.pixelColor(far));
  }
  Xdotool(x, "mousemove --window " + std::to_string(window) + " 366 120 " +
                 "mousedown 1 mousemove --window " + std::to_string(window) +
                 " 390 250 mousemove --window " + std::to_string(window) +
                 " 420 380 mouseup 1");
  std::this_thread::sleep_for(200ms);
  const QImage dragged = Grab(d, window);
  EXPECT_GT(ProbePixelsNear(dragged, second), 12) << "P did not follow";
  EXPECT_EQ(ProbePixelsNear(dragged, first), 0) << "P left a mark";
  click(second);  // on P: removed
  const QImage removed = Grab(d, window);
  EXPECT_EQ(ProbePixelsNear(removed, second), 0) << "P is still there";
  Stop(program);
}

TEST_P(EndToEndTest, WithoutADisplaySaysSoInOneLine) {
  for (const bool unset : {true, false}) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t program =
        Spawn({GetParam().path},
              unset ? std::vector<std::string>{}
                    : std::vector<std::string>{"DISPLAY=:179"},
              pipeFds[1], unset);
    close(pipeFds[1]);
    std::string err;
    char buffer[512];
    ssize_t n = 0;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
      err.append(buffer, n);
    close(pipeFds[0]);
    const std::optional<int> status = WaitFor(program, 10s);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status)) << "ended by signal";
    EXPECT_EQ(WEXITSTATUS(*status), 1);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("display"), std::string::npos) << err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Programs, EndToEndTest,
    ::testing::Values(Program{"sarvel11", SARVEL11_PATH,
                              DATA_DIR "/org.sarvel.sarvel11.desktop"},
                      Program{"sarvel6", SARVEL6_PATH,
                              DATA_DIR "/org.sarvel.sarvel6.desktop"}),
    [](const ::testing::TestParamInfo<Program>& info) {
      return std::string(info.param.name);
    });

}  // namespace
