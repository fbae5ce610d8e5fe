#include "key_prediction.h"

#include <Qt>

#include <algorithm>

namespace kestrel::stillbox {

int PredictKeyTarget(int qtKey, int first, int count) {
  const int a = first;
  const int n = count;
  switch (qtKey) {
    case Qt::Key_Left:
      return (a > 0 && a % 2 == 1) ? a - 1 : a;
    case Qt::Key_Right:
      // -1 % 2 is -1 in C++, so no selection never counts as even.
      return (a < n - 1 && a >= 0 && a % 2 == 0) ? a + 1 : a;
    case Qt::Key_Up:
      return a > 1 ? a - 2 : a;
    case Qt::Key_Down:
      return a < n - 2 ? a + 2 : a;
    case Qt::Key_PageUp:
      return a > 1 ? std::max(a - 4, 0) : a;
    case Qt::Key_PageDown:
      return a < n - 2 ? std::min(a + 4, n - 1) : a;
    case Qt::Key_Home:
      return n > 0 ? 0 : a;
    case Qt::Key_End:
      return n - 1;
    default:
      return a;
  }
}

}  // namespace kestrel::stillbox
