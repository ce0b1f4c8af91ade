// The fonts the fixed layouts of the windows and pictures were made for, and
// the fonts of the same metrics that stand in for them where they are missing
// (Debian's Liberation fonts, package fonts-liberation):
//   "Times New Roman" -> "Liberation Serif"   "Arial"         -> "Liberation Sans"
//   "Courier New"     -> "Liberation Mono"    "MS Sans Serif" -> "Liberation Sans"
// Without them the system's own stand-in (often DejaVu, wider) would push
// labels off their fields and crowd the captions.
#pragma once

#include <QFont>
#include <QString>

// The stand-in of one of the four families (the family itself for others).
QString FontStandIn(const QString& family);

// `family` at a size in pixels, with its stand-in as the next choice.
QFont LayoutFont(const QString& family, int pixelSize, bool bold = false);
