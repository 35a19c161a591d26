#pragma once
// Qt's own texts in German. The module's texts are German by design, but Qt's standard dialogs and
// menus (the system print dialog of the chart, the file and folder choices, the context menus of
// text fields) speak the language of the system locale, which on a server or a fresh machine is
// English. Every program with windows calls InstallQtGermanTexts once, right after it creates its
// QApplication and before its first window, so that they read "Drucken", "Abbrechen", "Kopieren"
// whatever the locale says.
//
// The function loads Qt's German catalogue (qtbase_de.qm from Debian's qt6-translations-l10n, in
// QLibraryInfo::path(QLibraryInfo::TranslationsPath)), installs it as a translator of the
// application and makes German Qt's default locale, so that the dates in Qt's dialogs read
// "10.12.2026" rather than "10 Dec 2026". The module's own numbers and dates never go through QLocale:
// the host's fixed formats (base/CountryFormats) stay as the start-up set them.
//
// Fails soft: without an application, or when the catalogue is missing or unreadable, it returns
// false and Qt's dialogs stay in their built-in English; nothing else is affected. A second call
// installs nothing more.
namespace gs {

bool InstallQtGermanTexts();

} // namespace gs
