#include "datafiles/file_names.h"

#include <algorithm>
#include <filesystem>

#include "datafiles/reader.h"
#include "core/parsers.h"
#include "core/scratch_file.h"
#include "core/session.h"

namespace verto {

namespace fs = std::filesystem;

bool has_wildcard(std::string_view name) {
  return name.find_first_of("*?") != std::string_view::npos;
}

bool wildcard_match(std::string_view pattern, std::string_view name) {
  if (!name.empty() && name[0] == '.' && (pattern.empty() || pattern[0] != '.')) return false;
  // Greedy match with one backtracking point (the latest "*").
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::optional<std::vector<std::string>> match_files(std::string_view pattern) {
  std::string dir_part;
  std::string_view leaf = pattern;
  if (auto slash = pattern.rfind('/'); slash != std::string_view::npos) {
    dir_part = std::string(pattern.substr(0, slash + 1));
    leaf = pattern.substr(slash + 1);
  }
  std::error_code ec;
  fs::directory_iterator it(dir_part.empty() ? fs::path(".") : fs::path(dir_part), ec);
  if (ec) return std::nullopt;
  std::vector<std::string> names;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return std::nullopt;
    std::error_code fec;
    if (!it->is_regular_file(fec)) continue;
    std::string leaf_name = it->path().filename().string();
    if (wildcard_match(leaf, leaf_name)) names.push_back(dir_part + leaf_name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::vector<std::string>> listed_files() {
  std::FILE* f = open_data_file(std::string(kScratchFile));
  if (!f) return std::nullopt;
  std::vector<std::string> names;
  LineReader lines(f);
  std::string_view line;
  bool cut;
  while (static_cast<int>(names.size()) < kMaxListedFiles && lines.next(line, cut)) {
    std::string name = trim(line);
    if (!name.empty()) names.push_back(std::move(name));
  }
  std::fclose(f);
  return names;
}

std::string trim(std::string_view text) {
  auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  auto last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

std::string qualifier_line(std::string_view upper, int argument) {
  if (argument <= 0) return std::string(upper);
  std::string out(upper.substr(0, static_cast<std::size_t>(argument - 1)));
  out += 'F';
  out.resize(std::max(out.size(), upper.size()), ' ');
  return out;
}

std::optional<std::string> ask_file_name(Session& s) {
  auto answer = ask(s, "_filename:");
  if (!answer) return std::nullopt;
  return trim(*answer);
}

std::optional<std::string> file_name_argument(Session& s, int argument) {
  if (argument > 0) {
    std::string name = rest_of_line(s.ws.line, argument);
    if (!name.empty()) return name;
  }
  return ask_file_name(s);
}

std::FILE* open_data_file(const std::string& name) {
  if (name.empty()) return nullptr;
  std::error_code ec;
  if (fs::is_directory(name, ec)) return nullptr;
  return std::fopen(name.c_str(), "rb");
}

}  // namespace verto
