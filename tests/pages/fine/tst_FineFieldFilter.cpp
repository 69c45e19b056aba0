// The shared edit filter of the fine-adjustment page, as a pure rule on whole texts.
#include "fields/FieldTable.h"

#include <QTest>

namespace {

constexpr int kFeed = 0;
constexpr int kBackFeed = 2;
constexpr int kDensity = 4;
constexpr int kRibbon = 6;
constexpr int kThreshold = 8;

const QString kStays = QStringLiteral("(stays)");

// The page's rows: its number fields.
const Fields::Field &rowField(int row)
{
    std::vector<const Fields::Field *> numbers;
    for (const Fields::Field *field : Fields::ofPage(Fields::PageId::Fine)) {
        if (field->kind == Fields::Kind::Number)
            numbers.push_back(field);
    }
    return *numbers.at(std::size_t(row));
}

}  // namespace

class TestFineFieldFilter : public QObject
{
    Q_OBJECT

private slots:
    void filters_data();
    void filters();
};

void TestFineFieldFilter::filters_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hasFocus");
    QTest::addColumn<QString>("result");

    // Not focused (a distribution): only the length rule applies.
    QTest::newRow("feed 99.9 unfocused") << kFeed << "99.9" << false << kStays;
    QTest::newRow("feed -3 unfocused") << kFeed << "-3" << false << kStays;
    QTest::newRow("feed long unfocused") << kFeed << "12.345" << false << "50.0";
    QTest::newRow("density long negative unfocused") << kDensity << "-123" << false << "-10";

    // Focused. The listed typing results are checked on the page itself; these are the rule's
    // corners: the length rule settles a long text, and the filter never rounds.
    QTest::newRow("feed 12.345 by length") << kFeed << "12.345" << true << "50.0";
    QTest::newRow("threshold 0.05 by length") << kThreshold << "0.05" << true << "4.0";
    QTest::newRow("threshold -0.05 by length") << kThreshold << "-0.05" << true << "0.0";
    QTest::newRow("density 1234 by length") << kDensity << "1234" << true << "10";
    QTest::newRow("feed 0.05 small") << kFeed << "0.05" << true << "0.0";
    QTest::newRow("feed -0.05 below") << kFeed << "-0.05" << true << "0.0";
    QTest::newRow("feed 50.0 at the top") << kFeed << "50.0" << true << kStays;
    QTest::newRow("ribbon 00 at the top") << kRibbon << "00" << true << kStays;
    QTest::newRow("back-feed 9.45 not rounded") << kBackFeed << "9.45" << true << kStays;
    QTest::newRow("feed not a number") << kFeed << "ab" << true << kStays;

    // Only nine characters are read: a number after them does not count.
    QTest::newRow("reads nine chars") << kFeed << "         -5" << false << "50.0";
}

void TestFineFieldFilter::filters()
{
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(bool, hasFocus);
    QFETCH(QString, result);

    const auto replacement = rowField(row).filter(text.toStdString(), hasFocus);
    QCOMPARE(replacement ? QString::fromStdString(*replacement) : kStays, result);
}

QTEST_APPLESS_MAIN(TestFineFieldFilter)
#include "tst_FineFieldFilter.moc"
