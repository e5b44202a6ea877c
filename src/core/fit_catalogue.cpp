#include "core/fit_catalogue.h"

namespace verto {

namespace {

using enum FitParameter;
using enum FitMethod;

// In the order FIT ? lists them.
constexpr ModelInfo kModels[] = {
    {.code = kModelPoly, .name = "POLY", .prefix = "POL", .command_word = "POLY",
     .syntax = "POLY=n", .list_line = "POLY=n      : n-th order polynomial",
     .dialog_name = "nth order polynomial", .dialog_position = 1,
     .formula = {"Y = a0 + a1*X + a2*X^2", "      + ... + an*X^n", ""},
     .banner = {"                    1        2           n",
                "      Y = a0 +  a1*X  +  a2*X  + ... an*X ", ""},
     .label = "Fit poly=", .parameter = Order, .peak = false, .positions = false, .ma = 0,
     .method = Linear, .iterations = 0, .model = nullptr, .basis = poly_basis,
     .value = poly_value, .start = nullptr, .background = -1, .shape = -1,
     .in_domain = nullptr, .domain_need = "", .fwhm_label = "", .areas = nullptr,
     .area_labels = {}},
    {.code = kModelPow, .name = "POW", .prefix = "POW", .command_word = "POW",
     .syntax = "POW=p", .list_line = "POW=n       : n-th power of X",
     .dialog_name = "pth power of x", .dialog_position = 3,
     .formula = {"Y = a0 * X^p", "", ""},
     .banner = {"                p", "      Y = a0 * X    where p =", ""},
     .label = "Fit power=", .parameter = Power, .peak = false, .positions = false, .ma = 1,
     .method = Linear, .iterations = 0, .model = nullptr, .basis = pow_basis,
     .value = pow_value, .start = nullptr, .background = -1, .shape = -1,
     .in_domain = power_defined_at, .domain_need = "POW needs X**p defined at every point",
     .fwhm_label = "", .areas = nullptr, .area_labels = {}},
    {.code = kModelExp, .name = "EXP", .prefix = "EXP", .command_word = "EXP",
     .syntax = "EXP=n", .list_line = "EXP=n       : sum of exponentials",
     .dialog_name = "exponential sum", .dialog_position = 2,
     .formula = {"Y = a0 + a1*exp(X) + a2*exp(2X)", "      + ... + an*exp(nX)", ""},
     .banner = {"                    1X         2X          nX",
                "      Y = a0 +  a1*e   +   a2*e  + ... an*e ", ""},
     .label = "Fit exp=", .parameter = Order, .peak = false, .positions = false, .ma = 0,
     .method = Linear, .iterations = 0, .model = nullptr, .basis = exp_basis,
     .value = exp_value, .start = nullptr, .background = -1, .shape = -1,
     .in_domain = nullptr, .domain_need = "", .fwhm_label = "", .areas = nullptr,
     .area_labels = {}},
    {.code = kModelDecay, .name = "DECAY", .prefix = "DE", .command_word = "DECAY",
     .syntax = "DECAY", .list_line = "DECAY       : exponential decay",
     .dialog_name = "exponential decay", .dialog_position = 4,
     .formula = {"Y = a0 * exp(a1*X)", "", ""},
     .banner = {"                a1*X ", "      Y = a0 * e     ", ""},
     .label = "Fit exp. decay", .parameter = None, .peak = false, .positions = false, .ma = 2,
     .method = LogLinear, .iterations = 0, .model = nullptr, .basis = nullptr,
     .value = decay_value, .start = nullptr, .background = -1, .shape = -1,
     .in_domain = y_positive, .domain_need = "DECAY needs every y above 0", .fwhm_label = "",
     .areas = nullptr, .area_labels = {}},
    {.code = kModelRise, .name = "RISE", .prefix = "RI", .command_word = "RISE",
     .syntax = "RISE", .list_line = "RISE        : exponential increase",
     .dialog_name = "exponential rise", .dialog_position = 5,
     .formula = {"Y = a0 * (1 - exp(-(X-a1)/a2))", "", ""},
     .banner = {"                     -(X-a1)/a2 ", "      Y = a0 * (1 - e           )", ""},
     .label = "Fit exp. rise", .parameter = None, .peak = false, .positions = false, .ma = 3,
     .method = Iterative, .iterations = 10, .model = risefit, .basis = nullptr,
     .value = nullptr, .start = rise_start, .background = -1, .shape = -1,
     .in_domain = nullptr, .domain_need = "", .fwhm_label = "", .areas = nullptr,
     .area_labels = {}},
    {.code = kModelGaussian, .name = "GAUSSIAN", .prefix = "GA", .command_word = "GAUSS",
     .syntax = "GAUSSIAN", .list_line = "GAUSSIAN    : Gaussian distribution [=width]",
     .dialog_name = "Gaussian", .dialog_position = 6,
     .formula = {"Y = a0 * exp(-[(X-a1)/a2]^2)", "", ""},
     .banner = {"                            2", "                -[(X-a1)/a2] ",
                "      Y = a0 * e     "},
     .label = "Fit Gaussian", .parameter = Width, .peak = true, .positions = false, .ma = 3,
     .method = Peak, .iterations = 10, .model = Gfit, .basis = nullptr, .value = nullptr,
     .start = nullptr, .background = -1, .shape = -1, .in_domain = nullptr, .domain_need = "",
     .fwhm_label = "FWHM      ", .areas = gaussian_area, .area_labels = {"peak area "}},
    {.code = kModelGaussB, .name = "GAUSSB", .prefix = "GAUSSB", .command_word = "GAUSSB",
     .syntax = "GAUSSB",
     .list_line = "GAUSSb      : Gaussian dist. with constant background [=width]",
     .dialog_name = "Gaussian with background", .dialog_position = 7,
     .formula = {"Y = a0 * exp(-[(X-a1)/a2]^2) + a3", "", ""},
     .banner = {"                            2", "                -[(X-a1)/a2] ",
                "      Y = a0 * e               +a3"},
     .label = "Fit Gaussian with bkg.", .parameter = Width, .peak = true, .positions = false,
     .ma = 4, .method = Peak, .iterations = 10, .model = Gbfit, .basis = nullptr,
     .value = nullptr, .start = nullptr, .background = 3, .shape = -1, .in_domain = nullptr,
     .domain_need = "", .fwhm_label = "FWHM      ", .areas = gaussian_area,
     .area_labels = {"peak area "}},
    {.code = kModelGauss2, .name = "GAUSS2", .prefix = "GAUSS2", .command_word = "GAUSS2",
     .syntax = "GAUSS2 x1,x2",
     .list_line = "GAUSS2 x1,x2: Sum of two Gaussian peaks withcenters at x1, x2 [=width]",
     .dialog_name = "two Gaussian peaks", .dialog_position = 8,
     .formula = {"Y = a0 * exp(-[(X-a1)/a2]^2)", "  + a3 * exp(-[(X-a4)/a2]^2)", ""},
     .banner = {"                            2",
                "                -[(X-a1)/a2]         -[(X-a4)/a2]",
                "      Y = a0 * e             + a3 * e  "},
     .label = "Fit 2 Gaussian peaks", .parameter = Width, .peak = true, .positions = true,
     .ma = 5, .method = TwoPeaks, .iterations = 15, .model = G2fit, .basis = nullptr,
     .value = nullptr, .start = nullptr, .background = -1, .shape = -1, .in_domain = nullptr,
     .domain_need = "", .fwhm_label = "FWHM        ", .areas = two_gaussian_areas,
     .area_labels = {"peak-1 area ", "peak-2 area "}},
    {.code = kModelAsym, .name = "ASYM", .prefix = "AS", .command_word = "ASYM",
     .syntax = "ASYM", .list_line = "ASYM        : Asymmetric Gaussian distribution [=width]",
     .dialog_name = "asymmetric Gaussian", .dialog_position = 9,
     .formula = {"Y = a0 * exp(-[(X-a1)/a2", "      * (1+exp(a3*(X-a1)))/2]^2)", ""},
     .banner = {"                                                    2",
                "                -[(X-a1)/a2 * (1+exp(a3*(X-a1))/2) ] ",
                "      Y = a0 * e                                  "},
     .label = "Fit Asym. Gaussian", .parameter = Width, .peak = true, .positions = false,
     .ma = 4, .method = Peak, .iterations = 10, .model = asymfit, .basis = nullptr,
     .value = nullptr, .start = nullptr, .background = -1, .shape = 3, .in_domain = nullptr,
     .domain_need = "", .fwhm_label = "FWHM_0    ", .areas = asymmetric_area,
     .area_labels = {"peak area "}},
    {.code = kModelAsymB, .name = "ASYMB", .prefix = "ASYMB", .command_word = "ASYMB",
     .syntax = "ASYMB", .list_line = "ASYMb       : Asymmetric Gaussian dist. with constant [=width]",
     .dialog_name = "asymmetric Gaussian with bkg.", .dialog_position = 10,
     .formula = {"Y = a0 * exp(-[(X-a1)/a2", "      * (1+exp(a4*(X-a1)))/2]^2)", "  + a3"},
     .banner = {"                                                    2",
                "                -[(X-a1)/a2 * (1+exp(a4*(X-a1))/2) ] ",
                "      Y = a0 * e                                      + a3"},
     .label = "Fit Asym. Gauss with bkg", .parameter = Width, .peak = true, .positions = false,
     .ma = 5, .method = Peak, .iterations = 10, .model = asymbfit, .basis = nullptr,
     .value = nullptr, .start = nullptr, .background = 3, .shape = 4, .in_domain = nullptr,
     .domain_need = "", .fwhm_label = "FWHM_0    ", .areas = asymmetric_area,
     .area_labels = {"peak area "}},
    {.code = kModelMorse, .name = "MORSE", .prefix = "MO", .command_word = "MORSE",
     .syntax = "MORSE", .list_line = "MORSE       : Morse potential",
     .dialog_name = "Morse Potential", .dialog_position = 11,
     .formula = {"Y = a0 * [1 - exp(-a1*(X-a2))]^2 + a3", "", ""},
     .banner = {"                                   2", "               [       -a1*(X-a2) ]",
                "      Y = a0 * [ 1 - e            ]   + a3"},
     .label = "Fit Morse potential", .parameter = None, .peak = false, .positions = false,
     .ma = 4, .method = Iterative, .iterations = 10, .model = morsefit, .basis = nullptr,
     .value = nullptr, .start = morse_start, .background = -1, .shape = -1,
     .in_domain = nullptr, .domain_need = "", .fwhm_label = "", .areas = nullptr,
     .area_labels = {}},
    {.code = kModelMaxwell, .name = "MAXWELL", .prefix = "MAX", .command_word = "MAXWELL",
     .syntax = "MAXWELL", .list_line = "MAXWELL     : Maxwellian distribution",
     .dialog_name = "Maxwell-Boltzmann distr.", .dialog_position = 12,
     .formula = {"Y = [2/Sqrt(pi)] * a0 * X^0.5", "      * a1^-1.5 * exp(-X/a1)", ""},
     .banner = {"                               0.5    -1.5   -x/a1",
                "      Y = [2/Sqrt(pi)] * a0 * x   * a1    * e     ", ""},
     .label = "Fit Maxwellian Distr.", .parameter = None, .peak = false, .positions = false,
     .ma = 2, .method = Iterative, .iterations = 10, .model = maxwellfit, .basis = nullptr,
     .value = nullptr, .start = maxwell_start, .background = -1, .shape = -1,
     .in_domain = x_not_negative, .domain_need = "MAXWELL needs every x at or above 0",
     .fwhm_label = "", .areas = nullptr, .area_labels = {}},
    {.code = kModelDruyvest, .name = "DRUYVEST", .prefix = "DR", .command_word = "DRU",
     .syntax = "DRUYVEST", .list_line = "DRUYVEST    : Druyvesteyn distribution",
     .dialog_name = "Druyvesteyn distr.", .dialog_position = 13,
     .formula = {"Y = [1/Sqrt(pi)] * a0 * X^0.5", "      * a1^-1.5 * exp(-0.243 X^2/a1^2)", ""},
     .banner = {"                                                  2   2",
                "                             0.5   -1.5   -0.243 x /a1 ",
                "      Y = [1/Sqrt(pi)] *a0 *x   *a1    * e       "},
     .label = "Fit Druyvesteyn Distr.", .parameter = None, .peak = false, .positions = false,
     .ma = 2, .method = Iterative, .iterations = 20, .model = druyvestfit, .basis = nullptr,
     .value = nullptr, .start = druyvest_start, .background = -1, .shape = -1,
     .in_domain = x_not_negative, .domain_need = "DRUYVEST needs every x at or above 0",
     .fwhm_label = "", .areas = nullptr, .area_labels = {}},
    {.code = kModelArrhenius, .name = "ARRHENIUS", .prefix = "AR", .command_word = "ARR",
     .syntax = "ARRHENIUS", .list_line = "ARRHENIUS   : Arrhenius form",
     .dialog_name = "Arrhenius", .dialog_position = 14,
     .formula = {"Y = a0 * X^a1 * exp(-a2/X)", "", ""},
     .banner = {"                 a1      -a2/x ", "      Y =  a0 * x    *  e      ", ""},
     .label = "Fit Arrhenius form", .parameter = None, .peak = false, .positions = false,
     .ma = 3, .method = Iterative, .iterations = 15, .model = arrheniusfit, .basis = nullptr,
     .value = arrhenius_value, .start = arrhenius_start, .background = -1, .shape = -1,
     .in_domain = x_positive, .domain_need = "ARRHENIUS needs every x above 0",
     .fwhm_label = "", .areas = nullptr, .area_labels = {}},
};

// Matching order: longer keywords that share a start come first.
constexpr ModelCode kMatchOrder[] = {
    kModelPoly,  kModelPow,    kModelExp,   kModelDecay, kModelGaussB,
    kModelGauss2, kModelGaussian, kModelAsymB, kModelAsym, kModelRise,
    kModelMorse, kModelMaxwell, kModelDruyvest, kModelArrhenius,
};

}  // namespace

std::span<const ModelInfo> fit_models() { return kModels; }

const ModelInfo& model_info(int code) {
  for (const ModelInfo& m : kModels)
    if (m.code == code) return m;
  return kModels[0];
}

const ModelInfo& model_at_dialog_position(int position) {
  for (const ModelInfo& m : kModels)
    if (m.dialog_position == position) return m;
  return kModels[0];
}

const ModelInfo* match_model(std::string_view function_text) {
  for (ModelCode code : kMatchOrder) {
    const ModelInfo& m = model_info(code);
    if (function_text.substr(0, m.prefix.size()) == m.prefix) return &m;
  }
  return nullptr;
}

}  // namespace verto
