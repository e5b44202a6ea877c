#pragma once
// File names as the data-file commands take them: wildcard patterns, the
// name list of the scratch file, and the parts of a command line.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace verto {

// The scratch file of EDIT and of the name list "***File_List***".
inline constexpr std::string_view kReadScratchFile = "VTDATA.TMP";
inline constexpr std::string_view kReadFileList = "***File_List***";
// Names taken from the scratch file for "***File_List***".
constexpr int kMaxListedFiles = 20;

bool has_wildcard(std::string_view name);
// "*" matches any run of characters, "?" any one character; neither
// matches a leading "." unless the pattern starts with one.
bool wildcard_match(std::string_view pattern, std::string_view name);
// The regular files matching `pattern` (its last part; a directory part is
// taken as it stands), sorted by name; nullopt when the directory cannot
// be searched.
std::optional<std::vector<std::string>> match_files(std::string_view pattern);
// The names listed in the scratch file, one a line, at most 20; nullopt
// when it cannot be opened.
std::optional<std::vector<std::string>> listed_files();

// The text without leading and trailing blanks.
std::string trim(std::string_view text);

// The upper-case line cut to its command word (the text before the
// argument start) followed by a plain stand-in argument: what the
// qualifier parsers see, so that the characters of a file name ("/", ":",
// "=", "!") are never taken for qualifiers.
std::string qualifier_line(std::string_view upper, int argument);

// Opens an existing data file (not a directory) for reading; nullptr when
// there is none.
std::FILE* open_data_file(const std::string& name);

}  // namespace verto
