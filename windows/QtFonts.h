#pragma once
// The window fonts: the platform's Japanese interface font at 12 pixels, and its fixed-pitch
// companion for the one-character and format fields. The families are looked up at run time
// in order of preference; the system's own fonts stand in when none is installed.

#include <QFont>
#include <QStringList>

namespace tabrook {

// The preferred families, first found wins.
QStringList UiFontFamilies();
QStringList FixedFontFamilies();

QFont UiFont();
QFont FixedFont();

}  // namespace tabrook
