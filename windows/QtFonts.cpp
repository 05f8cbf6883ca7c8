#include "windows/QtFonts.h"

#include <QFontDatabase>

namespace tabrook {

namespace {

constexpr int kFontPixels = 12;

QFont Pick(const QStringList& families, QFontDatabase::SystemFont fallback, bool fixed) {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : families) {
        if (installed.contains(family, Qt::CaseInsensitive)) {
            QFont font(family);
            font.setPixelSize(kFontPixels);
            if (fixed) font.setStyleHint(QFont::TypeWriter);
            return font;
        }
    }
    QFont font = QFontDatabase::systemFont(fallback);
    font.setPixelSize(kFontPixels);
    return font;
}

}  // namespace

QStringList UiFontFamilies() {
    return {QStringLiteral("ＭＳ Ｐゴシック"),  QStringLiteral("MS PGothic"),   QStringLiteral("Meiryo UI"),
            QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"), QStringLiteral("IPAPGothic"),
            QStringLiteral("VL PGothic"),       QStringLiteral("Takao PGothic")};
}

QStringList FixedFontFamilies() {
    return {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("Noto Sans Mono CJK JP"),
            QStringLiteral("IPAGothic"),     QStringLiteral("VL Gothic"), QStringLiteral("Takao Gothic")};
}

QFont UiFont() {
    return Pick(UiFontFamilies(), QFontDatabase::GeneralFont, false);
}
QFont FixedFont() {
    return Pick(FixedFontFamilies(), QFontDatabase::FixedFont, true);
}

}  // namespace tabrook
