#include "app/verto_ini.h"

#include <charconv>
#include <climits>

#include "core/console.h"
#include "app/line_editor.h"
#include "core/parsers.h"

namespace verto {

const char* const kIniErrorMessage = "<<<VERTO!!!>>> Error reading VERTO.INI, using defaults";

namespace {

bool is_name_start(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_name_char(char c) { return is_name_start(c) || (c >= '0' && c <= '9') || c == '_'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// Reads the items of the group after its name.
class NamelistReader {
 public:
  NamelistReader(std::string_view text, std::size_t pos) : t_(text), p_(pos) {}

  bool read(DefaultsGroup& g) {
    for (;;) {
      skip_blanks_and_commas();
      if (p_ >= t_.size()) return false;  // no end of the group
      if (at_group_end()) return true;
      if (!is_name_start(t_[p_])) return false;
      std::string key = read_name();
      skip_blanks();
      if (p_ >= t_.size() || t_[p_] != '=') return false;
      ++p_;
      if (!read_values(key, g)) return false;
    }
  }

 private:
  enum class Kind { Null, Integer, Text, Bad };
  struct Value {
    Kind kind = Kind::Null;
    long long number = 0;
    std::string text;
  };

  // Blanks, line breaks and "!" comments.
  void skip_blanks() {
    while (p_ < t_.size()) {
      if (is_blank(t_[p_])) {
        ++p_;
      } else if (t_[p_] == '!') {
        while (p_ < t_.size() && t_[p_] != '\n') ++p_;
      } else {
        break;
      }
    }
  }

  void skip_blanks_and_commas() {
    for (;;) {
      skip_blanks();
      if (p_ < t_.size() && t_[p_] == ',') ++p_;
      else return;
    }
  }

  // "/", "&END" or "$END" (also a lone "$" or "&").
  bool at_group_end() const {
    char c = t_[p_];
    if (c == '/') return true;
    if (c != '&' && c != '$') return false;
    std::size_t q = p_ + 1;
    std::string word;
    while (q < t_.size() && is_name_char(t_[q]) && word.size() < 8)
      word.push_back(static_cast<char>(t_[q++] & ~0x20));
    return word.empty() || word == "END";
  }

  std::string read_name() {
    std::string name;
    while (p_ < t_.size() && is_name_char(t_[p_]) && name.size() < 64) {
      char c = t_[p_++];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      name.push_back(c);
    }
    return name;
  }

  // Whether the current position ends a value: a separator, a comment,
  // the end of the group or of the text.
  bool at_value_end() const {
    if (p_ >= t_.size()) return true;
    char c = t_[p_];
    return is_blank(c) || c == ',' || c == '/' || c == '!';
  }

  Value read_quoted() {
    Value v;
    const char quote = t_[p_++];
    for (;;) {
      if (p_ >= t_.size()) return {Kind::Bad, 0, {}};
      char c = t_[p_++];
      if (c == quote) {
        if (p_ < t_.size() && t_[p_] == quote) {  // doubled quote
          v.text.push_back(quote);
          ++p_;
          continue;
        }
        break;
      }
      if (c == '\n' || c == '\r') continue;  // a text may go on on the next line
      if (v.text.size() < 256) v.text.push_back(c);
    }
    v.kind = at_value_end() ? Kind::Text : Kind::Bad;
    return v;
  }

  // An optionally signed integer ending at a separator; `digits_only`
  // refuses the sign (repeat counts).
  bool read_integer(long long& out) {
    std::size_t q = p_;
    bool negative = false;
    if (q < t_.size() && (t_[q] == '+' || t_[q] == '-')) negative = t_[q++] == '-';
    std::size_t digits_start = q;
    while (q < t_.size() && is_digit(t_[q])) ++q;
    if (q == digits_start) return false;
    unsigned long long magnitude = 0;
    auto r = std::from_chars(t_.data() + digits_start, t_.data() + q, magnitude);
    if (r.ec != std::errc() || magnitude > static_cast<unsigned long long>(INT_MAX) + 1) return false;
    long long value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    if (value > INT_MAX || value < INT_MIN) return false;
    out = value;
    p_ = q;
    return true;
  }

  Value read_value() {
    char c = t_[p_];
    if (c == '\'' || c == '"') return read_quoted();
    if (is_digit(c) || c == '+' || c == '-') {
      long long n = 0;
      std::size_t start = p_;
      if (!read_integer(n)) return {Kind::Bad, 0, {}};
      if (p_ < t_.size() && t_[p_] == '*') {  // repeat count r*value
        if (t_[start] == '+' || t_[start] == '-' || n < 1) return {Kind::Bad, 0, {}};
        ++p_;
        if (n > 1) return {Kind::Bad, 0, {}};  // one value for a single variable
        if (at_value_end()) return {Kind::Null, 0, {}};
        if (is_blank(t_[p_])) return {Kind::Null, 0, {}};
        return read_value_after_repeat();
      }
      if (!at_value_end()) return {Kind::Bad, 0, {}};
      return {Kind::Integer, n, {}};
    }
    return {Kind::Bad, 0, {}};
  }

  Value read_value_after_repeat() {
    char c = t_[p_];
    if (c == '\'' || c == '"') return read_quoted();
    long long n = 0;
    if (!read_integer(n) || !at_value_end()) return {Kind::Bad, 0, {}};
    return {Kind::Integer, n, {}};
  }

  // The values after "key=": one value (or none, which keeps the key),
  // then either the next key or the end of the group.
  bool read_values(const std::string& key, DefaultsGroup& g) {
    int given = 0;
    for (;;) {
      skip_blanks();
      if (p_ >= t_.size()) return false;
      char c = t_[p_];
      if (c == ',') {  // ends the value (or gives an empty one)
        ++p_;
        ++given;
        continue;
      }
      if (c == '/' || c == '&' || c == '$' || is_name_start(c)) return true;
      if (given > 0) return false;  // a second value for a single variable
      Value v = read_value();
      if (v.kind == Kind::Bad) return false;
      if (!assign(key, v, g)) return false;
      // The value's own separator, if a comma, belongs to it.
      skip_blanks();
      if (p_ < t_.size() && t_[p_] == ',') ++p_;
      given = 1;
      skip_blanks();
      if (p_ >= t_.size()) return false;
      c = t_[p_];
      if (c == ',') continue;  // more empty values: harmless
      if (c == '/' || c == '&' || c == '$' || is_name_start(c)) return true;
      return false;
    }
  }

  static bool assign(const std::string& key, const Value& v, DefaultsGroup& g) {
    int* target = nullptr;
    if (key == "IFORM_DEF") target = &g.iform_def;
    else if (key == "IVAR_DEF") target = &g.ivar_def;
    else if (key == "I_CLOBBER") target = &g.i_clobber;
    else if (key == "I_MARKER") target = &g.i_marker;
    else if (key == "I_NOTIFY") target = &g.i_notify;
    else if (key != "PLOT_MODE_DEF") return false;  // not a key of the group

    if (v.kind == Kind::Null) return true;
    if (target) {
      if (v.kind != Kind::Integer) return false;
      *target = static_cast<int>(v.number);
      return true;
    }
    if (v.kind != Kind::Text) return false;
    std::string text = v.text.substr(0, 20);
    g.plot_mode_def.assign(trim_right(text));
    return true;
  }

  std::string_view t_;
  std::size_t p_;
};

// Position just after "&DEFAULTS" (or "$DEFAULTS") standing first on a
// line, or npos.
std::size_t find_group(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) eol = text.size();
    std::size_t q = pos;
    while (q < eol && (text[q] == ' ' || text[q] == '\t')) ++q;
    if (q < eol && (text[q] == '&' || text[q] == '$')) {
      std::size_t name_start = ++q;
      while (q < eol && is_name_char(text[q])) ++q;
      std::string name = to_upper(text.substr(name_start, q - name_start));
      if (name == "DEFAULTS") return q;
    }
    pos = eol + 1;
  }
  return std::string_view::npos;
}

// One line of the file as "(A75)" reads it.
std::string_view next_line(std::string_view text, std::size_t& pos) {
  std::size_t eol = text.find('\n', pos);
  if (eol == std::string_view::npos) eol = text.size();
  std::string_view line = text.substr(pos, eol - pos);
  pos = eol + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() > static_cast<std::size_t>(kMacroLineLength)) line = line.substr(0, kMacroLineLength);
  return line;
}

// A free-format integer: the first item of the line, up to a blank, comma
// or slash.
bool read_count(std::string_view line, int& n) {
  std::size_t p = 0;
  while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) ++p;
  std::size_t end = p;
  while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != ',' &&
         line[end] != '/')
    ++end;
  std::string_view item = line.substr(p, end - p);
  if (!item.empty() && item[0] == '+') item.remove_prefix(1);
  if (item.empty()) return false;
  long long value = 0;
  auto r = std::from_chars(item.data(), item.data() + item.size(), value);
  if (r.ec != std::errc() || r.ptr != item.data() + item.size()) return false;
  if (value > INT_MAX || value < INT_MIN) return false;
  n = static_cast<int>(value);
  return true;
}

}  // namespace

bool read_defaults_namelist(std::string_view text, DefaultsGroup& group) {
  std::size_t start = find_group(text);
  if (start == std::string_view::npos) return false;
  DefaultsGroup g = group;
  NamelistReader reader(text, start);
  if (!reader.read(g)) return false;
  group = std::move(g);
  return true;
}

bool load_macros(std::string_view text, MacroTable& table, Console& con) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::string_view line = next_line(text, pos);
    if (line.empty() || line[0] != '@') continue;
    if (pos >= text.size()) return true;  // the count is missing: end of file
    int n = 0;
    if (!read_count(next_line(text, pos), n)) {
      con.record(kIniErrorMessage);
      return false;
    }
    if (n >= 16) con.record("<<<VERTO!!!>>> Warning! Long macro may cause problems.");
    if (n >= 26) {
      con.record(kIniErrorMessage);
      return false;
    }
    if (n < 0) n = 0;
    std::string shown(trim_right(line));
    if (table.count >= kMaxMacros) {
      con.record("<<<VERTO!!!>>> Too many macros (at most 10); " + shown + " is not loaded.");
      for (int i = 0; i < n && pos < text.size(); ++i) next_line(text, pos);
      continue;
    }
    Macro& m = table.entries[table.count];
    m.name = to_upper(line.substr(0, kMacroNameLength));
    m.name.assign(trim_right(m.name));
    m.line_count = 0;
    for (int i = 0; i < n; ++i) {
      if (pos >= text.size()) return true;  // cut short by the end of the file
      m.lines[i].assign(next_line(text, pos));
      m.line_count = i + 1;
    }
    ++table.count;
    con.record(" Loaded macro command: " + shown);
  }
  return true;
}

}  // namespace verto
