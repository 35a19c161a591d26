// The message box TFSB_BOX, its markup, the dialog seam behind it, and the wait cursors.
#include "app/Runtime.h"
#include "display/DisplayComponents.h"
#include "display/MessageBox.h"
#include "display/MessageMarkup.h"
#include "display/WaitCursor.h"
#include "display/WidgetDialogs.h"
#include "appearance/widgets/ColorWrapper.h"

#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace gs;

namespace {

// Runs f on the modal box as soon as its event loop runs; a box f leaves open is cancelled after
// two seconds so that a failing test cannot hang.
void WhenBoxOpens(std::function<void(TFSB_BOX*)> f)
{
    QTimer::singleShot(0, [f] {
        auto* box = qobject_cast<TFSB_BOX*>(QApplication::activeModalWidget());
        QVERIFY2(box, "no modal message box is open");
        QPointer<TFSB_BOX> guard(box);
        QTimer::singleShot(2000, [guard] {
            if (guard && guard->isVisible())
                guard->done(TFSB_BOX::ResultCancel);
        });
        f(box);
    });
}

TFlatButton* Button(const TFSB_BOX& box, const char* name)
{
    return box.findChild<TFlatButton*>(QString::fromLatin1(name));
}

} // namespace

class MessageBoxTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<Runtime> runtime_;

    bool showAndActivate(TFSB_BOX& box)
    {
        box.show();
        return QTest::qWaitForWindowActive(&box);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        runtime_ = std::make_unique<Runtime>(std::filesystem::path(dir_.filePath("gewinnstatistik").toStdString()));
        RegisterColorWrapper();
    }

    void cleanup()
    {
        QFile::remove(dir_.filePath("gewinnstatistik.SKM"));
        EndWait();
    }

    // --- markup -------------------------------------------------------------------------------

    void markupToRichText_data()
    {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("html");
        QTest::newRow("error prefix") << QString::fromUtf8(PossibleErrorPrefix) + "Datei fehlt"
                                      << QString::fromUtf8("<b>Möglicher Fehler:</b><br/>Datei fehlt");
        QTest::newRow("italic underline strike, any case")
            << "<i>a</I><U>b</u><s>c</S>" << "<i>a</i><u>b</u><s>c</s>";
        QTest::newRow("line and rule") << "a<BR>b<br/>c<HR>d" << "a<br/>b<br/>c<hr/>d";
        QTest::newRow("system font size") << "<FONT size=\"10\">x</FONT>" << "<span style=\"font-size:10pt\">x</span>";
        QTest::newRow("size 1 to 5 are steps")
            << "<font size=\"1\">a</font><font size=\"5\">b</font>"
            << "<span style=\"font-size:8pt\">a</span><span style=\"font-size:16pt\">b</span>";
        QTest::newRow("all font attributes")
            << "<FONT FACE=\"Arial\" COLOR=\"clred\" BGCOLOR=\"#00FF80\" SIZE=\"3\">x</FONT>"
            << "<span style=\"font-family:'Arial';color:#ff0000;background-color:#00ff80;font-size:12pt\">x</span>";
        QTest::newRow("invalid font attributes are dropped")
            << "<FONT COLOR=\"red\" BGCOLOR=\"#12345\" SIZE=\"0\" ONCLICK=\"x\">x</FONT>" << "<span>x</span>";
        QTest::newRow("font name cannot leave its style")
            << "<FONT FACE=\"a';color:red\">x</FONT>" << "<span style=\"font-family:'acolor:red'\">x</span>";
        QTest::newRow("link") << "<A href=\"http://x.de/?a=1&b=2\">Seite</A>"
                              << "<a href=\"http://x.de/?a=1&amp;b=2\">Seite</a>";
        QTest::newRow("sub and sup") << "H<SUB>2</SUB>O m<sup>2</sup>" << "H<sub>2</sub>O m<sup>2</sup>";
        QTest::newRow("entities")
            << "&amp;&quot;&lt;&gt;&nbsp;&sect;&para;&copy;&reg;&trade;&euro;&permil;"
            << QString::fromUtf8("&amp;&quot;&lt;&gt;&nbsp;§¶©®™€‰");
        QTest::newRow("user data is escaped")
            << "Datei C:\\a<script>&x\"y.txt" << "Datei C:\\a&lt;script&gt;&amp;x&quot;y.txt";
        QTest::newRow("unknown tags are text") << "<img src=x><P>" << "&lt;img src=x&gt;&lt;P&gt;";
        QTest::newRow("lone brackets") << "a < b > c <B" << "a &lt; b &gt; c &lt;B";
        QTest::newRow("open tags are closed") << "<B>fett<I>kursiv" << "<b>fett<i>kursiv</i></b>";
        QTest::newRow("stray closing tags vanish") << "</B>x</FONT>" << "x";
        QTest::newRow("overlapping tags nest") << "<B>a<I>b</B>c</I>" << "<b>a<i>b</i></b><i>c</i>";
        QTest::newRow("plain text") << QString::fromUtf8("Größe 5") << QString::fromUtf8("Größe 5");
    }

    void markupToRichText()
    {
        QFETCH(QString, markup);
        QTEST(MessageMarkupToRichText(markup), "html");
    }

    void lineBreakCodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expanded");
        QTest::newRow("one") << "Zeile 1#13#10Zeile 2" << "Zeile 1<BR>Zeile 2";
        QTest::newRow("two in a row") << "a#13#10#13#10b" << "a<BR><BR>b";
        QTest::newRow("half a code stays") << "a#13b#10" << "a#13b#10";
    }

    void lineBreakCodes()
    {
        QFETCH(QString, text);
        QTEST(ExpandLineBreakCodes(text), "expanded");
    }

    void linkTargets_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("url"); // empty: opens nothing
        QTest::newRow("web") << "http://www.example.org/a" << "http://www.example.org/a";
        QTest::newRow("mail") << "mailto:info@example.org" << "mailto:info@example.org";
        QTest::newRow("file url without file://") << "FILE:///tmp/beleg.pdf" << "file:///tmp/beleg.pdf";
        QTest::newRow("plain name") << "beleg.pdf" << "";
        QTest::newRow("script") << "javascript:alert(1)" << "";
    }

    void linkTargets()
    {
        QFETCH(QString, target);
        QFETCH(QString, url);
        const auto resolved = MessageLinkUrl(target);
        QCOMPARE(resolved.has_value(), !url.isEmpty());
        if (resolved)
            QCOMPARE(resolved->toString(), url);
    }

    // --- the box ------------------------------------------------------------------------------

    void messageShowsMarkupAndLineBreaks()
    {
        TFSB_BOX box;
        box.prepareMessage(QString::fromUtf8(PossibleErrorPrefix) + "Zeile 1#13#10Zeile 2");
        QCOMPARE(box.messageLabel()->text(), QString::fromUtf8("<b>Möglicher Fehler:</b><br/>Zeile 1<br/>Zeile 2"));
        QCOMPARE(box.windowTitle(), QString::fromUtf8("Gewinn-Statistik"));
        box.prepareMessage("x", {}, "Eigener Titel");
        QCOMPARE(box.windowTitle(), QString("Eigener Titel"));
    }

    void layoutFollowsTheText()
    {
        TFSB_BOX box;
        box.prepareMessage("Kurz");
        QCOMPARE(box.width(), TFSB_BOX::ClientWidth);
        const int shortHeight = box.height();
        QCOMPARE(box.buttonPanel()->objectName(), QString("Pmsg"));
        QCOMPARE(box.buttonPanel()->y() + box.buttonPanel()->height(), shortHeight);

        box.prepareQuestion("Kurz<BR>zweite Zeile<BR>dritte Zeile");
        QVERIFY(box.height() > shortHeight);
        QCOMPARE(box.buttonPanel()->objectName(), QString("Pquestion"));

        InputRequest request;
        request.prompt = "Kurz";
        box.prepareInput(request);
        QCOMPARE(box.height(), shortHeight + 33); // the input row
    }

    void longMessageStopsAtSeventyPercentOfTheScreen()
    {
        TFSB_BOX box;
        QString text;
        for (int i = 0; i < 400; ++i)
            text += QStringLiteral("Zeile %1<BR>").arg(i);
        box.prepareMessage(text);
        const int screenHeight = box.screen()->geometry().height();
        QCOMPARE(box.maximumClientHeight(), qRound(screenHeight * 0.7));
        QCOMPARE(box.height(), box.maximumClientHeight());
        // The buttons stay inside the box; the text scrolls.
        QCOMPARE(box.buttonPanel()->y() + box.buttonPanel()->height(), box.height());
        QVERIFY(showAndActivate(box));
        QVERIFY(box.height() <= box.maximumClientHeight());
        QVERIFY(Button(box, "FB_BREAK2")->isVisible());
    }

    void helpUnfoldsAndGrowsTheBox()
    {
        TFSB_BOX box;
        box.prepareMessage("Text");
        QVERIFY(Button(box, "FBhelpS")->isHidden());

        box.prepareMessage("Text", "Die <B>Hilfe</B>#13#10zweite Zeile");
        QVERIFY(!Button(box, "FBhelpS")->isHidden());
        const int before = box.height();
        QVERIFY(showAndActivate(box));
        QTest::mouseClick(Button(box, "FBhelpS"), Qt::LeftButton);
        QVERIFY(box.isHelpShown());
        QCOMPARE(box.helpLabel()->text(), QString("Die <b>Hilfe</b><br/>zweite Zeile"));
        QVERIFY(box.height() > before);
        QVERIFY(!Button(box, "FBhelpS")->isEnabled());
        QVERIFY(box.isVisible()); // "Hilfe" does not close the box
    }

    void messageKeys()
    {
        TFSB_BOX box;
        box.prepareMessage("Text", "Hilfe");
        QVERIFY(showAndActivate(box));
        QCOMPARE(box.focusWidget(), Button(box, "FB_BREAK2"));
        QTest::keyClick(box.focusWidget(), Qt::Key_F1);
        QTest::keyClick(box.focusWidget(), Qt::Key_X, Qt::ShiftModifier);
        QTest::keyClick(box.focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(box.isVisible());
        QCOMPARE(box.resultCode(), 0);
        QTest::keyClick(box.focusWidget(), Qt::Key_X);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.resultCode(), int(TFSB_BOX::ResultCancel));
    }

    void yesNoKeys()
    {
        {
            TFSB_BOX box;
            box.prepareQuestion("Löschen?");
            QVERIFY(showAndActivate(box));
            QCOMPARE(box.focusWidget(), Button(box, "FB_OK"));
            QTest::keyClick(box.focusWidget(), Qt::Key_Right);
            QCOMPARE(box.focusWidget(), Button(box, "FB_BREAK1"));
            QTest::keyClick(box.focusWidget(), Qt::Key_Left);
            QCOMPARE(box.focusWidget(), Button(box, "FB_OK"));
            QTest::keyClick(box.focusWidget(), Qt::Key_Left);
            QCOMPARE(box.focusWidget(), Button(box, "FB_BREAK1"));
            QTest::keyClick(box.focusWidget(), Qt::Key_Return);
            QVERIFY(!box.isVisible());
            QVERIFY(!box.answeredYes());
        }
        {
            TFSB_BOX box;
            box.prepareQuestion("Löschen?");
            QVERIFY(showAndActivate(box));
            QTest::keyClick(box.focusWidget(), Qt::Key_Escape);
            QVERIFY(!box.isVisible());
            QCOMPARE(box.resultCode(), int(TFSB_BOX::ResultCancel));
        }
        {
            TFSB_BOX box;
            box.prepareQuestion("Löschen?");
            QVERIFY(showAndActivate(box));
            QTest::keyClick(box.focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
            QVERIFY(box.answeredYes());
        }
        {
            TFSB_BOX box;
            box.prepareQuestion("Löschen?");
            QVERIFY(showAndActivate(box));
            QTest::mouseClick(Button(box, "FB_OK"), Qt::LeftButton);
            QCOMPARE(box.resultCode(), int(TFSB_BOX::ResultOk));
        }
    }

    void inputPickFromList()
    {
        InputRequest request;
        request.prompt = "Layout wählen";
        request.items = {"Standard", "Kurz", "Lang"};
        request.defaultText = "kurz";
        request.pickFromList = true;
        {
            TFSB_BOX box;
            box.prepareInput(request);
            QVERIFY(showAndActivate(box));
            QCOMPARE(box.inputBox()->currentIndex(), 1); // preselected without regard to case
            QCOMPARE(box.focusWidget(), static_cast<QWidget*>(box.inputBox()));
            QVERIFY(!box.inputBox()->isEditable());
            QTest::keyClick(box.focusWidget(), Qt::Key_Escape);
            QCOMPARE(box.resultCode(), int(TFSB_BOX::ResultCancel));
            QCOMPARE(box.inputResult(), QString("-1"));
        }
        {
            TFSB_BOX box;
            box.prepareInput(request);
            QVERIFY(showAndActivate(box));
            box.inputBox()->setCurrentIndex(2);
            QTest::keyClick(box.focusWidget(), Qt::Key_Return);
            QCOMPARE(box.inputResult(), QString("2"));
        }
    }

    void inputFreeText()
    {
        InputRequest request;
        request.prompt = "Name";
        request.defaultText = "  Entwurf  ";
        request.items = {"Vorschlag"};
        {
            TFSB_BOX box;
            box.prepareInput(request);
            QVERIFY(box.inputBox()->isEditable());
            QCOMPARE(box.inputBox()->currentText(), QString("  Entwurf  "));
            QVERIFY(showAndActivate(box));
            QTest::keyClick(box.focusWidget(), Qt::Key_Return);
            QCOMPARE(box.resultCode(), int(TFSB_BOX::ResultOk));
            QCOMPARE(box.inputResult(), QString("Entwurf"));
        }
        {
            TFSB_BOX box;
            box.prepareInput(request);
            QVERIFY(showAndActivate(box));
            QTest::mouseClick(Button(box, "FB_ICANCEL"), Qt::LeftButton);
            QCOMPARE(box.inputResult(), QString());
        }
        {
            TFSB_BOX box;
            box.prepareInput(request);
            QVERIFY(showAndActivate(box));
            Button(box, "FB_IOK")->setFocus();
            QTest::keyClick(box.focusWidget(), Qt::Key_Left);
            QCOMPARE(box.focusWidget(), Button(box, "FB_ICANCEL"));
            QTest::keyClick(box.focusWidget(), Qt::Key_Return);
            QCOMPARE(box.resultCode(), int(TFSB_BOX::ResultCancel));
        }
    }

    void inputWithoutCancel()
    {
        InputRequest request;
        request.prompt = "Pflichtangabe";
        request.defaultText = "Wert";
        request.noCancel = true;
        TFSB_BOX box;
        box.prepareInput(request);
        QVERIFY(Button(box, "FB_ICANCEL")->isHidden());
        QVERIFY(showAndActivate(box));
        QTest::keyClick(box.focusWidget(), Qt::Key_Escape);
        QCOMPARE(box.resultCode(), int(TFSB_BOX::ResultOk));
        QCOMPARE(box.inputResult(), QString("Wert"));
    }

    void boxTakesTheSkin()
    {
        QFile skin(dir_.filePath("gewinnstatistik.SKM"));
        QVERIFY(skin.open(QIODevice::WriteOnly));
        skin.write("TFlatButton_Color=clRed\r\nFSB_BOX.FB_OK|Color=clLime\r\nTPanel_Color=clAqua\r\n");
        skin.close();
        TFSB_BOX box;
        QCOMPARE(Button(box, "FB_BREAK1")->color(), quint32(clRed));
        QCOMPARE(Button(box, "FB_OK")->color(), quint32(clLime));
        QCOMPARE(box.findChild<TPanel*>("Pquestion")->color(), quint32(clBtnFace)); // panels stay button face
        QCOMPARE(box.property("HelpContext").toInt(), 1);
    }

    // --- the seam -----------------------------------------------------------------------------

    void widgetDialogsRunTheBoxModally()
    {
        WidgetDialogs dialogs;
        WhenBoxOpens([](TFSB_BOX* box) { QTest::mouseClick(Button(*box, "FB_OK"), Qt::LeftButton); });
        QVERIFY(dialogs.askYesNo("Wirklich?", "", ""));

        WhenBoxOpens([](TFSB_BOX* box) { QTest::keyClick(box->focusWidget(), Qt::Key_Return); });
        InputRequest request;
        request.defaultText = " 42 ";
        QCOMPARE(dialogs.askInput(request), std::string("42"));

        QString caption;
        WhenBoxOpens([&caption](TFSB_BOX* box) {
            caption = box->windowTitle();
            QTest::keyClick(box->focusWidget(), Qt::Key_Space);
        });
        dialogs.showMessage("Fertig", "", "");
        QCOMPARE(caption, QString("Gewinn-Statistik"));
    }

    // --- wait cursors -------------------------------------------------------------------------

    void waitCursorsDoNotNest()
    {
        QVERIFY(!QGuiApplication::overrideCursor());
        BeginWait();
        BeginWait();
        QCOMPARE(CurrentWait(), WaitKind::Wait);
        QVERIFY(QGuiApplication::overrideCursor());
        EndWait();
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(CurrentWait(), WaitKind::None);

        // A second Begin only changes the picture: one pop leaves no wait cursor behind.
        BeginWait();
        BeginPdfWait();
        QCOMPARE(CurrentWait(), WaitKind::Pdf);
        QGuiApplication::restoreOverrideCursor();
        QVERIFY(!QGuiApplication::overrideCursor());
        EndWait();
    }

    void threeDistinctAnimatedWaitCursors()
    {
        const auto wait = WaitCursorFrames(WaitKind::Wait);
        const auto print = WaitCursorFrames(WaitKind::Print);
        const auto pdf = WaitCursorFrames(WaitKind::Pdf);
        QVERIFY(wait.size() > 1 && print.size() > 1 && pdf.size() > 1);
        const QImage w = wait.first().pixmap().toImage();
        QVERIFY(w != print.first().pixmap().toImage());
        QVERIFY(w != pdf.first().pixmap().toImage());
        QVERIFY(print.first().pixmap().toImage() != pdf.first().pixmap().toImage());
        QVERIFY(w != wait.last().pixmap().toImage()); // the frames differ: the sand runs

        BeginPrintWait();
        QCOMPARE(QGuiApplication::overrideCursor()->pixmap().toImage(), print.first().pixmap().toImage());
        EndWait();
        QCOMPARE(HostCursor(crHand).shape(), Qt::PointingHandCursor);
        QCOMPARE(HostCursor(crPdfWait).pixmap().toImage(), pdf.first().pixmap().toImage());
    }
};

QTEST_MAIN(MessageBoxTest)
#include "MessageBoxTest.moc"
