#include "menu/CIconMenu.h"

#include "menu/IconMenuStyle.h"
#include "menu/MenuCaption.h"
#include "menu/MenuItemPainter.h"
#include "menu/Pictures.h"
#include "res/MenuTable.h"

#include <QAction>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

#include <string>
#include <vector>

namespace {

// The picture beside a command: the 16 x 16 picture's upper 16 x 15 pixels.
QIcon menuPicture(int bitmapId)
{
    if (bitmapId < 0)
        return {};
    const QPixmap picture = Pictures::load(Pictures::menuPicture(bitmapId));
    if (picture.isNull())
        return {};
    return QIcon(picture.copy(0, 0, MenuItemPainter::kImageWidth, MenuItemPainter::kImageHeight));
}

// A key that the menu answers with an item's mnemonic: one printable character, typed without
// Ctrl, Alt or Meta.
bool isMenuCharacter(const QKeyEvent &key)
{
    constexpr Qt::KeyboardModifiers chordModifiers = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const QString text = key.text();
    return !(key.modifiers() & chordModifiers) && text.size() == 1 && text.at(0).isPrint();
}

constexpr char kAlignedProperty[] = "sbqAcceleratorsAligned";

}  // namespace

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
        QMenu *menu = addPopup(popup.title);
        for (int i = 0; i < popup.count; ++i)
            AppendODMenu(menu, popup.items[i].text, popup.items[i].id, -1);
        // The column is measured in the menu font when the drop-down first opens (before it lays
        // itself out), not while the window starts.
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            if (!menu->property(kAlignedProperty).toBool()) {
                alignAcceleratorColumn(menu);
                menu->setProperty(kAlignedProperty, true);
            }
        });
    }
    return true;
}

QMenu *CIconMenu::addPopup(const char *title)
{
    QMenu *popup = m_bar->addMenu(QString::fromUtf8(title));
    auto *style = new IconMenuStyle;
    style->setParent(popup);
    popup->setStyle(style);
    popup->installEventFilter(this);
    m_popups.append(popup);
    return popup;
}

QAction *CIconMenu::AppendODMenu(QMenu *popup, const char *text, int commandId, int bitmapId)
{
    if (!isOwnPopup(popup))
        return nullptr;
    if (commandId == 0)
        return popup->addSeparator();
    QAction *item = popup->addAction(QString::fromUtf8(text));
    connect(item, &QAction::triggered, this, [this, commandId] { emit command(commandId); });
    if (!m_actions.value(commandId))
        m_actions.insert(commandId, item);
    if (bitmapId >= 0)
        setPicture(item, commandId, bitmapId);
    return item;
}

bool CIconMenu::ModifyODMenu(const char *text, int commandId, int bitmapId)
{
    QAction *item = action(commandId);
    if (!item)
        return false;
    if (text)
        item->setText(QString::fromUtf8(text));
    setPicture(item, commandId, bitmapId);
    return true;
}

void CIconMenu::setPicture(QAction *item, int commandId, int bitmapId)
{
    const QIcon picture = menuPicture(bitmapId);
    item->setIcon(picture);
    if (item == action(commandId))
        m_bitmapIds.insert(commandId, picture.isNull() ? -1 : bitmapId);
}

void CIconMenu::alignAcceleratorColumn(QMenu *popup)
{
    const QFontMetrics metrics(popup->font());
    const auto width = [&metrics](const std::string &label) {
        return metrics.horizontalAdvance(QString::fromStdString(MenuCaption::withoutMnemonicMarks(label)));
    };
    QList<QAction *> items;
    std::vector<std::string> captions;
    for (QAction *item : popup->actions()) {
        if (item->isSeparator())
            continue;
        items.append(item);
        captions.push_back(item->text().toStdString());
    }
    const std::vector<std::string> aligned = MenuCaption::alignAcceleratorColumn(captions, width);
    for (qsizetype i = 0; i < items.size(); ++i)
        items[i]->setText(QString::fromStdString(aligned[static_cast<std::size_t>(i)]));
}

QAction *CIconMenu::FindKeyboardShortcut(const QString &typed, const QMenu *popup) const
{
    if (!isOwnPopup(popup))
        return nullptr;
    const QList<QAction *> items = popup->actions();
    std::vector<std::string> captions;
    captions.reserve(static_cast<std::size_t>(items.size()));
    for (const QAction *item : items)
        captions.push_back(item->isSeparator() ? std::string() : item->text().toStdString());
    const int found = MenuCaption::findMnemonic(captions, typed.toStdString());
    return found < 0 ? nullptr : items.at(found);
}

bool CIconMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !isOwnPopup(watched))
        return QObject::eventFilter(watched, event);
    const auto &key = static_cast<const QKeyEvent &>(*event);
    if (!isMenuCharacter(key))
        return QObject::eventFilter(watched, event);
    auto *popup = static_cast<QMenu *>(watched);
    if (QAction *item = FindKeyboardShortcut(key.text(), popup))
        execute(popup, item);
    return true;  // a character that matches nothing does nothing
}

void CIconMenu::execute(QMenu *popup, QAction *item)
{
    if (!item->isEnabled() || !item->isVisible())
        return;
    // Select the item and press Enter on it: the menu closes the way it does for a click.
    popup->setActiveAction(item);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(popup, &enter);
}

QMenuBar *CIconMenu::attachTo(QWidget *window)
{
    if (m_bar)
        m_bar->setParent(window);
    return m_bar;
}

QAction *CIconMenu::action(int commandId) const
{
    return m_actions.value(commandId);
}

int CIconMenu::bitmapOf(int commandId) const
{
    return m_bitmapIds.value(commandId, -1);
}

QList<QMenu *> CIconMenu::popups() const
{
    QList<QMenu *> alive;
    for (const QPointer<QMenu> &popup : m_popups) {
        if (popup)
            alive.append(popup);
    }
    return alive;
}

bool CIconMenu::isOwnPopup(const QObject *object) const
{
    if (!object)
        return false;
    for (const QPointer<QMenu> &popup : m_popups) {
        if (popup == object)
            return true;
    }
    return false;
}

QString CIconMenu::GetMenuText(int commandId) const
{
    const QAction *item = action(commandId);
    return item ? item->text() : QString();
}
