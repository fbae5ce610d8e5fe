// Turning menu and dialog templates into Qt menus and fixed windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "dialog_template.h"
#include "dialog_units.h"
#include "fixed_window.h"
#include "menu_template.h"

namespace kestrel {
namespace {

constexpr MenuItemTemplate kItems[] = {
    {"&Open...", 11}, {nullptr, 0}, {"&Save Frame As...", 12, "Ctrl+S"}, {nullptr, 0}, {"E&xit", 13},
};
constexpr MenuTemplate kMenus[] = {
    {"File", kItems, 130},
    {"Other", kItems, 131},
};

TEST(MenuTemplate, BecomesActionsCarryingTheirCommandsWithSeparatorsAndShortcutsInPlace) {
  QMenu menu;
  menu.addAction(QStringLiteral("already there"));
  AddMenuItems(menu, kItems);
  const QList<QAction*> actions = menu.actions();
  ASSERT_EQ(actions.size(), 6) << "the items are appended to what the menu holds";
  EXPECT_EQ(actions[1]->text(), QStringLiteral("&Open..."));
  EXPECT_EQ(actions[1]->data().toInt(), 11);
  EXPECT_TRUE(actions[2]->isSeparator());
  EXPECT_EQ(actions[3]->data().toInt(), 12);
  EXPECT_EQ(actions[3]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
  EXPECT_TRUE(actions[4]->isSeparator());
  EXPECT_EQ(actions[5]->text(), QStringLiteral("E&xit"));
  EXPECT_TRUE(actions[5]->shortcut().isEmpty()) << "an item without a shortcut gets none";
}

TEST(MenuTemplate, IsFoundByIdOrNotAtAll) {
  ASSERT_NE(FindMenuTemplate(kMenus, 131), nullptr);
  EXPECT_STREQ(FindMenuTemplate(kMenus, 131)->title, "Other");
  EXPECT_EQ(FindMenuTemplate(kMenus, 132), nullptr);
  EXPECT_EQ(FindMenuTemplate({}, 130), nullptr);
}

constexpr DialogControl kControls[] = {
    {-1, DialogControlKind::CentredText, QRect(1, 1, 10, 8), "first static", 0},
    {-1, DialogControlKind::CentredText, QRect(1, 12, 10, 8), "second static", 0},
    {1000, DialogControlKind::CheckBox, QRect(1, 24, 40, 10), "Box", 0},
};
constexpr DialogTemplate kTemplates[] = {
    {100, "One", 60, 40, kControls},
    {102, "Two", 80, 50, {}},
};

TEST(DialogTemplate, FindsTheFirstControlSharingAnIdAndTheTemplateById) {
  const DialogTemplate* one = FindDialogTemplate(kTemplates, 100);
  ASSERT_NE(one, nullptr);
  ASSERT_NE(one->Control(-1), nullptr);
  EXPECT_STREQ(one->Control(-1)->text, "first static");
  EXPECT_EQ(one->Control(1000)->kind, DialogControlKind::CheckBox);
  EXPECT_EQ(one->Control(1001), nullptr);
  EXPECT_EQ(FindDialogTemplate(kTemplates, 102)->Control(-1), nullptr) << "a template without controls";
  EXPECT_EQ(FindDialogTemplate(kTemplates, 101), nullptr);
}

TEST(FixedWindow, MainWindowsMinimiseAndNoFixedWindowMaximises) {
  const Qt::WindowFlags main = FixedWindowFlags(FixedWindowKind::MainWindow);
  const Qt::WindowFlags dialog = FixedWindowFlags(FixedWindowKind::Dialog);
  EXPECT_EQ(main & Qt::WindowType_Mask, Qt::Window);
  EXPECT_EQ(dialog & Qt::WindowType_Mask, Qt::Dialog);
  EXPECT_TRUE(main.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(dialog.testFlag(Qt::WindowMinimizeButtonHint));
  for (const Qt::WindowFlags flags : {main, dialog}) {
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint)) << "only the boxes asked for";
  }
}

TEST(FixedWindow, IsHeldAtTheTemplatesSizePlusWhatSitsAboveTheClientArea) {
  QWidget window;
  const CDialogUnits units(QFont(QStringLiteral("DejaVu Sans"), 8));
  FixToTemplateSize(window, units, kTemplates[1], 21);
  const QSize expected(units.X(80), units.Y(50) + 21);
  EXPECT_EQ(window.minimumSize(), expected);
  EXPECT_EQ(window.maximumSize(), expected);
  window.resize(expected * 2);
  EXPECT_EQ(window.size(), expected) << "the window cannot be made larger";
}

}  // namespace
}  // namespace kestrel
