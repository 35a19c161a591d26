#include "display/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace gs {

namespace {
const char* const kTranslatorName = "gs-qtbase-de";
} // namespace

bool InstallQtGermanTexts()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr)
        return false;
    // Dates and numbers inside Qt's own dialogs (the file dialog's "Änderungsdatum" column, the
    // calendar) in German as well; the module's own number and date texts never go through QLocale.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    if (app->findChild<QTranslator*>(QLatin1String(kTranslatorName), Qt::FindDirectChildrenOnly))
        return true;
    // Owned by the application, so it lives as long as the windows that use it.
    auto* translator = new QTranslator(app);
    translator->setObjectName(QLatin1String(kTranslatorName));
    if (!translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace gs
