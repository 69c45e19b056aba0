#include "pages/IpAddressEdit.h"

#include "fields/NetworkCodecs.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace {

constexpr int kPartDigits = 3;

QLabel *makeDot(QWidget *parent)
{
    auto *dot = new QLabel(QStringLiteral("."), parent);
    dot->setAlignment(Qt::AlignCenter);
    dot->setBackgroundRole(QPalette::Base);
    return dot;
}

}  // namespace

IpAddressEdit::IpAddressEdit(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(0);
    auto *digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int index = 0; index < static_cast<int>(m_parts.size()); ++index) {
        if (index > 0)
            layout->addWidget(makeDot(this));
        auto *part = new QLineEdit(this);
        part->setObjectName(QStringLiteral("part%1").arg(index));
        part->setFrame(false);
        part->setAlignment(Qt::AlignCenter);
        part->setMaxLength(kPartDigits);
        part->setValidator(digits);
        // The field is one tab stop: Tab enters at the first part, clicks reach any part.
        part->setFocusPolicy(index == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        part->installEventFilter(this);
        connect(part, &QLineEdit::textEdited, this, [this, index] { onPartEdited(index); });
        layout->addWidget(part, 1);
        m_parts[static_cast<std::size_t>(index)] = part;
    }
    setFocusProxy(m_parts[0]);
    setFocusPolicy(Qt::StrongFocus);
}

IpAddressEdit::Value IpAddressEdit::value() const
{
    Value value{};
    for (std::size_t index = 0; index < m_parts.size(); ++index)
        value[index] = Fields::octetFromText(m_parts[index]->text().toStdString());
    return value;
}

void IpAddressEdit::setValue(const Value &value)
{
    for (std::size_t index = 0; index < m_parts.size(); ++index)
        m_parts[index]->setText(QString::number(std::clamp(value[index], 0, Fields::kMaxOctet)));
}

void IpAddressEdit::onPartEdited(int index)
{
    QLineEdit *edited = part(index);
    const std::string text = edited->text().toStdString();
    const int octet = Fields::octetFromText(text);
    if (octet == Fields::kMaxOctet && text != "255")
        edited->setText(QString::number(octet));
    const bool full = edited->text().size() == kPartDigits && edited->cursorPosition() == kPartDigits;
    if (full && index + 1 < static_cast<int>(m_parts.size()))
        enterPart(index + 1, false);
}

bool IpAddressEdit::eventFilter(QObject *watched, QEvent *event)
{
    const int index = partIndexOf(watched);
    if (index >= 0 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (handlePartKey(index, key->key(), key->text()))
            return true;
    }
    return QFrame::eventFilter(watched, event);
}

// Keys that move between parts (a digit typed at the end of a full part goes on in the next one);
// true when the key was used up here.
bool IpAddressEdit::handlePartKey(int index, int key, const QString &text)
{
    const QLineEdit *current = part(index);
    const bool atStart = current->cursorPosition() == 0 && !current->hasSelectedText();
    const bool atEnd = current->cursorPosition() == current->text().size() && !current->hasSelectedText();
    const bool hasNext = index + 1 < static_cast<int>(m_parts.size());
    const bool hasPrevious = index > 0;

    if (text == QLatin1String(".")) {
        // Ignored in an empty part, so "192." after the jump that the third digit made stays put.
        if (hasNext && !current->text().isEmpty())
            enterPart(index + 1, false);
        return true;
    }
    if (text.size() == 1 && text[0] >= u'0' && text[0] <= u'9' && atEnd && current->text().size() == kPartDigits && hasNext) {
        enterPart(index + 1, false);
        part(index + 1)->insert(text);
        return true;
    }
    if (key == Qt::Key_Backspace && atStart && hasPrevious) {
        enterPart(index - 1, true);
        part(index - 1)->backspace();
        return true;
    }
    if (key == Qt::Key_Left && atStart && hasPrevious) {
        enterPart(index - 1, true);
        return true;
    }
    if (key == Qt::Key_Right && atEnd && hasNext) {
        enterPart(index + 1, false);
        part(index + 1)->setCursorPosition(0);
        return true;
    }
    return false;
}

// Focuses a part: entered moving forward its text is selected so typing replaces it; entered
// moving back the cursor stands at its end.
void IpAddressEdit::enterPart(int index, bool atEnd)
{
    QLineEdit *target = part(index);
    target->setFocus(Qt::OtherFocusReason);
    if (atEnd)
        target->setCursorPosition(static_cast<int>(target->text().size()));
    else
        target->selectAll();
}

bool IpAddressEdit::focusNextPrevChild(bool next)
{
    // Shift+Tab from a later part leaves the field as it would from the first part.
    if (!next && partIndexOf(focusWidget()) > 0)
        m_parts[0]->setFocus(Qt::BacktabFocusReason);
    return QFrame::focusNextPrevChild(next);
}

int IpAddressEdit::partIndexOf(const QObject *object) const
{
    const auto found = std::find(m_parts.begin(), m_parts.end(), object);
    return found == m_parts.end() ? -1 : static_cast<int>(found - m_parts.begin());
}
