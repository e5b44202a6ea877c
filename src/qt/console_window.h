#pragma once
// The console window: a scrolling text view of fixed-pitch cells that
// shows what the command thread writes, and the Console the command thread
// writes through.
//
// Output travels as a list of operations (record, prompt, overwrite,
// append, colour, title) that the command thread adds under a short lock;
// the first addition after a drain posts one queued call, and the view
// applies everything waiting in order on the Qt thread. The command
// thread never waits for the widget.
//
// Keys typed into the view go through a KeyQueue to read_key; a pasted
// text is typed, its line ends as Enter.
#include <QColor>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <QTextCursor>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/console.h"
#include "qt/key_queue.h"

namespace verto::qt {

constexpr int kConsoleColumns = 81;
constexpr int kConsoleRows = 25;
constexpr int kScrollbackLines = 10000;

// Colour `index` (0..15) of the standard 16-colour palette.
QColor standard_colour(int index);

// The key code of a key press as Console::read_key gives it (the line
// editor's control codes, Ctrl with a letter as its control character,
// cursor up and down as recall, the cursor keys, Home, End and Delete as
// their own codes); -1 for keys that are not keys of their own (Shift alone).
int key_code(const QKeyEvent& e);

struct ConsoleOp {
  enum Kind { Record, Prompt, Overwrite, Append, Erase, Colour, Title } kind;
  std::string text;
  int value = 0;  // palette index (Colour), characters (Erase)
};

class ConsoleView;

// Operations on their way from the command thread to the view.
class ConsoleOutbox {
 public:
  void push(ConsoleOp op);
  // Up to `max` waiting operations, oldest first; posts again when more
  // are left.
  std::vector<ConsoleOp> take(std::size_t max);
  void attach(ConsoleView* view);
  void detach();

 private:
  void post();  // with the lock held
  std::mutex mutex_;
  std::vector<ConsoleOp> ops_;
  ConsoleView* view_ = nullptr;
  bool posted_ = false;
};

class ConsoleView : public QPlainTextEdit {
 public:
  ConsoleView(std::shared_ptr<ConsoleOutbox> outbox, KeyQueue& keys, QWidget* parent = nullptr);
  ~ConsoleView() override;

  // Applies the waiting output (Qt thread).
  void drain();
  // Width and height of one text cell in whole pixels (for pictures).
  QSize cell() const;
  // The font's own advance and line height, fractions kept.
  QSizeF exact_cell() const;
  // The widget size that shows `cols` x `rows` cells.
  QSize size_for(int cols, int rows) const;
  // The cells the text area shows whole.
  QSize cells_shown() const;
  // 81 x 25 cells: what Size to Fit gives the console.
  QSize sizeHint() const override { return size_for(kConsoleColumns, kConsoleRows); }
  // Types `text` as keys (paste).
  void type_text(const QString& text);

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void write_over(const QString& text);
  void set_title(const QString& title);
  std::shared_ptr<ConsoleOutbox> outbox_;
  KeyQueue& keys_;
  QTextCursor out_;          // where output goes
  QTextCharFormat format_;   // current text colour
  bool started_ = false;     // a first line exists
};

// The Console of the command thread.
class QtConsole : public Console {
 public:
  QtConsole();
  std::shared_ptr<ConsoleOutbox> outbox() const { return outbox_; }
  KeyQueue& keys() { return keys_; }
  // The frame is closing: reads end, output goes nowhere.
  void close();

  bool interactive() const override { return true; }
  bool shows_program_output() const override { return true; }
  void interrupt_key_read() override { keys_.interrupt(); }
  void set_text_colour(int palette_index) override;
  void set_title(std::string_view title) override;

 protected:
  void do_record(std::string_view text) override;
  void do_prompt(std::string_view text) override;
  void do_overwrite(std::string_view text) override;
  void do_append(std::string_view text) override;
  std::optional<std::string> do_read_line(int max_len) override;
  int do_read_key() override { return keys_.pop(); }
  std::optional<std::string> do_pause(std::string_view message) override;

 private:
  void send(ConsoleOp::Kind kind, std::string_view text, int value = 0);
  std::shared_ptr<ConsoleOutbox> outbox_;
  KeyQueue keys_;
};

}  // namespace verto::qt
