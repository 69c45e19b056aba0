#pragma once

#include <QWidget>

class QTextBrowser;

// The program's own help viewer: the HTML help document in a browser window beside the main
// window, opened at its start.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows the document at `path` from its start; false when it can't be read.
    bool open(const QString &path);

private:
    QTextBrowser *m_browser;
};
