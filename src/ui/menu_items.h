#pragma once
// The menu bar as data: each menu's title and items in order, and what each
// item does. The window front-end builds its menus from this table; the
// items that queue fixed lines carry them here.
#include <span>
#include <string_view>
#include <vector>

#include "ui/lines.h"

namespace verto::ui {

enum class Dialog {
  None, Format, Transfer, SwapColumns, CreateData, FitFunction, Math, Normalize, Average,
  Smooth, Sum, Sort, PlotOptions, CreateLine, HelpTopics
};

enum class ItemKind {
  Separator,
  Grayed,      // shown but cannot be chosen
  Lines,       // queues its fixed lines
  OpenDialog,  // opens `dialog`
  FileRead,    // file dialog in read mode, then `prefix` + the name
  FileWrite,   // file dialog in write mode, then `prefix` + the name
  SizeToFit,   // the window runtime's own actions
  FullScreen,
  Exit,
  WindowItems,  // the runtime's tile, cascade and child-window list
  About,
};

struct MenuItem {
  ItemKind kind = ItemKind::Separator;
  std::string_view text;  // with "&" before the accelerator letter
  std::vector<std::string_view> lines{};  // ItemKind::Lines, run order
  bool keep_typed = false;
  Dialog dialog = Dialog::None;
  std::string_view prefix{};  // file items: "Read ", "Write ", ...
};

struct Menu {
  std::string_view title;
  std::vector<MenuItem> items;
};

// File, Data, Process, Plot, Window, Help.
const std::vector<Menu>& menu_bar();

// The lines of an ItemKind::Lines item.
QueuedLines item_lines(const MenuItem& item);

constexpr std::string_view kAboutText = "           Verto!\nData Analysis Program";
constexpr std::string_view kFileOpenFilter = "All Files(*.*),*.*;Data Files(*.dat),*.dat;";

}  // namespace verto::ui
