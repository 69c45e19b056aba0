#pragma once

#include <QObject>

class QTabWidget;

// Keeps the page from changing by anything but the tab control's own keys while it has the focus
// (Left, Right), clicks on a tab and the tab commands: Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PageUp and
// Ctrl+PageDown, which Qt's tab widget takes from any widget on its pages, and the mouse wheel
// over the tabs do nothing.
class TabSwitchFilter : public QObject
{
    Q_OBJECT

public:
    explicit TabSwitchFilter(QTabWidget *tabs);  // a child of `tabs`

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTabWidget *m_tabs;
};
