#include "app/qt_loader.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/display_probe.h"

namespace verto {

namespace {

// Long enough for a display over a slow network, short enough that a
// display that will never answer is given up before anyone waits for it.
constexpr std::chrono::milliseconds kProbeBudget{1000};

constexpr const char* kLibraryName = "libverto_qt.so";

std::string executable_directory() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  std::string p(path, static_cast<std::size_t>(n));
  auto slash = p.rfind('/');
  return slash == std::string::npos ? std::string() : p.substr(0, slash);
}

}  // namespace

bool display_available(std::string* problem) {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* x = std::getenv("DISPLAY");
  auto answer = [problem](const DisplayAnswer& a) {
    if (!a.ok && problem) *problem = a.problem;
    return a.ok;
  };
  if (platform && *platform) {
    std::string p(platform);
    if (p.rfind("offscreen", 0) == 0 || p.rfind("minimal", 0) == 0) return false;
    if (p.rfind("xcb", 0) == 0) return x && *x && answer(probe_x_display(x, kProbeBudget));
    if (p.rfind("wayland", 0) == 0)
      return wayland && *wayland && answer(probe_wayland_display(wayland, kProbeBudget));
    return true;  // a platform of its own (eglfs, vnc, ...)
  }
  // The toolkit is told which of the two answered, so that it never tries
  // the other one.
  if (x && *x) {
    if (answer(probe_x_display(x, kProbeBudget))) {
      setenv("QT_QPA_PLATFORM", "xcb", 1);
      return true;
    }
  }
  if (wayland && *wayland) {
    std::string x_problem = problem ? *problem : std::string();
    if (answer(probe_wayland_display(wayland, kProbeBudget))) {
      setenv("QT_QPA_PLATFORM", "wayland", 1);
      return true;
    }
    if (problem && !x_problem.empty()) *problem = x_problem + "; " + *problem;
  }
  return false;
}

void* load_qt_entry(const char* name, bool need_display) {
  if (need_display && !display_available()) return nullptr;
  static void* library = nullptr;
  if (!library) {
    // Beside the executable (the build tree), in the library folder of the
    // prefix the executable was installed to, in the configured one.
    const std::string here = executable_directory();
    std::string candidates[] = {here + "/" + kLibraryName,
#ifdef VERTO_QT_LIBRARY_RELDIR
                                here + "/../" VERTO_QT_LIBRARY_RELDIR "/" + kLibraryName,
#endif
#ifdef VERTO_QT_LIBRARY_DIR
                                std::string(VERTO_QT_LIBRARY_DIR) + "/" + kLibraryName,
#endif
    };
    for (const std::string& path : candidates) {
      struct stat st{};
      if (path.empty() || stat(path.c_str(), &st) != 0) continue;
      library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (library) break;
      // Present but not loadable (Qt missing or broken): say why once.
      std::fprintf(stderr, "verto: no window front-end: %s\n", dlerror());
    }
    if (!library) return nullptr;
  }
  return dlsym(library, name);
}

}  // namespace verto
