// How a CUPS queue's connection is shown, and whether its user lists let us print.
#include "spooler/ConnectionText.h"
#include "spooler/UserAccess.h"

#include <QtTest>

class TestConnectionText : public QObject
{
    Q_OBJECT

private slots:
    void connectionFromDeviceUri_data();
    void connectionFromDeviceUri();
    void userLists_data();
    void userLists();
};

void TestConnectionText::connectionFromDeviceUri_data()
{
    QTest::addColumn<QString>("deviceUri");
    QTest::addColumn<bool>("remote");
    QTest::addColumn<QString>("printerUri");
    QTest::addColumn<QString>("expected");

    QTest::newRow("file device") << "file:/dev/null" << false << "" << "FILE:";
    QTest::newRow("file device, scheme in capitals") << "FILE:///tmp/out" << false << "" << "FILE:";
    QTest::newRow("socket device") << "socket://127.0.0.1:9100/?contimeout=3" << false << ""
                                   << "socket://127.0.0.1:9100/?contimeout=3";
    QTest::newRow("usb device") << "usb://QAV/Quillotron%20740Q2" << false << "" << "usb://QAV/Quillotron%20740Q2";
    QTest::newRow("ipp to a print server") << "ipp://printsrv.example/printers/q1" << false << "" << "printsrv.example";
    QTest::newRow("ipps with port and user") << "ipps://op@printsrv.example:631/printers/q1" << false << ""
                                             << "printsrv.example";
    QTest::newRow("lpd to a print server") << "lpd://printsrv/queue" << false << "" << "printsrv";
    QTest::newRow("http, IPv6 literal") << "http://[fe80::1]:631/printers/q" << false << "" << "fe80::1";
    QTest::newRow("ipp to this machine stays a URI") << "ipp://localhost:631/printers/q" << false << ""
                                                     << "ipp://localhost:631/printers/q";
    QTest::newRow("ipp to loopback stays a URI") << "ipp://127.0.0.1/printers/q" << false << ""
                                                 << "ipp://127.0.0.1/printers/q";
    QTest::newRow("remote queue shows its server") << "socket://10.0.0.9" << true << "" << "10.0.0.9";
    QTest::newRow("remote without device URI") << "" << true << "ipp://printsrv.example/printers/q"
                                               << "printsrv.example";
}

void TestConnectionText::connectionFromDeviceUri()
{
    QFETCH(QString, deviceUri);
    QFETCH(bool, remote);
    QFETCH(QString, printerUri);
    QFETCH(QString, expected);
    const std::string device = deviceUri.toStdString();
    const std::string printer = printerUri.toStdString();
    QCOMPARE(QString::fromStdString(ConnectionText::fromDeviceUri(device, remote, printer)), expected);
}

void TestConnectionText::userLists_data()
{
    QTest::addColumn<QStringList>("allowed");
    QTest::addColumn<QStringList>("denied");
    QTest::addColumn<bool>("mayPrint");

    QTest::newRow("no lists") << QStringList{} << QStringList{} << true;
    QTest::newRow("allow all") << QStringList{"all"} << QStringList{} << true;
    QTest::newRow("deny none") << QStringList{} << QStringList{"none"} << true;
    QTest::newRow("allowed by name, other case") << QStringList{"nobody", "Operator"} << QStringList{} << true;
    QTest::newRow("not among the allowed") << QStringList{"nobody"} << QStringList{} << false;
    QTest::newRow("allowed through a group") << QStringList{"@lpusers"} << QStringList{} << true;
    QTest::newRow("denied by name") << QStringList{} << QStringList{"operator"} << false;
    QTest::newRow("denied through a group") << QStringList{} << QStringList{"@staff"} << false;
    QTest::newRow("someone else denied") << QStringList{} << QStringList{"guest", "@other"} << true;
}

void TestConnectionText::userLists()
{
    QFETCH(QStringList, allowed);
    QFETCH(QStringList, denied);
    QFETCH(bool, mayPrint);
    const auto toStrings = [](const QStringList &list) {
        std::vector<std::string> result;
        for (const QString &entry : list)
            result.push_back(entry.toStdString());
        return result;
    };
    const UserAccess::User user{"operator", {"staff", "lpusers"}};
    QCOMPARE(UserAccess::mayPrint(user, toStrings(allowed), toStrings(denied)), mayPrint);
}

QTEST_APPLESS_MAIN(TestConnectionText)
#include "tst_connection_text.moc"
