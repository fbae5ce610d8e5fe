#pragma once

#include <QStyledItemDelegate>

namespace kestrel::stillbox {

// Draws the thumbnail labels as a desktop icon view does: a label too wide
// for its cell wraps onto a second line, at a word boundary where there is
// one and anywhere else otherwise, and what still does not fit ends in an
// ellipsis.
class CFrameLabelDelegate : public QStyledItemDelegate {
 public:
  // width: the room for a label, in pixels.
  CFrameLabelDelegate(int width, QObject* parent);

  static constexpr int kMaxLines = 2;

  // The label as drawn: its lines joined by QChar::LineSeparator. shortened
  // tells whether anything was left out.
  static QString WrappedLabel(const QString& label, const QFont& font, int width, bool* shortened = nullptr);

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

 private:
  int width_;
};

}  // namespace kestrel::stillbox
