#pragma once
// What a record of the session (the notebook) learns beyond the console
// text: the command lines as they run and the files that commands read
// and write. Commands report files through note_file; without a record
// (Session::record null) nothing happens.
#include <string_view>

#include "core/session.h"

namespace verto {

enum class FileUse { Read, Written };

class SessionRecord {
 public:
  virtual ~SessionRecord() = default;
  // A command line about to run, as typed or handed over.
  virtual void command(std::string_view line) = 0;
  virtual void file(FileUse use, std::string_view name) = 0;
};

inline void note_file(Session& s, FileUse use, std::string_view name) {
  if (s.record) s.record->file(use, name);
}

}  // namespace verto
