#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/editor_state.h"
#include "support/transcript.h"
#include "core/dispatch.h"
#include "core/memory_console.h"
#include "core/parsers.h"
#include "core/session.h"
#include "app/startup.h"
#include "core/system.h"

namespace verto {
namespace {

namespace fs = std::filesystem;

const std::string kIniError = "<<<VERTO!!!>>> Error reading VERTO.INI, using defaults";

// A console that also remembers the colours asked for.
class ColourConsole : public MemoryConsole {
 public:
  void set_text_colour(int index) override { colours.push_back(index); }
  std::vector<int> colours;
};

// Each test runs in a fresh current directory.
struct StartupTest : ::testing::Test {
  fs::path old_dir, dir;
  ColourConsole con;
  InertSystemServices sys;
  Session s{con, sys, verto::command_table()};
  LineEditor ed;

  void SetUp() override {
    old_dir = fs::current_path();
    dir = fs::temp_directory_path() / ("verto-startup-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir / "cfg");
    fs::current_path(dir);
  }
  void TearDown() override {
    fs::current_path(old_dir);
    fs::remove_all(dir);
  }
  static void write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  void start(std::vector<std::string> args = {}, bool wait = false) {
    StartupOptions options;
    options.wait_after_banner = wait;
    run_startup(s, ed.macros, args, options);
  }
  int count(const std::string& line) const {
    return static_cast<int>(std::count(con.lines().begin(), con.lines().end(), line));
  }
  int index_of(const std::string& line) const {
    auto it = std::find(con.lines().begin(), con.lines().end(), line);
    return it == con.lines().end() ? -1 : static_cast<int>(it - con.lines().begin());
  }
};

TEST_F(StartupTest, WithoutAnyVertoIniTheDefaultsStay) {
  start();
  EXPECT_EQ(count(kIniError), 1) << "one message at every start-up without the file";
  EXPECT_EQ(con.lines().front(), kIniError) << "VERTO.INI is read before the banner";
  EXPECT_EQ(s.ws.form, 5);
  EXPECT_EQ(s.ws.variable, 1);
  EXPECT_EQ(s.ws.clobber, 1);
  EXPECT_EQ(s.ws.auto_marker, 1);
  EXPECT_EQ(s.ws.plot_mode, "/M=VGA");
  EXPECT_EQ(con.title(), "VERTO! Console");
  EXPECT_EQ(ed.macros.count, 0);
  // The welcome text closes the start-up.
  ASSERT_GE(con.lines().size(), 10u);
  auto n = con.lines().size();
  EXPECT_EQ(con.lines()[n - 7], " Welcome to VERTO!");
  EXPECT_EQ(con.lines()[n - 6], " Version 5.3 -Win 3.0    ");
  EXPECT_EQ(con.lines()[n - 4], " format:   auto form");
  EXPECT_EQ(con.lines()[n - 3], " variable: X");
}

TEST_F(StartupTest, DefaultsComeFromTheDirectoryNamedByVerto) {
  write("cfg/VERTO.INI",
        "&DEFAULTS IFORM_DEF=3, IVAR_DEF=2, PLOT_MODE_DEF='/M=EGA/LEG'\n"
        "          I_CLOBBER=-1, I_MARKER=-1 /\n"
        "@PL\n1\nPLOT\n");
  write("VERTO.INI", "@HERE\n1\nECHO not this one\n");
  sys.environment["VERTO"] = (dir / "cfg").string() + "/   ";  // trailing blanks do not count
  start();
  EXPECT_EQ(count(kIniError), 0);
  EXPECT_EQ(s.ws.default_form, 3);
  EXPECT_EQ(s.ws.form, 3);
  EXPECT_EQ(s.ws.variable, 2);
  EXPECT_EQ(s.ws.plot_mode, "/M=EGA/LEG");
  EXPECT_EQ(s.ws.clobber, 0);
  EXPECT_EQ(s.ws.auto_marker, 0);
  ASSERT_EQ(ed.macros.count, 1) << "the macros come from the same file";
  EXPECT_EQ(ed.macros.entries[0].name, "@PL");
  EXPECT_EQ(con.lines().front(), " Loaded macro command: @PL");
  EXPECT_NE(index_of(" format:   (X,Y)    "), -1);
  EXPECT_NE(index_of(" variable: Y"), -1);

  // CLEAR goes back to the defaults read at start-up.
  s.ws.form = 1;
  s.ws.plot_mode = "/M=CGA";
  dispatch(s, "CLEAR");
  EXPECT_EQ(s.ws.form, 3);
  EXPECT_EQ(s.ws.plot_mode, "/M=EGA/LEG");
}

TEST_F(StartupTest, WithoutVertoOnlyTheMacrosOfTheCurrentDirectoryLoad) {
  write("VERTO.INI",
        "&DEFAULTS IFORM_DEF=3, I_CLOBBER=-1 /\n"
        "@SETUP\n2\nFORM 3\nECHO ready\n");
  start();
  EXPECT_EQ(count(kIniError), 0);
  EXPECT_EQ(s.ws.form, 5) << "DEFAULTS is not read without VERTO";
  EXPECT_EQ(s.ws.clobber, 1) << "so WRITE keeps asking before it overwrites";
  ASSERT_EQ(ed.macros.count, 1);
  EXPECT_EQ(ed.macros.entries[0].lines[1], "ECHO ready");
}

TEST_F(StartupTest, AMissingOrBrokenFileSkipsTheMacroPass) {
  write("VERTO.INI", "@HERE\n1\nECHO x\n");
  sys.environment["VERTO"] = (dir / "cfg").string() + "/";
  start();
  EXPECT_EQ(count(kIniError), 1);
  EXPECT_EQ(ed.macros.count, 0);

  Session again(con, sys, verto::command_table());
  con.clear();
  write("cfg/VERTO.INI", "&DEFAULTS IFORM_DEF=3, NO_SUCH_KEY=1 /\n@A\n1\nECHO a\n");
  LineEditor again_editor;
  run_startup(again, again_editor.macros, {});
  EXPECT_EQ(count(kIniError), 1);
  EXPECT_EQ(again.ws.form, 5) << "nothing of a broken group is used";
  EXPECT_EQ(again_editor.macros.count, 0);
}

TEST_F(StartupTest, ClobberQuestionStaysOnUnlessSwitchedOffExplicitly) {
  sys.environment["VERTO"] = "cfg/";
  struct Case {
    const char* group;
    int clobber, marker;
  } cases[] = {
      {"&DEFAULTS /", 1, 1},
      {"&DEFAULTS I_CLOBBER=-1 /", 0, 1},
      {"&DEFAULTS I_CLOBBER=1 /", 1, 1},
      {"&DEFAULTS I_CLOBBER=0, I_MARKER=0 /", 1, 1},
      {"&DEFAULTS I_MARKER=-1 /", 1, 0},
      {"&DEFAULTS I_MARKER=1, I_CLOBBER=7 /", 1, 1},
  };
  for (const Case& c : cases) {
    write("cfg/VERTO.INI", c.group);
    MemoryConsole quiet;
    Session fresh(quiet, sys, verto::command_table());
    run_startup(fresh, ed.macros, {});
    EXPECT_EQ(fresh.ws.clobber, c.clobber) << c.group;
    EXPECT_EQ(fresh.ws.auto_marker, c.marker) << c.group;
  }
}

TEST_F(StartupTest, OutOfRangeDefaultsAreIgnoredWithAMessage) {
  sys.environment["VERTO"] = "cfg/";
  write("cfg/VERTO.INI", "&DEFAULTS IFORM_DEF=9, IVAR_DEF=0 /");
  start();
  EXPECT_EQ(s.ws.form, 5);
  EXPECT_EQ(s.ws.variable, 1);
  EXPECT_EQ(count("<<<VERTO!!!>>> VERTO.INI: IFORM_DEF must be 0 to 7; 9 ignored."), 1);
  EXPECT_EQ(count("<<<VERTO!!!>>> VERTO.INI: IVAR_DEF must be 1 to 3; 0 ignored."), 1);
}

TEST_F(StartupTest, ProgramArgumentsSetDefaults) {
  start({"/F=6", "/v=y", "/X", "/M=EGA"});
  EXPECT_EQ(s.ws.form, 5) << "/F=6 is ignored";
  EXPECT_EQ(s.ws.variable, 2);
  EXPECT_EQ(s.ws.plot_mode, "/M=EGA");

  Session other(con, sys, verto::command_table());
  run_startup(other, ed.macros, std::vector<std::string>{"/f=7", "/F=x", "/V=Q"});
  EXPECT_EQ(other.ws.form, 7);
  EXPECT_EQ(other.ws.variable, 1);
}

TEST_F(StartupTest, OneDataFileIsReadAfterTheWelcomeText) {
  start({"Run12.dat"});
  int welcome = index_of(" Welcome to VERTO!");
  int reading = index_of(" reading data from Run12.dat");
  ASSERT_NE(reading, -1);
  EXPECT_GT(reading, welcome);
  EXPECT_EQ(trim_right(s.ws.line), "Read Run12.dat") << "the READ line, case kept";
  EXPECT_EQ(s.ws.startup_file, "") << "dropped by the reset, as CLEAR does";
  EXPECT_FALSE(fs::exists("VTDATA.TMP"));
}

TEST_F(StartupTest, SeveralDataFilesGoThroughTheScratchFile) {
  start({"a.dat", "/F=3", "b.dat", "c.dat"});
  EXPECT_EQ(s.ws.form, 3);
  EXPECT_EQ(trim_right(s.ws.line), "Read ***File_List***");
  EXPECT_NE(index_of(" reading data from ***File_List***"), -1);
  std::string text = testing::read_text_file("VTDATA.TMP");
  std::string expected;
  for (const char* name : {"a.dat", "b.dat", "c.dat"}) {
    std::string record = std::string(" ") + name;
    record.resize(71, ' ');  // (1X,A70)
    expected += record + "\n";
  }
  EXPECT_EQ(text, expected);
}

TEST_F(StartupTest, BannerLayoutAndColours) {
  print_banner(con);
  const auto& l = con.lines();
  ASSERT_EQ(l.size(), 2u + 16 + 3 + 2 + 3);
  EXPECT_EQ(l[0], "");
  EXPECT_EQ(l[1], "");
  for (int i = 2; i < 23; ++i) {
    std::string art = i == 20 ? l[i].substr(0, l[i].size() - 23) : l[i];
    EXPECT_EQ(art.substr(0, 10), std::string(10, ' ')) << i;
    EXPECT_EQ(art.find_first_not_of(" X:"), std::string::npos) << "only X and : in the art: " << i;
  }
  EXPECT_EQ(l[20].substr(l[20].size() - 23), std::string(11, ' ') + "Version 5.3 ")
      << "the version follows the third short line after 11 blanks";
  EXPECT_EQ(l[23], "");
  EXPECT_EQ(l[24], "");
  EXPECT_EQ(l[25], "                        Hit [PageDown] key to continue");
  EXPECT_EQ(con.colours, (std::vector<int>{kColourRed, kColourLightBlue, kColourRed, kColourWhite}));
}

TEST_F(StartupTest, OnlyAKeyboardConsoleWaitsAfterTheBanner) {
  con.add_key('q');
  start({}, true);
  EXPECT_EQ(con.read_key(), 'q') << "a script is never held up";

  ColourConsole keyboard;
  keyboard.set_interactive(true);
  keyboard.add_key(kKeyPageDown);
  keyboard.add_key('q');
  Session typed(keyboard, sys, verto::command_table());
  StartupOptions options;
  run_startup(typed, ed.macros, {}, options);
  EXPECT_EQ(keyboard.read_key(), 'q') << "one key was taken after the banner";
}

}  // namespace
}  // namespace verto
