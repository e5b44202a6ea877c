#include "app/line_editor.h"

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <utility>

#include "core/console.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

// ---------------------------------------------------------------- history

void History::add(std::string_view line) {
  if (line.size() > static_cast<std::size_t>(kHistoryLineLength))
    line = line.substr(0, kHistoryLineLength);
  if (count_ == kHistorySize) {  // drop the oldest
    ring_[first_].assign(line);
    first_ = (first_ + 1) % kHistorySize;
    return;
  }
  ring_[(first_ + count_) % kHistorySize].assign(line);
  ++count_;
}

const std::string& History::entry(int index) const {
  static const std::string empty;
  if (index < 1 || index > count_) return empty;
  return ring_[(first_ + index - 1) % kHistorySize];
}

// ------------------------------------------------------------ editing

namespace {

bool is_blank(char c) { return c == ' '; }

// Removes text[from, to) and says how to show it; the cursor goes to `from`.
LineRedraw remove(TypedLine& line, int from, int to) {
  if (from >= to) return {};
  line.text.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
  line.cursor = from;
  return {LineRedraw::Line, to - from};
}

LineRedraw move_cursor(TypedLine& line, int to) {
  if (to == line.cursor) return {};
  line.cursor = to;
  return {LineRedraw::Cursor};
}

LineRedraw recall(TypedLine& line, const History& history, int position) {
  line.recall = position;
  line.text = position == history.count() + 1
                  ? std::string()
                  : history.entry(position).substr(0, kLineLength);
  line.cursor = static_cast<int>(line.text.size());
  return {LineRedraw::Recall};
}

}  // namespace

LineRedraw edit_typed_line(TypedLine& line, int key, const History& history) {
  const int size = static_cast<int>(line.text.size());
  line.cursor = std::clamp(line.cursor, 0, size);
  switch (key) {
    case keys::kRecallBack:
      return line.recall > 1 ? recall(line, history, line.recall - 1) : LineRedraw{};
    case keys::kRecallForward:
      return line.recall < history.count() + 1 ? recall(line, history, line.recall + 1)
                                               : LineRedraw{};
    case keys::kEscape:
      line.text.clear();
      line.cursor = 0;
      return {LineRedraw::NewPrompt};
    case keys::kBackspace:
    case 127:
      if (line.cursor == 0) return {};
      remove(line, line.cursor - 1, line.cursor);
      // An emptied line starts again as Esc does; otherwise two blanks
      // erase what the removal uncovered at the end.
      if (line.text.empty()) return {LineRedraw::NewPrompt};
      return {LineRedraw::Line, 2};
    case kKeyDelete:
    case edit_keys::kDeleteOrEnd:
      return remove(line, line.cursor, std::min(line.cursor + 1, size));
    case kKeyLeft:
    case edit_keys::kBack:
      return move_cursor(line, std::max(line.cursor - 1, 0));
    case kKeyRight:
    case edit_keys::kForward:
      return move_cursor(line, std::min(line.cursor + 1, size));
    case kKeyHome:
    case edit_keys::kStartOfLine:
      return move_cursor(line, 0);
    case kKeyEnd:
    case edit_keys::kEndOfLine:
      return move_cursor(line, size);
    case edit_keys::kKillToEnd:
      return remove(line, line.cursor, size);
    case edit_keys::kKillToStart:
      return remove(line, 0, line.cursor);
    case edit_keys::kKillWord: {
      int from = line.cursor;
      while (from > 0 && is_blank(line.text[from - 1])) --from;
      while (from > 0 && !is_blank(line.text[from - 1])) --from;
      return remove(line, from, line.cursor);
    }
    default:
      break;
  }
  // Printable characters and NUL go in at the cursor; other control and
  // function keys change nothing.
  if (!(key == 0 || (key >= 32 && key <= 126)) || size >= kLineLength) return {};
  line.text.insert(line.text.begin() + line.cursor, static_cast<char>(key));
  ++line.cursor;
  return line.cursor == size + 1 ? LineRedraw{LineRedraw::Echo} : LineRedraw{LineRedraw::Line};
}

// ----------------------------------------------------------------- macros

int MacroTable::find(std::string_view line) const {
  for (int m = 0; m < count; ++m) {
    std::string_view name = trim_right(entries[m].name);
    if (name.empty() || line.size() < name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i) {
      char c = line[i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      same = c == name[i];
    }
    if (same) return m;
  }
  return -1;
}

std::string substitute_argument(std::string_view macro_line, std::string_view argument) {
  std::string out(macro_line);
  auto at = out.rfind("%1%");
  if (at != std::string::npos && !argument.empty()) out.replace(at, 3, argument);
  if (out.size() > static_cast<std::size_t>(kLineLength)) out.resize(kLineLength);
  return out;
}

// -------------------------------------------------------------- hand-over

bool HandOverQueue::hand_over(std::span<const std::string_view> lines, bool keep_typed) {
  const int k = static_cast<int>(lines.size());
  if (k < 1 || k > kHandOverSlots) return false;
  if (count_.load(std::memory_order_acquire) != 0) return false;
  for (int i = 0; i < k; ++i) {
    auto& slot = slots_[k - 1 - i];  // the first line goes into slot k
    std::string_view text = lines[i].substr(0, std::min<std::size_t>(lines[i].size(), 70));
    std::fill(slot.begin(), slot.end(), '\0');
    std::copy(text.begin(), text.end(), slot.begin());
  }
  count_.store(keep_typed ? k : -k, std::memory_order_release);
  if (doorbell_) {
    doorbell_->fetch_add(1, std::memory_order_release);
    doorbell_->notify_all();
  }
  return true;
}

std::string_view HandOverQueue::slot(int index) const {
  if (index < 1 || index > kHandOverSlots) return {};
  const auto& s = slots_[index - 1];
  auto end = std::find(s.begin(), s.end(), '\0');
  return std::string_view(s.data(), static_cast<std::size_t>(end - s.begin()));
}

namespace {

// ------------------------------------------------------------ key reader

// The key-reader thread of one line. The reader stores the key, then sets
// the state to "key waiting" (release) and rings the doorbell; it then
// sleeps until the editor has emptied the mailbox or asked it to stop.
class KeyReader {
 public:
  KeyReader(Console& con, LineEditor& ed) : con_(con), ed_(ed), box_(ed.mailbox) {}
  KeyReader(const KeyReader&) = delete;
  KeyReader& operator=(const KeyReader&) = delete;
  ~KeyReader() { stop(); }

  bool running() const { return thread_.joinable(); }

  void start() {
    box_.state.store(KeyMailbox::kEmpty, std::memory_order_release);
    orphan_ = kNone;
    holding_ = false;
    thread_ = std::thread([this] { run(); });
  }

  // The waiting key, if any; the editor then either releases it (the
  // reader goes on) or stops the reader with the key consumed.
  bool take(int& key) {
    if (!running() || box_.state.load(std::memory_order_acquire) != KeyMailbox::kKeyWaiting)
      return false;
    key = box_.key.load(std::memory_order_relaxed);
    holding_ = true;
    return true;
  }

  void release_key() {
    holding_ = false;
    box_.state.store(KeyMailbox::kEmpty, std::memory_order_release);
    box_.state.notify_one();
  }

  // Ends the thread. Keys it read that the editor did not take are kept
  // for the next line, so nothing typed ahead is lost.
  void stop() {
    if (!running()) return;
    int previous = box_.state.exchange(KeyMailbox::kStop, std::memory_order_acq_rel);
    box_.state.notify_one();
    con_.interrupt_key_read();
    thread_.join();
    if (previous == KeyMailbox::kKeyWaiting && !holding_)
      carry(box_.key.load(std::memory_order_relaxed));
    if (orphan_ != kNone) carry(orphan_);
    holding_ = false;
  }

 private:
  static constexpr int kNone = -1000;

  void carry(int key) {
    if (ed_.carried_count < static_cast<int>(ed_.carried_keys.size()))
      ed_.carried_keys[ed_.carried_count++] = key;
  }

  void run() {
    for (;;) {
      int key = con_.read_key();
      if (key == kKeyInterrupted) {
        if (box_.state.load(std::memory_order_acquire) == KeyMailbox::kStop) return;
        continue;
      }
      box_.key.store(key, std::memory_order_relaxed);
      int expected = KeyMailbox::kEmpty;
      if (!box_.state.compare_exchange_strong(expected, KeyMailbox::kKeyWaiting,
                                              std::memory_order_release,
                                              std::memory_order_acquire)) {
        orphan_ = key;  // the editor stopped meanwhile; the join publishes it
        return;
      }
      ed_.doorbell.fetch_add(1, std::memory_order_release);
      ed_.doorbell.notify_all();
      box_.state.wait(KeyMailbox::kKeyWaiting, std::memory_order_acquire);
      if (box_.state.load(std::memory_order_acquire) == KeyMailbox::kStop) return;
    }
  }

  Console& con_;
  LineEditor& ed_;
  KeyMailbox& box_;
  std::thread thread_;
  int orphan_ = kNone;
  bool holding_ = false;
};

// Key mode on for the lifetime of the object.
struct KeyModeScope {
  explicit KeyModeScope(Console& c) : con(c) { con.set_key_mode(true); }
  ~KeyModeScope() { con.set_key_mode(false); }
  Console& con;
};

enum class EntryEnd { Line, HandOver, EndOfInput };

void show_prompt(Console& con, std::string_view text) {
  con.record("");
  con.overwrite(">" + std::string(text));
}

void erase_line(Console& con) { con.overwrite(">" + std::string(78, ' ')); }

void push_pending(LineEditor& ed, std::string_view text, std::uint16_t macros_above) {
  auto& p = ed.pending[ed.pending_count++];
  p.text.assign(text);
  p.macros_above = macros_above;
}

// Takes the lines a menu or dialog handed over: the typed text is kept
// (positive count) or dropped (negative), and the lines go onto the
// pending stack with slot k on top.
void take_hand_over(LineEditor& ed, int signal, const std::string& typed) {
  const int k = std::min(std::abs(signal), kHandOverSlots);
  if (signal > 0) ed.saved_text = typed;
  else ed.saved_text.clear();
  for (int i = 1; i <= k && ed.pending_count < kPendingCapacity; ++i)
    push_pending(ed, ed.queue.slot(i), 0);
  ed.queue.release();
}

// Interactive entry: one key at a time from the reader thread.
// The next key: one carried over from an earlier entry, or one from the
// reader (`from_mailbox`, to be released after use). False after waiting
// for the doorbell when no key was there: the caller looks again.
bool next_key(LineEditor& ed, KeyReader& reader, std::uint32_t bell, int& key,
              bool& from_mailbox) {
  if (ed.carried_count > 0) {
    key = ed.carried_keys[0];
    std::copy(ed.carried_keys.begin() + 1, ed.carried_keys.begin() + ed.carried_count,
              ed.carried_keys.begin());
    --ed.carried_count;
  } else {
    if (!reader.running()) reader.start();
    if (!reader.take(key)) {
      ed.doorbell.wait(bell, std::memory_order_acquire);
      return false;
    }
    from_mailbox = true;
  }
  return true;
}

// The typed line as the console shows it: NUL shows as a blank.
std::string shown(std::string_view text) {
  std::string out = ">";
  out += text;
  std::replace(out.begin(), out.end(), '\0', ' ');
  return out;
}

// Puts on the console what an edit changed. A line written from its start
// leaves the cursor at its end, so writing the text again up to the cursor
// puts the cursor back where the user left it.
void show_edit(Console& con, const TypedLine& line, LineRedraw redraw) {
  const std::string_view text = line.text;
  switch (redraw.kind) {
    case LineRedraw::None: break;
    case LineRedraw::Echo:
      con.append(text.back() == '\0' ? std::string_view(" ") : text.substr(text.size() - 1));
      break;
    case LineRedraw::Recall:
      erase_line(con);
      con.overwrite(shown(text));
      break;
    case LineRedraw::NewPrompt:
      erase_line(con);
      show_prompt(con, "");
      break;
    case LineRedraw::Line:
      con.overwrite(shown(text) + std::string(static_cast<std::size_t>(redraw.blanks), ' '));
      if (redraw.blanks > 0 || line.cursor < static_cast<int>(text.size()))
        con.overwrite(shown(text.substr(0, static_cast<std::size_t>(line.cursor))));
      break;
    case LineRedraw::Cursor:
      con.overwrite(shown(text.substr(0, static_cast<std::size_t>(line.cursor))));
      break;
  }
}

EntryEnd read_keys(Session& s, LineEditor& ed, std::string& text) {
  Console& con = s.con;
  TypedLine line;
  line.text = std::exchange(ed.saved_text, {});
  line.cursor = static_cast<int>(line.text.size());
  line.recall = ed.history.count() + 1;
  show_prompt(con, line.text);

  KeyModeScope key_mode(con);
  KeyReader reader(con, ed);  // stopped before the key mode ends

  for (;;) {
    const std::uint32_t bell = ed.doorbell.load(std::memory_order_acquire);
    if (int signal = ed.queue.count(); signal != 0) {
      take_hand_over(ed, signal, line.text);
      reader.stop();
      text = std::move(line.text);  // still on the screen
      return EntryEnd::HandOver;
    }
    int key = 0;
    bool from_mailbox = false;
    if (!next_key(ed, reader, bell, key, from_mailbox)) continue;

    // Keys that end the entry.
    if (key == keys::kEnter || key == '\n' || key == kKeyEndOfInput ||
        (key == keys::kEndOfText && line.text.empty())) {
      // The cursor goes to the end of the line first, where output goes on.
      if (line.cursor < static_cast<int>(line.text.size())) {
        line.cursor = static_cast<int>(line.text.size());
        show_edit(con, line, {LineRedraw::Cursor});
      }
      text = std::move(line.text);
      if (key == keys::kEnter || key == '\n') return EntryEnd::Line;
      return text.empty() ? EntryEnd::EndOfInput : EntryEnd::Line;
    }

    if (key == keys::kTab) {
      if (ed.glance_at_plot) ed.glance_at_plot();  // the text stays as it is
    } else {
      show_edit(con, line, edit_typed_line(line, key, ed.history));
    }
    if (from_mailbox) reader.release_key();
  }
}

// Whole lines from a console without key-by-key input: the console shows
// the line after the prompt as if typed.
EntryEnd read_whole_line(Session& s, LineEditor& ed, std::string& text) {
  text = std::exchange(ed.saved_text, {});
  show_prompt(s.con, text);
  if (int signal = ed.queue.count(); signal != 0) {
    take_hand_over(ed, signal, text);
    return EntryEnd::HandOver;
  }
  auto line = s.con.read_line(kLineLength - static_cast<int>(text.size()));
  if (!line) return EntryEnd::EndOfInput;
  text += *line;
  return EntryEnd::Line;
}

// A line handed over by a menu or dialog shows after the prompt as if it
// had been typed: on the prompt line still open (covering the text typed
// there), or after a new prompt.
void show_handed_over(Console& con, std::string_view line, std::size_t& open_prompt_text) {
  if (open_prompt_text == std::string::npos) {
    show_prompt(con, line);
    return;
  }
  std::string shown = ">" + std::string(line);
  if (line.size() < open_prompt_text) shown.resize(open_prompt_text + 1, ' ');
  con.overwrite(shown);
  open_prompt_text = std::string::npos;
}

}  // namespace

std::optional<std::string> read_command_line(Session& s, LineEditor& ed) {
  // The length of the text typed on the prompt line still shown, when a
  // hand-over interrupted it; npos when no prompt is open.
  std::size_t open_prompt_text = std::string::npos;
  for (;;) {
    std::string line;
    std::uint16_t macros_above = 0;
    if (ed.pending_count > 0) {
      auto& p = ed.pending[--ed.pending_count];
      line = std::move(p.text);
      macros_above = p.macros_above;
      // Handed-over lines come from no macro; macro lines run unseen.
      if (macros_above == 0) show_handed_over(s.con, line, open_prompt_text);
    } else {
      EntryEnd end = s.con.interactive() ? read_keys(s, ed, line) : read_whole_line(s, ed, line);
      if (end == EntryEnd::EndOfInput) return std::nullopt;
      if (end == EntryEnd::HandOver) {
        open_prompt_text = line.size();
        continue;
      }
      ed.macro_line_budget = kMaxMacros * kMaxMacroLines;
    }
    if (line.size() > static_cast<std::size_t>(kLineLength)) line.resize(kLineLength);

    // A macro call puts the macro's lines on the pending stack, first line
    // on top, and the loop takes them from there (so a line that calls
    // another macro expands in its turn).
    if (int m = ed.macros.find(line); m >= 0) {
      const Macro& macro = ed.macros.entries[m];
      const std::uint16_t bit = static_cast<std::uint16_t>(1u << m);
      if (macros_above & bit) {
        s.con.record("<<<VERTO!!!>>> Macro " + std::string(trim_right(macro.name)) +
                     " calls itself; the call is not run.");
        continue;
      }
      if (macro.line_count > ed.macro_line_budget) {
        s.con.record("<<<VERTO!!!>>> Macro calls produce too many lines; " +
                     std::string(trim_right(macro.name)) + " is not run.");
        continue;
      }
      if (ed.pending_count + macro.line_count > kPendingCapacity) {
        s.con.record("<<<VERTO!!!>>> Too many pending macro lines; " +
                     std::string(trim_right(macro.name)) + " is not run.");
        continue;
      }
      ed.macro_line_budget -= macro.line_count;
      int start = argument_start(to_upper(line));
      std::string argument = start > 0 ? rest_of_line(line, start) : std::string();
      for (int i = macro.line_count - 1; i >= 0; --i)
        push_pending(ed, substitute_argument(macro.lines[i], argument),
                     static_cast<std::uint16_t>(macros_above | bit));
      ed.saved_text.clear();
      continue;
    }

    std::replace(line.begin(), line.end(), '\0', ' ');
    ed.history.add(line);
    return line;
  }
}

}  // namespace verto
