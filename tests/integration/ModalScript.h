#pragma once

#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

class QDialog;

// Plays the user's part in the program's modal dialogs: each step waits until a dialog is shown
// on top of the modal stack, then acts on it (clicks, keys). Steps run in the order given; a
// step that leaves its dialog open hands it to the next step.
class ModalScript : public QObject
{
    Q_OBJECT

public:
    using Step = std::function<void(QDialog &)>;

    ModalScript();

    void then(Step step) { m_steps.append(std::move(step)); }
    bool done() const { return m_steps.isEmpty(); }
    int played() const { return m_played; }

    // Common steps.
    static Step chooseSendGroup(int index);          // a radio of "プリンタへ送信", then "送信"
    static Step choosePrinterRow(int row);           // a row of "プリンタの選択", then OK
    static Step confirmPrinterSelection();           // OK on what is selected
    static Step cancel();
    // Reads the printer rows, and the selected row (-1: none), then goes on with `next`.
    static Step readPrinterList(QStringList &rows, int &selected, Step next);

private:
    void poll();

    QTimer m_timer;
    QList<Step> m_steps;
    int m_played = 0;
};
