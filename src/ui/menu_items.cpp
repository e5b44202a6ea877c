#include "ui/menu_items.h"

#include "ui/file_lines.h"

namespace verto::ui {

namespace {

MenuItem sep() { return {}; }
MenuItem lines(std::string_view text, std::vector<std::string_view> l, bool keep) {
  return {ItemKind::Lines, text, std::move(l), keep};
}
MenuItem queue(std::string_view text, std::string_view line, bool keep) {
  return lines(text, {line}, keep);
}
MenuItem dialog(std::string_view text, Dialog d) {
  return {ItemKind::OpenDialog, text, {}, false, d};
}
MenuItem file(ItemKind kind, std::string_view text, std::string_view prefix) {
  return {kind, text, {}, false, Dialog::None, prefix};
}
MenuItem runtime(ItemKind kind, std::string_view text) { return {kind, text}; }

std::vector<Menu> build() {
  constexpr bool kKeep = true, kDiscard = false;
  return {
      {"File",
       {file(ItemKind::FileRead, "Open data...", kReadPrefix), sep(),
        file(ItemKind::FileWrite, "Save data...", "Write "),
        file(ItemKind::FileWrite, "Save &line...", "Write/line "), sep(),
        runtime(ItemKind::Grayed, "O&ptions..."), sep(),
        queue("&Clear/Reset", "Clear", kDiscard),
        runtime(ItemKind::Exit, "Exit    Ctrl+C")}},
      {"Data",
       {dialog("Data &Format...", Dialog::Format), sep(),
        queue("List", "List", kDiscard), sep(),
        lines("E&dit",
              {"echo ", "echo ", "echo Edit file as needed, then save the results (Alt-F, X).",
               "echo", "Edit"},
              kDiscard),
        queue("Keyboard &Entry", "Enter", kDiscard),
        dialog("Transfer data...", Dialog::Transfer),
        dialog("Swap Columns...", Dialog::SwapColumns),
        dialog("Create from function...", Dialog::CreateData), sep(),
        queue("Statistics on &X", "Stat X", kKeep),
        queue("Statistics on &Y", "Stat Y", kKeep),
        queue("Statistics on &S", "Stat S", kKeep),
        queue("&Regression on XY", "Regress", kKeep), sep(),
        queue("Integrate", "Int", kDiscard),
        queue("Derivative", "D/add", kDiscard),
        queue("2nd Derivative", "DD/add", kDiscard), sep(),
        dialog("Fit Function...", Dialog::FitFunction)}},
      {"P&rocess",
       {dialog("Math...", Dialog::Math), sep(),
        dialog("Normalize...", Dialog::Normalize),
        dialog("Average...", Dialog::Average),
        dialog("Smooth...", Dialog::Smooth), sep(),
        dialog("S&um...", Dialog::Sum),
        dialog("So&rt...", Dialog::Sort), sep(),
        queue("FFT", "FFT", kDiscard),
        queue("Inverse FFT", "FFT/INV", kDiscard)}},
      {"Plot",
       {queue("Plot", "Plot", kDiscard),
        dialog("Plot with &options...", Dialog::PlotOptions),
        queue("&Legend", "Legend 0", kDiscard), sep(),
        queue("&Save Plot as HPGL file", "Plot/p", kKeep),
        queue("&Save Plot as EPS file", "Plot/ps", kKeep), sep(),
        file(ItemKind::FileRead, "&Add line from file...", "Line/add "),
        dialog("Add &function line...", Dialog::CreateLine),
        queue("Add Y=&0 line", "Line/add/zero", kKeep),
        queue("&Delete line(s)", "Line/no", kDiscard)}},
      {"Window",
       {runtime(ItemKind::SizeToFit, "Size to Fit"),
        runtime(ItemKind::FullScreen, "Full Screen   Alt-Enter"), sep(),
        runtime(ItemKind::WindowItems, "")}},
      {"Help",
       {queue("Advice", "Yo", kKeep), sep(),
        queue("Help", "Help", kKeep),
        dialog("Help Topics...", Dialog::HelpTopics),
        queue("Math Help", "Help Math", kKeep), sep(),
        runtime(ItemKind::About, "&About Verto...")}},
  };
}

}  // namespace

const std::vector<Menu>& menu_bar() {
  static const std::vector<Menu> menus = build();
  return menus;
}

QueuedLines item_lines(const MenuItem& item) {
  QueuedLines q;
  q.keep_typed = item.keep_typed;
  for (std::string_view l : item.lines) q.lines.push_back(cut_line(std::string(l)));
  return q;
}

}  // namespace verto::ui
