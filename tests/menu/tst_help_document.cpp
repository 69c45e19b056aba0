// The help document: a section for every command and every page, and links that lead somewhere.

#include "res/MenuTable.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextDocument>

namespace {

QString helpSource()
{
    QFile file(qEnvironmentVariable("SBQ_SOURCE_DIR") + QStringLiteral("/res/help/sbq740.html"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QStringList matches(const QString &text, const QString &pattern)
{
    QStringList found;
    QRegularExpressionMatchIterator it = QRegularExpression(pattern).globalMatch(text);
    while (it.hasNext())
        found << it.next().captured(1);
    return found;
}

// The headings' text, with tags removed.
QString headings(const QString &html)
{
    QString joined = matches(html, QStringLiteral("<h[123][^>]*>(.*?)</h[123]>")).join(u'\n');
    return joined.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
}

// "設定ファイルの読み込み(&O)...\tCtrl+O" is titled "設定ファイルの読み込み".
QString commandName(const char *caption)
{
    QString name = QString::fromUtf8(caption);
    name = name.left(name.indexOf(u'\t'));
    return name.remove(QRegularExpression(QStringLiteral("\\(&.\\)|\\.\\.\\.$")));
}

}  // namespace

class TestHelpDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sectionForEveryCommand_data();
    void sectionForEveryCommand();
    void sectionForEveryPage_data();
    void sectionForEveryPage();
    void everyLinkHasItsAnchor();
    void readsAsJapaneseText();

private:
    QString m_html;
};

void TestHelpDocument::initTestCase()
{
    m_html = helpSource();
    QVERIFY2(!m_html.isEmpty(), "res/help/sbq740.html is missing");
}

void TestHelpDocument::sectionForEveryCommand_data()
{
    QTest::addColumn<QString>("name");
    for (const MenuTable::Popup &popup : MenuTable::kPopups) {
        for (int i = 0; i < popup.count; ++i) {
            if (popup.items[i].id != 0)
                QTest::newRow(popup.items[i].text) << commandName(popup.items[i].text);
        }
    }
}

void TestHelpDocument::sectionForEveryCommand()
{
    QFETCH(QString, name);
    QVERIFY2(headings(m_html).contains(name), qPrintable(name));
}

void TestHelpDocument::sectionForEveryPage_data()
{
    QTest::addColumn<QString>("caption");
    QTest::newRow("0") << "パラメータ設定";
    QTest::newRow("1") << "微調設定";
    QTest::newRow("2") << "IPアドレス設定";
    QTest::newRow("3") << "発行制御設定";
}

void TestHelpDocument::sectionForEveryPage()
{
    QFETCH(QString, caption);
    const QStringList sections = matches(m_html, QStringLiteral("<h2[^>]*>(?:<a name=\"[^\"]*\"></a>)?([^<]*)</h2>"));
    QVERIFY2(sections.contains(caption), qPrintable(caption));
}

void TestHelpDocument::everyLinkHasItsAnchor()
{
    const QStringList names = matches(m_html, QStringLiteral("<a name=\"([^\"]+)\""));
    const QSet<QString> anchors(names.begin(), names.end());
    const QStringList links = matches(m_html, QStringLiteral("<a href=\"([^\"]+)\""));
    QVERIFY(links.size() > 10);
    for (const QString &link : links) {
        QVERIFY2(link.startsWith(u'#'), qPrintable(link));  // no way out of the document
        QVERIFY2(anchors.contains(link.mid(1)), qPrintable(link));
    }
}

void TestHelpDocument::readsAsJapaneseText()
{
    QTextDocument document;
    document.setHtml(m_html);
    QCOMPARE(document.metaInformation(QTextDocument::DocumentTitle),
             QStringLiteral("QAV Quillotron 740Q2 セットブリッジ ヘルプ"));
    QVERIFY(document.toPlainText().contains(QStringLiteral("設定値をプリンタへ送信")));
}

QTEST_MAIN(TestHelpDocument)
#include "tst_help_document.moc"
