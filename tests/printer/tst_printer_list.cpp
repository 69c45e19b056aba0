// Which printers the selection lists, in what order, which row starts selected, and what OK does.
#include "spooler/PrinterList.h"

#include <QtTest>

namespace {

const std::string kModel = "QAV Quillotron 740Q2";

SpoolerPrinter printer(const std::string &name, const std::string &connection = "socket://127.0.0.1:9100",
                       const std::string &driver = kModel, bool usable = true)
{
    return {name, connection, driver, usable};
}

QStringList names(const PrinterList &list)
{
    QStringList result;
    for (const PrinterList::Row &row : list.rows())
        result.append(QString::fromStdString(row.name));
    return result;
}

}  // namespace

class TestPrinterList : public QObject
{
    Q_OBJECT

private slots:
    void listsOnlyTheSupportedDriver_data();
    void listsOnlyTheSupportedDriver();
    void sortsByNameIgnoringCase();
    void keepsEachPrintersConnection();
    void preselection_data();
    void preselection();
    void confirmation_data();
    void confirmation();
    void refusedChoiceStaysInTheFields();
};

void TestPrinterList::listsOnlyTheSupportedDriver_data()
{
    QTest::addColumn<QString>("driver");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<bool>("listed");

    QTest::newRow("exact driver") << QString::fromStdString(kModel) << true << true;
    QTest::newRow("other case") << "QAV QUILLOTRON 740Q2" << true << false;
    QTest::newRow("trailing space") << "QAV Quillotron 740Q2 " << true << false;
    QTest::newRow("extra characters") << "QAV Quillotron 740Q2 PS" << true << false;
    QTest::newRow("prefix only") << "QAV Quillotron 740Q" << true << false;
    QTest::newRow("other model") << "Generic Raw Queue" << true << false;
    QTest::newRow("cannot be used") << QString::fromStdString(kModel) << false << false;
}

void TestPrinterList::listsOnlyTheSupportedDriver()
{
    QFETCH(QString, driver);
    QFETCH(bool, usable);
    QFETCH(bool, listed);
    const PrinterList list({printer("q", "socket://x", driver.toStdString(), usable)});
    QCOMPARE(list.count(), listed ? 1 : 0);
}

void TestPrinterList::sortsByNameIgnoringCase()
{
    const PrinterList list({printer("delta"), printer("Bravo"), printer("alpha"), printer("Charlie"),
                            printer("other", "x", "Other"), printer("bravo")});
    QCOMPARE(names(list), (QStringList{"alpha", "Bravo", "bravo", "Charlie", "delta"}));
}

void TestPrinterList::keepsEachPrintersConnection()
{
    const PrinterList list({printer("b", "FILE:"), printer("a", "printsrv"), printer("B2", "socket://c")});
    QCOMPARE(list.rows().at(0).connection, std::string("printsrv"));
    QCOMPARE(list.rows().at(1).connection, std::string("FILE:"));
    QCOMPARE(list.rows().at(2).connection, std::string("socket://c"));
}

void TestPrinterList::preselection_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<int>("row");

    QTest::newRow("nothing selected yet: first row") << "" << 0;
    QTest::newRow("current printer") << "charlie" << 2;
    QTest::newRow("current printer disappeared: first row") << "zulu" << 0;
    QTest::newRow("name differing in case is another printer") << "CHARLIE" << 0;
}

void TestPrinterList::preselection()
{
    QFETCH(QString, current);
    QFETCH(int, row);
    const PrinterList list({printer("charlie"), printer("alpha"), printer("bravo")});
    QCOMPARE(list.preselectedRow(current.toStdString()), std::optional<int>(row));
    QCOMPARE(PrinterList().preselectedRow(current.toStdString()), std::nullopt);
}

void TestPrinterList::confirmation_data()
{
    QTest::addColumn<QStringList>("connections");  // one printer per entry, named p0, p1, ...
    QTest::addColumn<int>("selected");             // -1: no row selected
    QTest::addColumn<int>("confirmation");

    using C = PrinterList::Confirmation;
    QTest::newRow("nothing selected") << QStringList{"socket://a"} << -1 << int(C::NothingSelected);
    QTest::newRow("ordinary printer") << QStringList{"socket://a"} << 0 << int(C::Accepted);
    QTest::newRow("file, only printer") << QStringList{"FILE:"} << 0 << int(C::FileOnlyPrinter);
    QTest::newRow("file among others") << QStringList{"socket://a", "FILE:"} << 1 << int(C::FileChooseOther);
    QTest::newRow("file in lower case is no file") << QStringList{"file:"} << 0 << int(C::Accepted);
    QTest::newRow("other row beside a file one") << QStringList{"socket://a", "FILE:"} << 0 << int(C::Accepted);
}

void TestPrinterList::confirmation()
{
    QFETCH(QStringList, connections);
    QFETCH(int, selected);
    QFETCH(int, confirmation);

    std::vector<SpoolerPrinter> printers;
    for (int i = 0; i < connections.size(); ++i)
        printers.push_back(printer("p" + std::to_string(i), connections.at(i).toStdString()));
    const PrinterList list(printers);
    std::string name = "before";
    std::string connection = "before";
    const auto row = selected < 0 ? std::nullopt : std::optional<int>(selected);
    QCOMPARE(int(list.confirm(row, name, connection)), confirmation);
    if (selected < 0) {
        QCOMPARE(name, std::string("before"));
    } else {
        QCOMPARE(name, "p" + std::to_string(selected));
        QCOMPARE(QString::fromStdString(connection), connections.at(selected));
    }
}

void TestPrinterList::refusedChoiceStaysInTheFields()
{
    const PrinterList list({printer("a", "socket://a"), printer("b", "FILE:")});
    std::string name;
    std::string connection;
    QCOMPARE(list.confirm(1, name, connection), PrinterList::Confirmation::FileChooseOther);
    QCOMPARE(name, std::string("b"));
    QCOMPARE(connection, std::string("FILE:"));
}

QTEST_APPLESS_MAIN(TestPrinterList)
#include "tst_printer_list.moc"
