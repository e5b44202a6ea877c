#pragma once
// The texts of HELP and "?" (workspace/help_command.cpp): the command
// summary, the topic texts and the summary of the expression language
// (HELP MATH, HELP/M, and CALC's "?" and "H").
#include <span>
#include <string_view>

namespace verto {

struct Session;

// The math help; its variables line names the third array S or Z as the
// current variable letters do.
void show_math_help(Session& s);

// The stored text of a topic (the lines without the leading blank of the
// free-format record), or an empty span for the command summary.
std::span<const std::string_view> help_topic_text(std::string_view topic);
std::span<const std::string_view> help_summary_text();

}  // namespace verto
