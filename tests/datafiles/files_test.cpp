// WRITE, READ and ENTER through the command loop, on real files in a
// fresh directory.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "app/command_table.h"
#include "datafiles/file_names.h"
#include "core/records.h"
#include "support/scoped_directory.h"
#include "core/dispatch.h"
#include "core/format.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"

namespace verto {
namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  void run(Session& s, const std::string& line) { dispatch(s, line); }
  std::string screen() const { return con_.text(); }
  static std::string slurp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  MemoryConsole con_;
  InertSystemServices sys_;
  testing::ScopedDirectory dir_{"verto-files-"};
};

// A finite float from random bits, denormals and extremes included.
float random_float(std::mt19937& gen) {
  for (;;) {
    float f = std::bit_cast<float>(static_cast<std::uint32_t>(gen()));
    if (std::isfinite(f)) return f;
  }
}

TEST(AppendReal, WritesTheShortestRealText) {
  std::mt19937 gen(12345);
  std::string out;
  auto check = [&](float v) {
    out.clear();
    append_real(out, v);
    ASSERT_EQ(out, shortest_real(v)) << std::bit_cast<std::uint32_t>(v);
  };
  for (float v : {0.f, -0.f, 1.f, -1.f, 0.1f, 1e-4f, 9.99e-5f, 1e7f, 1.2345678e7f, 1e8f, 123456.7f,
                  3.4028235e38f, 1.4e-45f, 1.17549435e-38f, NAN, INFINITY, -INFINITY})
    check(v);
  for (int i = 0; i < 200000; ++i) check(random_float(gen));
}

TEST_F(FilesTest, WriteThenReadGivesIdenticalBitsInEveryForm) {
  std::mt19937 gen(2024);
  struct Case {
    int form, variable;
  } cases[] = {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {3, 1}, {4, 1}, {7, 1}};
  for (const auto& c : cases) {
    Session out(con_, sys_, verto::command_table());
    out.ws.clobber = 0;
    out.ws.Npts = 3000;
    for (int i = 0; i < out.ws.Npts; ++i) {
      out.ws.X[i] = random_float(gen);
      out.ws.Y[i] = random_float(gen);
      out.ws.S[i] = random_float(gen);
    }
    out.ws.variable = c.variable;
    const std::string name = "round trip " + std::to_string(c.form) + ".dat";
    run(out, "WRITE/" + std::to_string(c.form) + " " + name);

    Session in(con_, sys_, verto::command_table());
    in.ws.variable = c.variable;
    run(in, "READ/" + std::to_string(c.form) + " " + name);
    ASSERT_EQ(in.ws.Npts, out.ws.Npts) << "form " << c.form;
    for (int i = 0; i < out.ws.Npts; ++i) {
      auto bits = [](float f) { return std::bit_cast<std::uint32_t>(f); };
      const bool x = c.form != 1 || c.variable == 1, y = c.form == 3 || c.form == 4 || c.form == 7 ||
                                                          (c.form == 1 && c.variable == 2);
      const bool s = c.form == 2 || c.form == 4 || c.form == 7 || (c.form == 1 && c.variable == 3);
      if (x) {
        ASSERT_EQ(bits(in.ws.X[i]), bits(out.ws.X[i])) << "form " << c.form << " point " << i;
      }
      if (y) {
        ASSERT_EQ(bits(in.ws.Y[i]), bits(out.ws.Y[i])) << "form " << c.form << " point " << i;
      }
      if (s) {
        ASSERT_EQ(bits(in.ws.S[i]), bits(out.ws.S[i])) << "form " << c.form << " point " << i;
      }
    }
  }
}

TEST_F(FilesTest, WriteLineWritesTwoValuesEvenInForm7) {
  Session s(con_, sys_, verto::command_table());
  s.ws.Nline = 5;
  for (int i = 0; i < 5; ++i) {
    s.ws.LX[i] = static_cast<float>(i + 1);
    s.ws.LY[i] = 10.f * static_cast<float>(i + 1);
    s.ws.LZ[i] = -1.f;
  }
  s.ws.form = 7;
  run(s, "WRITE/L/1:3 out.dat");
  EXPECT_EQ(slurp("out.dat"), " 1 10\n 2 20\n 3 30\n");
  run(s, "WRITE/LINE all.dat");
  EXPECT_EQ(slurp("all.dat"), " 1 10\n 2 20\n 3 30\n 4 40\n 5 50\n");
  EXPECT_EQ(s.ws.form, 7);
  // The line data go out whatever the form, even one WRITE cannot use.
  s.ws.form = 5;
  run(s, "WRITE/L/N:N last.dat");
  EXPECT_EQ(slurp("last.dat"), " 5 50\n");
  EXPECT_EQ(s.ws.form, 5);
}

TEST_F(FilesTest, FailedWriteKeepsTheOldFileAndLeavesNothingBehind) {
  Session s(con_, sys_, verto::command_table());
  s.ws.Npts = 2;
  s.ws.form = 3;
  {
    std::ofstream("keep.dat") << "old contents\n";
  }
  ::chmod("keep.dat", 0640);
  fs::create_directory("adir");
  // The target is a directory: the new file cannot be put in its place.
  run(s, "WRITE! adir");
  EXPECT_NE(screen().find("<<<VERTO!!!>>> Error writing to file!!!"), std::string::npos);
  EXPECT_TRUE(fs::is_directory("adir"));
  EXPECT_EQ(slurp("keep.dat"), "old contents\n");
  int entries = 0;
  for (auto it = fs::directory_iterator("."); it != fs::directory_iterator(); ++it) ++entries;
  EXPECT_EQ(entries, 2) << "no temporary file may stay";
  // A successful overwrite keeps the permissions of the file it replaces.
  run(s, "WRITE! keep.dat");
  EXPECT_EQ(slurp("keep.dat"), " 0 0\n 0 0\n");
  struct stat st {};
  ASSERT_EQ(::stat("keep.dat", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // Names may hold the characters of qualifiers: they stay part of the
  // name and select nothing.
  fs::create_directory("data");
  s.ws.Npts = 3;
  con_.clear();
  run(s, "WRITE data/L!x.dat");
  run(s, "WRITE data/1:2=7.dat");
  EXPECT_EQ(screen(), "");
  EXPECT_EQ(slurp("data/L!x.dat"), " 0 0\n 0 0\n 0 0\n");
  EXPECT_EQ(slurp("data/1:2=7.dat"), " 0 0\n 0 0\n 0 0\n");
  EXPECT_EQ(s.ws.form, 3);
}

TEST_F(FilesTest, WriteIntoAPipeOrThroughALinkKeepsWhatIsThere) {
  Session s(con_, sys_, verto::command_table());
  s.ws.Npts = 2;
  s.ws.form = 3;
  ASSERT_EQ(::mkfifo("pipe", 0600), 0);
  fs::create_symlink("pipe", "to_pipe");
  // The reading end is open before WRITE runs, as a program at the other
  // end would hold it; the few bytes fit into the pipe's buffer.
  const int reading = ::open("pipe", O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reading, 0);
  run(s, "WRITE! to_pipe");
  char buf[64] = {};
  const auto got = ::read(reading, buf, sizeof buf);
  ::close(reading);
  EXPECT_EQ(std::string(buf, got > 0 ? static_cast<std::size_t>(got) : 0), " 0 0\n 0 0\n");
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status("pipe"))) << "the pipe is written into, not replaced";
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status("to_pipe")));
  EXPECT_EQ(screen().find("Error"), std::string::npos) << screen();
  // A link to a regular file stays a link; the file gets the new text.
  { std::ofstream("real.dat") << "old\n"; }
  fs::create_symlink("real.dat", "to_real");
  run(s, "WRITE! to_real");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status("to_real")));
  EXPECT_EQ(slurp("real.dat"), " 0 0\n 0 0\n");
}

TEST_F(FilesTest, ReadStopsAtTheCapacity) {
  {
    std::ofstream f("big.dat");
    for (int i = 1; i <= kMaxNpts + 10; ++i) f << i << ' ' << 2 * i << '\n';
  }
  Session s(con_, sys_, verto::command_table());
  s.ws.Npts = 5;
  run(s, "READ/3 big.dat");
  EXPECT_EQ(s.ws.Npts, kMaxNpts);
  EXPECT_EQ(s.ws.X[kMaxNpts - 1], static_cast<float>(kMaxNpts - 5));
  EXPECT_NE(screen().find("<<<VERTO!!!>>> Capacity of 50000 points reached"), std::string::npos);
  EXPECT_NE(screen().find(" Npts = 50000"), std::string::npos);
  ASSERT_EQ(s.ws.point_markers.count, 1);
  EXPECT_EQ(s.ws.point_markers.entries[0].index, kMaxNpts);

  // A file that fits exactly gives no message.
  {
    std::ofstream f("exact.dat");
    for (int i = 1; i <= 10; ++i) f << i << '\n';
  }
  Session t(con_, sys_, verto::command_table());
  t.ws.Npts = kMaxNpts - 10;
  con_.clear();
  run(t, "READ/1 exact.dat");
  EXPECT_EQ(t.ws.Npts, kMaxNpts);
  EXPECT_EQ(screen().find("Capacity"), std::string::npos);

  // The worksheet stops at 50000 rows too, and the rows go to the points.
  Session w(con_, sys_, verto::command_table());
  w.ws.Mpts = 20;
  con_.clear();
  run(w, "READ/5 big.dat");
  EXPECT_EQ(w.ws.Mpts, kMaxNpts);
  EXPECT_EQ(w.ws.Npts, kMaxNpts - 20);
  EXPECT_EQ(w.ws.Num_columns, 2);
  EXPECT_EQ(w.ws.column(kMaxNpts, 2), 2.f * (kMaxNpts - 20));
  EXPECT_NE(screen().find("Capacity of 50000 rows reached"), std::string::npos);
}

TEST_F(FilesTest, EnterStopsAtTheCapacity) {
  Session s(con_, sys_, verto::command_table());
  s.ws.Npts = kMaxNpts - 1;
  con_.add_input("1 2");
  con_.add_input("3 4");
  run(s, "ENTER/3");
  EXPECT_EQ(s.ws.Npts, kMaxNpts);
  EXPECT_EQ(con_.inputs_left(), 1);
  EXPECT_NE(screen().find("Capacity of 50000 points reached"), std::string::npos);
}

TEST_F(FilesTest, WorksheetReadHoldsAtMostNineColumns) {
  {
    std::ofstream f("wide.dat");
    f << "1 2 3 4 5 6 7 8 9 10 11 12\n";
  }
  Session s(con_, sys_, verto::command_table());
  run(s, "READ/5 wide.dat");
  EXPECT_EQ(s.ws.Num_columns, kMaxColumns);
  EXPECT_EQ(s.ws.Mpts, 1);
  EXPECT_EQ(s.ws.column(1, 9), 9.f);
  // A user format longer than the worksheet is read in full.
  run(s, "READ/'0000000000X0' wide.dat");
  EXPECT_EQ(s.ws.Npts, 2);
  EXPECT_EQ(s.ws.X[1], 11.f);
  EXPECT_EQ(s.ws.form, 1);
}

TEST_F(FilesTest, ReadQuestionMarkShowsTheDirectory) {
  { std::ofstream("a.dat") << "1 2\n"; }
  Session s(con_, sys_, verto::command_table());
  run(s, "DIR");
  const std::string listing = screen();
  con_.clear();
  con_.add_input("a.dat");
  run(s, "READ/3 ?");
  EXPECT_EQ(screen(), " format:   (X,Y)    \n" + listing + " _filename:a.dat\n Npts =     1\n");
  EXPECT_EQ(s.ws.Npts, 1);
  // In form 0 the user format is explained instead, and nothing is read.
  con_.clear();
  con_.add_input("never read");
  run(s, "READ/0 ?");
  EXPECT_EQ(screen(),
            " format:   user form\n"
            " User format: READ/user_fmt filename\n"
            "    use X,Y,S and 0 (dummy value not read) inside of single quotes.\n"
            "    example:  '0,0,X,0,Y' , X is read in from 3rd column, Y from 5th column\n"
            "\n" + listing);
  EXPECT_EQ(con_.inputs_left(), 1);
  EXPECT_EQ(s.ws.Npts, 1);
}

TEST_F(FilesTest, PatternsWithADirectoryPart) {
  fs::create_directory("sub");
  { std::ofstream("sub/b.dat") << "2 20\n"; }
  { std::ofstream("sub/a.dat") << "1 10\n"; }
  { std::ofstream("sub/.hidden.dat") << "9 90\n"; }
  Session s(con_, sys_, verto::command_table());
  run(s, "READ/3 sub/*.dat");
  EXPECT_EQ(s.ws.Npts, 2);
  EXPECT_EQ(s.ws.X[0], 1.f);
  ASSERT_EQ(s.ws.point_markers.count, 2);
  EXPECT_EQ(s.ws.point_markers.entries[1].label, "sub/b.dat");
  EXPECT_EQ(s.ws.matched_files, (std::vector<std::string>{"sub/a.dat", "sub/b.dat"}));
  // A "/" in the name is no qualifier: no form is chosen.
  con_.clear();
  run(s, "READ sub/3.dat");
  EXPECT_EQ(screen(), "<<<VERTO!!!>>> File not Found!\n");
  EXPECT_EQ(s.ws.form, 3);
  con_.clear();
  run(s, "READ no/such/*.dat");
  EXPECT_EQ(screen(), "<<<VERTO!!!>>> File Not Found!\n");
  EXPECT_EQ(s.ws.Npts, 2);
}

TEST(FileNames, WildcardMatching) {
  EXPECT_TRUE(wildcard_match("*.dat", "run12.dat"));
  EXPECT_TRUE(wildcard_match("run??.dat", "run12.dat"));
  EXPECT_FALSE(wildcard_match("run?.dat", "run12.dat"));
  EXPECT_TRUE(wildcard_match("*", "a"));
  EXPECT_TRUE(wildcard_match("a*b*c", "aXXbYYbc"));
  EXPECT_FALSE(wildcard_match("a*b*c", "aXXbYYbd"));
  EXPECT_FALSE(wildcard_match("*.DAT", "x.dat"));
  EXPECT_FALSE(wildcard_match("*", ".hidden"));
  EXPECT_TRUE(wildcard_match(".*", ".hidden"));
  EXPECT_TRUE(wildcard_match("**", ""));
  EXPECT_EQ(qualifier_line("READ/3 A/5:B", 8).substr(0, 9), "READ/3 F ");
  EXPECT_EQ(trim("  a b \t"), "a b");
}

}  // namespace
}  // namespace verto
