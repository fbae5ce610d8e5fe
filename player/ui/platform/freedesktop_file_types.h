#pragma once

#include <QString>

#include "file_type_registry.h"

namespace kestrel {

// File types the freedesktop way, for the current user: a MIME package in
// $XDG_DATA_HOME/mime/packages (with the shared MIME database refreshed where
// update-mime-database is installed), a desktop entry for the program in
// $XDG_DATA_HOME/applications (with the desktop database refreshed where
// update-desktop-database is installed), the program's and the type's icons
// in the hicolor theme, and the default handler in
// $XDG_CONFIG_HOME/mimeapps.list.
class CFreedesktopFileTypes final : public IFileTypeRegistry {
 public:
  static constexpr char kMimeType[] = "application/x-kestrel-message";
  static constexpr char kDesktopFile[] = "kestrel-player.desktop";
  static constexpr char kIconName[] = "kestrel-player";
  static constexpr char kMimeIconName[] = "application-x-kestrel-message";

  // Empty folders mean the user's: $XDG_DATA_HOME and $XDG_CONFIG_HOME, or
  // ~/.local/share and ~/.config.
  explicit CFreedesktopFileTypes(QString dataHome = {}, QString configHome = {});

  bool IsKnown(const QString& extension) override;
  void Register(const FileTypeRegistration& registration) override;

  QString DataHome() const { return dataHome_; }
  QString ConfigHome() const { return configHome_; }

  // The program of an Exec line as desktop entries require it: quoted only
  // when it holds a reserved character, % written %%, and a program whose
  // path holds a % started through env (GIO looks for the program file by
  // the line's first word before it expands %%).
  static QString ExecProgram(const QString& path);
  // A string value of a desktop entry (TryExec): backslashes doubled, line
  // breaks and tabs escaped.
  static QString EntryString(const QString& value);
  // `existing` with the default handler of `mimeType` set to `desktopFile`;
  // every other line is kept.
  static QString WithDefaultHandler(const QString& existing, const QString& mimeType, const QString& desktopFile);

 private:
  bool WriteMimePackage(const FileTypeRegistration& registration);
  bool WriteDesktopEntry(const FileTypeRegistration& registration);
  void WriteIcons();
  bool SetDefaultHandler();

  QString dataHome_;
  QString configHome_;
};

}  // namespace kestrel
