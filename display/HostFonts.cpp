#include "display/HostFonts.h"

#include <QStringList>

namespace gs {

QFont HostFont(const QString& family, int pointSize, bool bold)
{
    QStringList families{family};
    if (family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        families << QStringLiteral("Microsoft Sans Serif") << QStringLiteral("Tahoma");
    else if (family.compare(QLatin1String("Tahoma"), Qt::CaseInsensitive) == 0)
        families << QStringLiteral("Verdana");
    else if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        families << QStringLiteral("Liberation Sans") << QStringLiteral("Helvetica");
    families << QStringLiteral("DejaVu Sans");
    QFont font;
    font.setFamilies(families);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace gs
