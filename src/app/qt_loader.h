#pragma once
// Loads the Qt front-end library (libverto_qt.so) at run time, so that a
// run without windows never loads Qt. The library lies beside the
// executable in the build tree and in the installed library folder.
#include <string>

namespace verto {

// True when a window system answers within about a second: the X display
// of DISPLAY (preferred) or the Wayland display of WAYLAND_DISPLAY; the
// toolkit is then told to use that one. An offscreen Qt platform chosen in
// the environment counts as no display. `problem` (optional) gets why not,
// naming the display; it stays empty when no display is named at all.
bool display_available(std::string* problem = nullptr);

// The extern "C" function `name` of the Qt front-end library, or nullptr
// when the library (or Qt under it) cannot be loaded, or when
// `need_display` is set and no display is available.
void* load_qt_entry(const char* name, bool need_display);

}  // namespace verto
