// Which files the browser lists, in what order, with which thumbnails and
// captions.
#include "bitmap_forge.h"
#include "browser_dlg.h"
#include "frame_label_delegate.h"
#include "frame_list.h"
#include "support/browser_fixture.h"
#include "support/scripted_directory_search.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QGroupBox>
#include <QPainter>
#include <QTest>

#include <sys/stat.h>

namespace kestrel::stillbox {

namespace {

using ListingTest = BrowserFixture;

TEST_F(ListingTest, ListsOnly320By240PicturesNamedBmpAndCountsThem) {
  folder.AddFrame("b.bmp");
  folder.AddFrame("a.bmp");
  folder.AddFrame("UPPER.BMP");
  folder.AddIndexedFrame("eight.bmp");
  folder.AddFrame("big.bmp", Qt::gray, QSize(640, 480));
  folder.AddFrame("short.bmp", Qt::gray, QSize(320, 200));
  folder.AddBrokenFile("broken.bmp");
  folder.AddFrame(".hidden.bmp");
  ASSERT_TRUE(QDir(folder.FramesPath()).mkdir("folder.bmp"));
  ASSERT_EQ(mkfifo(folder.FramePath("pipe.bmp").toLocal8Bit().constData(), 0600), 0);
  QImage png(320, 240, QImage::Format_RGB888);
  png.fill(Qt::gray);
  ASSERT_TRUE(png.save(folder.FramePath("picture.png"), "PNG"));
  folder.AddFrame("notes.txt");

  Open();
  EXPECT_EQ(Labels(), (QStringList{"a.bmp", "b.bmp", "eight.bmp", "UPPER.BMP"}));
  EXPECT_EQ(Caption(), "4 Frames");
  EXPECT_EQ(Window().Thumbnails().size(), 4);
}

TEST_F(ListingTest, DamagedFilesAreLeftOutAndTheRestListed) {
  QImage picture(320, 240, QImage::Format_RGB888);
  picture.fill(Qt::darkCyan);
  const QByteArray sound = forge::Rgb24(picture);
  const QByteArray runLength = forge::Rle8(std::vector<std::uint8_t>(320 * 240, 7), 320, 240);
  folder.AddFile("sound.bmp", sound);
  folder.AddFile("run-length.bmp", runLength);
  folder.AddFile("truncated.bmp", forge::Truncated(sound, sound.size() / 2));
  folder.AddFile("huge.bmp", forge::WithDeclaredSize(sound, 60000, 60000));
  folder.AddFile("empty.bmp", QByteArray());
  folder.AddFile("cut-runs.bmp", forge::Truncated(runLength, runLength.size() / 3));
  Open();
  EXPECT_EQ(Labels(), (QStringList{"run-length.bmp", "sound.bmp"}));
  EXPECT_EQ(Caption(), "2 Frames");
}

TEST_F(ListingTest, ALabelWrapsOntoTwoLinesAndOneLongerStillIsShortenedWithItsNameInItsToolTip) {
  const QString longest = "kestrel_frame_2024-03-21_14-55-03_incoming_call_from_home_at_dusk.bmp";
  const QString longer = "frame saved at noon.bmp";
  folder.AddFrame(longest);
  folder.AddFrame(longer);
  folder.AddFrame("a.bmp");
  Open();
  ASSERT_EQ(Labels(), (QStringList{"a.bmp", longer, longest}));
  const QFont font = Window().List()->font();
  const QFontMetrics metrics(font);
  for (const QString& label : {longer, longest}) {
    bool shortened = false;
    const QStringList lines = CFrameLabelDelegate::WrappedLabel(label, font, CFrameList::LabelWidth(), &shortened)
                                  .split(QChar::LineSeparator);
    EXPECT_LE(lines.size(), CFrameLabelDelegate::kMaxLines) << label.toStdString();
    for (const QString& line : lines)
      EXPECT_LE(metrics.horizontalAdvance(line), CFrameList::LabelWidth()) << line.toStdString();
    EXPECT_EQ(shortened, label == longest);
    if (shortened) {
      EXPECT_TRUE(label.startsWith(lines.front()));
      EXPECT_TRUE(lines.back().endsWith(QChar(0x2026)));
    } else {
      EXPECT_EQ(QString(lines.join(QString())).remove(' '), QString(label).remove(' '));
    }
  }
  EXPECT_TRUE(Window().List()->item(0)->toolTip().isEmpty());
  EXPECT_TRUE(Window().List()->item(1)->toolTip().isEmpty());
  EXPECT_EQ(Window().List()->item(2)->toolTip(), longest);
}

TEST_F(ListingTest, WithoutAFramesDirectoryTheListIsEmpty) {
  ASSERT_TRUE(QDir(folder.FramesPath()).removeRecursively());
  Open();
  EXPECT_EQ(Window().List()->count(), 0);
  EXPECT_EQ(Caption(), "0 Frames");
}

TEST_F(ListingTest, SortsByNameWhateverOrderTheDirectoryGives) {
  ScriptedDirectorySearch reversed;
  for (const char* name : {"c.bmp", "a.bmp", "d.bmp", "b.bmp"}) folder.AddFrame(name);
  auto* window = new CBrowserDlg(BrowserServices{reversed, shell, saveDialog}, folder.Path());
  window->RefreshFrames();
  QStringList labels;
  for (int row = 0; row < window->List()->count(); ++row) labels << window->List()->item(row)->text();
  EXPECT_EQ(labels, (QStringList{"a.bmp", "b.bmp", "c.bmp", "d.bmp"}));
  delete window;
}

TEST_F(ListingTest, CaptionCountsListedFramesWhileLoading) {
  ScriptedDirectorySearch recording;
  folder.AddFrame("a.bmp");
  folder.AddBrokenFile("b.bmp");
  folder.AddFrame("c.bmp");
  auto* window = new CBrowserDlg(BrowserServices{recording, shell, saveDialog}, folder.Path());
  QStringList captions;
  recording.beforeEachNext = [&] { captions << window->Group()->title(); };
  window->RefreshFrames();
  // Entries come as c, b, a; the broken b is not counted.
  EXPECT_EQ(captions, (QStringList{"Loading thumbnails...(0)", "Loading thumbnails...(1)", "Loading thumbnails...(1)",
                                   "Loading thumbnails...(2)"}));
  EXPECT_EQ(window->Group()->title(), "2 Frames");
  delete window;
}

TEST_F(ListingTest, ThumbnailsAre80By60UprightAndShrunkWithoutSmoothing) {
  // Columns alternate black and white; any smoothing would make grey. The top
  // half is tinted red so that an upside-down thumbnail shows.
  QImage frame(320, 240, QImage::Format_RGB888);
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x) {
      const bool white = x % 2 == 1;
      frame.setPixelColor(
          x, y,
          y < 120 ? (white ? QColor(255, 0, 0) : QColor(0, 0, 0)) : (white ? QColor(255, 255, 255) : QColor(0, 0, 0)));
    }
  }
  folder.AddPicture("stripes.bmp", frame);
  Open();
  ASSERT_EQ(Window().Thumbnails().size(), 1);
  const QImage thumbnail = Window().Thumbnails().front().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(thumbnail.size(), QSize(80, 60));
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 80; ++x) {
      const QColor c = thumbnail.pixelColor(x, y);
      const bool exact = c == QColor(0, 0, 0) || c == (y < 30 ? QColor(255, 0, 0) : QColor(255, 255, 255));
      ASSERT_TRUE(exact) << "blended or misplaced pixel at " << x << "," << y << ": " << c.name().toStdString();
    }
  }
  EXPECT_EQ(Window().List()->item(0)->data(CBrowserDlg::kImageIndexRole).toInt(), 0);
}

TEST_F(ListingTest, RefreshReadsTheDirectoryAgainAndRebuildsTheThumbnails) {
  folder.AddFrame("a.bmp");
  folder.AddFrame("b.bmp");
  Open();
  ASSERT_EQ(Labels(), (QStringList{"a.bmp", "b.bmp"}));
  folder.AddFrame("0.bmp");
  ASSERT_TRUE(QFile::remove(folder.FramePath("b.bmp")));
  Window().RefreshFrames();
  EXPECT_EQ(Labels(), (QStringList{"0.bmp", "a.bmp"}));
  EXPECT_EQ(Window().Thumbnails().size(), 2) << "the image list is emptied at each refresh";
  EXPECT_EQ(Caption(), "2 Frames");
  EXPECT_EQ(Window().CurrentFrame(), -1);
}

TEST_F(ListingTest, FramePathsStayInTheStartFolderWhenTheWorkingDirectoryChanges) {
  folder.AddFrame("a.bmp", QColor(0, 200, 0));
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(folder.Path()));
  auto* window = new CBrowserDlg(BrowserServices{search, shell, saveDialog}, QStringLiteral("."));
  // As a file dialog might leave it.
  QTemporaryDir elsewhere;
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  window->RefreshFrames();
  const bool listed = window->List()->count() == 1;
  ASSERT_TRUE(QDir::setCurrent(before));
  ASSERT_TRUE(listed);
  EXPECT_EQ(window->FramePath(0), QDir(folder.FramesPath()).absoluteFilePath("a.bmp"));
  delete window;
}

}  // namespace

}  // namespace kestrel::stillbox
