#include "qt/console_window.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include <algorithm>

#include "app/editor_state.h"
#include "core/console.h"
#include "core/workspace.h"
#include "qt/gui_call.h"

namespace verto::qt {

QColor standard_colour(int index) {
  return QColor(kStandardPalette[static_cast<std::size_t>(std::clamp(index, 0, 15))]);
}

int key_code(const QKeyEvent& e) {
  switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return keys::kEnter;
    case Qt::Key_Backspace: return keys::kBackspace;
    case Qt::Key_Delete: return kKeyDelete;
    case Qt::Key_Tab: return keys::kTab;
    case Qt::Key_Escape: return keys::kEscape;
    case Qt::Key_Up: return keys::kRecallBack;
    case Qt::Key_Down: return keys::kRecallForward;
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Right: return kKeyRight;
    case Qt::Key_Home: return kKeyHome;
    case Qt::Key_End: return kKeyEnd;
    case Qt::Key_PageDown: return kKeyPageDown;
    case Qt::Key_PageUp: return kKeyPageUp;
    default: break;
  }
  // A line feed (the Linefeed key, Ctrl-J, pasted or scripted input) ends
  // the line as Enter does, as at a terminal.
  if (e.text() == QStringLiteral("\n") || e.text() == QStringLiteral("\r")) return keys::kEnter;
  if ((e.modifiers() & Qt::ControlModifier) && e.key() >= Qt::Key_A && e.key() <= Qt::Key_Z)
    return e.key() - Qt::Key_A + 1;
  if (!e.text().isEmpty()) {
    const char16_t c = e.text()[0].unicode();
    if (c >= 32 && c < 127) return c;
  }
  if (e.key() >= Qt::Key_Home && e.key() <= Qt::Key_F35) return kKeyOther;
  return -1;  // a modifier alone and the like
}

// ------------------------------------------------------------------ outbox

// One queued call drains at most this many operations, so that a long
// listing leaves the event loop free to repaint and move windows between
// batches.
constexpr std::size_t kOpsPerDrain = 4000;

void ConsoleOutbox::post() {
  if (posted_ || !view_ || ops_.empty()) return;
  posted_ = true;
  ConsoleView* view = view_;
  post_to(view, [view] { view->drain(); });
}

// New lines written one after another travel as one operation, their
// texts joined by line ends, up to this many bytes: a listing costs the
// command thread an append per line, not an allocation.
constexpr std::size_t kRunBytes = std::size_t{1} << 20;

bool starts_line(ConsoleOp::Kind kind) { return kind == ConsoleOp::Record || kind == ConsoleOp::Prompt; }

void ConsoleOutbox::push(ConsoleOp op) { push(op.kind, op.text, op.value); }

void ConsoleOutbox::push(ConsoleOp::Kind kind, std::string_view text, int value) {
  std::lock_guard lock(mutex_);
  if (starts_line(kind) && !ops_.empty() && starts_line(ops_.back().kind) &&
      ops_.back().text.size() < kRunBytes) {
    std::string& run = ops_.back().text;
    run += '\n';
    run.append(text.data(), text.size());
  } else {
    ops_.push_back(ConsoleOp{kind, std::string(text), value});
  }
  post();
}

std::vector<ConsoleOp> ConsoleOutbox::take(std::size_t max) {
  std::lock_guard lock(mutex_);
  posted_ = false;
  std::vector<ConsoleOp> out;
  if (ops_.size() <= max) {
    out.swap(ops_);
  } else {
    out.assign(std::make_move_iterator(ops_.begin()),
               std::make_move_iterator(ops_.begin() + static_cast<std::ptrdiff_t>(max)));
    ops_.erase(ops_.begin(), ops_.begin() + static_cast<std::ptrdiff_t>(max));
    post();
  }
  return out;
}

void ConsoleOutbox::attach(ConsoleView* view) {
  std::lock_guard lock(mutex_);
  view_ = view;
  posted_ = false;
  post();
}

void ConsoleOutbox::detach() {
  std::lock_guard lock(mutex_);
  view_ = nullptr;
}

// -------------------------------------------------------------------- view

ConsoleView::ConsoleView(std::shared_ptr<ConsoleOutbox> outbox, KeyQueue& keys, QWidget* parent)
    : QPlainTextEdit(parent), outbox_(std::move(outbox)), keys_(keys) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  setFont(font);
  document()->setDefaultFont(font);
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setMaximumBlockCount(kScrollbackLines);
  setUndoRedoEnabled(false);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusPolicy(Qt::StrongFocus);
  QPalette pal = palette();
  pal.setColor(QPalette::Base, Qt::black);
  pal.setColor(QPalette::Text, standard_colour(kColourWhite));
  setPalette(pal);
  format_.setForeground(standard_colour(kColourWhite));
  out_ = QTextCursor(document());
  outbox_->attach(this);
}

ConsoleView::~ConsoleView() { outbox_->detach(); }

QSize ConsoleView::cell() const {
  QFontMetrics m(document()->defaultFont());
  return QSize(m.horizontalAdvance(QLatin1Char('M')), m.lineSpacing());
}

// Glyphs advance by fractions of a pixel (7.2 px, say), so whole-pixel
// cells would lose a column or more over 81; the height is that of a line
// as the text layout makes it (leading included, as the view lays out).
QSizeF ConsoleView::exact_cell() const {
  const QFont font = document()->defaultFont();
  QTextLayout layout(QStringLiteral("M"), font);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  line.setLeadingIncluded(true);
  line.setLineWidth(1000);
  layout.endLayout();
  return QSizeF(QFontMetricsF(font).horizontalAdvance(QLatin1Char('M')), line.height());
}

QSize ConsoleView::size_for(int cols, int rows) const {
  const QSizeF c = exact_cell();
  const qreal margin = document()->documentMargin();
  // The text starts after the left margin; the layout also wants the
  // right one, and one pixel more for the cursor.
  int w = static_cast<int>(std::ceil(c.width() * cols + 2 * margin)) + 2 * frameWidth() +
          verticalScrollBar()->sizeHint().width() + 1;
  // One pixel more: the view counts a line as shown only when it ends
  // above the last pixel row.
  int h = static_cast<int>(std::ceil(c.height() * rows + 2 * margin)) + 1 + 2 * frameWidth();
  return QSize(w, h);
}

QSize ConsoleView::cells_shown() const {
  const QSizeF c = exact_cell();
  const qreal margin = document()->documentMargin();
  const QSize area = viewport()->size();
  return QSize(static_cast<int>(std::floor((area.width() - 2 * margin - 1) / c.width() + 1e-6)),
               static_cast<int>(std::floor((area.height() - 2 * margin - 1) / c.height() + 1e-6)));
}

// Text written from the cursor replaces the characters under it.
void ConsoleView::write_over(const QString& text) {
  const QTextBlock block = out_.block();
  int to_end = block.position() + block.length() - 1 - out_.position();
  out_.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor,
                    std::min<int>(to_end, static_cast<int>(text.size())));
  out_.insertText(text, format_);
}

void ConsoleView::set_title(const QString& title) {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->setWindowTitle(title);
  else setWindowTitle(title);
}

void ConsoleView::drain() {
  std::vector<ConsoleOp> ops = outbox_->take(kOpsPerDrain);
  if (ops.empty()) return;
  QScrollBar* bar = verticalScrollBar();
  out_.beginEditBlock();
  for (std::size_t i = 0; i < ops.size(); ++i) {
    const ConsoleOp& op = ops[i];
    switch (op.kind) {
      case ConsoleOp::Record:
      case ConsoleOp::Prompt: {
        // A run of new lines goes in as one insertion. Of a run longer
        // than the scrollback only its last lines can stay: they replace
        // the whole text, and the lines before them are never laid out.
        std::string run = op.text;
        while (i + 1 < ops.size() && starts_line(ops[i + 1].kind)) {
          run += '\n';
          run += ops[++i].text;
        }
        std::size_t from = 0;
        std::size_t lines = 1 + static_cast<std::size_t>(std::count(run.begin(), run.end(), '\n'));
        bool fresh = !started_;
        if (lines >= static_cast<std::size_t>(kScrollbackLines)) {
          for (; lines > static_cast<std::size_t>(kScrollbackLines); --lines) from = run.find('\n', from) + 1;
          out_.endEditBlock();
          document()->clear();
          out_ = QTextCursor(document());
          out_.beginEditBlock();
          fresh = true;
        }
        QString text;
        if (!fresh) text += QLatin1Char('\n');
        text += QString::fromUtf8(run.data() + from, static_cast<qsizetype>(run.size() - from));
        out_.movePosition(QTextCursor::End);
        out_.insertText(text, format_);
        started_ = true;
        break;
      }
      case ConsoleOp::Overwrite:
        out_.movePosition(QTextCursor::End);
        out_.movePosition(QTextCursor::StartOfBlock);
        write_over(QString::fromUtf8(op.text.data(), static_cast<qsizetype>(op.text.size())));
        started_ = true;
        break;
      case ConsoleOp::Append:
        write_over(QString::fromUtf8(op.text.data(), static_cast<qsizetype>(op.text.size())));
        started_ = true;
        break;
      case ConsoleOp::Erase:
        for (int n = 0; n < op.value && !out_.atBlockStart(); ++n) out_.deletePreviousChar();
        break;
      case ConsoleOp::Colour:
        format_.setForeground(standard_colour(op.value));
        break;
      case ConsoleOp::Title:
        set_title(QString::fromUtf8(op.text.data(), static_cast<qsizetype>(op.text.size())));
        break;
    }
  }
  out_.endEditBlock();
  // The caret shows where typing goes, unless the user is selecting text.
  if (!textCursor().hasSelection()) {
    QTextCursor caret(document());
    caret.setPosition(out_.position());
    setTextCursor(caret);
  }
  bar->setValue(bar->maximum());
}

void ConsoleView::type_text(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c == u'\r') {
      keys_.push(keys::kEnter);
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else if (c == u'\n') {
      keys_.push(keys::kEnter);
    } else if (c == u'\t') {
      keys_.push(' ');  // a pasted tab is a blank, not a glance at the plot
    } else if (c >= 32 && c < 127) {
      keys_.push(c);
    }
  }
}

bool ConsoleView::event(QEvent* e) {
  // Tab and Backtab are keys of the line editor, not focus moves.
  if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
      keyPressEvent(k);
      return true;
    }
  }
  return QPlainTextEdit::event(e);
}

void ConsoleView::keyPressEvent(QKeyEvent* e) {
  if (e->matches(QKeySequence::Copy) ||
      (e->key() == Qt::Key_C && e->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier))) {
    copy();
    return;
  }
  if (e->matches(QKeySequence::Paste) ||
      (e->key() == Qt::Key_Insert && e->modifiers() == Qt::ShiftModifier) ||
      (e->key() == Qt::Key_V && e->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier))) {
    type_text(QApplication::clipboard()->text());
    return;
  }
  const bool shift = e->modifiers() & Qt::ShiftModifier;
  if (shift && (e->key() == Qt::Key_PageUp || e->key() == Qt::Key_PageDown)) {
    QPlainTextEdit::keyPressEvent(e);  // scroll the view back
    return;
  }
  const int key = key_code(*e);
  // Ctrl-D ends input at a terminal; here only File > Exit, QUIT and
  // closing the frame end VERTO, so that no keystroke loses the workspace.
  if (key == keys::kEndOfText) return;
  if (key < 0) {
    QPlainTextEdit::keyPressEvent(e);
    return;
  }
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  keys_.push(key);
}

void ConsoleView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::MiddleButton) {
    type_text(QApplication::clipboard()->text(QClipboard::Selection));
    return;
  }
  QPlainTextEdit::mouseReleaseEvent(e);
}

// ----------------------------------------------------------------- console

QtConsole::QtConsole() : outbox_(std::make_shared<ConsoleOutbox>()) {}

void QtConsole::close() {
  keys_.close();
  outbox_->detach();
}

void QtConsole::send(ConsoleOp::Kind kind, std::string_view text, int value) {
  outbox_->push(kind, text, value);
}

void QtConsole::set_text_colour(int palette_index) { send(ConsoleOp::Colour, {}, palette_index); }
void QtConsole::set_title(std::string_view title) { send(ConsoleOp::Title, title); }
void QtConsole::do_record(std::string_view text) { send(ConsoleOp::Record, text); }
void QtConsole::do_prompt(std::string_view text) { send(ConsoleOp::Prompt, text); }
void QtConsole::do_overwrite(std::string_view text) { send(ConsoleOp::Overwrite, text); }
void QtConsole::do_append(std::string_view text) { send(ConsoleOp::Append, text); }

// A line typed after a prompt: echo, Backspace, Enter.
std::optional<std::string> QtConsole::do_read_line(int max_len) {
  std::string line;
  for (;;) {
    const int key = keys_.pop();
    if (key == kKeyEndOfInput) return std::nullopt;
    if (key == keys::kEnter || key == '\n') return line;
    if (key == keys::kBackspace || key == 127) {
      if (!line.empty()) {
        line.pop_back();
        send(ConsoleOp::Erase, {}, 1);
      }
    } else if (key >= 32 && key < 127 && static_cast<int>(line.size()) < max_len) {
      line.push_back(static_cast<char>(key));
      send(ConsoleOp::Append, std::string_view(&line.back(), 1));
    }
  }
}

// The answer is typed after the message, as on the terminal.
std::optional<std::string> QtConsole::do_pause(std::string_view message) {
  send(ConsoleOp::Record, message);
  return do_read_line(kLineLength);
}

}  // namespace verto::qt
