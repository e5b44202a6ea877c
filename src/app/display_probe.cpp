#include "app/display_probe.h"

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace verto {

namespace {

using Clock = std::chrono::steady_clock;

int remaining_ms(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// A socket that closes itself.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

// Connects `fd` (non-blocking) to `addr` by the deadline; errno tells why not.
bool connect_by(int fd, const sockaddr* addr, socklen_t len, Clock::time_point deadline) {
  if (::connect(fd, addr, len) == 0) return true;
  if (errno != EINPROGRESS && errno != EAGAIN) return false;
  pollfd p{fd, POLLOUT, 0};
  int r;
  while ((r = ::poll(&p, 1, remaining_ms(deadline))) < 0 && errno == EINTR) {
  }
  if (r == 0) {
    errno = ETIMEDOUT;
    return false;
  }
  int err = 0;
  socklen_t n = sizeof err;
  if (r < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &n) != 0) return false;
  errno = err;
  return err == 0;
}

bool send_all(int fd, const std::vector<unsigned char>& data, Clock::time_point deadline) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, remaining_ms(deadline)) <= 0) return false;
  }
  return true;
}

// Reads up to `want` bytes by the deadline; fewer when the peer closes or
// the time is up.
std::vector<unsigned char> receive(int fd, std::size_t want, Clock::time_point deadline) {
  std::vector<unsigned char> out;
  unsigned char buf[256];
  while (out.size() < want) {
    ssize_t n = ::recv(fd, buf, std::min(sizeof buf, want - out.size()), 0);
    if (n > 0) {
      out.insert(out.end(), buf, buf + n);
      continue;
    }
    if (n == 0 || (errno != EAGAIN && errno != EINTR)) break;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, remaining_ms(deadline)) <= 0) break;
  }
  return out;
}

// Host name resolution on a thread of its own, so that a resolver that
// does not answer cannot hold start-up beyond the deadline.
std::vector<sockaddr_storage> resolve(const std::string& host, int port, Clock::time_point deadline,
                                      std::string& problem) {
  struct Shared {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    int status = 0;
    std::vector<sockaddr_storage> addresses;
  };
  auto shared = std::make_shared<Shared>();
  std::thread([shared, host, port] {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    int status = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
    std::vector<sockaddr_storage> found;
    for (addrinfo* a = list; a; a = a->ai_next) {
      sockaddr_storage s{};
      std::memcpy(&s, a->ai_addr, std::min<std::size_t>(a->ai_addrlen, sizeof s));
      found.push_back(s);
    }
    if (list) ::freeaddrinfo(list);
    std::lock_guard lock(shared->m);
    shared->status = status;
    shared->addresses = std::move(found);
    shared->done = true;
    shared->cv.notify_all();
  }).detach();
  std::unique_lock lock(shared->m);
  if (!shared->cv.wait_until(lock, deadline, [&] { return shared->done; })) {
    problem = "its host name " + host + " cannot be looked up in time";
    return {};
  }
  if (shared->status != 0) problem = "its host " + host + " is unknown";
  return shared->addresses;
}

void put16(std::vector<unsigned char>& out, std::size_t v) {
  out.push_back(static_cast<unsigned char>(v & 0xFF));  // little-endian set-up
  out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void pad4(std::vector<unsigned char>& out) {
  while (out.size() % 4) out.push_back(0);
}

// The authority cookie for the display: the first MIT-MAGIC-COOKIE-1 entry
// of the user's authority file whose address and number fit.
struct Cookie {
  std::string name, data;
};

Cookie find_cookie(const std::string& number, bool local, const sockaddr_storage* address) {
  std::string path;
  if (const char* x = std::getenv("XAUTHORITY"); x && *x) path = x;
  else if (const char* home = std::getenv("HOME"); home && *home) path = std::string(home) + "/.Xauthority";
  if (path.empty()) return {};
  std::ifstream in(path, std::ios::binary);
  std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  std::size_t pos = 0;
  auto u16 = [&](unsigned& v) {
    if (pos + 2 > file.size()) return false;
    v = (static_cast<unsigned char>(file[pos]) << 8) | static_cast<unsigned char>(file[pos + 1]);
    pos += 2;
    return true;
  };
  auto field = [&](std::string& s) {
    unsigned n = 0;
    if (!u16(n) || pos + n > file.size()) return false;
    s.assign(file, pos, n);
    pos += n;
    return true;
  };
  bool loopback = false;
  std::string ip;
  if (address && address->ss_family == AF_INET) {
    auto* a = reinterpret_cast<const sockaddr_in*>(address);
    ip.assign(reinterpret_cast<const char*>(&a->sin_addr), 4);
    loopback = static_cast<unsigned char>(ip[0]) == 127;
  } else if (address && address->ss_family == AF_INET6) {
    auto* a = reinterpret_cast<const sockaddr_in6*>(address);
    ip.assign(reinterpret_cast<const char*>(&a->sin6_addr), 16);
    loopback = IN6_IS_ADDR_LOOPBACK(&a->sin6_addr);
  }
  constexpr unsigned kInternet = 0, kInternet6 = 6, kLocal = 256, kWild = 65535;
  for (;;) {
    unsigned family = 0;
    std::string addr, num, name, data;
    if (!u16(family) || !field(addr) || !field(num) || !field(name) || !field(data)) break;
    if (name != "MIT-MAGIC-COOKIE-1" || (!num.empty() && num != number)) continue;
    const bool fits = family == kWild ||
                      (family == kLocal && (local || loopback) && addr == host) ||
                      ((family == kInternet || family == kInternet6) && !ip.empty() && addr == ip);
    if (fits) return {name, data};
  }
  return {};
}

// Sends the X connection set-up on a connected socket and reads the
// server's first reply.
DisplayAnswer x_handshake(int fd, const std::string& display, const Cookie& cookie,
                          Clock::time_point deadline) {
  std::vector<unsigned char> setup{'l', 0};
  put16(setup, 11);  // protocol 11.0
  put16(setup, 0);
  put16(setup, cookie.name.size());
  put16(setup, cookie.data.size());
  put16(setup, 0);
  setup.insert(setup.end(), cookie.name.begin(), cookie.name.end());
  pad4(setup);
  setup.insert(setup.end(), cookie.data.begin(), cookie.data.end());
  pad4(setup);
  if (!send_all(fd, setup, deadline))
    return {false, "the X display " + display + " does not take a connection"};
  std::vector<unsigned char> reply = receive(fd, 8, deadline);
  if (reply.size() < 8) {
    if (remaining_ms(deadline) == 0) return {false, "the X display " + display + " does not answer"};
    return {false, "the X display " + display + " closed the connection"};
  }
  if (reply[0] == 1) return {true, {}};
  std::string reason;
  if (reply[0] == 0 && reply[1] > 0) {
    std::vector<unsigned char> text = receive(fd, reply[1], deadline);
    reason.assign(text.begin(), text.end());
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
  }
  return {false, "the X display " + display + " refused the connection" +
                     (reason.empty() ? std::string() : " (" + reason + ")")};
}

bool connect_unix(Fd& s, const std::string& path, bool abstract, Clock::time_point deadline) {
  s.fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (s.fd < 0) return false;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;  // abstract names start with a NUL
  if (path.size() + offset >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path + offset, path.data(), path.size());
  const auto len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
  if (connect_by(s.fd, reinterpret_cast<sockaddr*>(&addr), len, deadline)) return true;
  ::close(s.fd);
  s.fd = -1;
  return false;
}

}  // namespace

DisplayAnswer probe_x_display(std::string_view display_text, std::chrono::milliseconds budget) {
  const std::string display(display_text);
  const auto deadline = Clock::now() + budget;
  const auto colon = display.rfind(':');
  if (colon == std::string::npos) return {false, "the X display name " + display + " is not valid"};
  std::string host = display.substr(0, colon);
  // "tcp/host" and "unix/host": the protocol chooses, the host remains.
  bool force_tcp = false;
  if (auto slash = host.find('/'); slash != std::string::npos && slash > 0 && host[0] != '/') {
    force_tcp = host.compare(0, slash, "tcp") == 0;
    host = host.substr(slash + 1);
  }
  std::string number = display.substr(colon + 1);
  number = number.substr(0, number.find('.'));
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
    return {false, "the X display name " + display + " is not valid"};

  Fd s;
  const bool path = !host.empty() && host.front() == '/';
  const bool local = !force_tcp && (host.empty() || host == "unix" || path);
  if (local) {
    const bool connected =
        path
            ? connect_unix(s, display.substr(0, colon), false, deadline) ||
                  connect_unix(s, host, false, deadline)
            : connect_unix(s, "/tmp/.X11-unix/X" + number, true, deadline) ||
                  connect_unix(s, "/tmp/.X11-unix/X" + number, false, deadline);
    if (!connected) return {false, "the X display " + display + " cannot be reached"};
    return x_handshake(s.fd, display, find_cookie(number, true, nullptr), deadline);
  }

  std::string problem;
  const int port = 6000 + std::atoi(number.c_str());
  std::vector<sockaddr_storage> addresses =
      resolve(host.empty() ? "localhost" : host, port, deadline, problem);
  if (addresses.empty())
    return {false, "the X display " + display + " cannot be reached (" + problem + ")"};
  std::string why = "no answer";
  for (const sockaddr_storage& a : addresses) {
    Fd t;
    t.fd = ::socket(a.ss_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (t.fd < 0) continue;
    const socklen_t len = a.ss_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    if (!connect_by(t.fd, reinterpret_cast<const sockaddr*>(&a), len, deadline)) {
      why = std::strerror(errno);
      continue;
    }
    return x_handshake(t.fd, display, find_cookie(number, false, &a), deadline);
  }
  return {false, "the X display " + display + " cannot be reached (" + why + ")"};
}

DisplayAnswer probe_wayland_display(std::string_view display_text, std::chrono::milliseconds budget) {
  const std::string display(display_text);
  const auto deadline = Clock::now() + budget;
  std::string path = display;
  if (path.empty() || path.front() != '/') {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime)
      return {false, "the Wayland display " + display + " has no runtime folder (XDG_RUNTIME_DIR)"};
    path = std::string(runtime) + "/" + display;
  }
  Fd s;
  if (!connect_unix(s, path, false, deadline))
    return {false, "the Wayland display " + display + " cannot be reached"};
  // wl_display.sync (object 1, opcode 0, 12 bytes) with the new callback 2.
  const std::uint32_t sync[3] = {1, (12u << 16) | 0u, 2};
  std::vector<unsigned char> request(reinterpret_cast<const unsigned char*>(sync),
                                     reinterpret_cast<const unsigned char*>(sync) + sizeof sync);
  if (!send_all(s.fd, request, deadline) || receive(s.fd, 1, deadline).empty())
    return {false, "the Wayland display " + display + " does not answer"};
  return {true, {}};
}

}  // namespace verto
