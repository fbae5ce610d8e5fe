#pragma once

#include <QString>

namespace kestrel {

// A message file's path ends in ".qrv", written in any case.
inline bool IsMessagePath(const QString& path) { return path.right(4).toLower() == QLatin1String(".qrv"); }

}  // namespace kestrel
