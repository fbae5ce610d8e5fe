// The player's main window (template 102): menu 130, the Play/Pause, Stop and
// Volume buttons and the display area holding the playback panel. No command
// is ever disabled; one that needs a message does nothing without one.
#pragma once

#include <map>

#include <QDialog>
#include <QString>

#include "player_services.h"

class QAction;
class QFrame;
class QMenuBar;

namespace kestrel {

class CImageButton;
class CPlaybackPanel;

class CPlayerDlg : public QDialog {
  Q_OBJECT
 public:
  // The services outlive the window.
  explicit CPlayerDlg(const PlayerServices& services, QWidget* parent = nullptr);
  ~CPlayerDlg() override;

  // Opens the message at `path` and plays it; a file that cannot be opened
  // is reported and leaves the window with no message.
  void OpenFromPath(const QString& path);
  // A command of menu 130 (or of a button, by the command it stands for).
  void OnCommand(int command);

  bool IsOpen() const { return open_; }
  bool IsPlaying() const { return playing_; }
  bool IsVolumeShown() const { return volumeShown_; }
  CImageButton& PlayPauseButton() { return *playPause_; }
  CImageButton& StopButton() { return *stop_; }
  CImageButton& VolumeButton() { return *volume_; }
  CPlaybackPanel& Panel() { return *panel_; }
  QAction* MenuAction(int command) const;
  QMenuBar* MenuBar() const { return menuBar_; }

 signals:
  // The window has handled its close: the program is to end.
  void Closed();

 public slots:
  // Both destroy the window, which is modeless.
  void accept() override;
  void reject() override;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenu();
  void BuildControls();
  void Open();
  void Close();
  void PlayPause();
  void Stop();
  // Left, Right and Home: 5 s back or on, or the start.
  void SeekKey(int key);
  void SaveFrame();
  void Volume();
  void VolumeClosed();
  void About();
  void ShowPlayLook();

  PlayerServices services_;
  QMenuBar* menuBar_ = nullptr;
  CImageButton* playPause_ = nullptr;
  CImageButton* stop_ = nullptr;
  CImageButton* volume_ = nullptr;
  QFrame* displayArea_ = nullptr;
  CPlaybackPanel* panel_ = nullptr;
  std::map<int, QAction*> actions_;
  QString messagePath_;
  bool open_ = false;
  bool playing_ = false;
  bool volumeShown_ = false;
};

}  // namespace kestrel
