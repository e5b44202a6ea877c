#pragma once
// Work arrays that commands reuse from one run to the next: a command run
// in a loop allocates nothing after its first run. The session owns them,
// so no command keeps hidden state of its own.
#include <cstddef>
#include <span>
#include <vector>

namespace verto {

class WorkArrays {
 public:
  // Array `slot` with `size` elements; what it held before is unspecified.
  // A slot is one command's own while it runs: commands that call each
  // other use different slots.
  std::span<float> floats(std::size_t slot, std::size_t size) {
    if (slot >= arrays_.size()) arrays_.resize(slot + 1);
    std::vector<float>& a = arrays_[slot];
    if (a.size() < size) a.resize(size);
    return {a.data(), size};
  }

 private:
  std::vector<std::vector<float>> arrays_;
};

// The slots in use.
enum WorkSlot : std::size_t {
  kFitX, kFitY, kFitS, kFitSig, kFitScratch1, kFitScratch2,
  kRegressX = kFitX, kRegressY = kFitY, kRegressS = kFitS, kRegressScratch = kFitScratch1,
};

}  // namespace verto
