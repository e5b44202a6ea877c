#pragma once
// FIT's use of the model catalogue (core/fit_catalogue.h): the FIT ? list,
// the formula banner and the line-marker label.
#include <string>

#include "core/fit_catalogue.h"

namespace verto {

class Console;

// The list of models printed by FIT ? and FIT H.
void print_catalogue(Console& con);

// The formula banner of a model; POW shows its power p.
void print_banner(Console& con, const ModelInfo& m, float p);

// The line-marker label: "Fit poly=2", "Fit power=-.5000", "Fit Gaussian"...
std::string line_label(const ModelInfo& m, int n, float p);

}  // namespace verto
