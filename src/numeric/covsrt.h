#pragma once
// Spreads the mfit x mfit covariance matrix of the adjusted parameters
// over the full ma x ma matrix (column by column, leading dimension ncvm);
// flags(1..ma) is the parameter ordering LISTA of the fit (every entry
// nonzero).
//
// mfit = ma (every fit of the program): rows and columns are exchanged
// from the last parameter down, which leaves the matrix as it is.
// mfit < ma: entry (j, k) of the block becomes the covariance of
// parameters flags(j) and flags(k); the rows and columns of the held
// parameters are zero.
//
// Returns false, leaving covar unchanged, when the sizes are inconsistent or
// (for mfit < ma) flags(1..mfit) names a parameter outside 1..ma.
#include <span>

namespace verto {

bool Covsrt(std::span<float> covar, int ncvm, int ma, std::span<const int> flags, int mfit);

}  // namespace verto
