// The main window's Save Frame command (the seeking keys are driven through
// the window system in e2e/seek_save_test.sh).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "image_button.h"
#include "message_format.h"
#include "playback_panel.h"
#include "player_window_fixture.h"
#include "pump.h"
#include "resource_ids.h"
#include "support/message_builder.h"
#include "video_decoder.h"
#include "video_window.h"
#include "wave_device.h"

namespace kestrel {
namespace {

using testing::PlayerWindowTest;

// Pictures at five a second, each different and before its 200 ms of
// silence; the pictures as the player decodes them.
struct PictureMessage {
  PictureMessage(const QString& path, int records) : path(path) {
    testing::MessageBuilder builder;
    builder.FrameRate(5);
    CVideoDecoder decoder;
    decoder.Init();
    decoder.SetQuality(3);
    for (int i = 0; i < records; ++i) {
      const auto payload = testing::Encode(
          testing::RandomFrame(static_cast<std::uint32_t>(40 + i), testing::ValueSpread::AsFrequencies));
      builder.Video(payload).SilentAudio(1);
      pictures.emplace_back(kPictureBytes);
      decoder.Decode(payload.data(), payload.size(), pictures.back().data(), false);
    }
    builder.WriteTo(path.toStdString());
  }
  // Picture `k` upright, as a screen shows it.
  QImage Upright(int k) const {
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    for (int y = 0; y < kPictureHeight; ++y) {
      const std::uint8_t* row = pictures[k].data() + kPictureRowBytes * (kPictureHeight - 1 - y);
      for (int x = 0; x < kPictureWidth; ++x) image.setPixel(x, y, qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
    }
    return image;
  }
  QString path;
  std::vector<std::vector<std::uint8_t>> pictures;
};

class SaveFrameTest : public PlayerWindowTest {
 protected:
  void SetUp() override {
    PlayerWindowTest::SetUp();
    // Keys reach the window's shortcuts only while it is the active one.
    QApplication::setActiveWindow(window.get());
  }
  void Hear(int n) {
    ASSERT_TRUE(testing::PumpUntil([&] { return output.Pending() >= n; }));
    ASSERT_TRUE(output.FinishNext(n));
    window->Panel().SoundOutput().DeliverNotices();
  }
  std::uint64_t ShownDue() {
    std::vector<std::uint8_t> picture(kPictureBytes);
    std::uint64_t due = 0;
    return window->Panel().VideoWindow().CopyShownPicture(picture.data(), &due) ? due : ~std::uint64_t{0};
  }

  QTemporaryDir folder;
};

TEST_F(SaveFrameTest, SavesThePictureOnScreenAsA24BitBitmapUnderTheNameOffered) {
  const PictureMessage message(folder.filePath(QStringLiteral("hello there.qrv")), 10);
  QAction* save = window->MenuAction(ID_FILE_SAVE_FRAME);
  ASSERT_NE(save, nullptr);
  EXPECT_EQ(save->text(), QStringLiteral("&Save Frame As..."));
  EXPECT_EQ(save->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
  window->OpenFromPath(message.path);
  Hear(30);
  ASSERT_TRUE(testing::PumpUntil([&] { return ShownDue() == 30; }));
  window->OnCommand(ID_PLAY_PAUSE);

  ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("Frames")));
  const QString target = folder.filePath(QStringLiteral("Frames/kept.bmp"));
  saveDialog.answer = target;
  save->trigger();
  ASSERT_EQ(saveDialog.asked, 1);
  EXPECT_EQ(saveDialog.last.title, QStringLiteral("Save Frame As..."));
  EXPECT_EQ(saveDialog.last.filter, QStringLiteral("Windows Bitmap File (*.bmp)"));
  EXPECT_EQ(saveDialog.last.proposedPath, folder.filePath(QStringLiteral("hello there-00m00.6s.bmp")));
  EXPECT_EQ(saveDialog.last.defaultSuffix, QStringLiteral("bmp"));

  QFile file(target);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  ASSERT_GE(bytes.size(), 54);
  const auto field = [&](int at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
  };
  EXPECT_EQ(bytes.left(2), QByteArray("BM"));
  EXPECT_EQ(field(18, 4), 320u);
  EXPECT_EQ(field(22, 4), 240u);
  EXPECT_EQ(field(28, 2), 24u) << "bits per pixel";
  EXPECT_EQ(field(30, 4), 0u) << "no compression";
  const QImage written = QImage(target).convertToFormat(QImage::Format_RGB32);
  const QImage screen = window->Panel().VideoWindow().grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(written == screen) << "the bitmap is the picture on screen";
  EXPECT_TRUE(written == message.Upright(3)) << "the picture due at 0.6 s";
  EXPECT_EQ(QDir(folder.filePath(QStringLiteral("Frames"))).entryList(QDir::Files), QStringList{"kept.bmp"})
      << "no temporary file is left";

  // Ctrl+S asks again; a file already there is replaced whole, and a place
  // that cannot be written is reported and left as it was.
  saveDialog.answer = folder.filePath(QStringLiteral("missing/kept.bmp"));
  QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(saveDialog.asked, 2);
  ASSERT_EQ(box.texts.size(), 1);
  EXPECT_EQ(box.texts[0], QStringLiteral("Cannot save file %1.").arg(saveDialog.answer.value()));
  EXPECT_FALSE(QDir(folder.filePath(QStringLiteral("missing"))).exists());
}

TEST_F(SaveFrameTest, SaveFrameDoesNothingWithoutAPictureOnScreen) {
  saveDialog.answer = folder.filePath(QStringLiteral("never.bmp"));
  window->MenuAction(ID_FILE_SAVE_FRAME)->trigger();  // no message
  testing::MessageBuilder().SilentAudio(20).WriteTo(folder.filePath(QStringLiteral("sound.qrv")).toStdString());
  window->OpenFromPath(folder.filePath(QStringLiteral("sound.qrv")));
  Hear(30);
  window->MenuAction(ID_FILE_SAVE_FRAME)->trigger();  // a sound-only message
  EXPECT_EQ(saveDialog.asked, 0);
  EXPECT_FALSE(QFile::exists(saveDialog.answer.value()));
}

}  // namespace
}  // namespace kestrel
