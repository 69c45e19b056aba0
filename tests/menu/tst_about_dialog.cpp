// The About box: its layout in pixels (dialog units x 1.5) and the OK button.

#include "app/CAboutDlg.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestAboutDialog : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void titleSizeAndIcon();
    void okCloses();
};

void TestAboutDialog::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");

    QTest::newRow("product") << "productName" << "QAV Quillotron 740Q2" << QRect(80, 23, 138, 12);
    QTest::newRow("program") << "programName" << "セットブリッジ" << QRect(93, 44, 113, 12);
    QTest::newRow("version") << "versionText" << "Version 5.000" << QRect(90, 65, 116, 12);
    QTest::newRow("OK") << "button_1" << "OK" << QRect(126, 122, 48, 21);
}

void TestAboutDialog::layout()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);

    CAboutDlg about(nullptr);
    QWidget *control = about.findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    if (const auto *label = qobject_cast<QLabel *>(control)) {
        QCOMPARE(label->text(), text);
        QVERIFY(label->alignment() & Qt::AlignHCenter);
    } else {
        QCOMPARE(qobject_cast<QPushButton *>(control)->text(), text);
    }
}

void TestAboutDialog::titleSizeAndIcon()
{
    CAboutDlg about(nullptr);
    QCOMPARE(about.windowTitle(), QStringLiteral("バージョン情報"));
    QCOMPARE(about.minimumSize(), QSize(303, 150));
    QCOMPARE(about.maximumSize(), QSize(303, 150));
    QVERIFY(about.findChild<QPushButton *>("button_1")->isDefault());
    const auto *icon = about.findChild<QLabel *>("programIcon");
    QVERIFY(icon);
    QCOMPARE(icon->pixmap().size(), QSize(32, 32));
}

void TestAboutDialog::okCloses()
{
    QWidget owner;
    CAboutDlg about(&owner);
    QTimer::singleShot(0, &about, [&about] {
        QTest::mouseClick(about.findChild<QPushButton *>("button_1"), Qt::LeftButton);
    });
    QCOMPARE(about.exec(), int(QDialog::Accepted));
    QVERIFY(!about.isVisible());
}

QTEST_MAIN(TestAboutDialog)
#include "tst_about_dialog.moc"
