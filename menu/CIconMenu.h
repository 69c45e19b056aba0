#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The main window's menu bar, built from the menu table, with a picture beside the drop-down
// commands that have one. Every item is a QAction that emits command() with the item's id.
class CIconMenu : public QObject
{
    Q_OBJECT

public:
    explicit CIconMenu(QObject *parent = nullptr);
    ~CIconMenu() override;

    // Builds the menu bar of `menuId` (the main menu). False when there is no such menu.
    bool LoadMenu(int menuId);

    // Gives the item with `commandId` a new text (when `text` is not null) and the picture
    // `bitmapId` (none when -1 or missing). False when no item has that id.
    bool ModifyODMenu(const char *text, int commandId, int bitmapId);

    // Hands the menu bar over to `window`, which owns it from now on. The drop-down menus and
    // their actions stay reachable through this object.
    QMenuBar *attachTo(QWidget *window);

    QAction *action(int commandId) const;
    QString GetMenuText(int commandId) const;
    QMenuBar *menuBar() const { return m_bar; }

signals:
    void command(int id);

private:
    QMenuBar *m_bar = nullptr;
    QHash<int, QAction *> m_actions;
};
