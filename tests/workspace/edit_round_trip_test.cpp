// EDIT with the operating system's services: EDITOR names a small script
// that changes the scratch file, and the changed data come back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/command_table.h"
#include "support/scoped_directory.h"
#include "core/dispatch.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"

namespace fs = std::filesystem;

namespace verto {
namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class EditRoundTrip : public ::testing::Test {
 protected:
  testing::ScopedDirectory scratch{"verto-edit-"};
  const fs::path& dir = scratch.path();
  MemoryConsole con;
  Session s{con, os_services(), verto::command_table()};
  Workspace& ws = s.ws;

  // An editor script: `body` is shell code working on the file "$1".
  std::string editor(const std::string& body) {
    const fs::path script = dir / "fake editor.sh";
    std::ofstream(script) << "#!/bin/sh\nf=\"$1\"\n" << body << "\n";
    fs::permissions(script, fs::perms::owner_all);
    return "/bin/sh '" + script.string() + "'";  // an editor command with an argument
  }
  std::string screen() const { return con.text(); }
};

TEST_F(EditRoundTrip, ChangedPointsComeBack) {
  ws.form = 3;
  for (int i = 0; i < 10; ++i) {
    ws.X[i] = static_cast<float>(i + 1);
    ws.Y[i] = static_cast<float>((i + 1) * (i + 1)) / 3.f;
  }
  ws.Npts = 10;
  add_point_marker(ws, con, 10, "run.dat");
  // Replace the first line, keep the rest, append one point.
  const std::string cmd = editor(
      "{ echo ' 100 -7.5'; tail -n +2 \"$f\"; echo ' 11 121'; } > \"$f.new\" && mv \"$f.new\" \"$f\"");
  ScopedEnv visual("VISUAL", nullptr);
  ScopedEnv env("EDITOR", cmd.c_str());
  dispatch(s, "EDIT");
  EXPECT_EQ(screen().find("No text editor"), std::string::npos) << screen();
  ASSERT_EQ(ws.Npts, 11);
  EXPECT_EQ(ws.X[0], 100.f);
  EXPECT_EQ(ws.Y[0], -7.5f);
  for (int i = 1; i < 10; ++i) EXPECT_EQ(ws.Y[i], static_cast<float>((i + 1) * (i + 1)) / 3.f) << i;
  EXPECT_EQ(ws.X[10], 11.f);
  EXPECT_EQ(ws.Y[10], 121.f);
  ASSERT_EQ(ws.point_markers.count, 1);  // the old markers went with the old points
  EXPECT_EQ(ws.point_markers.entries[0].index, 11);
  EXPECT_EQ(ws.point_markers.entries[0].label, "VTDATA.TMP");
  EXPECT_EQ(ws.last_file, "----none----");
}

TEST_F(EditRoundTrip, LineAndWorksheetComeBack) {
  ws.form = 7;
  for (int i = 0; i < 4; ++i) {
    ws.LX[i] = static_cast<float>(i);
    ws.LY[i] = 0.1f * static_cast<float>(i);
    ws.LZ[i] = -1.f * static_cast<float>(i);
  }
  ws.Nline = 4;
  ws.auto_marker = 0;
  ScopedEnv visual("VISUAL", nullptr);
  ScopedEnv env("EDITOR", editor("sed -i '$d' \"$f\"").c_str());  // drops the last line
  dispatch(s, "EDIT/L");
  ASSERT_EQ(ws.Nline, 3);
  EXPECT_EQ(ws.LY[1], 0.1f);
  EXPECT_EQ(ws.LZ[2], -2.f);
  EXPECT_EQ(ws.line_markers.count, 0);

  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 3; ++c) ws.column(r, c) = static_cast<float>(10 * r + c);
  ws.Mpts = 2;
  ws.Num_columns = 3;
  ws.Npts = 5;  // kept: the rows do not replace existing points
  ScopedEnv env2("EDITOR", editor("echo ' 31 32 33' >> \"$f\"").c_str());
  dispatch(s, "EDIT/C");
  ASSERT_EQ(ws.Mpts, 3);
  EXPECT_EQ(ws.column(3, 2), 32.f);
  EXPECT_EQ(ws.column(1, 3), 13.f);
  EXPECT_EQ(ws.Npts, 5);
}

TEST_F(EditRoundTrip, MissingEditorLeavesTheDataAsTheyWere) {
  ws.form = 4;
  ws.X[0] = 1.f;
  ws.Y[0] = 2.f;
  ws.S[0] = 0.25f;
  ws.Npts = 1;
  ScopedEnv visual("VISUAL", nullptr);
  ScopedEnv env("EDITOR", (dir / "no-such-editor").c_str());
  dispatch(s, "EDIT");
  EXPECT_NE(screen().find("<<<VERTO!!!>>> No text editor could be started"), std::string::npos);
  ASSERT_EQ(ws.Npts, 1);
  EXPECT_EQ(ws.S[0], 0.25f);
}

TEST_F(EditRoundTrip, UnwritableScratchFileEmptiesNothing) {
  fs::create_directory("VTDATA.TMP");  // cannot be opened as a file
  ws.form = 3;
  ws.Npts = 6;
  dispatch(s, "EDIT");
  EXPECT_NE(screen().find("<<<VERTO!!!>>> Error writing to file!!!"), std::string::npos);
  EXPECT_EQ(ws.Npts, 6);
}

}  // namespace
}  // namespace verto
