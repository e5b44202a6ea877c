#pragma once
// The scratch file in the current directory: EDIT writes the data set to
// it for the editor and reads it back; READ takes the names it lists when
// given the file name "***File_List***".
#include <string_view>

namespace verto {

inline constexpr char kScratchFile[] = "VTDATA.TMP";
inline constexpr std::string_view kFileList = "***File_List***";

}  // namespace verto
