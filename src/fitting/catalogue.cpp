#include "fitting/catalogue.h"

#include "core/console.h"
#include "core/format.h"

namespace verto {

namespace {

const ModelInfo kModels[] = {
    {kModelPoly, "POLY", 0, nullptr, 0, false, "Fit poly=",
     {"                    1        2           n",
      "      Y = a0 +  a1*X  +  a2*X  + ... an*X ", ""}},
    {kModelPow, "POW", 1, nullptr, 0, false, "Fit power=",
     {"                p", "      Y = a0 * X    where p =", ""}},
    {kModelExp, "EXP", 0, nullptr, 0, false, "Fit exp=",
     {"                    1X         2X          nX",
      "      Y = a0 +  a1*e   +   a2*e  + ... an*e ", ""}},
    {kModelDecay, "DECAY", 2, nullptr, 0, false, "Fit exp. decay",
     {"                a1*X ", "      Y = a0 * e     ", ""}},
    {kModelGaussian, "GAUSSIAN", 3, Gfit, 10, true, "Fit Gaussian",
     {"                            2", "                -[(X-a1)/a2] ",
      "      Y = a0 * e     "}},
    {kModelRise, "RISE", 3, risefit, 10, false, "Fit exp. rise",
     {"                     -(X-a1)/a2 ", "      Y = a0 * (1 - e           )", ""}},
    {kModelGaussB, "GAUSSB", 4, Gbfit, 10, true, "Fit Gaussian with bkg.",
     {"                            2", "                -[(X-a1)/a2] ",
      "      Y = a0 * e               +a3"}},
    {kModelMorse, "MORSE", 4, morsefit, 10, false, "Fit Morse potential",
     {"                                   2", "               [       -a1*(X-a2) ]",
      "      Y = a0 * [ 1 - e            ]   + a3"}},
    {kModelMaxwell, "MAXWELL", 2, maxwellfit, 10, false, "Fit Maxwellian Distr.",
     {"                               0.5    -1.5   -x/a1",
      "      Y = [2/Sqrt(pi)] * a0 * x   * a1    * e     ", ""}},
    {kModelArrhenius, "ARRHENIUS", 3, arrheniusfit, 15, false, "Fit Arrhenius form",
     {"                 a1      -a2/x ", "      Y =  a0 * x    *  e      ", ""}},
    {kModelDruyvest, "DRUYVEST", 2, druyvestfit, 20, false, "Fit Druyvesteyn Distr.",
     {"                                                  2   2",
      "                             0.5   -1.5   -0.243 x /a1 ",
      "      Y = [1/Sqrt(pi)] *a0 *x   *a1    * e       "}},
    {kModelGauss2, "GAUSS2", 5, G2fit, 15, true, "Fit 2 Gaussian peaks",
     {"                            2", "                -[(X-a1)/a2]         -[(X-a4)/a2]",
      "      Y = a0 * e             + a3 * e  "}},
    {kModelAsym, "ASYM", 4, asymfit, 10, true, "Fit Asym. Gaussian",
     {"                                                    2",
      "                -[(X-a1)/a2 * (1+exp(a3*(X-a1))/2) ] ",
      "      Y = a0 * e                                  "}},
    {kModelAsymB, "ASYMB", 5, asymbfit, 10, true, "Fit Asym. Gauss with bkg",
     {"                                                    2",
      "                -[(X-a1)/a2 * (1+exp(a4*(X-a1))/2) ] ",
      "      Y = a0 * e                                      + a3"}},
};

struct KeywordPrefix {
  std::string_view prefix;
  ModelCode code;
};

// Matching order: longer keywords that share a start come first.
constexpr KeywordPrefix kPrefixes[] = {
    {"POL", kModelPoly},      {"POW", kModelPow},     {"EXP", kModelExp},
    {"DE", kModelDecay},      {"GAUSSB", kModelGaussB}, {"GAUSS2", kModelGauss2},
    {"GA", kModelGaussian},   {"ASYMB", kModelAsymB}, {"AS", kModelAsym},
    {"RI", kModelRise},       {"MO", kModelMorse},    {"MAX", kModelMaxwell},
    {"DR", kModelDruyvest},   {"AR", kModelArrhenius},
};

constexpr std::string_view kCatalogue[] = {
    "POLY=n      : n-th order polynomial",
    "POW=n       : n-th power of X",
    "EXP=n       : sum of exponentials",
    "DECAY       : exponential decay",
    "RISE        : exponential increase",
    "GAUSSIAN    : Gaussian distribution [=width]",
    "GAUSSb      : Gaussian dist. with constant background [=width]",
    "GAUSS2 x1,x2: Sum of two Gaussian peaks withcenters at x1, x2 [=width]",
    "ASYM        : Asymmetric Gaussian distribution [=width]",
    "ASYMb       : Asymmetric Gaussian dist. with constant [=width]",
    "MORSE       : Morse potential",
    "MAXWELL     : Maxwellian distribution",
    "DRUYVEST    : Druyvesteyn distribution",
    "ARRHENIUS   : Arrhenius form",
};

}  // namespace

const ModelInfo& model_info(int code) { return kModels[code - 1]; }

const ModelInfo* match_model(std::string_view function_text) {
  for (const KeywordPrefix& k : kPrefixes)
    if (function_text.substr(0, k.prefix.size()) == k.prefix) return &model_info(k.code);
  return nullptr;
}

void print_catalogue(Console& con) {
  con.record("");
  write_free(con, {"VERTO! Fitting Function:"});
  con.record("");
  for (std::string_view line : kCatalogue) write_free(con, {line});
  con.record("");
}

void print_banner(Console& con, const ModelInfo& m, float p) {
  for (std::string_view line : m.banner) {
    if (line.empty()) continue;
    if (m.code == kModelPow && line == m.banner[1])
      write_free(con, {line, static_cast<double>(p)});
    else
      write_free(con, {line});
  }
}

std::string line_label(const ModelInfo& m, int n, float p) {
  std::string label(m.label);
  if (m.code == kModelPoly || m.code == kModelExp)
    label += static_cast<char>('0' + n);
  else if (m.code == kModelPow)
    label += format_fixed(p, 6, 4);
  return label;
}

}  // namespace verto
