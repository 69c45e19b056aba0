#include "pages/SpinControl.h"

#include "fields/DecimalText.h"
#include "pages/PageText.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <string>

SpinControl::SpinControl(QWidget *parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        button->setFixedWidth(16);
        layout->addWidget(button);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, &SpinControl::stepUp);
    connect(m_down, &QToolButton::clicked, this, &SpinControl::stepDown);
    setFocusPolicy(Qt::NoFocus);
}

void SpinControl::setRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
    setPosition(m_position);
}

void SpinControl::setPosition(int position)
{
    m_position = std::clamp(position, m_lower, m_upper);
}

void SpinControl::setBuddy(QLineEdit *buddy, double scale)
{
    if (m_buddy)
        m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    m_scale = scale;
    if (m_buddy)
        m_buddy->installEventFilter(this);
}

void SpinControl::syncFromBuddy()
{
    if (!m_buddy || m_scale <= 0)
        return;
    const std::string text = PageText::bytes(m_buddy->text());
    if (!DecimalText::startsWithNumber(text))
        return;
    const double value = DecimalText::leadingDecimal(text);
    if (!std::isfinite(value))
        return;
    const double scaled = value / m_scale;
    if (scaled < m_lower || scaled > m_upper)
        return;
    setPosition(static_cast<int>(std::lround(scaled)));
}

void SpinControl::step(int direction)
{
    if (!isEnabled())
        return;
    syncFromBuddy();
    const int next = std::clamp(m_position + direction, m_lower, m_upper);
    if (next == m_position)
        return;
    m_position = next;
    emit stepped(m_position);
}

bool SpinControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Up) {
                stepUp();
                return true;
            }
            if (key->key() == Qt::Key_Down) {
                stepDown();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SpinControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        m_up->setEnabled(isEnabled());
        m_down->setEnabled(isEnabled());
    }
    QWidget::changeEvent(event);
}
