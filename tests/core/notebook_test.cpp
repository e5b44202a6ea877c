// The notebook file: texts escaped whatever bytes they hold, the closing
// tags in place after every write, and only notebooks continued.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/notebook.h"
#include "support/scoped_directory.h"

namespace verto {
namespace {

std::string file_text(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

constexpr std::string_view kEnd = "</main>\n</body>\n</html>\n";

bool ends_with(const std::string& s, std::string_view end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

TEST(Notebook, EscapesEveryTextAndStaysWholeAfterEachWrite) {
  std::string out;
  append_escaped_html(out, "<b>&\"'\x01\x7F ok \xC3\xA9 \xC3 \xE0\x80\x80 \xED\xA0\x80 \xF0\x9F\x99\x82");
  EXPECT_EQ(out,
            "&lt;b&gt;&amp;&quot;&#39;\xEF\xBF\xBD\xEF\xBF\xBD ok \xC3\xA9 \xEF\xBF\xBD "
            "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD "
            "\xF0\x9F\x99\x82");

  testing::ScopedDirectory dir("verto-notebook-file");
  std::string error;
  {
    auto nb = Notebook::open("n.html", {"today", "/<dir>", "v"}, error);
    ASSERT_TRUE(nb) << error;
    nb->entry(">READ <x>.dat");
    nb->output(" Npts = 3");
    nb->file(FileUse::Read, "<x>.dat");
    nb->picture("Plot", "image/png", std::string("\x89PNG\r\n", 6));
    nb->write();
    const std::string now = file_text("n.html");
    EXPECT_TRUE(ends_with(now, std::string("<li>read <code>&lt;x&gt;.dat</code></li></ul>\n</div>\n"
                                           "</section>\n") + std::string(kEnd)))
        << now;
    EXPECT_NE(now.find("<dd>/&lt;dir&gt;</dd>"), std::string::npos);
    EXPECT_NE(now.find("<img alt=\"Plot\" src=\"data:image/png;base64,iVBORw0K\"/>"),
              std::string::npos);
    nb->output(" more");  // not yet written: the file stays as it was
    EXPECT_EQ(file_text("n.html"), now);
  }
  // A second session follows the first; other files are refused untouched.
  auto again = Notebook::open("n.html", {"later", ".", "v"}, error);
  ASSERT_TRUE(again);
  again.reset();
  const std::string both = file_text("n.html");
  EXPECT_NE(both.find(" more\n</pre>"), std::string::npos);
  EXPECT_GT(both.find("<dd>later</dd>"), both.find(" more\n"));
  EXPECT_EQ(both.find("<!DOCTYPE"), both.rfind("<!DOCTYPE"));  // one head
  EXPECT_TRUE(ends_with(both, kEnd));
  std::ofstream("other.html") << "<html>not mine</html>\n";
  EXPECT_FALSE(Notebook::open("other.html", {}, error));
  EXPECT_NE(error.find("is not a VERTO notebook"), std::string::npos);
  EXPECT_EQ(file_text("other.html"), "<html>not mine</html>\n");
  EXPECT_FALSE(Notebook::check("no/such/dir/n.html").empty());
}

}  // namespace
}  // namespace verto
