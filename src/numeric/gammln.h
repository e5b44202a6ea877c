#pragma once
// ln(Gamma(xx)) for xx > 0 by the Lanczos approximation (double inside).
namespace verto {
float gammln(float xx);
}
