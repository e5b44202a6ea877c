// HELP and "?": fixed texts, nothing is read from files.
#include "core/help.h"

#include <array>
#include <string>

#include "core/console.h"
#include "core/fit_catalogue.h"
#include "core/session.h"

namespace verto {

namespace {

using Text = std::string_view;

constexpr Text kSummary[] = {
    "AVERAGE [delta_x]   averages all Y values with same X value (S = err in mean)",
    "BIN  num_bins,[var] histogram of a variable  (or HIST)                    (*)",
    "CALC                RPN calculator mode (HELP MATH for more info)",
    "EDIT                edit data using standard editor",
    "ENTER[/form]        read data from keyboard",
    "FIT   function=n    least square fit to data                              (*)",
    "FORM  format,[var]  change default data format, var.",
    "INT   [x1,x2]       integrates Y data (from x1 to x2)",
    "LINE  [filename]    converts X,Y to line (or read from file)              (*)",
    "LIST                list data on screen  (or SHOW)                        (*)",
    "MAKE  nsize         increases Npts by nsize   (or SET N=expression)",
    "MATH  expression    manipulate data,  (for example MATH Y=3*X+2)          (*)",
    "NORM  [var=val]     normalize var to 1 (or val) at the peak (or at I=n)   (*)",
    "POINT               converts line to x,y data points                      (*)",
    "PLOT[/options]      2D plot of variables                                  (*)",
    "QUIT                exit program         (or EXIT)",
    "READ[/form]  file   read in data file    (or INCLUDE)",
    "SORT[/d]  [var]     sort data in ascending (or descending) order",
    "STAT  [variable]    statistics on single variable                         (*)",
    "WRITE[/form] file   write data to file   (or SAVE)                        (*)",
    "other commands: CLEAR, CLS, DIR, CD, $, ADD(*), PORT, MARK, SMOOTH, FFT, YO",
    "commands marked with (*) support the /n1:n2 range option",
};

constexpr Text kAdd[] = {
    "ADD[/n1:n2] Cn1 [,Cn2,Cn3]",
    "   Appends rows n1 to n2 of the column worksheet (default all Mpts rows)",
    "   to the X,Y,S data: the listed columns go to X, Y and S in that order.",
    "   In form 1 the first column goes to the current variable, in form 2",
    "   the columns go to X and S. Without columns VERTO! asks for them; a",
    "   name other than C1 to C9 adds nothing. The new points get a marker.",
};

constexpr Text kPort[] = {
    "PORT[/C,/X] x1,x2",
    "   Appends every row of the column worksheet whose C1 lies between x1",
    "   and x2 (both included) to the X,Y,S data, C1, C2, C3 going to X, Y, S",
    "   as with ADD.",
    "   /C   deletes the old X,Y,S data first",
    "   /X   deletes the old X,Y,S data and the line first",
};

constexpr Text kAverage[] = {
    "AVERAGE[/SUM,/SD,/D,/X] [delta_x]",
    "   Sorts by X and merges points whose X lies within delta_x (default",
    "   0.0001) of the first X of their group into one point: X and Y become",
    "   the means, S the error in the mean (form 4: the weighted mean of Y and",
    "   its error).",
    "   /SUM    Y is the sum, S adds the errors in quadrature",
    "   /SD     S is the standard deviation instead of the error in the mean",
    "   /D[=d]  discards points more than d std. dev. from the group's",
    "           median (default d=2.5)",
    "   /X      form 7: rows of exactly equal Y (no tolerance in Y)",
};

constexpr Text kClear[] = {
    "CLEAR",
    "   Deletes all points, line points, worksheet rows and markers, returns",
    "   to the default form and variable (VERTO.INI, /F= and /V=) and shows",
    "   the welcome text. The values stay in memory: SET N brings them back.",
};

constexpr Text kCls[] = {
    "CLS",
    "  Clears screen.",
};

constexpr Text kSystem[] = {
    "$command  -- Execute operating system command.",
    "CD        -- Change disk directory.",
    "DIR       -- Get a disk directory.",
};

constexpr Text kDerivative[] = {
    "D[/options] [xwidth]   -- 1st derivative of data",
    "DD[/options] [xwidth]  -- 2nd derivative of data",
    "   Fits parabolas to groups of points spanning at least xwidth in X",
    "   (default 1% of the X range) and puts the slopes into the line data.",
    "   The points must be sorted by X. DD is the derivative of the",
    "   derivative. Errors S weight the points except in forms 1 and 3.",
    "   /n1:n2  uses points n1 to n2 only",
    "   /ADD    appends to the line instead of replacing it",
};

constexpr Text kFft[] = {
    "FFT[/INV] [var]",
    "   Replaces var (default Y in forms 3 and up) by its amplitude spectrum.",
    "   Uses the largest power of 2 points, keeps the first half of the",
    "   spectrum and, for X,Y data, turns X into the frequency axis; the X",
    "   values must be equally spaced.",
    "   /INV    inverse transform",
};

// HELP FIT's list of the catalogue's models, with their values, on lines
// of at most 72 characters, the second ending with the pointer to FIT ?.
std::array<std::string, 2> fit_function_lines() {
  std::array<std::string, 2> lines{"   functions:", "  "};
  std::size_t line = 0;
  for (const ModelInfo& m : fit_models()) {
    if (line == 0 && lines[0].size() + 1 + m.syntax.size() > 72) line = 1;
    lines[line] += " ";
    lines[line] += m.syntax;
  }
  lines[1] += "     (FIT ? lists them)";
  return lines;
}

const std::array<std::string, 2> kFitFunctions = fit_function_lines();

const Text kFit[] = {
    "FIT[/options]  function",
    "   Least squares fit of a function to the X,Y data, weighted by the",
    "   errors S except in forms 1 and 3. Prints the parameters with their",
    "   errors and the reduced chi-square and puts the fitted curve into the",
    "   line data.",
    "   /n1:n2  fits points n1 to n2 only",
    "   /D      the curve spans the data limits instead of rounded limits",
    "   /ADD    appends the curve to the line data",
    "   /NL     no curve",
    "   /SUB    subtracts the fitted function from the data",
    kFitFunctions[0],
    kFitFunctions[1],
};

constexpr Text kForm[] = {
    "FORM format,[var]",
    "   Sets the data form of READ, WRITE, ENTER, LIST and PLOT:",
    "     0 user form    1 (X)        2 (X,S)      3 (X,Y)",
    "     4 (X,Y,S)      5 auto form  6 multi-col  7 (X,Y,Z)",
    "   var (X, Y or S, which is called Z in form 7) is the default variable",
    "   of one-variable commands such as STAT and SORT. FORM ? lists the",
    "   forms; FORM 3,Y selects form 3 and variable Y.",
};

constexpr Text kRegress[] = {
    "REGRESS[/options]",
    "   Fits y = a + b x by least squares, by a robust median fit and, in",
    "   form 4, weighted by the errors S; prints the correlation coefficient",
    "   r and a, b of each fit, and puts each fitted line into the line data.",
    "   /n1:n2  uses points n1 to n2 only",
    "   /D      lines span the data limits instead of rounded limits",
    "   /ADD    appends the lines to the line data",
    "   /NL     no lines",
};

constexpr Text kLine[] = {
    "LINE[/options] [filename]",
    "   Moves the X,Y points to the line data (the points are deleted), or",
    "   reads the line from a file: two values per record, three in form 7.",
    "   /NO or /CLEAR  deletes the line",
    "   /ZERO          the line Y=0 across the X range of the points",
    "   /ADD           appends to the line instead of replacing it",
    "   /n1:n2         moves points n1 to n2 only",
};

constexpr Text kMark[] = {
    "MARK[/options] [n1,n2,n3...]",
    "LABEL[/options] text_string",
    "   Markers split the data into blocks: PLOT draws each block of points",
    "   with its own symbol and each block of the line as its own segment,",
    "   and the legend shows the markers' labels. Data added by READ, FIT and",
    "   other commands get a marker of their own.",
    "   MARK puts markers after points n1,n2,... instead of the old ones.",
    "   MARK:  /NO or /CLEAR deletes, /LINE line markers, /LIST lists them,",
    "          /ADD adds to the list",
    "   LABEL: sets the label of the last marker, or of marker n with /NUM=n;",
    "          /LINE for the line markers",
};

constexpr Text kList[] = {
    "LIST[/options]              equivalent to SHOW",
    "   Lists the X,Y,S points in the current form (forms 1 to 4 and 7).",
    "   /LINE     the line data",
    "   /COLUMN   the column worksheet",
    "   /FILE     the last file read (and the files a wildcard READ matched)",
    "   /MARKERS  the point and line markers with their labels",
    "   /n1:n2    points n1 to n2 only",
};

constexpr Text kNorm[] = {
    "NORM[/LINE,/n1:n2] [I=point_num] [var=val]",
    "   Scales var (X, Y or S; default Y) so that its largest value in the",
    "   range, or its value at point I, becomes val (default 1). The errors",
    "   S are scaled along in form 2, and in form 4 when Y is scaled.",
    "   /LINE works on the line data (X or Y).",
};

constexpr Text kPlot[] = {
    "PLOT[/options]",
    "   /n1:n2     points n1 to n2     /DATA    axes at the data limits",
    "   /XLOG /YLOG /ZLOG log axes     /LEG[=n] legend in corner n (1-4)",
    "   /TEXT      character plot      /DROP    droplines to the bottom axis",
    "   /PRINT     HPGL file           /PS      PostScript file",
    "   /OVER      overwrite the plot file      /THETA=a  3D view angle",
    "   /CON       contour, colours by Z",
    "   /IS /XS /YS /ZS  colours by index or by the value of X, Y or Z",
    "   /XNM /XA /XM     colours by X as a wavelength in nm, A or micrometre",
    "   /SIZE=factor and /MODE=vid_mode are accepted and ignored.",
    "   Markers start new symbols and line segments (see HELP MARK).",
};

constexpr Text kSet[] = {
    "SET[/LINE] variable=expression",
    "   N=expr  number of points Npts (with /LINE, of line points)",
    "   M=expr  number of rows of the column worksheet",
    "   C=expr  number of columns of the worksheet (max 9)",
    "   The expression may use N, M, E and PI, as in SET N=N/2. Values beyond",
    "   the count stay in memory and come back when it grows again.",
};

constexpr Text kSmooth[] = {
    "SMOOTH[/G,/M] window",
    "   Sorts by X and smooths Y (Z in form 7) over a window in X.",
    "   /G   Gaussian weights, window = full width at half maximum (default)",
    "   /M   rolling median of the points within window/2 of each point",
};

constexpr Text kSwap[] = {
    "SWAP[/LINE,/n1:n2] var1=var2",
    "   Exchanges two variables (X, Y, S or Z, C1 to C9) over points n1 to",
    "   n2. SWAP X,Y is the same as SWAP X=Y.",
    "   /LINE works on the line data.",
};

constexpr Text kWrite[] = {
    "WRITE[/options] filename           equivalent to SAVE and OUTPUT",
    "   Writes the points to a file in the current form; forms 0, 5 and 6",
    "   are changed to form 4 first.",
    "   /n1:n2  points n1 to n2 only",
    "   /LINE   the line data (LX, LY)",
    "   /form   a form 1 to 4 or 7 first, as in WRITE/3 file",
    "   !       overwrites an existing file without asking (WRITE! file)",
    "   VERTO! asks before it overwrites an existing file unless VERTO.INI",
    "   sets I_CLOBBER=-1.",
};

struct Topic {
  std::array<Text, 3> prefixes;
  std::span<const Text> text;
};

// In the order of comparison: the first prefix that starts the topic wins
// (so DIR is taken before D, and LINE before L).
const Topic kTopics[] = {
    {{"ADD"}, kAdd},
    {{"PORT"}, kPort},
    {{"AV"}, kAverage},
    {{"CLEAR"}, kClear},
    {{"CLS"}, kCls},
    {{"DIR", "CD", "$"}, kSystem},
    {{"D"}, kDerivative},
    {{"FFT"}, kFft},
    {{"FIT"}, kFit},
    {{"FORM"}, kForm},
    {{"REG"}, kRegress},
    {{"LINE"}, kLine},
    {{"MARK", "LAB"}, kMark},
    {{"L", "SHOW"}, kList},
    {{"NORM"}, kNorm},
    {{"PLOT"}, kPlot},
    {{"SET"}, kSet},
    {{"SM"}, kSmooth},
    {{"SW"}, kSwap},
    {{"WR", "OUT"}, kWrite},
};

}  // namespace

std::span<const std::string_view> help_summary_text() { return kSummary; }

std::span<const std::string_view> help_topic_text(std::string_view topic) {
  for (const Topic& t : kTopics)
    for (Text p : t.prefixes)
      if (!p.empty() && topic.substr(0, p.size()) == p) return t.text;
  return {};
}

void show_math_help(Session& s) {
  const char z = variable_letter(s.ws, 3);
  std::string variables = "X  Y  ";
  variables += z;
  variables += "  I N M : X,Y,";
  variables += z;
  variables += " vectors, index I, and Npts";
  const std::string lines[] = {
      "VERTO! math functions:",
      "variables:",
      "----------",
      variables,
      "E  PI RAN RANG : standard numerical values, random #s",
      "functions:",
      "----------",
      "+  -  *  /  ( ) ! FACT  INV  ^  **  SQRT  FACT    : Algebra",
      "CHS  ABS  INT  NINT  MOD                          : more Algebra",
      "SIN  COS  TAN  ASIN  ACOS  ATAN                   : Trig (radians)",
      "SIND COSD TAND ASIND ACOSD ATAND                  : Trig (degrees)",
      "EXP  LN   ALOG LOG   SINH  COSH  TANH             : Logs & Hyper.",
      "DUP  DROP SWAP CLEAR       MIN  MAX               : Stack commands",
      "other commands:",
      "---------------",
      "QUIT, EXIT   : return to VERTO!",
  };
  for (const std::string& line : lines) s.con.record(" " + line);
}

}  // namespace verto
