#pragma once

#include <QFrame>

#include <array>

class QLineEdit;

// An IPv4 address field: four parts of 0-255 separated by dots, in one sunken box that is one
// tab stop. Digits only; a part above 255 becomes 255; '.' or a third digit moves on to the next
// part; Backspace at the start of a part goes on deleting in the part before it; Left and Right
// cross from part to part. A blank part reads as 0.
class IpAddressEdit : public QFrame
{
    Q_OBJECT

public:
    using Value = std::array<int, 4>;

    explicit IpAddressEdit(QWidget *parent = nullptr);

    Value value() const;
    void setValue(const Value &value);  // each part clamped to 0-255

    QLineEdit *part(int index) const { return m_parts.at(static_cast<std::size_t>(index)); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void onPartEdited(int index);
    bool handlePartKey(int index, int key, const QString &text);
    void enterPart(int index, bool atEnd);
    int partIndexOf(const QObject *object) const;

    std::array<QLineEdit *, 4> m_parts{};
};
