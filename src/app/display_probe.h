#pragma once
// Whether a window system answers, found out within a time bound before
// the toolkit is started: the toolkit itself waits without end for a
// server that accepts connections but never answers (a stopped server, a
// dead forwarded display) and ends the process when it cannot connect.
#include <chrono>
#include <string>
#include <string_view>

namespace verto {

struct DisplayAnswer {
  bool ok = false;
  std::string problem;  // why not, naming the display; empty when none is set
};

// An X display "[host]:n[.screen]" (or "unix:n", or a socket path): it is
// connected to (its local socket, or TCP port 6000 + n on the host) and
// sent the connection set-up, with the cookie of the user's authority file
// when one matches; it answers when the server sends any reply within
// `budget`. A refusal by the server (no authorization) counts as no answer,
// since the toolkit would then end the process.
DisplayAnswer probe_x_display(std::string_view display, std::chrono::milliseconds budget);

// A Wayland display (a name in XDG_RUNTIME_DIR or a socket path): it
// answers when a sync request gets a reply within `budget`.
DisplayAnswer probe_wayland_display(std::string_view display, std::chrono::milliseconds budget);

}  // namespace verto
