#include "numeric/lista.h"

#include "numeric/col_matrix.h"

namespace verto {

Status complete_lista(std::span<int> lista, int ma, int mfit, std::string_view message) {
  if (ma < 0 || !holds(lista.size(), ma)) return Status::failure();
  if (mfit < 0 || mfit > ma) return Status::fault(message);
  Status st;
  int kk = mfit + 1;
  for (int j = 1; j <= ma; ++j) {
    int ihit = 0;
    for (int k = 0; k < mfit; ++k)
      if (lista[k] == j) ++ihit;
    if (ihit == 0) {
      if (kk <= ma) lista[kk - 1] = j;
      ++kk;
    } else if (ihit > 1) {
      st.raise(message);
      st.ok = false;
    }
  }
  if (kk != ma + 1) {
    st.raise(message);
    st.ok = false;
  }
  return st;
}

bool lista_in_range(std::span<const int> lista, int ma, int mfit) {
  if (ma < 0 || mfit < 0 || mfit > ma || !holds(lista.size(), ma)) return false;
  for (int j = 0; j < mfit; ++j)
    if (lista[j] < 1 || lista[j] > ma) return false;
  return true;
}

}  // namespace verto
