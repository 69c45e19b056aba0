#include "app/TabSwitchFilter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QTabBar>
#include <QTabWidget>

namespace {

bool switchesTabs(const QKeyEvent &key)
{
    if (!(key.modifiers() & Qt::ControlModifier))
        return false;
    switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

}  // namespace

TabSwitchFilter::TabSwitchFilter(QTabWidget *tabs)
    : QObject(tabs)
    , m_tabs(tabs)
    , m_tabBar(tabs->tabBar())
{
    tabs->installEventFilter(this);
    tabs->tabBar()->installEventFilter(this);
}

bool TabSwitchFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && watched == m_tabBar) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress && (watched == m_tabs || watched == m_tabBar)
        && switchesTabs(*static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
