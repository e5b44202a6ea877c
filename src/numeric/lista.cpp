#include "numeric/lista.h"

#include "numeric/col_matrix.h"
#include "core/console.h"

namespace verto {

bool complete_lista(Console& con, std::span<int> lista, int ma, int mfit,
                    std::string_view message) {
  if (ma < 0 || !holds(lista.size(), ma)) return false;
  if (mfit < 0 || mfit > ma) {
    con.pause(message);
    return false;
  }
  bool ok = true;
  int kk = mfit + 1;
  for (int j = 1; j <= ma; ++j) {
    int ihit = 0;
    for (int k = 0; k < mfit; ++k)
      if (lista[k] == j) ++ihit;
    if (ihit == 0) {
      if (kk <= ma) lista[kk - 1] = j;
      ++kk;
    } else if (ihit > 1) {
      con.pause(message);
      ok = false;
    }
  }
  if (kk != ma + 1) {
    con.pause(message);
    ok = false;
  }
  return ok;
}

bool lista_in_range(std::span<const int> lista, int ma, int mfit) {
  if (ma < 0 || mfit < 0 || mfit > ma || !holds(lista.size(), ma)) return false;
  for (int j = 0; j < mfit; ++j)
    if (lista[j] < 1 || lista[j] > ma) return false;
  return true;
}

}  // namespace verto
