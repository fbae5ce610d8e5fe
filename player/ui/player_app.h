// The player's application object: start-up (file type registration, the
// single-instance hand-over, the main window and the command-line file) and
// the program-wide key filter. It does not own the Qt application.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "player_dlg.h"
#include "player_services.h"
#include "single_instance.h"

namespace kestrel {

class CKeyFilter;
class IFileTypeRegistry;
class IInstanceChannel;

struct PlayerAppServices {
  PlayerServices window;
  IInstanceChannel* channel = nullptr;
  IFileTypeRegistry* fileTypes = nullptr;
  CSingleInstance::Sleep sleep;  // empty: really sleep
  QString programPath;           // empty: the running executable
};

class CPlayerApp : public QObject {
  Q_OBJECT
 public:
  // Needs a QApplication; installs the key filter on it.
  explicit CPlayerApp(const PlayerAppServices& services);
  ~CPlayerApp() override;

  // The start-up sequence; `arguments` as the program was called, the
  // program's name first. True: the event loop is to run.
  bool InitInstance(const QStringList& arguments);

  CPlayerDlg* MainWindow() const { return mainWindow_; }
  CSingleInstance& SingleInstance() { return *singleInstance_; }

  // The file a command line names: its first argument that is not an
  // option (after "--" every argument is a file).
  static std::optional<QString> FileArgument(const QStringList& arguments);

 private:
  void RegisterFileType();

  PlayerAppServices services_;
  std::unique_ptr<CKeyFilter> keyFilter_;
  std::unique_ptr<CSingleInstance> singleInstance_;
  QPointer<CPlayerDlg> mainWindow_;
};

}  // namespace kestrel
