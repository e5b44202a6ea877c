#include "app/qt_loader.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace verto {

namespace {

constexpr const char* kLibraryName = "libverto_qt.so";

std::string executable_directory() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  std::string p(path, static_cast<std::size_t>(n));
  auto slash = p.rfind('/');
  return slash == std::string::npos ? std::string() : p.substr(0, slash);
}

bool connects(const std::string& socket_path, bool abstract) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::size_t offset = abstract ? 1 : 0;  // abstract names start with a NUL
  if (socket_path.size() + offset >= sizeof addr.sun_path) {
    close(fd);
    return false;
  }
  std::memcpy(addr.sun_path + offset, socket_path.data(), socket_path.size());
  socklen_t len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + socket_path.size());
  bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0;
  close(fd);
  return ok;
}

// An X display "[host]:n[.screen]": a local one must answer on its socket
// (Qt ends the process when it cannot connect); a remote one is trusted.
bool x_display_reachable(const char* display) {
  if (!display || !*display) return false;
  std::string d(display);
  auto colon = d.rfind(':');
  if (colon == std::string::npos) return false;
  std::string host = d.substr(0, colon);
  if (!host.empty() && host != "unix" && host.front() != '/') return true;
  std::string number = d.substr(colon + 1);
  number = number.substr(0, number.find('.'));
  if (number.empty()) return false;
  if (host.front() == '/') return connects(d.substr(0, colon), false) || connects(host, false);
  std::string socket = "/tmp/.X11-unix/X" + number;
  return connects(socket, true) || connects(socket, false);
}

}  // namespace

bool display_available() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* x = std::getenv("DISPLAY");
  if (platform && *platform) {
    std::string p(platform);
    if (p.rfind("offscreen", 0) == 0 || p.rfind("minimal", 0) == 0) return false;
    if (p.rfind("xcb", 0) == 0) return x_display_reachable(x);
    if (p.rfind("wayland", 0) == 0) return wayland && *wayland;
    return true;  // a platform of its own (eglfs, vnc, ...)
  }
  return (wayland && *wayland) || x_display_reachable(x);
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
