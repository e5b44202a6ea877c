// The display probe against fake X servers on TCP: one that answers, one
// that takes connections and never answers (a stopped server), one that
// refuses, and nothing listening.
#include "app/display_probe.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace verto {
namespace {

using namespace std::chrono_literals;

// A listening socket on 127.0.0.1 at 6000 + n for the first free n of
// 150..249; the display name is "127.0.0.1:n".
struct FakeServer {
  int fd = -1;
  int number = -1;
  FakeServer() {
    for (int n = 150; n < 250 && number < 0; ++n) {
      fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_in a{};
      a.sin_family = AF_INET;
      a.sin_port = htons(static_cast<uint16_t>(6000 + n));
      a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(fd, 4) == 0) {
        number = n;
      } else {
        ::close(fd);
        fd = -1;
      }
    }
  }
  ~FakeServer() { close(); }
  void close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  std::string display() const { return "127.0.0.1:" + std::to_string(number) + ".0"; }
  // Accepts one connection, reads the set-up and sends `reply`.
  std::thread answer(std::string reply) {
    return std::thread([this, reply] {
      int c = ::accept(fd, nullptr, nullptr);
      if (c < 0) return;
      char buf[64];
      ssize_t got = ::recv(c, buf, sizeof buf, 0);
      if (got > 0) ::send(c, reply.data(), reply.size(), MSG_NOSIGNAL);
      ::close(c);
    });
  }
};

template <class F>
std::chrono::milliseconds timed(F f) {
  const auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0);
}

TEST(DisplayProbe, AServerThatAnswersIsTakenOneThatRefusesOrIsSilentIsNot) {
  FakeServer server;
  ASSERT_GE(server.number, 0);

  // Success (status 1): the display answers.
  std::thread t = server.answer(std::string("\x01\x00\x0b\x00\x00\x00\x00\x00", 8));
  DisplayAnswer ok = probe_x_display(server.display(), 2000ms);
  t.join();
  EXPECT_TRUE(ok.ok) << ok.problem;

  // Failed (status 0) with its reason: no answer the toolkit could use.
  std::string failed("\x00\x0eX\x00\x0b\x00\x00\x04No protocol sp", 22);
  t = server.answer(failed);
  DisplayAnswer refused = probe_x_display(server.display(), 2000ms);
  t.join();
  EXPECT_FALSE(refused.ok);
  EXPECT_NE(refused.problem.find("refused the connection (No protocol sp)"), std::string::npos)
      << refused.problem;

  // Connections taken by the kernel, never answered: given up at the bound.
  DisplayAnswer silent;
  auto took = timed([&] { silent = probe_x_display(server.display(), 300ms); });
  EXPECT_FALSE(silent.ok);
  EXPECT_EQ(silent.problem, "the X display " + server.display() + " does not answer");
  EXPECT_GE(took, 250ms);
  EXPECT_LT(took, 1000ms);

  // Nothing listening: refused at once, and the message names the display.
  const std::string gone = server.display();
  server.close();
  DisplayAnswer none;
  took = timed([&] { none = probe_x_display(gone, 2000ms); });
  EXPECT_FALSE(none.ok);
  EXPECT_NE(none.problem.find("the X display " + gone + " cannot be reached"), std::string::npos);
  EXPECT_LT(took, 500ms);
}

TEST(DisplayProbe, MalformedNamesAndMissingSocketsAreRefused) {
  EXPECT_FALSE(probe_x_display("nonsense", 100ms).ok);
  EXPECT_FALSE(probe_x_display(":x", 100ms).ok);
  EXPECT_FALSE(probe_x_display("/nonexistent/socket:0", 100ms).ok);
  EXPECT_FALSE(probe_wayland_display("/nonexistent/wayland-0", 100ms).ok);
}

}  // namespace
}  // namespace verto
