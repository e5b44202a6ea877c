#pragma once
// Writing a whole file so that a failure never costs the user the file
// that was there before.
//
// The usual way is a temporary file in the target's folder that replaces
// the target by a rename only once every byte was written and closed; it
// takes the mode (and, where permitted, the owner) of the file it
// replaces. A symbolic link is followed to the file it names, which is
// written (and created when missing) while the link stays. The file is
// written in place instead, after all its data are ready, when there is no
// other way to keep what the user has: a file with other hard links (a
// rename would split them), a folder that cannot take a temporary file
// (the user may write the file but not the folder), and anything that is
// not a regular file (a device or a FIFO). In place, room for the longer
// text is claimed before the first byte is changed, so a full disk
// normally fails before anything is overwritten.
#include <string>
#include <string_view>

namespace verto {

enum class FileWrite {
  Replaced,  // written to a temporary file and renamed over the target
  InPlace,   // written into the existing file
  Failed,    // nothing written; an existing file is unchanged (except in place)
};

// Writes `data` as the whole content of `target`.
FileWrite write_whole_file(const std::string& target, std::string_view data);

// Removes the temporary file of a write that was cut off midway, for a
// front-end that ends while a command is still writing. Any thread may
// call it; it does nothing when no write is under way. A write that is
// abandoned this way fails rather than renaming.
void remove_unfinished_write();

}  // namespace verto
