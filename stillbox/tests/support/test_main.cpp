// Runs the stillbox tests inside one QApplication on the offscreen platform,
// with the style and font pinned so that geometry and pictures repeat.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
