#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// An up-down control attached to an edit, as the pages use it: an integer position inside a range,
// two arrow buttons and the Up/Down keys in the buddy edit, no wrap-around. Each step that moves
// the position emits stepped(); what the edit then shows is the page's business.
//
// Where a step starts: when the buddy's text reads as a number on the spin's scale (see
// setScale), the step starts from the value on display; otherwise from the last position.
class SpinControl : public QWidget
{
    Q_OBJECT

public:
    explicit SpinControl(QWidget *parent = nullptr);

    void setRange(int lower, int upper);  // lower < upper: "up" moves towards upper
    int lower() const { return m_lower; }
    int upper() const { return m_upper; }

    int position() const { return m_position; }
    void setPosition(int position);  // clamped to the range; emits nothing

    // The edit the spin is attached to: its Up/Down keys step the spin, and a step starts from
    // the value it shows divided by `scale` (0.5 mm steps: 0.5; tenths: 0.1; whole steps: 1).
    void setBuddy(QLineEdit *buddy, double scale);
    QLineEdit *buddy() const { return m_buddy; }

    void stepUp() { step(+1); }
    void stepDown() { step(-1); }

signals:
    // The position moved by one step (never past an end).
    void stepped(int position);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void step(int direction);
    void syncFromBuddy();

    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    QLineEdit *m_buddy = nullptr;
    double m_scale = 1.0;
    int m_lower = 0;
    int m_upper = 100;
    int m_position = 0;
};
