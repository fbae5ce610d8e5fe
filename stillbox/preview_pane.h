#pragma once

#include <QFrame>
#include <QRect>

namespace kestrel::stillbox {

class CFrameHolder;

// The preview control: shows the holder's picture centred at its natural size,
// never scaled, cut off at the right and bottom when larger than the pane. It
// refers to the holder, so it draws whatever the holder holds at paint time.
class CPreviewPane : public QFrame {
  Q_OBJECT

 public:
  explicit CPreviewPane(QWidget* parent = nullptr);

  // nullptr empties the pane. The position is computed here, once.
  void SetPicture(const CFrameHolder* holder);
  const CFrameHolder* Picture() const { return picture_; }
  QRect Destination() const { return destination_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const CFrameHolder* picture_ = nullptr;
  QRect destination_;
};

}  // namespace kestrel::stillbox
