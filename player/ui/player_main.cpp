#include "player_main.h"

#include <cstdio>
#include <cstring>

#include <QApplication>

#include "platform/freedesktop_file_types.h"
#include "platform/local_instance_channel.h"
#include "platform/qt_file_open_dialog.h"
#include "player_app.h"
#include "playback_services.h"
#include "default_volume_services.h"
#include "qt_message_box.h"
#include "volume_dialog_factory.h"

namespace kestrel {

namespace {

constexpr char kUsage[] =
    "usage: player [FILE.qrv]\n"
    "\n"
    "Kestrel Message Player: plays a recorded Kestrel video message.\n"
    "A FILE whose name ends in .qrv (in any case) is opened and played; any\n"
    "other argument is ignored. Starting the player closes one already running.\n"
    "\n"
    "  -h, --help   show this text and end\n";

bool WantsHelp(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) return false;
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
  }
  return false;
}

}  // namespace

int RunPlayer(int argc, char** argv) {
  // Help needs no display.
  if (WantsHelp(argc, argv)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("player"));
  // Desktop shells match the windows to the installed entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("kestrel-player"));

  CDefaultPlaybackServices playback;
  CDefaultVolumeServices volume;
  CQtMessageBox messageBox;
  CQtFileOpenDialog openDialog;
  CLocalInstanceChannel channel;
  CFreedesktopFileTypes fileTypes;

  PlayerAppServices services;
  services.window.playback = playback.Services();
  services.window.playback.volumeDialog = [&volume](QWidget* owner) { return CreateVolumeDialog(owner, volume.Services()); };
  services.window.messageBox = &messageBox;
  services.window.openDialog = &openDialog;
  services.channel = &channel;
  services.fileTypes = &fileTypes;

  CPlayerApp app(services);
  if (!app.InitInstance(QApplication::arguments())) return 0;
  return QApplication::exec();
}

}  // namespace kestrel
