#include "app/Accelerators.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

Accelerators::Accelerators(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    qApp->installEventFilter(this);
}

Accelerators::~Accelerators()
{
    qApp->removeEventFilter(this);
}

void Accelerators::add(const QKeySequence &keys, QAction *action)
{
    if (!keys.isEmpty() && action)
        m_table.insert(keys[0], action);
}

QAction *Accelerators::actionFor(const QKeyEvent &key) const
{
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return m_table.value(QKeyCombination(modifiers, static_cast<Qt::Key>(key.key())));
}

bool Accelerators::isInsideWindow(QObject *watched) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    return widget && widget->window() == m_window && m_window->isEnabled();
}

bool Accelerators::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || !isInsideWindow(watched))
        return QObject::eventFilter(watched, event);

    const auto *key = static_cast<QKeyEvent *>(event);
    QAction *action = actionFor(*key);
    if (!action)
        return QObject::eventFilter(watched, event);

    if (type == QEvent::ShortcutOverride) {
        // Claim the chord so that no shortcut of a child widget takes it; the key press follows.
        event->accept();
        return true;
    }
    if (action->isEnabled())
        action->trigger();
    return true;
}
