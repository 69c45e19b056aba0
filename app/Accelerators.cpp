#include "app/Accelerators.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

Accelerators::Accelerators(QWidget *window, IsEnabled isEnabled)
    : QObject(window)
    , m_window(window)
    , m_isEnabled(std::move(isEnabled))
{
    qApp->installEventFilter(this);
}

Accelerators::~Accelerators()
{
    qApp->removeEventFilter(this);
}

void Accelerators::add(const QKeySequence &keys, int command)
{
    if (!keys.isEmpty())
        m_table.insert(keys[0], command);
}

int Accelerators::commandFor(const QKeyEvent &key) const
{
    const Qt::KeyboardModifiers modifiers =
        key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return m_table.value(QKeyCombination(modifiers, static_cast<Qt::Key>(key.key())), 0);
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
    const int command = commandFor(*key);
    if (command == 0)
        return QObject::eventFilter(watched, event);

    if (type == QEvent::ShortcutOverride) {
        // Claim the chord so that no shortcut of a child widget takes it; the key press follows.
        event->accept();
        return true;
    }
    if (m_isEnabled(command))
        emit triggered(command);
    return true;
}
