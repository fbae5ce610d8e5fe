#include "resources.h"

#include "resource_ids.h"

#include <QtGlobal>

static void InitStillboxResources() { Q_INIT_RESOURCE(stillbox); }

namespace kestrel::stillbox::res {

void EnsureResources() {
  static const bool done = (InitStillboxResources(), true);
  (void)done;
}

QPixmap LoadPicture(int id) {
  EnsureResources();
  switch (id) {
    case IDR_MAINFRAME:
      return QPixmap(QStringLiteral(":/stillbox/icon128-32.png"));
    case IDB_ABOUT:
      return QPixmap(QStringLiteral(":/stillbox/bitmap129.png"));
    default:
      return QPixmap();
  }
}

}  // namespace kestrel::stillbox::res
