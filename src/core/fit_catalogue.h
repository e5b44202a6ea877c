#pragma once
// The catalogue of fit models: one record per model holding everything
// known about it. FIT matches, reads, fits and reports a model from its
// record; FIT ? and HELP FIT list the records; the Fit Function dialog
// shows their names and formulas and writes their command words.
#include <array>
#include <span>
#include <string_view>

#include "numeric/fit_models.h"

namespace verto {

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

constexpr int kFitModelCount = 14;
constexpr int kFitMaxParams = 9;  // parameter vector and matrices of FIT
constexpr int kFitLd = 9;         // leading dimension of its matrices

// What a value after "=" gives the model.
enum class FitParameter {
  None,
  Order,  // POLY=n, EXP=n: n + 1 parameters
  Power,  // POW=p
  Width,  // peak models: the full width, held during the fit
};

// How the parameters are found.
enum class FitMethod {
  Linear,     // linear least squares on the model's basis
  LogLinear,  // a straight line through ln y
  Peak,       // Levenberg-Marquardt from a peak search
  TwoPeaks,   // Levenberg-Marquardt with both positions held
  Iterative,  // Levenberg-Marquardt from the model's start values
};

struct ModelInfo {
  ModelCode code;
  // Names and words.
  std::string_view name;          // the keyword in full, in messages
  std::string_view prefix;        // the shortest start of the keyword FIT takes
  std::string_view command_word;  // the keyword as the dialog writes it
  std::string_view syntax;        // the keyword with its values, in HELP FIT
  std::string_view list_line;     // its line in FIT ?
  std::string_view dialog_name;   // its entry in the dialog's list
  int dialog_position;            // 1..14: the place of that entry
  std::array<std::string_view, 3> formula;  // the dialog's short lines ("^" powers)
  std::array<std::string_view, 3> banner;   // FIT's formula lines, empty ones unused
  std::string_view label;         // line-marker label (Order, Power: a prefix)
  // Parameters.
  FitParameter parameter;
  bool peak;                      // a peak: "=width", FWHM and area reported
  bool positions;                 // takes the two peak positions x1,x2
  int ma;                         // parameters; 0 when "=n" decides it
  // The fit.
  FitMethod method;
  int iterations;                 // engine calls before the covariance call
  CatalogueModel model;           // Levenberg-Marquardt models
  LinearBasis basis;              // Linear models
  CurveValue value;               // the fitted curve when not `model`
  StartValues start;              // Iterative models
  int background;                 // peak models: index of the constant, or -1
  int shape;                      // peak models: index of the asymmetry, or -1
  // Points the model takes, and the message when some are outside.
  PointInDomain in_domain;        // nullptr: every point
  std::string_view domain_need;
  // What a peak reports besides its parameters.
  std::string_view fwhm_label;
  PeakAreas areas;
  std::array<std::string_view, 2> area_labels;
};

// Model of a catalogue code 1..14.
const ModelInfo& model_info(int code);
// Every model, in the order FIT ? and HELP FIT list them.
std::span<const ModelInfo> fit_models();
// The model at a place 1..14 of the dialog's list.
const ModelInfo& model_at_dialog_position(int position);

// The model whose keyword starts the function text, tried in the order
// POL, POW, EXP, DE, GAUSSB, GAUSS2, GA, ASYMB, AS, RI, MO, MAX, DR, AR;
// nullptr when none matches.
const ModelInfo* match_model(std::string_view function_text);

}  // namespace verto
