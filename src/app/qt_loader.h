#pragma once
// Loads the Qt front-end library (libverto_qt.so) at run time, so that a
// run without windows never loads Qt. The library lies beside the
// executable in the build tree and in the installed library folder.
namespace verto {

// True when a window system can be reached: a Wayland display, or an X
// display whose server answers on its socket. An offscreen Qt platform
// chosen in the environment counts as no display.
bool display_available();

// The extern "C" function `name` of the Qt front-end library, or nullptr
// when the library (or Qt under it) cannot be loaded, or when
// `need_display` is set and no display is available.
void* load_qt_entry(const char* name, bool need_display);

}  // namespace verto
