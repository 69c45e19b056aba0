#include "ProgramLook.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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

    // Qt's own standard buttons and dialogs in Japanese.
    auto *translator = new QTranslator(qApp);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

}  // namespace ProgramLook
