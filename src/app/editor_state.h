#pragma once
// What the console line editor keeps for the whole run: the history of 30
// lines, the macro table, the hand-over queue through which menus and
// dialogs (on another thread) push command lines, the one-slot key mailbox
// and the pending-line stack. The editor itself is app/line_editor.h; the
// state sits here so that the front-ends can reach the queue. The session
// of one run (SessionRun) owns it beside the core's Session.
//
// Threads: while a line is typed, a key-reader thread reads one key at a
// time from the console and passes it through the mailbox (key, then state
// flag, stored with release and loaded with acquire). The editor sleeps on
// a doorbell counter that the reader and the hand-over ring; the editor
// takes no locks.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace verto {

struct Session;

constexpr int kHistorySize = 30;        // lines kept for recall
constexpr int kHistoryLineLength = 75;
constexpr int kMaxMacros = 10;
constexpr int kMaxMacroLines = 25;
constexpr int kMacroNameLength = 20;    // "@" included
constexpr int kMacroLineLength = 75;
constexpr int kHandOverSlots = 8;       // lines a menu or dialog hands over at once
// Every macro may be in one chain of nested calls at most once, so the
// pending lines never exceed all macro lines plus one hand-over.
constexpr int kPendingCapacity = kMaxMacros * kMaxMacroLines + kHandOverSlots;

// Key codes the editor acts on.
namespace keys {
constexpr int kTab = 9;
constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kRecallBack = 26;     // Ctrl-Z
constexpr int kRecallForward = 24;  // Ctrl-X
constexpr int kEndOfText = 4;       // Ctrl-D: end of input on an empty line
}  // namespace keys

// The last 30 lines returned, oldest first.
class History {
 public:
  void add(std::string_view line);
  int count() const { return count_; }
  // Entry 1 (oldest) .. count().
  const std::string& entry(int index) const;

 private:
  std::array<std::string, kHistorySize> ring_;
  int first_ = 0;  // ring position of entry 1
  int count_ = 0;
};

struct Macro {
  std::string name;  // upper case, "@" included, at most 20 characters
  std::array<std::string, kMaxMacroLines> lines;
  int line_count = 0;
};

struct MacroTable {
  std::array<Macro, kMaxMacros> entries;
  int count = 0;
  // The macro that `line` calls (its upper-case start equals the name up
  // to the name's last non-blank character), or -1.
  int find(std::string_view line) const;
};

// Lines handed over by menus and dialogs. The writer fills slots 1..k
// (the line to run first in slot k) and then publishes the count: +k keeps
// the half-typed line, -k discards it. The editor copies the slots out and
// sets the count back to 0, which frees the queue for the next hand-over.
class HandOverQueue {
 public:
  // Any thread. `lines` in the order they run. False (nothing done) when
  // the previous hand-over has not been taken yet or there are no lines or
  // more than eight.
  bool hand_over(std::span<const std::string_view> lines, bool keep_typed);
  bool hand_over(std::initializer_list<std::string_view> lines, bool keep_typed) {
    return hand_over(std::span<const std::string_view>(lines.begin(), lines.size()), keep_typed);
  }

  // Editor side.
  int count() const { return count_.load(std::memory_order_acquire); }
  std::string_view slot(int index) const;  // 1-based
  void release() { count_.store(0, std::memory_order_release); }

  // Rung after every hand-over; the editor waits on it.
  void set_doorbell(std::atomic<std::uint32_t>* bell) { doorbell_ = bell; }

 private:
  std::array<std::array<char, 71>, kHandOverSlots> slots_{};
  std::atomic<int> count_{0};
  std::atomic<std::uint32_t>* doorbell_ = nullptr;
};

// One key from the reader thread to the editor.
struct KeyMailbox {
  static constexpr int kEmpty = 0, kKeyWaiting = 1, kStop = -1;
  std::atomic<int> key{0};
  std::atomic<int> state{kEmpty};
};

// Form, variable and counts as the last finished command left them, for
// the dialogs on the window thread to preset their fields from. Only the
// command thread stores them, between commands (release); the window
// thread loads them (acquire), so no field is read while it is written.
struct PublishedCounts {
  std::atomic<int> form{5}, variable{1}, npts{0}, nline{0}, columns{1};  // until the first line
};

// Everything the editor keeps for the whole run.
struct LineEditor {
  LineEditor() { queue.set_doorbell(&doorbell); }
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  History history;
  MacroTable macros;
  HandOverQueue queue;
  PublishedCounts published;

  // Tab: hands the input focus to the plot window, waits there for one
  // key and gives the focus back; false when no plot window is open.
  // Unset: Tab is ignored.
  std::function<bool()> glance_at_plot;

  // --- state of the editor itself ---
  struct PendingLine {
    std::string text;
    std::uint16_t macros_above = 0;  // bit m: macro m expanded to give this line
  };
  std::array<PendingLine, kPendingCapacity> pending;  // a stack: top runs next
  int pending_count = 0;
  // Lines that macro calls may still add before the next line is typed:
  // macros calling macros could otherwise multiply without end.
  int macro_line_budget = kMaxMacros * kMaxMacroLines;
  std::string saved_text;        // shown at the first prompt after handed-over lines
  bool after_pending = false;    // the previous line came from the pending stack
  KeyMailbox mailbox;
  std::atomic<std::uint32_t> doorbell{0};
  std::array<int, 8> carried_keys{};  // typed ahead when a line ended early
  int carried_count = 0;
};

}  // namespace verto
