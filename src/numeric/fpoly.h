#pragma once
// Polynomial basis for Lfit: p(1) = 1, p(j) = p(j-1) * x for j = 2..np with
// np = p.size(), so the model is a(1) + a(2) x + ... + a(np) x^(np-1).
#include <span>

namespace verto {

void Fpoly(float x, std::span<float> p);

}  // namespace verto
