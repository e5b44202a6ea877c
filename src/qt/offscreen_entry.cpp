// The entry point that the program loads from libverto_qt.so when a plot
// is asked for without a display: window services that save pictures.
#include <QGuiApplication>
#include <cstdio>

#include "qt/offscreen_services.h"

extern "C" __attribute__((visibility("default"))) verto::WindowServices*
verto_offscreen_services() {
  // Fonts and images need an application object; without a display it is
  // an offscreen one. It lives as long as the process.
  if (QCoreApplication::instance() == nullptr) {
    // Qt's own notes (a missing runtime folder and the like) would land
    // among the console's lines; only fatal ones are kept.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
      if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(msg));
    });
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "verto";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
  }
  // One set of services for the whole run, held here so that it stays
  // reachable until the process ends.
  static verto::qt::OffscreenWindowServices* services = new verto::qt::OffscreenWindowServices();
  return services;
}
