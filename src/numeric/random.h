#pragma once
// Park-Miller minimal standard generator (multiplier 48271, Schrage's
// factorisation) with the two first-use seedings of RAN and RANG, and the
// polar Box-Muller Gaussian deviate with one value kept in reserve.
#include <cstdint>

namespace verto {

struct RandomSources {
  std::int32_t state = 0;         // generator state
  bool ran_seeded = false;        // RAN seeded with 0 on its first use
  bool gauss_seeded = false;      // RANG's uniform source, likewise
  bool reserve_held = false;
  float reserve = 0.f;
};

void seed_random(RandomSources& r, std::int32_t seed);
float next_uniform(RandomSources& r);   // one step of the generator
float uniform_deviate(RandomSources& r);   // RAN: seeds on first use
float gaussian_deviate(RandomSources& r);  // RANG: seeds on first use

}  // namespace verto
