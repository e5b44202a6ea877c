// The lab notebook written by the program itself in a script session: a
// well-formed document (checked by a strict XML parser) holding each
// command with its output in order, the pictures inline and every text
// escaped; a session killed after its plot leaves a complete document.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QWidget>
#include <QXmlStreamReader>
#include <string>
#include <vector>

#include "qt_test_support.h"
#include "support/scoped_directory.h"

namespace verto {
namespace {

using verto::testing::wait_until;

struct Page {
  QString error;                   // empty when the document is well-formed
  std::vector<QString> commands;   // the prompt lines of the entries, in order
  std::vector<QString> outputs;    // the output of each entry (joined)
  std::vector<QString> pictures;   // for each inline picture, its entry's command
  QStringList files;               // the files noted
  int scripts = 0;                 // script elements anywhere
};

Page read_page(const QString& path) {
  Page page;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    page.error = "cannot open";
    return page;
  }
  QXmlStreamReader xml(&f);
  QString in_class;
  while (!xml.atEnd()) {
    if (!xml.readNext()) break;
    if (!xml.isStartElement()) continue;
    const QString name = xml.name().toString();
    if (name == "script") ++page.scripts;
    if (name == "pre") {
      const QString cls = xml.attributes().value("class").toString();
      const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
      if (cls == "in") {
        page.commands.push_back(text);
        page.outputs.emplace_back();
      } else if (!page.outputs.empty()) {
        page.outputs.back() += text;
      }
    } else if ((name == "svg" || name == "img") && !page.commands.empty()) {
      page.pictures.push_back(page.commands.back());
      if (name == "svg") xml.skipCurrentElement();
    } else if (name == "li") {
      page.files << xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
  }
  if (xml.hasError()) page.error = xml.errorString();
  return page;
}

QStringList arguments(const char* notebook) {
  return {"--notebook", notebook};
}

TEST(Notebook, ScriptSessionWithReadFitPlotAndLegend) {
  verto::testing::ScopedDirectory dir("verto-notebook");
  const std::string data = std::string(VERTO_EXAMPLES_DIR) + "/gauss_peak.dat";
  const QString hostile = "<script>alert(1)</script> & \"peak\"";
  QProcess verto;
  verto.start(VERTO_BINARY, arguments("n.html"));
  ASSERT_TRUE(verto.waitForStarted());
  verto.write(("read/3 " + data + "\nfit gaussb\n").c_str());
  verto.write(("label " + hostile + "\nplot/leg\nleg\nquit\n").toUtf8());
  verto.closeWriteChannel();
  ASSERT_TRUE(verto.waitForFinished(30000));

  const Page page = read_page("n.html");
  ASSERT_TRUE(page.error.isEmpty()) << page.error.toStdString();
  ASSERT_EQ(page.commands.size(), 6u);
  EXPECT_EQ(page.commands[0].toStdString(), ">read/3 " + data);
  EXPECT_EQ(page.commands[1], ">fit gaussb");
  EXPECT_EQ(page.commands[2], ">label " + hostile);  // shown as text
  EXPECT_EQ(page.commands[3], ">plot/leg");
  EXPECT_EQ(page.commands[4], ">leg");
  EXPECT_EQ(page.commands[5], ">quit");
  EXPECT_TRUE(page.outputs[0].contains(" Npts =")) << page.outputs[0].toStdString();
  EXPECT_TRUE(page.outputs[1].contains("reduced ChiSq")) << page.outputs[1].toStdString();
  EXPECT_TRUE(page.outputs[3].contains("Output written to VERTO1.PNG"));
  EXPECT_EQ(page.pictures, (std::vector<QString>{">plot/leg", ">leg"}));
  EXPECT_EQ(page.scripts, 0);
  EXPECT_TRUE(page.files.contains("read " + QString::fromStdString(data)));
  EXPECT_TRUE(page.files.contains("written VERTO1.PNG"));
  EXPECT_TRUE(page.files.contains("written VERTOL1.PNG"));

  // A second session continues the notebook.
  QProcess again;
  again.start(VERTO_BINARY, arguments("n.html"));
  ASSERT_TRUE(again.waitForStarted());
  again.write("echo second\n");
  again.closeWriteChannel();
  ASSERT_TRUE(again.waitForFinished(30000));
  const Page both = read_page("n.html");
  ASSERT_TRUE(both.error.isEmpty()) << both.error.toStdString();
  ASSERT_EQ(both.commands.size(), 7u);
  EXPECT_EQ(both.commands[6], ">echo second");
}

TEST(Notebook, KilledAfterThePlotLeavesACompleteDocument) {
  verto::testing::ScopedDirectory dir("verto-notebook-kill");
  QProcess verto;
  verto.start(VERTO_BINARY, arguments("k.html"));
  ASSERT_TRUE(verto.waitForStarted());
  verto.write(("read/3 " + std::string(VERTO_EXAMPLES_DIR) + "/gauss_peak.dat\nplot\n").c_str());
  // Input stays open: VERTO waits for its next line.
  ASSERT_TRUE(wait_until([] {
    QFile f("k.html");
    return f.open(QIODevice::ReadOnly) && f.readAll().contains("</figure>");
  }, 20000));
  verto.kill();
  ASSERT_TRUE(verto.waitForFinished(5000));
  EXPECT_EQ(verto.exitStatus(), QProcess::CrashExit);

  const Page page = read_page("k.html");
  ASSERT_TRUE(page.error.isEmpty()) << page.error.toStdString();
  ASSERT_EQ(page.commands.size(), 2u);
  EXPECT_TRUE(page.outputs[0].contains(" Npts ="));
  EXPECT_EQ(page.pictures, std::vector<QString>{">plot"});
}

}  // namespace
}  // namespace verto
