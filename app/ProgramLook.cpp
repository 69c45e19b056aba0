#include "app/ProgramLook.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace ProgramLook {

void apply()
{
    // The dialogs are laid out for "ＭＳ Ｐゴシック" 9 pt; where it is missing, one Japanese
    // Gothic face draws every glyph (no mixing, no Chinese glyph shapes).
    const QStringList gothic{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                             QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic")};
    QFont::insertSubstitutions(QStringLiteral("MS PGothic"), gothic);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), gothic);
    QFont font(QStringLiteral("MS PGothic"), 9);
    QApplication::setFont(font);
    // Without any face for Japanese every text of the window is an empty box; say why, where
    // whoever started the program can read it.
    if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
        std::fputs("sbq740: no font for Japanese text is installed, so the window's texts show as empty boxes; "
                   "install the IPA Gothic font (the Debian package fonts-ipafont-gothic)\n",
                   stderr);

    // Qt's own standard buttons and dialogs in Japanese.
    auto *translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

}  // namespace ProgramLook
