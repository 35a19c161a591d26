#pragma once
// The fonts the host's windows are designed with ("MS Sans Serif", "Tahoma", "Arial"), each with
// close equivalents behind it for machines that lack it (DejaVu Sans is always installed).
#include <QFont>

namespace gs {

// The named font in points (sizes as designed at 96 dpi), bold when asked; the family list puts the
// named font first and its equivalents after it.
QFont HostFont(const QString& family, int pointSize, bool bold = false);

} // namespace gs
