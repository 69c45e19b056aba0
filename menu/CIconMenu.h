#pragma once

#include <QAction>
#include <QHash>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <QString>

// The main window's menu bar, built from the menu table, with a 16 x 15 picture beside the
// drop-down commands that have one. The menu bar's own entries are plain text; the drop-down
// items are painted by IconMenuStyle (pictures, one accelerator column, the embossed look of
// disabled items). Typing a character in an open drop-down runs the first item whose mnemonic it
// is at once; a character that is no item's mnemonic does nothing. Every item is a QAction that
// emits command() with the item's id.
class CIconMenu : public QObject
{
    Q_OBJECT

public:
    explicit CIconMenu(QObject *parent = nullptr);
    ~CIconMenu() override;

    // Builds the menu bar of `menuId` (the main menu), every item enabled. False when there is no
    // such menu or the bar was already built.
    bool LoadMenu(int menuId);

    // Gives the first item with `commandId` (in menu order) a new text when `text` is not null,
    // and the picture `bitmapId` (none when -1 or when there is no such picture). False when no
    // item has that id.
    bool ModifyODMenu(const char *text, int commandId, int bitmapId);

    // Appends an item to one of this menu's drop-downs: a separator when `commandId` is 0,
    // otherwise a command with the caption `text` (UTF-8, "&" mnemonics, a tab before the
    // accelerator text) and the picture `bitmapId` (-1 for none). Null when `popup` is not ours.
    QAction *AppendODMenu(QMenu *popup, const char *text, int commandId, int bitmapId);

    // The item of `popup` that the typed character selects: the first whose mnemonic it is, in
    // any case. Null when none matches or when `popup` is not one of this menu's drop-downs.
    QAction *FindKeyboardShortcut(const QString &typed, const QMenu *popup) const;

    // The caption of the item with `commandId` as the menu holds it (once its drop-down has been
    // open, with the accelerator column's padding); empty when no item has that id.
    QString GetMenuText(int commandId) const;

    // Hands the menu bar over to `window`, which owns it from now on. The drop-down menus and
    // their actions stay reachable through this object.
    QMenuBar *attachTo(QWidget *window);

    QAction *action(int commandId) const;
    int bitmapOf(int commandId) const;  // the picture shown beside the item, -1 for none
    QList<QMenu *> popups() const;
    QMenuBar *menuBar() const { return m_bar; }

signals:
    void command(int id);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMenu *addPopup(const char *title);
    bool isOwnPopup(const QObject *object) const;
    void alignAcceleratorColumn(QMenu *popup);
    void setPicture(QAction *item, int commandId, int bitmapId);
    void execute(QMenu *popup, QAction *item);

    QPointer<QMenuBar> m_bar;
    QList<QPointer<QMenu>> m_popups;
    QHash<int, QPointer<QAction>> m_actions;
    QHash<int, int> m_bitmapIds;
};
