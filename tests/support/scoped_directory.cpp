#include "support/scoped_directory.h"

#include <random>
#include <string>

namespace verto::testing {

namespace fs = std::filesystem;

ScopedDirectory::ScopedDirectory(std::string_view prefix) : old_(fs::current_path()) {
  std::random_device rd;
  dir_ = fs::temp_directory_path() / (std::string(prefix) + std::to_string(rd()));
  fs::create_directories(dir_);
  fs::current_path(dir_);
}

ScopedDirectory::~ScopedDirectory() {
  std::error_code ec;
  fs::current_path(old_, ec);
  fs::remove_all(dir_, ec);
}

}  // namespace verto::testing
