#include "CIconMenu.h"

#include "MenuTable.h"
#include "Pictures.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

CIconMenu::CIconMenu(QObject *parent)
    : QObject(parent)
{
}

CIconMenu::~CIconMenu()
{
    // Until a window takes it, the bar is ours.
    if (m_bar && !m_bar->parent())
        delete m_bar;
}

bool CIconMenu::LoadMenu(int menuId)
{
    if (menuId != ResId::kMainMenu || m_bar)
        return false;
    m_bar = new QMenuBar;
    for (const MenuTable::Popup &popup : MenuTable::kPopups) {
        QMenu *menu = m_bar->addMenu(QString::fromUtf8(popup.title));
        for (int i = 0; i < popup.count; ++i) {
            const MenuTable::Item &item = popup.items[i];
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(QString::fromUtf8(item.text));
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { emit command(id); });
            m_actions.insert(id, action);
        }
    }
    return true;
}

bool CIconMenu::ModifyODMenu(const char *text, int commandId, int bitmapId)
{
    QAction *item = action(commandId);
    if (!item)
        return false;
    if (text)
        item->setText(QString::fromUtf8(text));
    const QPixmap picture = bitmapId >= 0 ? Pictures::load(Pictures::menuPicture(bitmapId)) : QPixmap();
    item->setIcon(picture.isNull() ? QIcon() : QIcon(picture));
    return true;
}

QMenuBar *CIconMenu::attachTo(QWidget *window)
{
    if (m_bar)
        m_bar->setParent(window);
    return m_bar;
}

QAction *CIconMenu::action(int commandId) const
{
    return m_actions.value(commandId, nullptr);
}

QString CIconMenu::GetMenuText(int commandId) const
{
    const QAction *item = action(commandId);
    return item ? item->text() : QString();
}
