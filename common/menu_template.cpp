#include "menu_template.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace kestrel {

const MenuTemplate* FindMenuTemplate(std::span<const MenuTemplate> menus, int id) {
  for (const MenuTemplate& menu : menus) {
    if (menu.id == id) return &menu;
  }
  return nullptr;
}

void AddMenuItems(QMenu& menu, std::span<const MenuItemTemplate> items) {
  for (const MenuItemTemplate& item : items) {
    if (!item.text) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(QString::fromUtf8(item.text));
    action->setData(item.command);
    if (item.shortcut) action->setShortcut(QKeySequence(QString::fromUtf8(item.shortcut)));
  }
}

}  // namespace kestrel
