#include "qt/QtFonts.h"

namespace {

struct StandIn {
    const char* family;
    const char* standIn;
    QFont::StyleHint hint;
};

const StandIn kStandIns[] = {
    {"Times New Roman", "Liberation Serif", QFont::Serif},
    {"Arial", "Liberation Sans", QFont::SansSerif},
    {"Courier New", "Liberation Mono", QFont::TypeWriter},
    {"MS Sans Serif", "Liberation Sans", QFont::SansSerif},
};

const StandIn* Find(const QString& family)
{
    for (const StandIn& s : kStandIns)
        if (family.compare(QLatin1String(s.family), Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

} // namespace

QString FontStandIn(const QString& family)
{
    const StandIn* s = Find(family);
    return s ? QString::fromLatin1(s->standIn) : family;
}

QFont LayoutFont(const QString& family, int pixelSize, bool bold)
{
    QFont f;
    const StandIn* s = Find(family);
    f.setFamilies(s ? QStringList{family, QString::fromLatin1(s->standIn)} : QStringList{family});
    if (s) f.setStyleHint(s->hint);
    if (s && s->hint == QFont::TypeWriter) f.setFixedPitch(true);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}
