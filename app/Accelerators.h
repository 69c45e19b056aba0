#pragma once

#include <QHash>
#include <QKeySequence>
#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

// The main window's accelerator table, translated before anything else sees a key: a chord in
// the table runs its command from any widget inside the window, a page's edit fields included
// (Ctrl+C selects the printer there, it does not copy). A chord whose command is currently
// disabled is swallowed and does nothing. Keys outside the table reach the widgets as usual.
class Accelerators : public QObject
{
    Q_OBJECT

public:
    using IsEnabled = std::function<bool(int command)>;

    // Watches key presses for every widget whose window is `window`.
    Accelerators(QWidget *window, IsEnabled isEnabled);
    ~Accelerators() override;

    void add(const QKeySequence &keys, int command);

signals:
    void triggered(int command);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int commandFor(const QKeyEvent &key) const;  // 0 when the chord is not in the table
    bool isInsideWindow(QObject *watched) const;

    QWidget *m_window;
    IsEnabled m_isEnabled;
    QHash<QKeyCombination, int> m_table;
};
