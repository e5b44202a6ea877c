// Runs every *.vt session under tests/transcripts as one test.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/transcript.h"

namespace fs = std::filesystem;
using verto::testing::parse_transcript;
using verto::testing::read_text_file;
using verto::testing::run_transcript;

namespace {

std::vector<std::string> transcript_names() {
  std::vector<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(VERTO_TRANSCRIPT_DIR))
    if (e.path().extension() == ".vt")
      names.push_back(fs::relative(e.path(), VERTO_TRANSCRIPT_DIR).string());
  std::sort(names.begin(), names.end());
  return names;
}

class TranscriptTest : public ::testing::TestWithParam<std::string> {};

TEST_P(TranscriptTest, MatchesConsole) {
  auto text = read_text_file(fs::path(VERTO_TRANSCRIPT_DIR) / GetParam());
  auto t = parse_transcript(text);
  ASSERT_FALSE(t.inputs.empty()) << "a transcript needs at least one typed line";
  std::string report = run_transcript(t);
  EXPECT_TRUE(report.empty()) << GetParam() << ":\n" << report;
}

std::string test_name(const ::testing::TestParamInfo<std::string>& info) {
  std::string n = info.param;
  for (char& c : n)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return n;
}

INSTANTIATE_TEST_SUITE_P(Sessions, TranscriptTest, ::testing::ValuesIn(transcript_names()),
                         test_name);

}  // namespace
