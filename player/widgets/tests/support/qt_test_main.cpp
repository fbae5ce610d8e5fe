// main() of the Qt-based test programs: a QApplication on the offscreen
// platform with a pinned style and font, so that pictures compare exactly.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QFont font("DejaVu Sans");
  font.setPointSize(8);
  QApplication::setFont(font);
  return RUN_ALL_TESTS();
}
