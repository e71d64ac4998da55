// rivoltra-startup-timer [--timeout SECONDS] PROGRAM [ARGS...]: starts PROGRAM on the current X
// display and prints the milliseconds from launch until its window is visible: mapped by the
// window manager, viewable, and showing a drawn frame (any pixel of a few sampled rows no longer
// black). Then the program is asked to end (SIGTERM, SIGKILL after two seconds).
// Exit status 0 with the figure, 1 when the program ended or the time ran out first, 2 on misuse.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

double MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// Windows vanish between a query and the next request; such errors only mean "not yet".
int IgnoreXError(Display* /*display*/, XErrorEvent* /*error*/) { return 0; }

std::optional<long> WindowPid(Display* display, Window window, Atom pidAtom) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::optional<long> pid;
  if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                         &after, &data) == Success &&
      type == XA_CARDINAL && format == 32 && count == 1) {
    pid = *reinterpret_cast<long*>(data);
  }
  if (data != nullptr) XFree(data);
  return pid;
}

bool ShowsAFrame(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) == 0) return false;
  if (attributes.map_state != IsViewable || attributes.width < 1 || attributes.height < 1)
    return false;
  constexpr int kRows = 8;
  for (int row = 0; row < kRows; ++row) {
    const int y = attributes.height * (2 * row + 1) / (2 * kRows);
    XImage* image = XGetImage(display, window, 0, y, static_cast<unsigned>(attributes.width), 1,
                              AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    bool drawn = false;
    for (int x = 0; x < attributes.width && !drawn; ++x) drawn = (XGetPixel(image, x, 0) != 0);
    XDestroyImage(image);
    if (drawn) return true;
  }
  return false;
}

// Whether one of the program's windows, among the root's children and (under a reparenting
// window manager) theirs, shows a frame. Searched afresh every time: some renderers replace the
// window they were given by a new one.
bool AnyWindowShowsAFrame(Display* display, Window parent, Atom pidAtom, long pid, int depth) {
  Window root = 0, parentOfParent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, parent, &root, &parentOfParent, &children, &count) == 0) return false;
  bool shown = false;
  for (unsigned i = 0; i < count && !shown; ++i) {
    if (WindowPid(display, children[i], pidAtom) == pid) {
      shown = ShowsAFrame(display, children[i]);
    } else if (depth > 1) {
      shown = AnyWindowShowsAFrame(display, children[i], pidAtom, pid, depth - 1);
    }
  }
  if (children != nullptr) XFree(children);
  return shown;
}

void EndProgram(pid_t pid) {
  kill(pid, SIGTERM);
  for (int i = 0; i < 200; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    usleep(10000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  double timeoutMs = 20000;
  if (argc > 2 && std::strcmp(argv[1], "--timeout") == 0) {
    timeoutMs = std::atof(argv[2]) * 1000;
    first = 3;
  }
  if (first >= argc || timeoutMs <= 0) {
    std::fprintf(stderr, "usage: rivoltra-startup-timer [--timeout SECONDS] PROGRAM [ARGS...]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "rivoltra-startup-timer: no X display\n");
    return 2;
  }
  XSetErrorHandler(IgnoreXError);
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);

  const double launch = MonotonicMilliseconds();
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[first], argv + first);
    std::perror(argv[first]);
    _exit(127);
  }
  if (pid < 0) {
    std::perror("fork");
    return 2;
  }
  int status = 0;
  for (;;) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      std::fprintf(stderr, "rivoltra-startup-timer: %s ended before its window showed\n",
                   argv[first]);
      return 1;
    }
    if (MonotonicMilliseconds() - launch > timeoutMs) {
      std::fprintf(stderr, "rivoltra-startup-timer: no visible window in time\n");
      EndProgram(pid);
      return 1;
    }
    if (AnyWindowShowsAFrame(display, DefaultRootWindow(display), pidAtom, pid, 3)) break;
    usleep(1000);
  }
  const double visible = MonotonicMilliseconds() - launch;
  std::printf("%.1f\n", visible);
  std::fflush(stdout);
  EndProgram(pid);
  XCloseDisplay(display);
  return 0;
}
