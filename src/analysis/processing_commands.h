#pragma once
// Commands that rearrange, condense or transform the XYS data set: SORT,
// AVERAGE and SMOOTH; the derivatives D and DD, INT and NORM; FFT.
namespace verto {
struct Session;
void cmd_sort(Session& s);
void cmd_average(Session& s);
void cmd_smooth(Session& s);
void cmd_d(Session& s);  // D and DD
void cmd_int(Session& s);
void cmd_norm(Session& s);
void cmd_fft(Session& s);
}  // namespace verto
