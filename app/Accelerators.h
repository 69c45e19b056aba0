#pragma once

#include <QHash>
#include <QKeySequence>
#include <QObject>
#include <QPointer>

class QAction;
class QKeyEvent;
class QWidget;

// The main window's accelerator table, translated before anything else sees a key: a chord in
// the table triggers its command's action from any widget inside the window, a page's edit fields
// included (Ctrl+C selects the printer there, it does not copy). A chord whose action is currently
// disabled is swallowed and does nothing. Keys outside the table reach the widgets as usual.
class Accelerators : public QObject
{
    Q_OBJECT

public:
    // Watches key presses for every widget whose window is `window`.
    explicit Accelerators(QWidget *window);
    ~Accelerators() override;

    void add(const QKeySequence &keys, QAction *action);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *actionFor(const QKeyEvent &key) const;  // null when the chord is not in the table
    bool isInsideWindow(QObject *watched) const;

    QWidget *m_window;
    QHash<QKeyCombination, QPointer<QAction>> m_table;
};
