// The command table: prefixes in matching order. The first prefix that
// starts the upper-case line decides the command, so the order settles
// every overlap (LAB before L, DIR before D, INT before IN, MAKE and MARK
// before MAT). Entries without a function are not part of this build.
#include "analysis/commands.h"
#include "datafiles/commands.h"
#include "expr/commands.h"
#include "plot/commands.h"
#include "workspace/commands.h"
#include "workspace/dispatch.h"

namespace verto {

namespace {

const CommandEntry kTable[] = {
    {{"LAB"}, "LABEL", nullptr},
    {{"EX"}, "EXIT", cmd_exit},
    {{"Q"}, "QUIT", cmd_exit},
    {{"LOAD"}, "READ", cmd_read},
    {{"DIR"}, "DIR", nullptr},
    {{"LS"}, "DIR", nullptr},
    {{"CD"}, "CD", nullptr},
    {{"ECHO"}, "ECHO", cmd_echo},
    {{"LINE"}, "LINE", nullptr},
    {{"LEG"}, "LEGEND", cmd_legend},
    {{"SHOW"}, "LIST", cmd_list},
    {{"L"}, "LIST", cmd_list},
    {{"CLS"}, "CLS", cmd_cls},
    {{"SORT"}, "SORT", nullptr},
    {{"POINT"}, "POINT", nullptr},
    {{"ED"}, "EDIT", nullptr},
    {{"$"}, "$", nullptr},
    {{"PLOT"}, "PLOT", cmd_plot},
    {{"HELP", "?"}, "HELP", nullptr},
    {{"CLEAR"}, "CLEAR", cmd_clear},
    {{"FORM"}, "FORM", nullptr},
    {{"MAKE"}, "MAKE", nullptr},
    {{"SET"}, "SET", nullptr},
    {{"ADD"}, "ADD", nullptr},
    {{"MARK"}, "MARK", nullptr},
    {{"INT"}, "INT", nullptr},
    {{"READ", "IN"}, "READ", cmd_read},
    {{"ENT"}, "ENTER", cmd_enter},
    {{"WR", "SAV", "OUT"}, "WRITE", cmd_write},
    {{"STAT"}, "STAT", cmd_stat},
    {{"BIN", "HIS"}, "BIN", cmd_bin},
    {{"FFT"}, "FFT", nullptr},
    {{"MAT"}, "MATH", cmd_math},
    {{"SW"}, "SWAP", cmd_swap},
    {{"CAL"}, "CALC", cmd_calc},
    {{"D"}, "D", nullptr},
    {{"REG"}, "REGRESS", nullptr},
    {{"FIT"}, "FIT", nullptr},
    {{"AV"}, "AVERAGE", nullptr},
    {{"SM"}, "SMOOTH", nullptr},
    {{"PORT"}, "PORT", nullptr},
    {{"NORM"}, "NORM", nullptr},
    {{"YOYO", "YO!", "YO"}, "YO", nullptr},
};

}  // namespace

std::span<const CommandEntry> command_table() { return kTable; }

}  // namespace verto
