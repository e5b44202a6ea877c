#pragma once
// Transcript tests: a file of the console as a user sees it, with the
// typed text marked, run through the real command loop.
//
// File format:
//   # comment                    ignored
//   >list                        a command line: ">" is the prompt, the
//                                rest is typed
//    _filename:{{data.txt}}      text in {{ }} is typed at a prompt
//   \>...                        a literal output line starting with ">"
//                                or "#" (the backslash is dropped)
//   @file NAME ... @end          a file created before the session runs
//   @check NAME ... @end         a file that must exist afterwards with
//                                exactly these lines
//   @unread TEXT                 a typed line the session must leave
//                                unread (it ended before)
//   @startup                     run the program's start-up first (VERTO.INI,
//                                banner, welcome text, start-up READ)
//   @args A B ...                program arguments; implies @startup
//   @env NAME=VALUE              an environment variable the start-up sees;
//                                implies @startup
// Every other line is expected console output. Lines are compared without
// trailing blanks.
#include <filesystem>
#include <string>
#include <vector>

namespace verto::testing {

struct TranscriptFile {
  std::string name;
  std::vector<std::string> lines;
};

struct Transcript {
  std::vector<std::string> inputs;     // typed lines, in order
  std::vector<std::string> expected;   // expected screen lines
  std::vector<TranscriptFile> files;   // created before the run
  std::vector<TranscriptFile> checks;  // compared after the run
  int unread = 0;                      // typed lines left at the end
  bool startup = false;                // run the start-up before the loop
  std::vector<std::string> arguments;  // program arguments of the start-up
  std::vector<std::pair<std::string, std::string>> environment;
};

Transcript parse_transcript(const std::string& text);

// Runs the transcript in a fresh temporary directory and returns an empty
// string on success, else a readable report of the differences.
std::string run_transcript(const Transcript& t);

std::string read_text_file(const std::filesystem::path& path);

}  // namespace verto::testing
