#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's small pictures (menu items, toolbar buttons, tabs, icon). Each is drawn on light
// grey (192, 192, 192), which is shown transparent.
namespace Pictures {

// ":/pictures/<name>.png" with its light-grey background made transparent; a null pixmap when
// the picture is missing.
QPixmap load(const QString &name);

QString menuPicture(int bitmapId);     // "menu_160"
QString toolbarPicture(int buttonId);  // "tool_2000"
QString tabPicture(int index);         // "tab_0" .. "tab_4"
inline QString programIcon() { return QStringLiteral("icon"); }

// The window's icon: the program icon in every size the package installs for the desktop (16, 48
// and 256 pixels), so that the task bar and the window switcher need not scale the smallest.
QIcon windowIcon();

}  // namespace Pictures
