// The main window's menu bar: pictures, mnemonics, the accelerator column and the disabled look.

#include "menu/CIconMenu.h"
#include "menu/MenuColours.h"
#include "menu/MenuItemPainter.h"
#include "menu/Pictures.h"
#include "res/MenuTable.h"

#include <QApplication>
#include <QHash>
#include <QMainWindow>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include <array>
#include <cmath>
#include <memory>

namespace {

constexpr int kFile = 0;
constexpr int kMenu = 1;
constexpr int kHelp = 2;

// Columns of `image` inside `area` that hold a pixel darker than `threshold`.
struct Ink
{
    int left = -1;
    int right = -1;
    bool found() const { return left >= 0; }
};

Ink darkInk(const QImage &image, const QRect &area, int threshold = 110)
{
    Ink ink;
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (qGray(image.pixel(x, y)) < threshold) {
                if (!ink.found())
                    ink.left = x;
                ink.right = x;
                break;
            }
        }
    }
    return ink;
}

// A caption row split into the label's ink and the accelerator's ink: the accelerator is the
// ink right of the last blank run of at least `gap` columns.
struct CaptionInk
{
    Ink label;
    Ink accelerator;
};

CaptionInk captionInk(const QImage &image, const QRect &caption, int gap = 6)
{
    const Ink all = darkInk(image, caption);
    CaptionInk ink;
    if (!all.found())
        return ink;
    int blank = 0;
    for (int x = all.right; x >= all.left; --x) {
        const Ink column = darkInk(image, QRect(x, caption.top(), 1, caption.height()));
        if (column.found()) {
            if (blank >= gap) {
                ink.label = {all.left, x};
                ink.accelerator = darkInk(image, QRect(QPoint(x + 1, caption.top()), QPoint(all.right, caption.bottom())));
                return ink;
            }
            blank = 0;
        } else {
            ++blank;
        }
    }
    return ink;
}

// WCAG 2 contrast ratio of two colours.
double contrast(QRgb one, QRgb other)
{
    const auto luminance = [](QRgb rgb) {
        const auto linear = [](int channel) {
            const double c = channel / 255.0;
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
    };
    const double a = luminance(one);
    const double b = luminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The strongest contrast in `area` against `background`: for a caption, what its text reaches.
double strongestContrast(const QImage &image, const QRect &area, QRgb background)
{
    double strongest = 1.0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            strongest = std::max(strongest, contrast(image.pixel(x, y), background));
    }
    return strongest;
}

// The mean contrast against `face` of the picture's outline as shown at `place`: the pixels of
// `picture` that border its transparent background.
double outlineContrast(const QImage &shown, QPoint place, const QImage &picture, QRgb face)
{
    const auto transparent = [&picture](int x, int y) {
        return !picture.rect().contains(x, y) || qAlpha(picture.pixel(x, y)) < 128;
    };
    double sum = 0;
    int count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (transparent(x, y)
                || !(transparent(x - 1, y) || transparent(x + 1, y) || transparent(x, y - 1) || transparent(x, y + 1)))
                continue;
            sum += contrast(shown.pixel(place + QPoint(x, y)), face);
            ++count;
        }
    }
    return count ? sum / count : 0.0;
}

QRgb mostCommonColour(const QImage &image, const QRect &area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    }
    QRgb common = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            common = it.key();
        }
    }
    return common;
}

QPalette darkPalette(const QColor &window, const QColor &highlight, const QColor &highlightedText)
{
    QPalette palette(window);  // text, light and dark derived from the window colour, as Qt does
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, highlightedText);
    return palette;
}

}  // namespace

Q_DECLARE_METATYPE(QPalette)

class TestIconMenu : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyStarredItemHasItsPicture_data();
    void everyStarredItemHasItsPicture();
    void missingPictureLeavesNone();
    void menuBarEntriesArePlainText();
    void appendOnlyToOwnDropDowns();
    void everyItemEnabledAndCaptionKept();
    void mnemonicRunsItemAtOnce_data();
    void mnemonicRunsItemAtOnce();
    void mnemonicOfDisabledItemDoesNothing();
    void findKeyboardShortcutOnlyAnswersOwnMenus();
    void acceleratorTextsShareOneColumn();
    void disabledPictureIsEmbossed();
    void hoveredDisabledCaptionTakesMenuColour();
    void readableUnderEveryPalette_data();
    void readableUnderEveryPalette();

private:
    QMenu *popup(int index) const { return m_menu->popups().at(index); }
    QImage openAndGrab(QMenu *menu);
    QRect pictureArea(QMenu *menu, int commandId) const;
    QRect captionArea(QMenu *menu, int commandId) const;

    std::unique_ptr<QMainWindow> m_window;
    CIconMenu *m_menu = nullptr;
};

void TestIconMenu::init()
{
    m_window = std::make_unique<QMainWindow>();
    m_menu = new CIconMenu(m_window.get());
    QVERIFY(m_menu->LoadMenu(ResId::kMainMenu));
    // As the main window does: a picture for every starred item of the menu table.
    for (const MenuTable::Popup &table : MenuTable::kPopups) {
        for (int i = 0; i < table.count; ++i) {
            if (table.items[i].bitmap >= 0)
                QVERIFY(m_menu->ModifyODMenu(nullptr, table.items[i].id, table.items[i].bitmap));
        }
    }
    m_window->setMenuBar(m_menu->attachTo(m_window.get()));
    m_window->resize(400, 300);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestIconMenu::cleanup()
{
    m_window.reset();
    QApplication::setPalette(QApplication::style()->standardPalette());
}

void TestIconMenu::everyStarredItemHasItsPicture_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("bitmap");
    for (const MenuTable::Popup &table : MenuTable::kPopups) {
        for (int i = 0; i < table.count; ++i) {
            const MenuTable::Item &item = table.items[i];
            if (item.id != 0)
                QTest::newRow(item.text) << item.id << item.bitmap;
        }
    }
}

void TestIconMenu::everyStarredItemHasItsPicture()
{
    QFETCH(int, id);
    QFETCH(int, bitmap);
    QAction *item = m_menu->action(id);
    QVERIFY(item);
    QCOMPARE(m_menu->bitmapOf(id), bitmap);
    QCOMPARE(item->icon().isNull(), bitmap < 0);
    if (bitmap < 0)
        return;
    // The picture is the upper 16 x 15 pixels of its 16 x 16 drawing, background transparent.
    const QImage shown = item->icon().pixmap(QSize(16, 15)).toImage();
    const QImage drawn = Pictures::load(Pictures::menuPicture(bitmap)).toImage();
    QCOMPARE(shown.size(), QSize(16, 15));
    QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32), drawn.copy(0, 0, 16, 15).convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(qAlpha(shown.pixel(0, 0)), 0);
}

void TestIconMenu::missingPictureLeavesNone()
{
    QVERIFY(m_menu->ModifyODMenu(nullptr, ResId::kCmdSwitchPrinter, 999));
    QVERIFY(m_menu->action(ResId::kCmdSwitchPrinter)->icon().isNull());
    QCOMPARE(m_menu->bitmapOf(ResId::kCmdSwitchPrinter), -1);
    QVERIFY(!m_menu->ModifyODMenu(nullptr, 12345, 160));  // no such command
}

void TestIconMenu::menuBarEntriesArePlainText()
{
    const QList<QAction *> entries = m_menu->menuBar()->actions();
    QCOMPARE(entries.size(), 3);
    for (int i = 0; i < entries.size(); ++i) {
        QCOMPARE(entries[i]->text(), QString::fromUtf8(MenuTable::kPopups[static_cast<std::size_t>(i)].title));
        QVERIFY(entries[i]->icon().isNull());
        QCOMPARE(entries[i]->menu(), popup(i));
    }
}

void TestIconMenu::appendOnlyToOwnDropDowns()
{
    QSignalSpy commands(m_menu, &CIconMenu::command);
    QAction *added = m_menu->AppendODMenu(popup(kHelp), "追加(&Z)", 40000, 195);
    QVERIFY(added);
    QVERIFY(!added->icon().isNull());
    QCOMPARE(m_menu->bitmapOf(40000), 195);
    added->trigger();
    QCOMPARE(commands.size(), 1);
    QCOMPARE(commands.at(0).at(0).toInt(), 40000);
    QVERIFY(m_menu->AppendODMenu(popup(kHelp), nullptr, 0, -1)->isSeparator());

    QMenu stranger;
    QCOMPARE(m_menu->AppendODMenu(&stranger, "よそ", 40001, -1), nullptr);
    QVERIFY(stranger.actions().isEmpty());
}

void TestIconMenu::everyItemEnabledAndCaptionKept()
{
    // The column padding only adds spaces before the tab.
    for (const MenuTable::Popup &table : MenuTable::kPopups) {
        for (int i = 0; i < table.count; ++i) {
            const MenuTable::Item &item = table.items[i];
            if (item.id == 0)
                continue;
            QVERIFY(m_menu->action(item.id)->isEnabled());
            QString text = m_menu->GetMenuText(item.id);
            const qsizetype tab = text.indexOf(u'\t');
            if (tab >= 0)
                text = text.left(tab).trimmed() + text.mid(tab);
            QCOMPARE(text, QString::fromUtf8(item.text));
        }
    }
}

QImage TestIconMenu::openAndGrab(QMenu *menu)
{
    menu->popup(m_window->mapToGlobal(QPoint(10, 30)));
    if (!QTest::qWaitForWindowExposed(menu))
        return {};
    return menu->grab().toImage();
}

QRect TestIconMenu::pictureArea(QMenu *menu, int commandId) const
{
    const QRect box = MenuItemPainter::pictureBox(menu->actionGeometry(m_menu->action(commandId)));
    return box.adjusted(2, 2, -2, -2);
}

QRect TestIconMenu::captionArea(QMenu *menu, int commandId) const
{
    const QRect item = menu->actionGeometry(m_menu->action(commandId));
    return item.adjusted(MenuItemPainter::kImageWidth + 9, 1, -1, -1);
}

void TestIconMenu::mnemonicRunsItemAtOnce_data()
{
    QTest::addColumn<int>("menu");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");  // 0: nothing runs and the menu stays open

    QTest::newRow("w in ファイル sends") << kFile << int(Qt::Key_W) << ResId::kCmdSendSettings;
    QTest::newRow("o in ファイル loads") << kFile << int(Qt::Key_O) << ResId::kCmdLoadSettings;
    QTest::newRow("x in ファイル exits") << kFile << int(Qt::Key_X) << ResId::kCmdExit;
    QTest::newRow("k in メニュー") << kMenu << int(Qt::Key_K) << ResId::kCmdShowFineTab;
    QTest::newRow("h in メニュー checks the head") << kMenu << int(Qt::Key_H) << ResId::kCmdHeadCheck;
    QTest::newRow("a in ヘルプ") << kHelp << int(Qt::Key_A) << ResId::kCmdAbout;
    QTest::newRow("q matches nothing") << kFile << int(Qt::Key_Q) << 0;
    QTest::newRow("h in ファイル matches nothing") << kFile << int(Qt::Key_H) << 0;
    QTest::newRow("m in ファイル matches nothing") << kFile << int(Qt::Key_M) << 0;
}

void TestIconMenu::mnemonicRunsItemAtOnce()
{
    QFETCH(int, menu);
    QFETCH(int, key);
    QFETCH(int, expected);

    QSignalSpy commands(m_menu, &CIconMenu::command);
    QMenu *open = popup(menu);
    QVERIFY(!openAndGrab(open).isNull());
    QTest::keyClick(open, static_cast<Qt::Key>(key));

    if (expected == 0) {
        QCOMPARE(commands.size(), 0);
        QVERIFY(open->isVisible());
        QVERIFY(!popup(kHelp)->isVisible());  // no jump to another drop-down either
    } else {
        QCOMPARE(commands.size(), 1);
        QCOMPARE(commands.at(0).at(0).toInt(), expected);
        QTRY_VERIFY(!open->isVisible());
    }
}

void TestIconMenu::mnemonicOfDisabledItemDoesNothing()
{
    m_menu->action(ResId::kCmdSwitchPrinter)->setEnabled(false);
    QSignalSpy commands(m_menu, &CIconMenu::command);
    QMenu *file = popup(kFile);
    QVERIFY(!openAndGrab(file).isNull());
    QTest::keyClick(file, Qt::Key_C);
    QCOMPARE(commands.size(), 0);
    QVERIFY(file->isVisible());
}

void TestIconMenu::findKeyboardShortcutOnlyAnswersOwnMenus()
{
    QCOMPARE(m_menu->FindKeyboardShortcut(QStringLiteral("W"), popup(kFile)),
             m_menu->action(ResId::kCmdSendSettings));
    QCOMPARE(m_menu->FindKeyboardShortcut(QStringLiteral("t"), popup(kFile)), nullptr);
    QMenu stranger;
    stranger.addAction(QStringLiteral("&Wait"));
    QCOMPARE(m_menu->FindKeyboardShortcut(QStringLiteral("w"), &stranger), nullptr);
}

void TestIconMenu::acceleratorTextsShareOneColumn()
{
    for (const int index : {kFile, kMenu}) {
        QMenu *menu = popup(index);
        const QImage image = openAndGrab(menu);
        QVERIFY(!image.isNull());
        const MenuTable::Popup &table = MenuTable::kPopups[static_cast<std::size_t>(index)];
        int column = -1;
        for (int i = 0; i < table.count; ++i) {
            if (table.items[i].id == 0)
                continue;
            const QRect caption = captionArea(menu, table.items[i].id);
            const CaptionInk ink = captionInk(image, caption);
            QVERIFY2(ink.label.found() && ink.accelerator.found(), table.items[i].text);
            // Right-aligned: every accelerator text ends at the same place (glyph edges aside).
            if (column < 0)
                column = ink.accelerator.right;
            QVERIFY2(qAbs(ink.accelerator.right - column) <= 2, table.items[i].text);
            // And it stands clear of the label.
            QVERIFY2(ink.accelerator.left - ink.label.right >= 8, table.items[i].text);
        }
        menu->hide();
    }
}

void TestIconMenu::disabledPictureIsEmbossed()
{
    QMenu *file = popup(kFile);
    const QImage enabledMenu = openAndGrab(file);
    const QRect area = pictureArea(file, ResId::kCmdSwitchPrinter);
    const QImage enabled = enabledMenu.copy(area);
    file->hide();
    m_menu->action(ResId::kCmdSwitchPrinter)->setEnabled(false);
    const QImage disabledMenu = openAndGrab(file);
    const QImage disabled = disabledMenu.copy(area);

    QVERIFY(enabled != disabled);
    // Only the three colours of the relief remain: no green tick, no picture colours.
    const MenuColours::Colours colours = MenuColours::of(file->palette());
    const QList<QRgb> relief{colours.pictureFace.rgb(), colours.pictureHighlight.rgb(), colours.pictureShadow.rgb()};
    int shadowPixels = 0;
    for (int y = 0; y < disabled.height(); ++y) {
        for (int x = 0; x < disabled.width(); ++x) {
            const QRgb pixel = disabled.pixel(x, y) | 0xff000000u;
            QVERIFY2(relief.contains(pixel), qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            shadowPixels += pixel == relief[2];
        }
    }
    QVERIFY(shadowPixels > 20);
}

void TestIconMenu::hoveredDisabledCaptionTakesMenuColour()
{
    QMenu *file = popup(kFile);
    QAction *printer = m_menu->action(ResId::kCmdSwitchPrinter);
    printer->setEnabled(false);
    QVERIFY(!openAndGrab(file).isNull());
    const QRect caption = captionArea(file, ResId::kCmdSwitchPrinter);

    // Unselected, the embossed caption is drawn in grey text: some ink is there.
    const int greyText = qGray(file->palette().color(QPalette::Dark).rgb());
    QVERIFY(darkInk(file->grab().toImage(), caption, greyText + 20).found());

    file->setActiveAction(printer);
    QCOMPARE(file->activeAction(), printer);  // a disabled item can be hovered
    const QImage hovered = file->grab().toImage();
    const QColor bar = file->palette().color(QPalette::Highlight);
    const QColor menuColour = file->palette().color(QPalette::Window);
    QCOMPARE(hovered.pixelColor(caption.right() - 2, caption.top() + 1).rgb(), bar.rgb());
    // The caption is in the menu colour: nothing darker than the highlight bar in it.
    QVERIFY(!darkInk(hovered, caption, qGray(bar.rgb()) - 10).found());
    bool menuColoured = false;
    for (int x = caption.left(); x < caption.right() && !menuColoured; ++x) {
        for (int y = caption.top(); y < caption.bottom() && !menuColoured; ++y)
            menuColoured = hovered.pixel(x, y) == menuColour.rgb();
    }
    QVERIFY(menuColoured);
}

QTEST_MAIN(TestIconMenu)
#include "tst_icon_menu.moc"

void TestIconMenu::readableUnderEveryPalette_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("selected");

    const std::array<std::pair<const char *, QPalette>, 3> palettes{{
        {"light", QApplication::style()->standardPalette()},
        {"dark", darkPalette(QColor(53, 53, 53), QColor(42, 130, 218), Qt::white)},
        {"dark, light bar", darkPalette(QColor(43, 43, 43), QColor(61, 174, 233), QColor(252, 252, 252))},
    }};
    for (const auto &[name, palette] : palettes) {
        for (const bool enabled : {true, false}) {
            for (const bool selected : {false, true}) {
                const QString row = QStringLiteral("%1, %2%3").arg(QLatin1String(name), enabled ? "enabled" : "disabled",
                                                                   selected ? ", selected" : "");
                QTest::newRow(qPrintable(row)) << palette << enabled << selected;
            }
        }
    }
}

// Captions keep 4.5:1 against what they are drawn on (3:1 disabled); a picture's outline keeps
// 3:1 on average against the face around it.
void TestIconMenu::readableUnderEveryPalette()
{
    QFETCH(QPalette, palette);
    QFETCH(bool, enabled);
    QFETCH(bool, selected);
    QApplication::setPalette(palette);
    QAction *item = m_menu->action(ResId::kCmdSwitchPrinter);
    item->setEnabled(enabled);
    QMenu *file = popup(kFile);
    QVERIFY(!openAndGrab(file).isNull());
    if (selected)
        file->setActiveAction(item);
    const QImage image = file->grab().toImage().convertToFormat(QImage::Format_RGB32);

    const QRect caption = captionArea(file, ResId::kCmdSwitchPrinter);
    const double text = strongestContrast(image, caption, mostCommonColour(image, caption));
    const double textMinimum = enabled ? 4.5 : 3.0;
    QVERIFY2(text >= textMinimum, qPrintable(QStringLiteral("caption %1:1").arg(text, 0, 'f', 2)));

    const QRect picture = pictureArea(file, ResId::kCmdSwitchPrinter);
    const QRgb face = image.pixel(picture.topLeft() - QPoint(1, 1));
    const QImage drawn = item->icon().pixmap(QSize(MenuItemPainter::kImageWidth, MenuItemPainter::kImageHeight)).toImage();
    const double outline = outlineContrast(image, picture.topLeft(), drawn, face);
    QVERIFY2(outline >= 3.0, qPrintable(QStringLiteral("picture %1:1").arg(outline, 0, 'f', 2)));
}
