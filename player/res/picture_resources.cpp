#include "picture_resources.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPixmap>

#include <map>

#include "resource_ids.h"

// The pictures live in a static library: nothing would pull them in unless
// they are registered by name.
static void InitPlayerPictures() { Q_INIT_RESOURCE(player_pictures); }

namespace kestrel {

namespace {

enum class PictureKind { Icon, Cursor, Bitmap };

struct Picture {
  int id;
  PictureKind kind;
  const char* name;  // under :/player/, without ".png"; "@2x" marks the large version
  int hotX, hotY;    // cursors only
};

constexpr Picture kPictures[] = {
    {IDI_PLAY, PictureKind::Icon, "icon131", 0, 0},
    {IDI_PAUSE, PictureKind::Icon, "icon132", 0, 0},
    {IDI_STOP, PictureKind::Icon, "icon133", 0, 0},
    {IDI_VOLUME, PictureKind::Icon, "icon135", 0, 0},
    {IDC_HAND_CURSOR, PictureKind::Cursor, "cursor134", 13, 9},
    {IDB_ABOUT, PictureKind::Bitmap, "bitmap138", 0, 0},
};

const Picture* Find(int id, PictureKind kind) {
  static const bool registered = (InitPlayerPictures(), true);
  (void)registered;
  for (const Picture& picture : kPictures) {
    if (picture.id == id && picture.kind == kind) return &picture;
  }
  return nullptr;
}

QString PathOf(const char* name, bool large) {
  return QStringLiteral(":/player/%1%2.png").arg(QLatin1String(name), large ? QStringLiteral("@2x") : QString());
}

std::optional<IconResource> LoadScaledOnce(const Picture* picture) {
  const QString small = PathOf(picture->name, false);
  const QSize size = QImageReader(small).size();
  if (!size.isValid()) return std::nullopt;
  IconResource resource{QIcon(), size};
  resource.icon.addFile(small, size);
  const QString large = PathOf(picture->name, true);
  if (QFile::exists(large)) resource.icon.addFile(large, size * 2);
  return resource;
}

// Each picture is loaded once and the same icon handed out after that. Qt
// keeps the pixmaps an icon paints in its pixmap cache under the icon's own
// key: a fresh icon at every change of a button's look (Play, Pause, Stop)
// would leave a new set of entries each time, until the cache is full. The
// icons stay to the end of the process: none is released after the
// application object has gone.
std::optional<IconResource> LoadScaled(const Picture* picture) {
  if (!picture) return std::nullopt;
  static auto* loaded = new std::map<const Picture*, std::optional<IconResource>>;
  auto found = loaded->find(picture);
  if (found == loaded->end()) found = loaded->emplace(picture, LoadScaledOnce(picture)).first;
  return found->second;
}

}  // namespace

std::optional<IconResource> LoadIconResource(int id) {
  if (id == IDI_APPLICATION_ICON) {
    Find(0, PictureKind::Icon);
    // The application icon comes in the sizes desktops ask for.
    IconResource resource{QIcon(), QSize(32, 32)};
    for (int size : {16, 32, 48, 64, 128, 256}) {
      resource.icon.addFile(QStringLiteral(":/player/icon129-%1.png").arg(size), QSize(size, size));
    }
    return resource;
  }
  return LoadScaled(Find(id, PictureKind::Icon));
}

std::optional<QCursor> LoadCursorResource(int id) {
  const Picture* picture = Find(id, PictureKind::Cursor);
  if (!picture) return std::nullopt;
  const bool large = qGuiApp && qGuiApp->devicePixelRatio() >= 2.0 && QFile::exists(PathOf(picture->name, true));
  QPixmap pixmap(PathOf(picture->name, large));
  if (pixmap.isNull()) return std::nullopt;
  if (!large) return QCursor(pixmap, picture->hotX, picture->hotY);
  // The window system takes the hot spot in the pixels of the picture it is
  // given, not scaled with it: the twice-as-large hand has its finger tip
  // at twice the place.
  pixmap.setDevicePixelRatio(2.0);
  return QCursor(pixmap, 2 * picture->hotX, 2 * picture->hotY);
}

std::optional<IconResource> LoadBitmapResource(int id) { return LoadScaled(Find(id, PictureKind::Bitmap)); }

QByteArray LoadDesktopIcon(const QString& name) {
  Find(0, PictureKind::Icon);
  QFile file(QStringLiteral(":/player/%1.svg").arg(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace kestrel
