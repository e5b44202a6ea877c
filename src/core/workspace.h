#pragma once
// The one workspace state of a VERTO run: the XYS data set, the line data
// set, the column worksheet, the marker lists, the current form and
// variable, remembered names and settings, and the command line buffers.
// Arrays are allocated once at full capacity, in one block, and never
// reallocated; commands change counts and contents in place.
#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace verto {

class Console;

constexpr int kMaxNpts = 50000;   // capacity of every point array
constexpr int kMaxColumns = 9;    // columns C1..C9 of the worksheet
constexpr int kMaxMarkers = 100;  // entries of each marker list
constexpr int kLineLength = 70;   // command line buffers
constexpr int kLabelLength = 70;  // marker labels and file names

struct Marker {
  int index = 0;      // point (or line point) after which a new block starts
  std::string label;  // up to 70 characters
};

struct MarkerList {
  std::array<Marker, kMaxMarkers> entries;
  int count = 0;
};

// Everything of the workspace but its arrays: plain values, copied as
// such.
struct WorkspaceValues {
  int Npts = 0;   // points of the XYS data set
  int Nline = 0;  // points of the line data set
  int Mpts = 0;   // rows of the column worksheet
  int Num_columns = 1;

  MarkerList point_markers;
  MarkerList line_markers;

  int form = 5;
  int variable = 1;
  int default_form = 5;
  int default_variable = 1;
  // Variable letters: X, Y, then S (or Z after FORM 7).
  std::array<char, 3> variable_letters{'X', 'Y', 'S'};

  std::string last_file = "----none----";
  std::vector<std::string> matched_files;  // names of a wildcard READ

  int clobber = 1;                       // WRITE asks before overwriting
  int auto_marker = 1;                   // appended data get a marker
  std::string plot_mode_startup = "/M=VGA";  // PLOT_MODE_DEF or /M=
  std::string plot_mode = "/M=VGA";      // put before every PLOT's options

  // Data file named at start-up, read after the welcome text; CLEAR drops it.
  std::string startup_file;

  // Constants of the expression language.
  static constexpr float kE = 2.71828183f;
  static constexpr float kPI = 3.14159265f;

  // Command line buffers (70 characters, blank-padded).
  std::string line = std::string(kLineLength, ' ');
  std::string upper = std::string(kLineLength, ' ');
};

struct Workspace : WorkspaceValues {
  Workspace();
  ~Workspace();
  // A copy has arrays of its own, with the same contents.
  Workspace(const Workspace& other);
  Workspace& operator=(const Workspace& other);

  // XYS data set: S is the error of Y in forms 2 and 4, Z in form 7.
  std::span<float> X, Y, S;
  // Line data set; LZ is used only in form 7.
  std::span<float> LX, LY, LZ;
  // Column worksheet: kMaxNpts rows of 9 values, row-major.
  std::span<float> columns;
  float& column(int row, int col) {  // both 1-based
    return columns[static_cast<std::size_t>(row - 1) * kMaxColumns + (col - 1)];
  }

 private:
  // The arrays above in one block, zeroed by the system and touched only
  // where used: a run that never reads a file never pays for them.
  float* arrays_;
  static constexpr std::size_t kArrayFloats =
      std::size_t{6} * kMaxNpts + std::size_t{kMaxNpts} * kMaxColumns;
};

// The 9-character name of a form ("(X,Y)    ").
std::string_view form_name(int form);
// The letter of variable 1..3 (X, Y, and S or Z).
char variable_letter(const Workspace& ws, int variable);

// Appends a marker; a full list (100 entries) is refused with a message
// and nothing is overwritten. Returns false when refused.
bool add_point_marker(Workspace& ws, Console& con, int index,
                      std::string_view label);
bool add_line_marker(Workspace& ws, Console& con, int index,
                     std::string_view label);

// Counts to zero, form and variable to their defaults, plot mode string
// refreshed, start-up file request dropped, welcome text printed. Array
// contents stay.
void reset_workspace(Workspace& ws, Console& con);
void print_welcome(const Workspace& ws, Console& con);

extern const char* const kVersionText;    // "Version 5.3"
extern const char* const kVersionSuffix;  // "-Win 3.0"

}  // namespace verto
