// Park-Miller minimal standard generator, multiplier 48271, with the
// product taken modulo 2^31 - 1 by Schrage's factorisation so that no
// intermediate leaves 32 bits.
#include "numeric/random.h"

#include <cmath>

namespace verto {
namespace {

constexpr std::int32_t kA = 48271;
constexpr std::int32_t kM = 2147483647;  // 2^31 - 1
constexpr std::int32_t kQ = 44488;       // kM / kA
constexpr std::int32_t kR = 3399;        // kM % kA
constexpr float kScale = 1.f / 2147483648.f;  // 2^-31

}  // namespace

// Seeding stores the seed as the state. (A seed of -1 would ask for a seed
// from the clock; nothing in the program does that, and a state of -1 is
// simply stepped like any other.)
void seed_random(RandomSources& r, std::int32_t seed) { r.state = seed; }

float next_uniform(RandomSources& r) {
  // Zero is a fixed point of the generator; it is replaced by -1, so that
  // the first value after seeding with 0 is (2^31 - 1 - 48271) * 2^-31.
  if (r.state == 0) r.state = -1;
  std::int32_t s = kA * (r.state % kQ) - kR * (r.state / kQ);
  if (s <= 0) s += kM;
  r.state = s;
  return static_cast<float>(s) * kScale;
}

float uniform_deviate(RandomSources& r) {
  if (!r.ran_seeded) {
    seed_random(r, 0);
    r.ran_seeded = true;
  }
  return next_uniform(r);
}

float gaussian_deviate(RandomSources& r) {
  if (r.reserve_held) {
    r.reserve_held = false;
    return r.reserve;
  }
  // The uniform source of the Gaussian deviate has its own first-use
  // seeding, separate from RAN's.
  if (!r.gauss_seeded) {
    seed_random(r, 0);
    r.gauss_seeded = true;
  }
  float v1, v2, rsq;
  do {
    v1 = 2.f * next_uniform(r) - 1.f;
    v2 = 2.f * next_uniform(r) - 1.f;
    rsq = v1 * v1 + v2 * v2;
  } while (rsq >= 1.f || rsq == 0.f);
  const float fac = std::sqrt(-2.f * std::log(rsq) / rsq);
  r.reserve = v1 * fac;
  r.reserve_held = true;
  return v2 * fac;
}

}  // namespace verto
