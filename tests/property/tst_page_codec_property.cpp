// For random images: DistributeImage then CollectImage changes only bytes that some page owns,
// writes what the field model says the pages write, and a second round trip changes nothing more. Runs through the real main window and its four
// pages. The seed is printed; SBQ_PROPERTY_SEED repeats a run.
#include "FakeSpooler.h"
#include "OwnedBytes.h"
#include "ScriptedPrompts.h"
#include "app/CSetbridgeDlg.h"
#include "fields/FieldTable.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <functional>

namespace {

constexpr int kImagesPerKind = 2000;

const std::array<bool, SettingsImage::kSize> kOwned = OwnedBytes::table();

using Generator = std::function<SettingsImage(QRandomGenerator &)>;

char anyByte(QRandomGenerator &random)
{
    return static_cast<char>(random.bounded(256));
}

char pick(QRandomGenerator &random, std::string_view from)
{
    return from[random.bounded(static_cast<int>(from.size()))];
}

// The factory image with the owned bytes replaced by `next`.
SettingsImage factoryWithOwned(QRandomGenerator &random, const std::function<char(QRandomGenerator &)> &next)
{
    SettingsImage image = SettingsImage::factory();
    for (std::size_t i = 0; i < SettingsImage::kSize; ++i) {
        if (kOwned[i])
            image[i] = next(random);
    }
    return image;
}

QString firstDifference(const SettingsImage &a, const SettingsImage &b, bool onlyUnowned)
{
    for (std::size_t i = 0; i < SettingsImage::kSize; ++i) {
        if (a[i] != b[i] && !(onlyUnowned && kOwned[i]))
            return QStringLiteral("offset %1: 0x%2 became 0x%3")
                .arg(i)
                .arg(static_cast<unsigned char>(a[i]), 2, 16, QLatin1Char('0'))
                .arg(static_cast<unsigned char>(b[i]), 2, 16, QLatin1Char('0'));
    }
    return {};
}

QByteArray hexOf(const SettingsImage &image)
{
    return QByteArray(image.data(), static_cast<qsizetype>(image.size())).toHex();
}

}  // namespace

Q_DECLARE_METATYPE(Generator)

class TestPageCodecProperty : public QObject
{
    Q_OBJECT

private:
    ScriptedPrompts m_prompts;
    FakeSpooler m_spooler;
    QTemporaryDir m_data;
    std::unique_ptr<CSetbridgeDlg> m_window;
    quint32 m_seed = 0;

    SettingsImage roundTrip(const SettingsImage &image)
    {
        m_window->images().current = image;
        m_window->DistributeImage();
        m_window->CollectImage();
        return m_window->images().current;
    }

private slots:
    void initTestCase()
    {
        m_seed = qEnvironmentVariableIsSet("SBQ_PROPERTY_SEED")
                     ? static_cast<quint32>(qEnvironmentVariableIntValue("SBQ_PROPERTY_SEED"))
                     : QRandomGenerator::global()->generate();
        qInfo("seed %u (set SBQ_PROPERTY_SEED to repeat)", m_seed);
        m_spooler.addPrinter("QAV_Quillotron_740Q2", "usb://QAV/740Q2");
        m_window = std::make_unique<CSetbridgeDlg>(CSetbridgeDlg::Services{
            m_prompts, m_spooler, m_data.path().toStdString(), QStringLiteral("/nonexistent/sbq740.html")});
        m_window->setTerminateHandler([](int) { QFAIL("the window ended the program"); });
        QVERIFY(m_window->OnInitDialog());
    }

    void cleanupTestCase()
    {
        m_window.reset();
    }

    void roundTripTouchesOnlyOwnedBytesAndSettles_data()
    {
        QTest::addColumn<Generator>("generate");

        QTest::newRow("every byte random") << Generator([](QRandomGenerator &random) {
            SettingsImage image;
            for (std::size_t i = 0; i < SettingsImage::kSize; ++i)
                image[i] = anyByte(random);
            return image;
        });
        QTest::newRow("factory, owned bytes random") << Generator([](QRandomGenerator &random) {
            return factoryWithOwned(random, anyByte);
        });
        QTest::newRow("factory, owned bytes from what files hold") << Generator([](QRandomGenerator &random) {
            return factoryWithOwned(random, [](QRandomGenerator &r) { return pick(r, "0123456789+-.CFaf ,\x1b\n"); });
        });
        QTest::newRow("factory, owned bytes digits") << Generator([](QRandomGenerator &random) {
            return factoryWithOwned(random, [](QRandomGenerator &r) { return pick(r, "0123456789"); });
        });
        QTest::newRow("factory, owned bytes double-byte text") << Generator([](QRandomGenerator &random) {
            return factoryWithOwned(random, [](QRandomGenerator &r) { return pick(r, "\x81\x82\x88\x9f\xe0\xfc\x40\xa0\xdf"); });
        });
    }

    void roundTripTouchesOnlyOwnedBytesAndSettles()
    {
        QFETCH(Generator, generate);
        QRandomGenerator random(m_seed);
        for (int n = 0; n < kImagesPerKind; ++n) {
            const SettingsImage image = generate(random);
            const SettingsImage once = roundTrip(image);
            const QString unowned = firstDifference(image, once, true);
            QVERIFY2(unowned.isEmpty(), qPrintable(QStringLiteral("image %1 (%2): a byte no page owns changed, %3")
                                                       .arg(n).arg(QString::fromLatin1(hexOf(image)), unowned)));
            // The field model, as sbq740-cli uses it, writes what the window's pages write.
            SettingsImage modelled = image;
            Fields::storeUnedited(image, modelled);
            const QString disagreement = firstDifference(once, modelled, false);
            QVERIFY2(disagreement.isEmpty(), qPrintable(QStringLiteral("image %1 (%2): the field model wrote %3")
                                                           .arg(n).arg(QString::fromLatin1(hexOf(image)), disagreement)));
            const SettingsImage twice = roundTrip(once);
            const QString drifted = firstDifference(once, twice, false);
            QVERIFY2(drifted.isEmpty(), qPrintable(QStringLiteral("image %1 (%2): the second round trip changed %3")
                                                       .arg(n).arg(QString::fromLatin1(hexOf(once)), drifted)));
        }
    }

    // The factory image is a fixed point: nothing changes at all.
    void factoryImageComesBackUnchanged()
    {
        QCOMPARE(hexOf(roundTrip(SettingsImage::factory())), hexOf(SettingsImage::factory()));
    }
};

QTEST_MAIN(TestPageCodecProperty)
#include "tst_page_codec_property.moc"
