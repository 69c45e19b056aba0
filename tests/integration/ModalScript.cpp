#include "ModalScript.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTreeWidget>

ModalScript::ModalScript()
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalScript::poll);
    m_timer.start();
}

void ModalScript::poll()
{
    auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
    if (m_steps.isEmpty() || dialog == nullptr || !dialog->isVisible())
        return;
    ++m_played;
    const Step step = m_steps.takeFirst();
    step(*dialog);
}

namespace {

void click(QDialog &dialog, const char *name)
{
    if (auto *button = dialog.findChild<QAbstractButton *>(QString::fromLatin1(name)))
        button->click();
    else
        qWarning("no button %s in %s", name, qPrintable(dialog.objectName()));
}

}  // namespace

ModalScript::Step ModalScript::chooseSendGroup(int index)
{
    static const char *const kRadios[] = {"radio_1248", "radio_1043", "radio_1252", "radio_1253"};
    return [index](QDialog &dialog) {
        click(dialog, kRadios[index]);
        click(dialog, "button_1");
    };
}

ModalScript::Step ModalScript::choosePrinterRow(int row)
{
    return [row](QDialog &dialog) {
        auto *list = dialog.findChild<QTreeWidget *>(QStringLiteral("list_1069"));
        list->setCurrentItem(list->topLevelItem(row));
        click(dialog, "button_1");
    };
}

ModalScript::Step ModalScript::confirmPrinterSelection()
{
    return [](QDialog &dialog) { click(dialog, "button_1"); };
}

ModalScript::Step ModalScript::cancel()
{
    return [](QDialog &dialog) { dialog.reject(); };
}

ModalScript::Step ModalScript::readPrinterList(QStringList &rows, int &selected, Step next)
{
    return [&rows, &selected, next](QDialog &dialog) {
        auto *list = dialog.findChild<QTreeWidget *>(QStringLiteral("list_1069"));
        rows.clear();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            rows.append(list->topLevelItem(i)->text(0) + u'|' + list->topLevelItem(i)->text(1));
        const QList<QTreeWidgetItem *> chosen = list->selectedItems();
        selected = chosen.isEmpty() ? -1 : list->indexOfTopLevelItem(chosen.first());
        next(dialog);
    };
}
