// Help by context, hints in the status bar and in bubbles, the help file and its viewer, the
// about box.
#include "commun/session.h"
#include "help/About.h"
#include "help/aide.h"
#include "help/indications.h"
#include "help/visionneuse.h"
#include "measure/TStringGrid.h"
#include "measure/Unit3.h"
#include "measure/sessionMesure.h"

#include <QAbstractTextDocumentLayout>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>
#include <QToolTip>

namespace
{

void ecrire(const QString &chemin)
{
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<a name=\"ctx1\"></a>x");
}

// What Qt sends when the pointer enters a control and when it rests there.
void entrer(QWidget *w)
{
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &e);
}

void reposer(QWidget *w)
{
    QHelpEvent e(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w, &e);
}

QString bulle()
{
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

} // namespace

class TestAide : public QObject
{
    Q_OBJECT
    PlateformeScriptee plateformeTest;

    int derniereAide() const
    {
        return plateformeTest.aides.empty() ? 0 : plateformeTest.aides.back().second;
    }

private slots:
    void init() { debuterSession(plateformeTest); }
    void cleanup()
    {
        QToolTip::hideText();
        terminerSession();
    }

    void decoupageDesHints_data()
    {
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("court");
        QTest::addColumn<QString>("long_");
        QTest::newRow("deux parties") << "مساعدة|محتويات المساعدة"
                                      << "مساعدة"
                                      << "محتويات المساعدة";
        QTest::newRow("sans barre") << "مسح الجدول"
                                    << "مسح الجدول"
                                    << "مسح الجدول";
        QTest::newRow("court vide") << "|?!"
                                    << ""
                                    << "?!";
        QTest::newRow("deux barres") << "a|b|c"
                                     << "a"
                                     << "b|c";
        QTest::newRow("vide") << ""
                              << ""
                              << "";
    }
    void decoupageDesHints()
    {
        QFETCH(QString, hint);
        QFETCH(QString, court);
        QFETCH(QString, long_);
        QCOMPARE(partieCourte(hint), court);
        QCOMPARE(partieLongue(hint), long_);
    }

    // The start directory first, then the other folders, under either spelling.
    void rechercheDuFichier()
    {
        QTemporaryDir racine;
        const QString depart = racine.path() + "/depart", programme = racine.path() + "/prog",
                      donnees = racine.path() + "/donnees";
        for (const QString &d : {depart, programme, donnees})
            QVERIFY(QDir().mkpath(d));
        const QString demande = depart + "/kineMar2.hlp";
        const QStringList dossiers{depart, programme, donnees};
        QCOMPARE(chercherFichierAide(demande, dossiers), QString());
        ecrire(donnees + "/kineMar2.hlp");
        QCOMPARE(chercherFichierAide(demande, dossiers), donnees + "/kineMar2.hlp");
        ecrire(programme + "/kinemar2.hlp");
        QCOMPARE(chercherFichierAide(demande, dossiers), programme + "/kinemar2.hlp");
        ecrire(depart + "/kinemar2.hlp");
        QCOMPARE(chercherFichierAide(demande, dossiers), depart + "/kinemar2.hlp");
        ecrire(depart + "/kineMar2.hlp");
        QCOMPARE(chercherFichierAide(demande, dossiers), demande);
        // A folder of that name is not a file.
        QTemporaryDir autre;
        QVERIFY(QDir().mkpath(autre.path() + "/kineMar2.hlp"));
        QCOMPARE(chercherFichierAide(autre.path() + "/kineMar2.hlp", {autre.path()}), QString());
        QCOMPARE(dossiersAide(demande).mid(0, 2),
                 (QStringList{depart, QCoreApplication::applicationDirPath()}));
    }

    // Started from a folder without the help file, the program still finds it beside itself.
    void fichierTrouveDepuisUnAutreRepertoire()
    {
        terminerSession();
        QTemporaryDir ailleurs;
        const QString avant = QDir::currentPath();
        QVERIFY(QDir::setCurrent(ailleurs.path()));
        debuterSession(plateformeTest);
        Form1->Aide1Click();
        QDir::setCurrent(avant);
        QCOMPARE(plateformeTest.aides.size(), size_t(1));
        const QString demande = plateformeTest.aides[0].first;
        QCOMPARE(demande, QDir(ailleurs.path()).filePath("kineMar2.hlp"));

        TVisionneuseAide visionneuse;
        visionneuse.ouvrir(demande, 1);
        QCOMPARE(visionneuse.fichierAffiche(),
                 QCoreApplication::applicationDirPath() + "/kinemar2.hlp");
        QVERIFY(visionneuse.aSection(1));
        QVERIFY(visionneuse.layoutDirection() == Qt::RightToLeft);
    }

    // Each context number scrolls the viewer to a real section of its own.
    void chaqueContexteASaSection()
    {
        TVisionneuseAide v;
        v.resize(500, 380);
        v.ouvrir(KINEMAR_FICHIER_AIDE, 1);
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        QTextDocument *doc = v.texte->document();
        QScrollBar *defilement = v.texte->verticalScrollBar();
        QVERIFY(defilement->maximum() > 0);
        const QList<int> contextes{1, 200, 210, 220, 230, 240, 250, 300, 350};
        QList<int> positions;
        for (int c : contextes) {
            v.ouvrir(KINEMAR_FICHIER_AIDE, c);
            QVERIFY2(v.aSection(c), qPrintable(QString::number(c)));
            QVERIFY(v.lblNote->isHidden());
            QCoreApplication::processEvents();
            // The heading carrying the anchor is at the top, unless the end of the text is reached.
            QTextBlock titre;
            for (QTextBlock b = doc->begin(); b.isValid() && !titre.isValid(); b = b.next())
                for (auto it = b.begin(); !it.atEnd(); ++it)
                    if (it.fragment().charFormat().anchorNames().contains(
                            QStringLiteral("ctx%1").arg(c)))
                        titre = b;
            QVERIFY(titre.isValid());
            QVERIFY2(titre.text().size() > 5, qPrintable(titre.text()));
            const int haut = int(doc->documentLayout()->blockBoundingRect(titre).top());
            QVERIFY2(std::abs(defilement->value() - haut) < 20 ||
                         defilement->value() == defilement->maximum(),
                     qPrintable(
                         QStringLiteral("%1: %2 / %3").arg(c).arg(defilement->value()).arg(haut)));
            positions << haut;
        }
        // One section per context, in order, each with real text (not a bare heading).
        for (int i = 1; i < positions.size(); ++i)
            QVERIFY2(positions[i] - positions[i - 1] > 150,
                     qPrintable(QString::number(contextes[i])));

        // A context the file lacks shows the contents with a note.
        v.ouvrir(KINEMAR_FICHIER_AIDE, 999);
        QVERIFY(!v.lblNote->isHidden());
        QVERIFY(v.lblNote->text().contains("999"));
        QVERIFY(defilement->value() < 20);
    }

    // F1 opens the context of the focused control, or of the one that holds it.
    void toucheF1SurLesControles()
    {
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        const QList<std::pair<QWidget *, int>> cas{
            {Form1, 1},
            {Form1->BitBtn1, 1},
            {Form1->PageControl1->tabBar(), 200},
            {Form1->bbtnOpenAvi, 210},
            {Form1->lblDurTot, 210},
            {Form1->edSH, 220},
            {Form1->rbChxOrig, 220},
            {Form1->StringGrid1, 230},
            {Form1->udPointsPlan, 230},
            {Form1->PaintBox1, 230},
            {Form1->bbtnImprimer, 240},
            {Form1->bbtnCurExec, 240},
            {Form1->bbtnPlay, 300},
            {Form1->Button1, 300},
            {Form1->udTaillePoints->flecheHaut(), 300},
            {Form1->bbtnQuitter, 300},
            {dlgPointeur->rgPtForme, 230},
        };
        for (const auto &[w, attendu] : cas) {
            QTest::keyClick(w, Qt::Key_F1);
            QVERIFY2(derniereAide() == attendu,
                     qPrintable(QStringLiteral("%1: %2").arg(w->objectName()).arg(derniereAide())));
            QCOMPARE(plateformeTest.aides.back().first, repDepart + "/kineMar2.hlp");
        }
        // The platform's file dialogs: opening a clip, saving measurements.
        QFileDialog ouvrir(Form1, "", "", "fichiers AVI (*.avi)");
        QTest::keyClick(&ouvrir, Qt::Key_F1);
        QCOMPARE(derniereAide(), 210);
        QFileDialog enregistrer(Form1, "", "", "fichiers Curvalis Windows (*.cw3)");
        enregistrer.setAcceptMode(QFileDialog::AcceptSave);
        QTest::keyClick(&enregistrer, Qt::Key_F1);
        QCOMPARE(derniereAide(), 240);

        // Shift+F1 is not context help.
        const size_t avant = plateformeTest.aides.size();
        QTest::keyClick(Form1->bbtnPlay, Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(plateformeTest.aides.size(), avant);
    }

    // F1 on the highlighted menu item, including submenu entries and the pop-up menu.
    void toucheF1SurLesMenus()
    {
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        for (QMenu *m : {Form1->mnuEnregistrerMesures, Form1->mnuPointages, Form1->mnuClip})
            activerMenu(m, true); // as opening a clip does
        Form1->popUpMnuPointeur->setEnabled(true);
        for (QAction *a : {Form1->sessionMesure->mnuEnregistrerSession,
                           Form1->sessionMesure->mnuRecuperer, Form1->sessionMesure->mnuAnnuler,
                           Form1->SuiviAuto, Form1->mnuGraphes, Form1->mnuRuban})
            a->setEnabled(true); // as a clip and a measurement do
        const QList<std::tuple<QMenu *, QAction *, int>> cas{
            {Form1->Aidde1, Form1->Aide1, 1},
            {Form1->Aidde1, Form1->Aide2, 350},
            {Form1->Aidde1, Form1->propos1, 350},
            {Form1->mnuFichiers, Form1->mnuChargerAvi, 210},
            {Form1->mnuFichiers, Form1->mnuEnregistrerMesures->menuAction(), 240},
            {Form1->mnuFichiers, Form1->mnuQuitter, 350},
            {Form1->mnuEnregFic, Form1->mnuAuFormatTxt, 240},
            {Form1->mnuPointages, Form1->mnuAutomatismes->menuAction(), 230},
            {Form1->mnuPointages, Form1->mnuTaillePoints->menuAction(), 350},
            {Form1->mnuFondSombre, Form1->mnuFondSombreItems[1], 1},
            {Form1->mnuClip, Form1->mnuIma100, 350},
            {Form1->PopupMenu1, Form1->popUpMnuAide, 1},
            {Form1->PopupMenu1, Form1->popUpMnuPointeur, 350},
            {Form1->PopupMenu1, nullptr, 1},
            // Commands added later: sessions, undo, tracking, graphs.
            {Form1->mnuFichiers, Form1->sessionMesure->mnuEnregistrerSession, 240},
            {Form1->mnuFichiers, Form1->sessionMesure->mnuRecuperer, 240},
            {Form1->sessionMesure->mnuEdition, Form1->sessionMesure->mnuAnnuler, 230},
            {Form1->mnuPointages, Form1->SuiviAuto, 230},
            {Form1->mnuEnregistrerMesures, Form1->mnuGraphes, 250},
            {Form1->mnuPointages, Form1->mnuRuban, 220},
        };
        for (const auto &[menu, action, attendu] : cas) {
            menu->popup(Form1->mapToGlobal(QPoint(50, 50)));
            menu->setActiveAction(action);
            QTest::keyClick(menu, Qt::Key_F1);
            menu->close();
            QVERIFY2(derniereAide() == attendu,
                     qPrintable(QStringLiteral("%1: %2")
                                    .arg(action ? action->objectName() : menu->objectName())
                                    .arg(derniereAide())));
        }
    }

    void commandesDAide()
    {
        Form1->BitBtn1->click();
        Form1->Aide1->trigger();
        // The pop-up menu's help depends on the clip and the page.
        Form1->popUpMnuAide->trigger();
        plateformeTest.fichiersOuverts.push_back({QStringLiteral(KINEMAR_CLIPS_DIR "/raw_10.avi")});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
        Form1->popUpMnuAide->trigger();
        Form1->popUpMnuModeEtalonnerClick();
        Form1->popUpMnuAide->trigger();
        Form1->popUpMnuModeProClipClick();
        Form1->popUpMnuAide->trigger();
        QList<int> contextes;
        for (const auto &a : plateformeTest.aides)
            contextes << a.second;
        QCOMPARE(contextes, (QList<int>{1, 1, 210, 230, 220, 220}));
    }

    // Status-bar help on and off; the bubble choice waits for the next hint change.
    void basculesEtBulles()
    {
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        QVERIFY(Form1->Aide2->isChecked());
        QVERIFY(!Form1->Aide3->isChecked());
        QCOMPARE(Form1->StatusBar1->height(), 19);
        QCOMPARE(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 100);
        QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(0, 255, 255));

        // The long part goes to the status bar; bubbles are off at start.
        entrer(Form1->bbtnDeb);
        QCOMPARE(Form1->StatusBar1->currentMessage(), QStringLiteral("الإنتقال إلى الصورة الأولى"));
        reposer(Form1->bbtnDeb);
        QCOMPARE(bulle(), QString());

        Form1->Aide3->trigger();
        QVERIFY(Form1->Aide3->isChecked());
        reposer(Form1->bbtnDeb);
        QCOMPARE(bulle(), QString()); // not before the next hint change
        entrer(Form1->bbtnFin);
        QVERIFY(bullesActives());
        reposer(Form1->bbtnFin);
        QCOMPARE(bulle(), QStringLiteral("الصورة الأخيرة"));
        // A hint without a bar is whole in both places.
        entrer(Form1->PaintBox1);
        QCOMPARE(Form1->StatusBar1->currentMessage(), QStringLiteral("منطقة التنقيط"));
        reposer(Form1->PaintBox1);
        QCOMPARE(bulle(), QStringLiteral("منطقة التنقيط"));
        // A control without a hint shows its holder's bubble.
        reposer(Form1->udTaillePoints->flecheHaut());
        QCOMPARE(bulle(), QStringLiteral("حجم النقاط 1 .... 5"));

        // Without status-bar help the bar vanishes and keeps its last text.
        Form1->Aide2->trigger();
        QCOMPARE(Form1->StatusBar1->height(), 0);
        QVERIFY(!Form1->StatusBar1->isVisible());
        entrer(Form1->bbtnPlay);
        Form1->Aide2->trigger();
        QCOMPARE(Form1->StatusBar1->height(), 19);
        QVERIFY(Form1->StatusBar1->isVisible());
        QCOMPARE(Form1->StatusBar1->currentMessage(), QStringLiteral("منطقة التنقيط"));

        Form1->Aide3->trigger();
        entrer(Form1->bbtnSui);
        QVERIFY(!bullesActives());
        reposer(Form1->bbtnSui);
        QTRY_COMPARE(bulle(), QString());

        // A highlighted menu item changes the hint too.
        Form1->Aidde1->popup(Form1->mapToGlobal(QPoint(50, 50)));
        Form1->Aidde1->setActiveAction(Form1->Aide1);
        QCOMPARE(Form1->StatusBar1->currentMessage(), QStringLiteral("محتويات المساعدة"));
        Form1->Aidde1->close();
    }

    // Every control and menu item of the main window carries a hint.
    void toutPorteUnHint()
    {
        for (QAction *a : Form1->findChildren<QAction *>()) {
            if (a->isSeparator() || a->objectName().isEmpty()) continue;
            QVERIFY2(!a->statusTip().isEmpty(), qPrintable(a->objectName()));
        }
        for (QWidget *w : std::initializer_list<QWidget *>{
                 Form1->bbtnOpenAvi, Form1->bbtnCopierMesuresPP, Form1->bbtnCopierGraphiquePP,
                 Form1->bbtnEnregistrerMesures, Form1->bbtnQuitter, Form1->bbtnCurExec,
                 Form1->PageControl1, Form1->edSH, Form1->rbEtalonSimu, Form1->StringGrid1,
                 Form1->bbtnGraphes, Form1->bbtnSuiviAuto})
            QVERIFY2(!w->toolTip().isEmpty() && !w->statusTip().isEmpty(),
                     qPrintable(w->objectName()));
    }

    void boiteAPropos()
    {
        QCOMPARE(AboutBox->windowTitle(), QString(55, ' ') + "..... حول");
        QVERIFY(!(AboutBox->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(AboutBox->OKButton->isDefault());
        QCOMPARE(AboutBox->OKButton->text(), QStringLiteral("موافق"));
        QCOMPARE(AboutBox->ProgramIcon->pixmap().size(), QSize(32, 32));
        QVERIFY(!AboutBox->lblCredits.isEmpty());
        int montrees = 0;
        plateformeTest.surModal = [&](QDialog *d) {
            ++montrees;
            auto *b = static_cast<TAboutBox *>(d);
            [&] {
                QCOMPARE(b->lblTitre->text(), QStringLiteral("Kinemar v.2.5"));
                QCOMPARE(b->lblDate->text(), QStringLiteral("06/01/2002"));
            }();
            b->lblTitre->setText("x");
            b->lblDate->setText("y");
            return int(QDialog::Accepted);
        };
        Form1->propos1->trigger();
        Form1->propos1Click();
        QCOMPARE(montrees, 2);
        AboutBox->show();
        AboutBox->OKButton->click();
        QVERIFY(!AboutBox->isVisible());
    }

    // Last: Qt's own texts become Arabic for the rest of the run.
    void textesDeQtEnArabe()
    {
        QVERIFY(chargerTraductionQt());
        QVERIFY(chargerTraductionQt());
        const QString annuler = QCoreApplication::translate("QPlatformTheme", "Cancel");
        QVERIFY(annuler != QStringLiteral("Cancel"));
        QVERIFY(annuler.front().script() == QChar::Script_Arabic);
    }
};

QTEST_MAIN(TestAide)
#include "tst_aide.moc"
