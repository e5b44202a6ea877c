#pragma once
// A fresh temporary directory that is the current directory while the
// object lives; the previous one is restored and the directory removed
// afterwards.
#include <filesystem>
#include <string_view>

namespace verto::testing {

class ScopedDirectory {
 public:
  // The directory is named `prefix` followed by a random number.
  explicit ScopedDirectory(std::string_view prefix);
  ~ScopedDirectory();
  ScopedDirectory(const ScopedDirectory&) = delete;
  ScopedDirectory& operator=(const ScopedDirectory&) = delete;

  const std::filesystem::path& path() const { return dir_; }

 private:
  std::filesystem::path old_, dir_;
};

}  // namespace verto::testing
