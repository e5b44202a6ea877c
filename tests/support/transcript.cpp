#include "support/transcript.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "support/scoped_directory.h"
#include "app/command_loop.h"
#include "app/command_table.h"
#include "app/editor_state.h"
#include "core/dispatch.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "app/startup.h"
#include "core/system.h"

namespace verto::testing {

namespace fs = std::filesystem;

static std::string rstrip(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.pop_back();
  return s;
}

std::string read_text_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

Transcript parse_transcript(const std::string& text) {
  Transcript t;
  std::istringstream in(text);
  std::string line;
  TranscriptFile* block = nullptr;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (block) {
      if (line == "@end") block = nullptr;
      else block->lines.push_back(line);
      continue;
    }
    if (line.rfind("@file ", 0) == 0) {
      t.files.push_back({line.substr(6), {}});
      block = &t.files.back();
      continue;
    }
    if (line.rfind("@check ", 0) == 0) {
      t.checks.push_back({line.substr(7), {}});
      block = &t.checks.back();
      continue;
    }
    if (line.rfind("@unread ", 0) == 0) {
      t.inputs.push_back(line.substr(8));
      ++t.unread;
      continue;
    }
    if (line == "@startup") {
      t.startup = true;
      continue;
    }
    if (line.rfind("@args", 0) == 0 && (line.size() == 5 || line[5] == ' ')) {
      t.startup = true;
      std::istringstream words(line.substr(5));
      std::string word;
      while (words >> word) t.arguments.push_back(word);
      continue;
    }
    if (line.rfind("@env ", 0) == 0) {
      t.startup = true;
      auto eq = line.find('=', 5);
      if (eq != std::string::npos)
        t.environment.emplace_back(line.substr(5, eq - 5), line.substr(eq + 1));
      continue;
    }
    if (!line.empty() && line[0] == '#') continue;
    if (!line.empty() && line[0] == '\\') {
      t.expected.push_back(rstrip(line.substr(1)));
      continue;
    }
    if (!line.empty() && line[0] == '>' && line.find("{{") == std::string::npos) {
      t.inputs.push_back(line.substr(1));
      t.expected.push_back(rstrip(line));
      continue;
    }
    // Typed answers inside the line.
    std::string shown;
    std::size_t pos = 0;
    while (true) {
      auto open = line.find("{{", pos);
      if (open == std::string::npos) {
        shown += line.substr(pos);
        break;
      }
      auto close = line.find("}}", open + 2);
      if (close == std::string::npos) {
        shown += line.substr(pos);
        break;
      }
      shown += line.substr(pos, open - pos);
      std::string typed = line.substr(open + 2, close - open - 2);
      t.inputs.push_back(typed);
      shown += typed;
      pos = close + 2;
    }
    t.expected.push_back(rstrip(shown));
  }
  return t;
}

namespace {

std::string diff_report(const std::vector<std::string>& expected,
                        const std::vector<std::string>& actual) {
  std::ostringstream out;
  std::size_t n = std::max(expected.size(), actual.size());
  std::size_t first = n;
  for (std::size_t i = 0; i < n; ++i) {
    const std::string* e = i < expected.size() ? &expected[i] : nullptr;
    const std::string* a = i < actual.size() ? &actual[i] : nullptr;
    if (!e || !a || *e != *a) {
      first = i;
      break;
    }
  }
  if (first == n) return {};
  out << "console output differs from line " << first + 1 << "\n";
  std::size_t from = first >= 3 ? first - 3 : 0;
  for (std::size_t i = from; i < std::min(n, first + 12); ++i) {
    const bool has_e = i < expected.size(), has_a = i < actual.size();
    if (has_e && has_a && expected[i] == actual[i]) {
      out << "    |" << expected[i] << "|\n";
      continue;
    }
    if (has_e) out << "  - |" << expected[i] << "|\n";
    if (has_a) out << "  + |" << actual[i] << "|\n";
  }
  out << "(- expected, + actual)\n";
  return out.str();
}

}  // namespace

std::string run_transcript(const Transcript& t) {
  ScopedDirectory scratch("verto-transcript-");
  for (const auto& f : t.files) {
    std::ofstream out(f.name, std::ios::binary);
    for (const auto& l : f.lines) out << l << "\n";
  }
  MemoryConsole con;
  for (const auto& in : t.inputs) con.add_input(in);
  InertSystemServices sys;
  for (const auto& [name, value] : t.environment) sys.environment[name] = value;
  Session s(con, sys, verto::command_table());
  LineEditor ed;
  if (t.startup) {
    StartupOptions options;
    options.wait_after_banner = false;
    run_startup(s, ed.macros, t.arguments, options);
  }
  run_command_loop(s, ed);

  std::vector<std::string> actual;
  for (const auto& l : con.lines()) actual.push_back(rstrip(l));
  std::string report = diff_report(t.expected, actual);
  if (con.inputs_left() != t.unread)
    report += std::to_string(con.inputs_left()) + " typed lines were left unread, expected " +
              std::to_string(t.unread) + "\n";
  for (const auto& c : t.checks) {
    if (!fs::exists(c.name)) {
      report += "file " + c.name + " was not written\n";
      continue;
    }
    std::vector<std::string> lines;
    std::istringstream in(read_text_file(c.name));
    std::string l;
    while (std::getline(in, l)) lines.push_back(rstrip(l));
    std::vector<std::string> want;
    for (const auto& w : c.lines) want.push_back(rstrip(w));
    std::string d = diff_report(want, lines);
    if (!d.empty()) report += "file " + c.name + ": " + d;
  }
  return report;
}

}  // namespace verto::testing
