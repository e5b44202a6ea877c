#pragma once
// The parameter ordering LISTA shared by Lfit and Mrqmin: LISTA(1..mfit)
// name the adjusted parameters, LISTA(mfit+1..ma) the held ones.
#include <span>
#include <string_view>

#include "numeric/status.h"

namespace verto {

// Completes LISTA(mfit+1..ma) with the parameters missing from
// LISTA(1..mfit), in increasing order, and checks that the result is a
// permutation of 1..ma. Each parameter named twice or more, and a final
// count that does not come out at ma, raises `message` once more. Entries
// that would land beyond LISTA(ma) are counted but not written. Fails when
// anything was wrong (also for mfit outside 0..ma, with `message` once).
Status complete_lista(std::span<int> lista, int ma, int mfit, std::string_view message);

// True when LISTA(1..mfit) all lie in 1..ma and 0 <= mfit <= ma <= the
// span's size: the engines can index with them safely.
bool lista_in_range(std::span<const int> lista, int ma, int mfit);

}  // namespace verto
