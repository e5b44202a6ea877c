// Entry of the Qt tests: one application object for fonts, images and
// widgets, then every test. The tests never need a display: without a
// platform chosen in the environment (test discovery runs without the
// tests' environment) the offscreen one is used.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
