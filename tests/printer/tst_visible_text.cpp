// How texts from the spooler or a file are shown: reordering and control characters as escapes.
#include "text/VisibleText.h"

#include <QtTest>

class TestVisibleText : public QObject
{
    Q_OBJECT

private slots:
    void escaped_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("plain") << QByteArray("QAV_Quillotron_740Q2") << QByteArray("QAV_Quillotron_740Q2");
        QTest::newRow("Japanese and markup stay") << QByteArray("プリンタ<u>1</u>") << QByteArray("プリンタ<u>1</u>");
        QTest::newRow("right-to-left override") << QByteArray("bidi-\u202Egnp.exe") << QByteArray("bidi-\\u202Egnp.exe");
        QTest::newRow("embeddings and pop") << QByteArray("\u202A\u202B\u202C\u202D") << QByteArray("\\u202A\\u202B\\u202C\\u202D");
        QTest::newRow("isolates") << QByteArray("\u2066a\u2067b\u2068c\u2069") << QByteArray("\\u2066a\\u2067b\\u2068c\\u2069");
        QTest::newRow("marks") << QByteArray("\u200E\u200F\u061C") << QByteArray("\\u200E\\u200F\\u061C");
        QTest::newRow("neighbours stay") << QByteArray("\u2027\u2030\u200A\u2070") << QByteArray("\u2027\u2030\u200A\u2070");
        QTest::newRow("zero-width and other invisible format characters")
            << QByteArray("a\u200Bb\u200C\u200D\u2060\uFEFF\u00AD\u3164\u206A") << QByteArray("a\\u200Bb\\u200C\\u200D\\u2060\\uFEFF\\u00AD\\u3164\\u206A");
        QTest::newRow("tag characters beyond U+FFFF") << QByteArray("a\U000E0041\U000E007F") << QByteArray("a\\U000E0041\\U000E007F");
        QTest::newRow("line breaks and tab") << QByteArray("a\nb\tc\u2028") << QByteArray("a\\u000Ab\\u0009c\\u2028");
        QTest::newRow("C1 control") << QByteArray("a\u0085b") << QByteArray("a\\u0085b");
        QTest::newRow("not UTF-8 is left alone") << QByteArray("a\xff\xe2\x80") << QByteArray("a\xff\xe2\x80");
        QTest::newRow("an overlong form is not UTF-8") << QByteArray("a\xe0\x80\x8a") << QByteArray("a\xe0\x80\x8a");
    }
    void escaped()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, shown);
        QCOMPARE(QByteArray::fromStdString(VisibleText::Escaped(text.toStdString())), shown);
    }
};

QTEST_APPLESS_MAIN(TestVisibleText)
#include "tst_visible_text.moc"
