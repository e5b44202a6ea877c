// The command table: prefixes in matching order. The first prefix that
// starts the upper-case line decides the command, so the order settles
// every overlap (LAB before L, DIR before D, INT before IN, MAKE and MARK
// before MAT). Entries without a function are not part of this build.
#include "analysis/commands.h"
#include "analysis/processing_commands.h"
#include "datafiles/commands.h"
#include "datafiles/marker_commands.h"
#include "expr/commands.h"
#include "fitting/commands.h"
#include "plot/commands.h"
#include "workspace/commands.h"
#include "app/command_table.h"

namespace verto {

namespace {

const CommandEntry kTable[] = {
    {{"LAB"}, "LABEL", cmd_label},
    {{"EX"}, "EXIT", cmd_exit},
    {{"Q"}, "QUIT", cmd_exit},
    {{"LOAD"}, "READ", cmd_read},
    {{"DIR"}, "DIR", cmd_dir},
    {{"LS"}, "DIR", cmd_dir},
    {{"CD"}, "CD", cmd_cd},
    {{"ECHO"}, "ECHO", cmd_echo},
    {{"LINE"}, "LINE", cmd_line},
    {{"LEG"}, "LEGEND", cmd_legend},
    {{"SHOW"}, "LIST", cmd_list},
    {{"L"}, "LIST", cmd_list},
    {{"CLS"}, "CLS", cmd_cls},
    {{"SORT"}, "SORT", cmd_sort},
    {{"POINT"}, "POINT", cmd_point},
    {{"ED"}, "EDIT", cmd_edit},
    {{"$"}, "$", cmd_shell},
    {{"PLOT"}, "PLOT", cmd_plot},
    {{"HELP", "?"}, "HELP", cmd_help},
    {{"CLEAR"}, "CLEAR", cmd_clear},
    {{"FORM"}, "FORM", cmd_form},
    {{"MAKE"}, "MAKE", cmd_make},
    {{"SET"}, "SET", cmd_set},
    {{"ADD"}, "ADD", cmd_add},
    {{"MARK"}, "MARK", cmd_mark},
    {{"INT"}, "INT", cmd_int},
    {{"READ", "IN"}, "READ", cmd_read},
    {{"ENT"}, "ENTER", cmd_enter},
    {{"WR", "SAV", "OUT"}, "WRITE", cmd_write},
    {{"STAT"}, "STAT", cmd_stat},
    {{"BIN", "HIS"}, "BIN", cmd_bin},
    {{"FFT"}, "FFT", cmd_fft},
    {{"MAT"}, "MATH", cmd_math},
    {{"SW"}, "SWAP", cmd_swap},
    {{"CAL"}, "CALC", cmd_calc},
    {{"D"}, "D", cmd_d},
    {{"REG"}, "REGRESS", cmd_regress},
    {{"FIT"}, "FIT", cmd_fit},
    {{"AV"}, "AVERAGE", cmd_average},
    {{"SM"}, "SMOOTH", cmd_smooth},
    {{"PORT"}, "PORT", cmd_port},
    {{"NORM"}, "NORM", cmd_norm},
    {{"YOYO", "YO!", "YO"}, "YO", cmd_yo},
};

}  // namespace

std::span<const CommandEntry> command_table() { return kTable; }

}  // namespace verto
