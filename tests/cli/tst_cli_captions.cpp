// The field catalogues that sbq740-cli captions its output from hold exactly the texts the pages'
// layouts show: same captions, same buttons, same labels, tied to the same controls.
#include "CPage_IP.h"
#include "CPage_Issue.h"
#include "CPage_Param1.h"
#include "IpFields.h"
#include "IssueFields.h"
#include "ParamFields.h"

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

QString controlName(const CaptionedControl &control)
{
    return QStringLiteral("%1_%2").arg(qText(control.kind)).arg(control.id);
}

void addGroupRows(const char *page, const RadioGroupCaptions &group)
{
    const QString first = controlName(group.buttons[0]);
    QTest::addRow("%s %s caption", page, qPrintable(first)) << page << first << qText(group.caption) << Check::GroupCaption;
    for (std::size_t i = 0; i < group.buttonCount; ++i) {
        const QString name = controlName(group.buttons[i]);
        QTest::addRow("%s %s", page, qPrintable(name)) << page << name << qText(group.buttons[i].text) << Check::ButtonText;
    }
}

void addLabelRow(const char *page, const LabelCaption &label)
{
    const QString buddy = controlName(label.buddy);
    QTest::addRow("%s label of %s", page, qPrintable(buddy)) << page << buddy << qText(label.text) << Check::LabelText;
}

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

        for (const RadioGroupCaptions &group : ParamFields::kGroups)
            addGroupRows("param", group);
        addLabelRow("param", ParamFields::kAdjustment);

        for (const IpFields::AddressField &address : IpFields::kAddresses)
            addLabelRow("ip", address.label);
        addGroupRows("ip", IpFields::kSocket);
        addLabelRow("ip", IpFields::kPort);
        addGroupRows("ip", IpFields::kDhcp);
        addGroupRows("ip", IpFields::kClientIdGroup);
        addLabelRow("ip", IpFields::kInputType);
        addLabelRow("ip", IpFields::kClientId);

        addGroupRows("issue", IssueFields::kStopMode);
        for (const LabelCaption &label : IssueFields::kComboLabels)
            addLabelRow("issue", label);
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

    // Every radio button of the three pages appears in the catalogues, so a choice added to a
    // layout can't be missing from the command line's output.
    void everyRadioButtonIsCatalogued()
    {
        QSet<QString> catalogued;
        const auto addGroup = [&catalogued](const char *page, const RadioGroupCaptions &group) {
            for (std::size_t i = 0; i < group.buttonCount; ++i)
                catalogued << QStringLiteral("%1/%2").arg(QLatin1String(page), controlName(group.buttons[i]));
        };
        for (const RadioGroupCaptions &group : ParamFields::kGroups)
            addGroup("param", group);
        addGroup("ip", IpFields::kSocket);
        addGroup("ip", IpFields::kDhcp);
        addGroup("ip", IpFields::kClientIdGroup);
        addGroup("issue", IssueFields::kStopMode);

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
