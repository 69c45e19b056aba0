// The 260-byte settings job for each group.
#include "spooler/SettingsJob.h"

#include <QtTest>

using namespace std::string_literals;

Q_DECLARE_METATYPE(SettingsJob::Group)

namespace {

// An image whose every byte tells its own position, so that a wrong slice shows.
SettingsImage numberedImage()
{
    SettingsImage image;
    for (std::size_t i = 0; i < SettingsImage::kSize; ++i)
        image[i] = static_cast<char>(1 + i % 250);
    return image;
}

}  // namespace

class TestSettingsJob : public QObject
{
    Q_OBJECT

private slots:
    void carriesOnlyTheChosenGroup_data();
    void carriesOnlyTheChosenGroup();
    void factoryIssueControlJob();
    void factoryParameterJob();
    void damagedFramingIsFound_data();
    void damagedFramingIsFound();
};

void TestSettingsJob::carriesOnlyTheChosenGroup_data()
{
    QTest::addColumn<SettingsJob::Group>("group");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("length");

    QTest::newRow("parameters") << SettingsJob::Group::Parameter << 0 << 49;
    QTest::newRow("fine adjustments") << SettingsJob::Group::FineAdjustment << 49 << 39;
    QTest::newRow("IP address group") << SettingsJob::Group::IpAddress << 88 << 122;
    QTest::newRow("issue control") << SettingsJob::Group::IssueControl << 210 << 21;
}

void TestSettingsJob::carriesOnlyTheChosenGroup()
{
    QFETCH(SettingsJob::Group, group);
    QFETCH(int, offset);
    QFETCH(int, length);

    const SettingsImage image = numberedImage();
    const std::string job = SettingsJob::build(image, group);
    const auto l = static_cast<std::size_t>(length);

    QCOMPARE(job.size(), std::size_t{260});
    QCOMPARE(job.substr(0, l), std::string(image.slice(static_cast<std::size_t>(offset), l)));
    QCOMPARE(job.substr(l, 4), "\x1bZ0\n"s);
    QCOMPARE(job.substr(l + 4), std::string(260 - l - 4, '\0'));
}

void TestSettingsJob::factoryIssueControlJob()
{
    const std::string job = SettingsJob::build(SettingsImage::factory(), SettingsJob::Group::IssueControl);
    const std::string expected = "\x1bZ2;3,0,C,C,C,C,C,1\n"s + '\0' + "\x1bZ0\n"s + std::string(235, '\0');
    QCOMPARE(job, expected);
}

void TestSettingsJob::factoryParameterJob()
{
    // The parameter record's NUL is part of the copy, so the trailer starts at byte 49.
    const std::string job = SettingsJob::build(SettingsImage::factory(), SettingsJob::Group::Parameter);
    QCOMPARE(job.substr(0, 49), "\x1bZ2;1,002101250+00000000000100B0000000000000000\n"s + '\0');
    QCOMPARE(job.substr(49, 4), "\x1bZ0\n"s);
    QCOMPARE(job.find('\x1b', 53), std::string::npos);
}

void TestSettingsJob::damagedFramingIsFound_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<char>("byte");
    QTest::addColumn<SettingsJob::Group>("damagedGroup");  // the only group no longer framed

    using G = SettingsJob::Group;
    QTest::newRow("LF in a parameter choice") << 14 << '\n' << G::Parameter;
    QTest::newRow("ESC in a fine adjustment") << 60 << '\x1b' << G::FineAdjustment;
    QTest::newRow("NUL in the client ID") << 190 << '\0' << G::IpAddress;
    QTest::newRow("DEL in the gateway") << 117 << '\x7f' << G::IpAddress;
    QTest::newRow("subnet record without its LF") << 155 << '0' << G::IpAddress;
    QTest::newRow("port record without its NUL") << 169 << ' ' << G::IpAddress;
    QTest::newRow("issue record without its ESC") << 210 << 'Z' << G::IssueControl;
}

void TestSettingsJob::damagedFramingIsFound()
{
    QFETCH(int, offset);
    QFETCH(char, byte);
    QFETCH(SettingsJob::Group, damagedGroup);

    SettingsImage image = SettingsImage::factory();
    image[static_cast<std::size_t>(offset)] = byte;
    for (int group = 0; group < SettingsJob::kGroupCount; ++group) {
        const auto g = static_cast<SettingsJob::Group>(group);
        QCOMPARE(SettingsJob::isFramed(image, g), g != damagedGroup);
        QVERIFY(SettingsJob::isFramed(SettingsImage::factory(), g));
    }
    // Shift-JIS text is not a framing byte.
    image = SettingsImage::factory();
    image[220] = '\x82';
    QVERIFY(SettingsJob::isFramed(image, SettingsJob::Group::IssueControl));
}

QTEST_APPLESS_MAIN(TestSettingsJob)
#include "tst_settings_job.moc"
