#pragma once
// The catalogue of fit models: codes, keywords and how they are matched,
// parameter counts, iteration counts, formula banners and line labels.
#include <array>
#include <string>
#include <string_view>

#include "fitting/models.h"

namespace verto {

class Console;

enum ModelCode : int {
  kModelNone = 0,
  kModelPoly = 1,
  kModelPow = 2,
  kModelExp = 3,
  kModelDecay = 4,
  kModelGaussian = 5,
  kModelRise = 6,
  kModelGaussB = 7,
  kModelMorse = 8,
  kModelMaxwell = 9,
  kModelArrhenius = 10,
  kModelDruyvest = 11,
  kModelGauss2 = 12,
  kModelAsym = 13,
  kModelAsymB = 14,
};

constexpr int kFitMaxParams = 9;  // parameter vector and matrices of FIT
constexpr int kFitLd = 9;         // leading dimension of its matrices

struct ModelInfo {
  ModelCode code;
  std::string_view name;         // the keyword in full
  int ma;                        // parameters; 0 when "=n" decides it
  CatalogueModel model;          // Levenberg-Marquardt models only
  int iterations;                // engine calls before the covariance call
  bool peak;                     // takes "=width" and reports a width
  std::string_view label;        // line-marker label (POLY, POW, EXP: prefix)
  std::array<std::string_view, 3> banner;  // formula lines, empty ones unused
};

// Model of a catalogue code 1..14.
const ModelInfo& model_info(int code);

// The model whose keyword starts the function text, tried in the order
// POL, POW, EXP, DE, GAUSSB, GAUSS2, GA, ASYMB, AS, RI, MO, MAX, DR, AR;
// nullptr when none matches.
const ModelInfo* match_model(std::string_view function_text);

// The list of models printed by FIT ? and FIT H.
void print_catalogue(Console& con);

// The formula banner of a model; POW shows its power p.
void print_banner(Console& con, const ModelInfo& m, float p);

// The line-marker label: "Fit poly=2", "Fit power=-.5000", "Fit Gaussian"...
std::string line_label(const ModelInfo& m, int n, float p);

}  // namespace verto
