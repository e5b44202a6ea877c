#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/help.h"

namespace verto {
namespace {

// The first word of every topic and its syntax lines as listed for users.
struct TopicCase {
  const char* topic;
  std::vector<std::string> syntax;
};

const TopicCase kTopics[] = {
    {"ADD", {"ADD[/n1:n2] Cn1 [,Cn2,Cn3]"}},
    {"PORT", {"PORT[/C,/X] x1,x2"}},
    {"AV", {"AVERAGE[/SUM,/SD,/D,/X] [delta_x]"}},
    {"CLEAR", {"CLEAR"}},
    {"CLS", {"CLS", "  Clears screen."}},
    {"DIR",
     {"$command  -- Execute operating system command.", "CD        -- Change disk directory.",
      "DIR       -- Get a disk directory."}},
    {"D",
     {"D[/options] [xwidth]   -- 1st derivative of data",
      "DD[/options] [xwidth]  -- 2nd derivative of data"}},
    {"FFT", {"FFT[/INV] [var]"}},
    {"FIT", {"FIT[/options]  function"}},
    {"FORM", {"FORM format,[var]"}},
    {"REG", {"REGRESS[/options]"}},
    {"LINE", {"LINE[/options] [filename]"}},
    {"MARK", {"MARK[/options] [n1,n2,n3...]", "LABEL[/options] text_string"}},
    {"L", {"LIST[/options]              equivalent to SHOW"}},
    {"NORM", {"NORM[/LINE,/n1:n2] [I=point_num] [var=val]"}},
    {"PLOT", {"PLOT[/options]"}},
    {"SET", {"SET[/LINE] variable=expression"}},
    {"SM", {"SMOOTH[/G,/M] window"}},
    {"SW", {"SWAP[/LINE,/n1:n2] var1=var2"}},
    {"WR", {"WRITE[/options] filename           equivalent to SAVE and OUTPUT"}},
};

TEST(HelpTexts, EveryTopicStartsWithItsSyntaxAndFitsTheScreen) {
  for (const TopicCase& c : kTopics) {
    auto text = help_topic_text(c.topic);
    ASSERT_FALSE(text.empty()) << c.topic;
    EXPECT_GE(text.size(), 2u) << c.topic;
    EXPECT_LE(text.size(), 12u) << c.topic;
    for (std::size_t i = 0; i < c.syntax.size(); ++i) EXPECT_EQ(text[i], c.syntax[i]) << c.topic;
    for (auto line : text) {
      EXPECT_LE(line.size(), 77u) << c.topic << ": " << line;
      EXPECT_EQ(line.find('\t'), std::string_view::npos);
    }
  }
  EXPECT_EQ(help_topic_text("DIR").size(), 3u) << "the three system lines alone";
  EXPECT_EQ(help_topic_text("CLS").size(), 2u);
  EXPECT_EQ(help_summary_text().size(), 22u);
}

TEST(HelpTexts, TopicsAreChosenByTheirFirstLettersInOrder) {
  auto same = [](std::string_view a, std::string_view b) {
    return help_topic_text(a).data() == help_topic_text(b).data();
  };
  EXPECT_TRUE(same("CD", "DIR"));
  EXPECT_TRUE(same("$", "DIR"));
  EXPECT_TRUE(same("DD", "D"));
  EXPECT_TRUE(same("DATA", "D"));
  EXPECT_TRUE(same("LABEL", "MARK"));
  EXPECT_TRUE(same("LIST", "L"));
  EXPECT_TRUE(same("LS", "L"));
  EXPECT_TRUE(same("SHOW", "L"));
  EXPECT_TRUE(same("OUTPUT", "WR"));
  EXPECT_TRUE(same("AVERAGE", "AV"));
  EXPECT_TRUE(same("SMOOTH", "SM"));
  EXPECT_FALSE(same("LINE", "L")) << "LINE is compared before L";
  EXPECT_FALSE(same("CLS", "CLEAR"));
  EXPECT_TRUE(help_topic_text("READ").empty()) << "READ has no topic text";
  EXPECT_TRUE(help_topic_text("SAVE").empty()) << "only WR and OUT name WRITE's text";
  EXPECT_TRUE(help_topic_text("").empty());
  EXPECT_TRUE(help_topic_text("F").empty());
}

TEST(HelpTexts, WriteHelpTellsHowOverwriteProtectionIsSwitchedOff) {
  bool mentions = false;
  for (auto line : help_topic_text("WRITE"))
    mentions |= line.find("I_CLOBBER=-1") != std::string_view::npos;
  EXPECT_TRUE(mentions);
}

}  // namespace
}  // namespace verto
