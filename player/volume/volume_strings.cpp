#include "volume_strings.h"

namespace kestrel {

QString LoadVolumeString(int id) {
  switch (id) {
    case IDS_SYSTEM_VOLUME_PROGRAM:
      return QStringLiteral("pavucontrol");
    case IDS_SYSTEM_VOLUME_MISSING:
      return QStringLiteral("System Audio Volume Controls were not found.");
    default:
      return QString();
  }
}

}  // namespace kestrel
