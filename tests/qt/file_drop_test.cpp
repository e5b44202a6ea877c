// Data files dropped on the frame: the lines of "Open data..." for each,
// handed over one file after another.
#include <gtest/gtest.h>

#include <QMimeData>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "qt/frame_session.h"
#include "qt_test_support.h"
#include "support/scoped_directory.h"

namespace verto::qt {
namespace {

using verto::testing::wait_until;
namespace fs = std::filesystem;

// The lines of the hand-over waiting in the queue, in the order they run.
std::vector<std::string> waiting_lines(HandOverQueue& q) {
  std::vector<std::string> lines;
  for (int i = std::abs(q.count()); i >= 1; --i) lines.emplace_back(q.slot(i));
  return lines;
}

TEST(FileDrop, DroppedFilesQueueTheirReadLinesOneAfterAnother) {
  verto::testing::qt_app();
  verto::testing::ScopedDirectory dir("verto-qt-drop");
  const fs::path deep = dir.path() / "a_directory_with_a_long_name_for_the_drop_test" /
                        "second_level_below";
  fs::create_directories(deep);
  for (const fs::path& p : {dir.path() / "a.dat", deep / "b.dat", dir.path() / "c.dat"})
    std::ofstream(p) << "1 2\n";

  RunOptions options;
  FrameSession session(options);  // not started: the queue keeps what is handed over
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString((dir.path() / "a.dat").string())),
                QUrl::fromLocalFile(QString::fromStdString(dir.path().string())),  // not a file
                QUrl("https://example.org/x.dat"),                                 // not local
                QUrl::fromLocalFile(QString::fromStdString((deep / "b.dat").string())),
                QUrl::fromLocalFile(QString::fromStdString((dir.path() / "c.dat").string()))});

  // Dropped on the console, the frame takes it.
  QWidget* target = session.console_view().viewport();
  const QPoint at(10, 10);
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &drop);
  EXPECT_TRUE(drop.isAccepted());

  HandOverQueue& q = session.editor().queue;
  EXPECT_EQ(q.count(), -1);
  EXPECT_EQ(waiting_lines(q), std::vector<std::string>{"Read a.dat"});
  // The next file waits until the editor has taken these lines.
  q.release();
  ASSERT_TRUE(wait_until([&] { return q.count() != 0; }));
  const std::string cd = "CD " + fs::relative(deep, dir.path()).generic_string();
  EXPECT_EQ(q.count(), -2);
  EXPECT_EQ(waiting_lines(q), (std::vector<std::string>{cd, "Read b.dat"}));
  // After that directory change c.dat is named from there.
  q.release();
  ASSERT_TRUE(wait_until([&] { return q.count() != 0; }));
  EXPECT_EQ(waiting_lines(q), std::vector<std::string>{"Read ../../c.dat"});
  q.release();
  wait_until([] { return false; }, 100);
  EXPECT_EQ(q.count(), 0);
}

}  // namespace
}  // namespace verto::qt
