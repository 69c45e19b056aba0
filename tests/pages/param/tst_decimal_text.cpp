#include "fields/DecimalText.h"

#include <QtTest>

#include <cmath>
#include <limits>

class TestDecimalText : public QObject
{
    Q_OBJECT

private slots:
    void leadingDecimal_data();
    void leadingDecimal();
    void leadingDecimalOverflow();
    void leadingInteger_data();
    void leadingInteger();
    void roundTenths_data();
    void roundTenths();
    void formatOneDecimal_data();
    void formatOneDecimal();
};

void TestDecimalText::leadingDecimal_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");
    QTest::addColumn<bool>("isNumber");  // what the spin asks before it starts from the text
    QTest::newRow("plain") << QByteArray("2.5") << 2.5 << true;
    QTest::newRow("blanks and sign") << QByteArray(" \t-1.5") << -1.5 << true;
    QTest::newRow("plus sign") << QByteArray("+3") << 3.0 << true;
    QTest::newRow("point first") << QByteArray(".5") << 0.5 << true;
    QTest::newRow("point last") << QByteArray("4.") << 4.0 << true;
    QTest::newRow("trailing junk") << QByteArray("1.3mm") << 1.3 << true;
    QTest::newRow("exponent") << QByteArray("1e1") << 10.0 << true;
    QTest::newRow("negative exponent") << QByteArray("25E-1x") << 2.5 << true;
    QTest::newRow("incomplete exponent") << QByteArray("3e+") << 3.0 << true;
    QTest::newRow("a comma is no point") << QByteArray("49,9") << 49.0 << true;
    QTest::newRow("second point") << QByteArray("1.2.3") << 1.2 << true;
    QTest::newRow("empty") << QByteArray("") << 0.0 << false;
    QTest::newRow("sign only") << QByteArray("-") << 0.0 << false;
    QTest::newRow("point only") << QByteArray("-.") << 0.0 << false;
    QTest::newRow("letters") << QByteArray("abc") << 0.0 << false;
    QTest::newRow("blank between sign and digits") << QByteArray("- 1") << 0.0 << false;
    QTest::newRow("hex is not read") << QByteArray("0x10") << 0.0 << true;
    QTest::newRow("inf is not read") << QByteArray("inf") << 0.0 << false;
    QTest::newRow("nan is not read") << QByteArray("nan") << 0.0 << false;
}

void TestDecimalText::leadingDecimal()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    QFETCH(bool, isNumber);
    QCOMPARE(DecimalText::leadingDecimal(text.toStdString()), expected);
    QCOMPARE(DecimalText::startsWithNumber(text.toStdString()), isNumber);
}

void TestDecimalText::leadingDecimalOverflow()
{
    QCOMPARE(DecimalText::leadingDecimal("1e999"), std::numeric_limits<double>::infinity());
    QCOMPARE(DecimalText::leadingDecimal("-9e999"), -std::numeric_limits<double>::infinity());
    QCOMPARE(DecimalText::leadingDecimal("1e-999"), 0.0);
    QCOMPARE(DecimalText::leadingDecimal("0.0001e-400"), 0.0);
}

void TestDecimalText::leadingInteger_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qlonglong>("expected");
    QTest::newRow("plain") << QByteArray("42") << 42LL;
    QTest::newRow("blanks, sign, junk") << QByteArray("  -17x") << -17LL;
    QTest::newRow("stops at point") << QByteArray("3.9") << 3LL;
    QTest::newRow("none") << QByteArray("x1") << 0LL;
    QTest::newRow("saturates up") << QByteArray("99999999999999999999999") << qlonglong(std::numeric_limits<long>::max());
    QTest::newRow("saturates down") << QByteArray("-99999999999999999999999") << qlonglong(std::numeric_limits<long>::min());
}

void TestDecimalText::leadingInteger()
{
    QFETCH(QByteArray, text);
    QFETCH(qlonglong, expected);
    QCOMPARE(qlonglong(DecimalText::leadingInteger(text.toStdString())), expected);
}

void TestDecimalText::roundTenths_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qlonglong>("tenths");
    QTest::newRow("half up") << 1.25 << 13LL;
    QTest::newRow("half down negative") << -1.25 << -13LL;
    QTest::newRow("below half") << 1.24 << 12LL;
    QTest::newRow("decimal half 0.35") << 0.35 << 4LL;
    QTest::newRow("negative zero") << -0.0 << 0LL;
    QTest::newRow("tiny negative") << -0.04 << 0LL;
    QTest::newRow("infinity saturates") << std::numeric_limits<double>::infinity() << 1000000000000000000LL;
    QTest::newRow("nan") << std::nan("") << 0LL;
}

void TestDecimalText::roundTenths()
{
    QFETCH(double, value);
    QFETCH(qlonglong, tenths);
    QCOMPARE(qlonglong(DecimalText::roundTenthsAwayFromZero(value)), tenths);
}

void TestDecimalText::formatOneDecimal_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("1.5") << 1.5 << QByteArray("1.5");
    QTest::newRow("-5.0") << -5.0 << QByteArray("-5.0");
    QTest::newRow("0.0") << 0.0 << QByteArray("0.0");
    QTest::newRow("rounds") << 2.26 << QByteArray("2.3");
}

void TestDecimalText::formatOneDecimal()
{
    QFETCH(double, value);
    QFETCH(QByteArray, text);
    QCOMPARE(QByteArray::fromStdString(DecimalText::formatOneDecimal(value)), text);
}

QTEST_APPLESS_MAIN(TestDecimalText)
#include "tst_decimal_text.moc"
