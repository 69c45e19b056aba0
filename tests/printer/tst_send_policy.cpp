// What may be sent: every refusal, every confirmation, and a send that goes ahead.
#include "res/Strings.h"
#include "send/SendPolicy.h"

#include <QtTest>

using Group = SettingsJob::Group;
using Problem = SendPolicy::Problem;
using Confirmation = SendPolicy::Confirmation;

Q_DECLARE_METATYPE(Group)
Q_DECLARE_METATYPE(std::optional<Group>)
Q_DECLARE_METATYPE(std::optional<Confirmation>)
Q_DECLARE_METATYPE(QList<Problem>)

class TestSendPolicy : public QObject
{
    Q_OBJECT

private slots:
    void decide_data();
    void decide();
};

void TestSendPolicy::decide_data()
{
    QTest::addColumn<QString>("connection");         // null: not known yet
    QTest::addColumn<std::optional<Group>>("group");  // none: a job without settings
    QTest::addColumn<int>("damagedAt");              // 0 none; else the image offset that gets a line feed
    QTest::addColumn<bool>("offGrid");               // the forward-standby adjustment off the 0.5 mm steps
    QTest::addColumn<QList<Problem>>("refusals");
    QTest::addColumn<std::optional<Confirmation>>("confirmation");

    using P = QList<Problem>;
    const std::optional<Confirmation> none;
    const std::optional<Group> noGroup;
    const QString unknown;
    QTest::newRow("connection only") << "socket://a" << noGroup << 0 << false << P{} << none;
    QTest::newRow("FILE: alone") << "FILE:" << noGroup << 0 << false << P{Problem::FileConnection} << none;
    QTest::newRow("FILE: says all, unchecked settings") << "FILE:" << std::optional(Group::Parameter) << 100 << true
                                                        << P{Problem::FileConnection} << none;
    QTest::newRow("file: is a name, not FILE:") << "file:" << noGroup << 0 << false << P{} << none;
    QTest::newRow("parameter") << "socket://a" << std::optional(Group::Parameter) << 0 << false << P{} << none;
    QTest::newRow("parameter, connection unknown") << unknown << std::optional(Group::Parameter) << 0 << false
                                                   << P{} << none;
    QTest::newRow("forward standby off the grid") << unknown << std::optional(Group::Parameter) << 0 << true
                                                  << P{Problem::ForwardStandby} << none;
    QTest::newRow("damaged parameter record, values unchecked") << unknown << std::optional(Group::Parameter) << 20
                                                                << true << P{Problem::DamagedFraming} << none;
    QTest::newRow("off the grid, other group") << unknown << std::optional(Group::FineAdjustment) << 0 << true << P{}
                                               << none;
    QTest::newRow("issue control") << unknown << std::optional(Group::IssueControl) << 0 << false << P{} << none;
    QTest::newRow("IP change") << "socket://a" << std::optional(Group::IpAddress) << 0 << false << P{}
                               << std::optional(Confirmation::IpAddressChange);
    QTest::newRow("damaged IP records, not asked") << unknown << std::optional(Group::IpAddress) << 100 << false
                                                   << P{Problem::DamagedFraming} << none;
}

void TestSendPolicy::decide()
{
    QFETCH(QString, connection);
    QFETCH(std::optional<Group>, group);
    QFETCH(int, damagedAt);
    QFETCH(bool, offGrid);
    QFETCH(QList<Problem>, refusals);
    QFETCH(std::optional<Confirmation>, confirmation);

    SettingsImage image = SettingsImage::factory();
    if (damagedAt != 0)
        image[static_cast<std::size_t>(damagedAt)] = '\n';
    if (offGrid)
        image[17] = '3';
    const std::string written = connection.toStdString();
    SendPolicy::Request request;
    if (!connection.isNull())
        request.connection = written;
    if (group)
        request.settings.emplace(SendPolicy::Request::Settings{image, *group});

    const SendPolicy::Answer answer = SendPolicy::decide(request);
    QList<Problem> problems;
    for (const SendPolicy::Refusal &refusal : answer.refusals)
        problems << refusal.problem;
    QCOMPARE(problems, refusals);
    QCOMPARE(answer.allowed(), refusals.isEmpty());
    QVERIFY(answer.confirmation == confirmation);
}

QTEST_APPLESS_MAIN(TestSendPolicy)
#include "tst_send_policy.moc"
