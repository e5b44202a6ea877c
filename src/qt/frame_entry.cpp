// The entry point that the program loads from libverto_qt.so when it runs
// in the frame window.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "qt/frame_session.h"

extern "C" __attribute__((visibility("default"))) int verto_run_frame(
    const verto::RunOptions* options) {
  // Qt's notes (a missing runtime folder and the like) would land in the
  // terminal VERTO was started from; only serious ones are kept.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(msg));
  });
  static int argc = 1;
  static char name[] = "verto";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QApplication::setApplicationName("VERTO");
  QApplication::setDesktopFileName("verto");
  QApplication::setQuitOnLastWindowClosed(false);

  verto::qt::FrameSession session(*options);
  // Closing the frame ends VERTO as QUIT does.
  session.frame().on_close([] { QCoreApplication::quit(); });
  session.start([] { QCoreApplication::quit(); });
  app.exec();
  // Commands that write files end at their next block; a command still
  // computing after a while is given up with the process (nothing of it
  // would be saved at the end anyway; the log is written line by line).
  if (!session.stop(std::chrono::seconds(5))) {
    std::fprintf(stderr, "verto: the frame closed while a command was still running; it was abandoned.\n");
    std::fflush(nullptr);
    std::_Exit(1);
  }
  return session.exit_status();
}
