// The field descriptions that sbq740-cli captions its output from hold exactly the texts the
// pages' layouts show: same captions, same buttons, same labels, tied to the same controls.
#include "fields/FieldTable.h"
#include "pages/CPage_IP.h"
#include "pages/CPage_Issue.h"
#include "pages/CPage_Param1.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include <QSet>

#include <map>
#include <memory>

namespace {

enum class Check { ButtonText, GroupCaption, LabelText };

QString qText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString controlName(const Fields::Control &control)
{
    return QStringLiteral("%1_%2").arg(qText(control.kind)).arg(control.id);
}

QString buttonName(const Fields::Choice &choice)
{
    return QStringLiteral("radio_%1").arg(choice.buttonId);
}

bool hasButtons(const Fields::Field &field)
{
    return field.kind == Fields::Kind::Choice && field.control.kind == "radio";
}

void addGroupRow(const char *page, const Fields::Field &field, std::string_view title)
{
    const QString first = controlName(field.control);
    QTest::addRow("%s %s caption", page, qPrintable(first)) << page << first << qText(title) << Check::GroupCaption;
}

void addLabelRow(const char *page, const Fields::Field &field)
{
    const QString buddy = controlName(field.control);
    QTest::addRow("%s label of %s", page, qPrintable(buddy)) << page << buddy << qText(field.caption) << Check::LabelText;
}

// A radio group is captioned by its group box, unless a label inside the box names it.
void addFieldRows(const char *page, const Fields::Field &field)
{
    if (hasButtons(field) && field.groupTitle.empty()) {
        addGroupRow(page, field, field.caption);
    } else {
        addLabelRow(page, field);
        if (hasButtons(field))
            addGroupRow(page, field, field.groupTitle);
    }
    if (!hasButtons(field))
        return;
    for (const Fields::Choice &choice : field.choices) {
        const QString name = buttonName(choice);
        QTest::addRow("%s %s", page, qPrintable(name)) << page << name << qText(choice.caption) << Check::ButtonText;
    }
}

// The pages this test looks at, by the names the test keeps them under.
constexpr std::pair<const char *, Fields::PageId> kPages[] = {
    {"param", Fields::PageId::Param}, {"ip", Fields::PageId::Ip}, {"issue", Fields::PageId::Issue}};

// The label whose buddy is `control`, if the page has one.
const QLabel *labelFor(const QWidget &page, const QWidget *control)
{
    for (const QLabel *label : page.findChildren<QLabel *>()) {
        if (label->buddy() == control)
            return label;
    }
    return nullptr;
}

// The nearest group box around `control`.
const QGroupBox *groupBoxOf(const QWidget *control)
{
    for (const QWidget *parent = control->parentWidget(); parent; parent = parent->parentWidget()) {
        if (const auto *box = qobject_cast<const QGroupBox *>(parent))
            return box;
    }
    return nullptr;
}

}  // namespace

class TestCliCaptions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_pages["param"] = std::make_unique<CPage_Param1>();
        m_pages["ip"] = std::make_unique<CPage_IP>();
        m_pages["issue"] = std::make_unique<CPage_Issue>();
    }

    void catalogueMatchesLayout_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Check>("check");

        for (const auto &[page, id] : kPages) {
            for (const Fields::Field *field : Fields::ofPage(id))
                addFieldRows(page, *field);
        }
    }

    void catalogueMatchesLayout()
    {
        QFETCH(QString, page);
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(Check, check);

        const QWidget &pageWidget = *m_pages.at(page.toStdString());
        const QWidget *widget = pageWidget.findChild<QWidget *>(control);
        QVERIFY2(widget, qPrintable(control));
        switch (check) {
        case Check::ButtonText: {
            const auto *button = qobject_cast<const QRadioButton *>(widget);
            QVERIFY(button);
            QCOMPARE(button->text(), text);
            break;
        }
        case Check::GroupCaption: {
            const QGroupBox *box = groupBoxOf(widget);
            QVERIFY(box);
            QCOMPARE(box->title(), text);
            break;
        }
        case Check::LabelText: {
            const QLabel *label = labelFor(pageWidget, widget);
            QVERIFY(label);
            QCOMPARE(label->text(), text);
            break;
        }
        }
    }

    // Every radio button of the three pages appears in the field descriptions, so a choice added
    // to a layout can't be missing from the command line's output.
    void everyRadioButtonIsCatalogued()
    {
        QSet<QString> catalogued;
        for (const auto &[page, id] : kPages) {
            for (const Fields::Field *field : Fields::ofPage(id)) {
                if (!hasButtons(*field))
                    continue;
                for (const Fields::Choice &choice : field->choices)
                    catalogued << QStringLiteral("%1/%2").arg(QLatin1String(page), buttonName(choice));
            }
        }

        QSet<QString> onPages;
        for (const auto &[name, page] : m_pages) {
            for (const QRadioButton *button : page->findChildren<QRadioButton *>())
                onPages << QStringLiteral("%1/%2").arg(QString::fromStdString(name), button->objectName());
        }
        QCOMPARE(onPages, catalogued);
    }

private:
    std::map<std::string, std::unique_ptr<QWidget>> m_pages;
};

QTEST_MAIN(TestCliCaptions)
#include "tst_cli_captions.moc"
