#include "frame_label_delegate.h"

#include <QFontMetrics>
#include <QTextLayout>

namespace kestrel::stillbox {

CFrameLabelDelegate::CFrameLabelDelegate(int width, QObject* parent) : QStyledItemDelegate(parent), width_(width) {}

QString CFrameLabelDelegate::WrappedLabel(const QString& label, const QFont& font, int width, bool* shortened) {
  QTextLayout layout(label, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  QStringList lines;
  bool cut = false;
  layout.beginLayout();
  for (int i = 0; i < kMaxLines; ++i) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(width);
    const int end = line.textStart() + line.textLength();
    if (i == kMaxLines - 1 && end < label.size()) {
      const QString rest = label.mid(line.textStart());
      lines << QFontMetrics(font).elidedText(rest, Qt::ElideRight, width);
      cut = true;
    } else {
      lines << label.mid(line.textStart(), line.textLength()).trimmed();
    }
  }
  layout.endLayout();
  if (shortened) *shortened = cut;
  return lines.join(QChar::LineSeparator);
}

void CFrameLabelDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  // The lines are made here; the style only draws them.
  option->text = WrappedLabel(option->text, option->font, width_);
  option->features &= ~QStyleOptionViewItem::WrapText;
  option->textElideMode = Qt::ElideNone;
}

}  // namespace kestrel::stillbox
