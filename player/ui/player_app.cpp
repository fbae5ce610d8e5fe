#include "player_app.h"

#include <thread>

#include <QApplication>

#include "key_filter.h"
#include "message_path.h"
#include "platform/file_type_registry.h"
#include "player_dlg.h"
#include "string_table.h"

namespace kestrel {

CPlayerApp::CPlayerApp(const PlayerAppServices& services) : services_(services) {
  if (!services_.sleep) services_.sleep = [](std::chrono::milliseconds time) { std::this_thread::sleep_for(time); };
  singleInstance_ = std::make_unique<CSingleInstance>(*services_.channel, services_.sleep);
  keyFilter_ = std::make_unique<CKeyFilter>();
  qApp->installEventFilter(keyFilter_.get());
}

CPlayerApp::~CPlayerApp() {
  // The window goes first: closing it stops the message and its devices.
  delete mainWindow_.data();
  qApp->removeEventFilter(keyFilter_.get());
  // The single-instance name is given up last, as the process ends.
  singleInstance_.reset();
}

std::optional<QString> CPlayerApp::FileArgument(const QStringList& arguments) {
  bool optionsEnded = false;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (!optionsEnded && argument == QLatin1String("--")) {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && argument.startsWith(QLatin1Char('-'))) continue;
    return argument;
  }
  return std::nullopt;
}

void CPlayerApp::RegisterFileType() {
  if (!services_.fileTypes) return;
  const QString extension = QStringLiteral(".qrv");
  // An existing association, whatever it names, is left alone.
  if (services_.fileTypes->IsKnown(extension)) return;
  FileTypeRegistration registration;
  registration.extension = extension;
  registration.typeName = QStringLiteral("Kestrel.Message");
  registration.description = QStringLiteral("Kestrel Compressed Message");
  registration.programPath =
      services_.programPath.isEmpty() ? QCoreApplication::applicationFilePath() : services_.programPath;
  services_.fileTypes->Register(registration);
}

bool CPlayerApp::InitInstance(const QStringList& arguments) {
  QCoreApplication::setOrganizationName(LoadString(IDS_COMPANY_NAME));
  RegisterFileType();

  const std::optional<QString> path = FileArgument(arguments);

  singleInstance_->CloseRunningCopy();

  mainWindow_ = new CPlayerDlg(services_.window);
  connect(mainWindow_.data(), &CPlayerDlg::Closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
  mainWindow_->show();
  mainWindow_->update();

  if (path && IsMessagePath(*path)) mainWindow_->OpenFromPath(*path);
  return true;
}

}  // namespace kestrel
