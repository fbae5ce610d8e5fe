#include "player_main.h"

#include <cstdio>

#include <QApplication>

#include "default_volume_services.h"
#include "key_filter.h"
#include "local_instance_channel.h"
#include "platform/freedesktop_file_types.h"
#include "platform/qt_file_open_dialog.h"
#include "platform/qt_file_save_dialog.h"
#include "playback_services.h"
#include "player_app.h"
#include "qt_message_box.h"
#include "start_options.h"
#include "volume_dialog_factory.h"

namespace kestrel {

namespace {

constexpr char kUsage[] =
    "usage: player [FILE.qrv]\n"
    "\n"
    "Kestrel Message Player: plays a recorded Kestrel video message.\n"
    "A FILE whose name ends in .qrv (in any case) is opened and played; any\n"
    "other file is ignored. Starting the player closes one already running.\n"
    "A FILE whose name begins with '-' follows '--'.\n";

}  // namespace

int RunPlayer(int argc, char** argv) {
  // Help, the version and usage errors need no display.
  if (const auto status = HandleStartOptions(argc, argv, {"player", kUsage}, stdout, stderr)) return *status;
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("player"));
  // Desktop shells match the windows to the installed entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("kestrel-player"));

  CDefaultPlaybackServices playback;
  CDefaultVolumeServices volume;
  CQtMessageBox messageBox;
  CQtFileOpenDialog openDialog;
  CQtFileSaveDialog saveDialog;
  CLocalInstanceChannel channel;
  CFreedesktopFileTypes fileTypes;

  PlayerAppServices services;
  services.window.playback = playback.Services();
  services.window.playback.volumeDialog = [&volume](QWidget* owner) {
    std::unique_ptr<IVolumeDialogHook> dialog = CreateVolumeDialog(owner, volume.Services());
    // The volume panel is one of the player's own dialog windows.
    if (auto* window = dynamic_cast<QWidget*>(dialog.get())) MarkAsOwnDialog(window);
    return dialog;
  };
  services.window.messageBox = &messageBox;
  services.window.openDialog = &openDialog;
  services.window.saveDialog = &saveDialog;
  services.channel = &channel;
  services.fileTypes = &fileTypes;

  CPlayerApp app(services);
  if (!app.InitInstance(QApplication::arguments())) return 0;
  return QApplication::exec();
}

}  // namespace kestrel
