// Qt's own dialogs in German: the system print dialog, the save-file and the folder choice, as the
// window layer's dialogs open them, and the context menu of a text field, whatever the locale; the
// locale itself (and with it every number format) stays as it was.
#include "app/Runtime.h"
#include "base/FormatFloat.h"
#include "display/QtTranslations.h"
#include "display/WidgetDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace gs;

namespace {

// The texts of a widget's visible buttons and menu actions, without their "&" marks.
QStringList ButtonTexts(const QWidget& w)
{
    QStringList texts;
    for (const QAbstractButton* b : w.findChildren<QAbstractButton*>())
        if (b->isVisible() && !b->text().isEmpty())
            texts << QString(b->text()).remove(u'&');
    return texts;
}

// Opens a modal dialog through open(); as soon as its event loop runs, reads the buttons of the
// dialog on top and rejects it (a dialog left open is rejected after two seconds, so a failing test
// cannot hang).
QStringList TextsOfModalDialog(const std::function<void()>& open)
{
    QStringList texts;
    QString className;
    QTimer::singleShot(0, [&] {
        QPointer<QWidget> dialog = QApplication::activeModalWidget();
        QTimer::singleShot(2000, [dialog] {
            if (dialog)
                dialog->close();
        });
        if (auto* d = qobject_cast<QDialog*>(dialog.data())) {
            className = QString::fromLatin1(d->metaObject()->className());
            texts = ButtonTexts(*d);
            d->reject();
        }
    });
    open();
    if (texts.isEmpty())
        qWarning("no modal dialog opened");
    else
        qInfo("%s: %s", qPrintable(className), qPrintable(texts.join(QStringLiteral(", "))));
    return texts;
}

} // namespace

class QtGermanTextsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<Runtime> runtime_;
    WidgetDialogs dialogs_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        runtime_ = std::make_unique<Runtime>(std::filesystem::path(dir_.filePath("gewinnstatistik").toStdString()));
        // An English system locale, as on a fresh machine; the texts must not depend on it.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY(InstallQtGermanTexts());
        QVERIFY(InstallQtGermanTexts()); // a second call is harmless
        QCOMPARE(QApplication::instance()->findChildren<QTranslator*>().size(), 1);
    }

    void qtsLocaleIsGermanWhileTheModulesNumberFormatsStay()
    {
        // Qt's dialogs write dates the German way ...
        QCOMPARE(QLocale().language(), QLocale::German);
        QCOMPARE(QLocale().toString(QDate(2026, 12, 10), QLocale::ShortFormat), QStringLiteral("10.12.26"));
        // ... while the module's amounts keep the formats fixed at start (here franc mode).
        runtime_->formats.decimalSeparator = '.';
        runtime_->formats.thousandSeparator = '\'';
        QCOMPARE(QString::fromStdString(FormatFloat(",0.00", 1234.5)), QStringLiteral("1'234.50"));
    }

    void thePrintDialogIsGerman()
    {
        QPrinter printer;
        bool confirmed = true;
        const QStringList texts = TextsOfModalDialog([&] { confirmed = dialogs_.choosePrinter(printer, nullptr); });
        QVERIFY2(texts.contains(QStringLiteral("Drucken")), qPrintable(texts.join(u'|')));
        QVERIFY2(texts.contains(QStringLiteral("Abbrechen")), qPrintable(texts.join(u'|')));
        QVERIFY(!texts.contains(QStringLiteral("Print")) && !texts.contains(QStringLiteral("Cancel")));
        QVERIFY(!confirmed);
    }

    void theSaveFileDialogIsGerman()
    {
        std::optional<std::string> chosen = "x";
        const QStringList texts = TextsOfModalDialog([&] {
            chosen = dialogs_.chooseSaveFile({"Exportieren", "CSV Dateien|*.csv", "csv", dir_.path().toStdString()});
        });
        QVERIFY2(texts.contains(QStringLiteral("Speichern")), qPrintable(texts.join(u'|')));
        QVERIFY2(texts.contains(QStringLiteral("Abbrechen")), qPrintable(texts.join(u'|')));
        QVERIFY(!chosen);
    }

    void theFolderChoiceIsGerman()
    {
        std::optional<std::string> chosen = "x";
        const QStringList texts =
            TextsOfModalDialog([&] { chosen = dialogs_.chooseFolder("PDF Verzeichnis", dir_.path().toStdString()); });
        QVERIFY2(texts.contains(QStringLiteral("Abbrechen")), qPrintable(texts.join(u'|')));
        QVERIFY(!texts.contains(QStringLiteral("Cancel")));
        QVERIFY(!chosen);
    }

    void theContextMenuOfATextFieldIsGerman()
    {
        QLineEdit field(QStringLiteral("Text"));
        std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        QStringList texts;
        for (const QAction* a : menu->actions())
            texts << QString(a->text()).remove(u'&').section(u'\t', 0, 0);
        QVERIFY2(texts.contains(QStringLiteral("Kopieren")), qPrintable(texts.join(u'|')));
        QVERIFY2(texts.contains(QStringLiteral("Alles auswählen")), qPrintable(texts.join(u'|')));
    }
};

QTEST_MAIN(QtGermanTextsTest)
#include "QtGermanTextsTest.moc"
