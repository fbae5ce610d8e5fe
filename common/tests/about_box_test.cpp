// The About box frame both programs build their About boxes on.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "about_box.h"
#include "dialog_template.h"
#include "dialog_units.h"

namespace kestrel {
namespace {

constexpr DialogControl kControls[] = {
    {-1, DialogControlKind::Bitmap, QRect(7, 7, 130, 62), "", 7},
    {-1, DialogControlKind::CentredText, QRect(7, 76, 130, 20), "Line one\n<b>not bold</b>", 0},
    {-1, DialogControlKind::Icon, QRect(62, 100, 20, 20), "", 9},
    {1, DialogControlKind::PushButton, QRect(47, 130, 50, 14), "Close", 0},
};
constexpr DialogTemplate kAbout{100, "About Test", 144, 150, kControls};

// Pictures whose size tells which resource they were drawn for.
QPixmap NumberedPicture(const DialogControl& control, qreal) {
  QPixmap picture(control.picture * 4, control.picture * 3);
  picture.fill(Qt::red);
  return picture;
}

QLabel* PictureLabel(const QDialog& box, int index) {
  QList<QLabel*> pictures;
  for (QLabel* label : box.findChildren<QLabel*>()) {
    if (!label->pixmap().isNull()) pictures.push_back(label);
  }
  return index < pictures.size() ? pictures[index] : nullptr;
}

TEST(AboutBox, LaysOutTheTemplateInAFixedDialog) {
  const CAboutBox box(kAbout, &NumberedPicture, CAboutBox::PicturePlacement::Centred);
  const CDialogUnits units(box.font());
  EXPECT_EQ(box.windowTitle(), QStringLiteral("About Test"));
  EXPECT_EQ(box.minimumSize(), box.maximumSize());
  EXPECT_EQ(box.minimumSize(), units.ToPixels(QSize(144, 150)));
  EXPECT_FALSE(box.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

  QLabel* text = nullptr;
  for (QLabel* label : box.findChildren<QLabel*>()) {
    if (!label->text().isEmpty()) text = label;
  }
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->textFormat(), Qt::PlainText) << "a template's text is shown as written";
  EXPECT_EQ(text->alignment(), Qt::AlignHCenter | Qt::AlignTop);
  EXPECT_EQ(text->geometry(), units.ToPixels(kControls[1].rect));

  const auto* button = box.findChild<QPushButton*>();
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->isDefault());
  EXPECT_EQ(button->geometry(), units.ToPixels(kControls[3].rect));
  for (QWidget* child : box.findChildren<QWidget*>()) {
    EXPECT_TRUE(box.rect().contains(child->geometry())) << child->metaObject()->className() << " lies outside";
  }
}

TEST(AboutBox, PlacesPicturesCentredOrAtTheirOwnSize) {
  const CAboutBox centred(kAbout, &NumberedPicture, CAboutBox::PicturePlacement::Centred);
  const CDialogUnits units(centred.font());
  QLabel* bitmap = PictureLabel(centred, 0);
  QLabel* icon = PictureLabel(centred, 1);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(bitmap->pixmap().size(), QSize(28, 21)) << "the bitmap's own resource";
  EXPECT_EQ(icon->pixmap().size(), QSize(36, 27)) << "the icon's own resource";
  EXPECT_EQ(bitmap->geometry(), units.ToPixels(kControls[0].rect));
  EXPECT_EQ(bitmap->alignment(), Qt::AlignCenter);

  const CAboutBox ownSize(kAbout, &NumberedPicture, CAboutBox::PicturePlacement::OwnSizeAtTopLeft);
  bitmap = PictureLabel(ownSize, 0);
  icon = PictureLabel(ownSize, 1);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(bitmap->geometry(), QRect(units.ToPixels(kControls[0].rect).topLeft(), QSize(28, 21)));
  EXPECT_EQ(icon->geometry(), QRect(units.ToPixels(kControls[2].rect).topLeft(), QSize(36, 27)));
}

TEST(AboutBox, AMissingPictureLeavesItsPlaceEmpty) {
  const CAboutBox box(
      kAbout, [](const DialogControl&, qreal) { return QPixmap(); }, CAboutBox::PicturePlacement::OwnSizeAtTopLeft);
  EXPECT_EQ(PictureLabel(box, 0), nullptr);
  EXPECT_NE(box.findChild<QPushButton*>(), nullptr) << "the rest is laid out all the same";
}

TEST(AboutBox, ItsButtonEndsItAccepted) {
  CAboutBox box(kAbout, &NumberedPicture, CAboutBox::PicturePlacement::Centred);
  QTimer::singleShot(0, &box, [&box] {
    if (auto* button = box.findChild<QPushButton*>()) QTest::mouseClick(button, Qt::LeftButton);
  });
  // A box the click leaves open is rejected after a while, and fails.
  QTimer::singleShot(5000, &box, &QDialog::reject);
  EXPECT_EQ(box.exec(), QDialog::Accepted);
}

}  // namespace
}  // namespace kestrel
