// The main window before any clip: start-up state, pages, closing, resizing.
#include "app/Unit1.h"
#include "app/dialogue.h"
#include "measure/erreurs.h"
#include "commun/session.h"
#include "measure/Unit3.h"

#include <QAction>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

class TestFenetre : public QObject
{
    Q_OBJECT
    PlateformeScriptee plateformeTest;

private slots:
    void init() { debuterSession(plateformeTest); }
    void cleanup() { terminerSession(); }

    void demarrage()
    {
        QCOMPARE(Form1->windowTitle(), QStringLiteral("Kinemar v.2.5"));
        QCOMPARE(Form1->PageControl1->currentWidget(), Form1->tsMesures);
        QCOMPARE(imageCourante, -1);
        QCOMPARE(chiffresXY, 3);
        QCOMPARE(couleurCurseur, 1);
        QCOMPARE(formeCurseur, 2);
        QCOMPARE(taillePoints, 1);
        QCOMPARE(facteurAffichage, 1.0L);
        QCOMPARE(origineX, 0);
        QCOMPARE(origineY, 0);
        QCOMPARE(int(sensX), 1);
        QCOMPARE(int(sensY), 1);
        QCOMPARE(etalonP1, QPoint(1, 1));
        QCOMPARE(etalonP2, QPoint(2, 2));
        QCOMPARE(echelleH, 1.0L);
        QCOMPARE(echelleV, 1.0L);
        QCOMPARE(repDepart, QDir::currentPath());
        QVERIFY(!effacerSansDemande);
        QVERIFY(Form1->Timer1->isActive());
        QCOMPARE(Form1->Timer1->interval(), 50);
        QVERIFY(!Form1->Timer2->isActive());
        QCOMPARE(Form1->lblTaillePoints->text(), QStringLiteral("2"));
        QCOMPARE(Form1->udTaillePoints->Position(), 1);

        // Everything that needs a clip waits for one.
        for (QWidget *w : std::initializer_list<QWidget *>{
                 Form1->bbtnPlay, Form1->bbtnDeb, Form1->bbtnFin, Form1->bbtnPre, Form1->bbtnSui,
                 Form1->bbtnIma, Form1->bbtnCible, Form1->Panel7, Form1->bbtnCopierMesuresPP,
                 Form1->bbtnCopierGraphiquePP, Form1->bbtnEnregistrerMesures, Form1->bbtnImprimer,
                 Form1->bbtnCurExec})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        for (QMenu *m : {Form1->mnuClip, Form1->mnuPointages, Form1->mnuEnregistrerMesures})
            QVERIFY2(!m->menuAction()->isEnabled(), qPrintable(m->objectName()));
        for (QAction *a : {Form1->popUpMnuModeAcquerir, Form1->popUpMnuModeEtalonner,
                           Form1->popUpMnuModeProClip, Form1->popUpMnuPointeur, Form1->mnuCurExec})
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        QVERIFY(Form1->bbtnOpenAvi->isEnabled());
        QVERIFY(Form1->mnuChargerAvi->isEnabled());
        QVERIFY(!Form1->clipOuvert());

        // The ten dialogs exist under their instance names, in their order.
        const QStringList attendus = {"dlgPointeur",      "AboutBox",          "accescurBox",
                                      "FormatTxtBox",     "sauverMesuresBox",  "tailleImaBox",
                                      "aspectPointBox",   "SauveTableauPPBox", "dlgImprimer",
                                      "SauveGraphicPPBox"};
        QStringList dialogues;
        for (QObject *o : Form1->children())
            if (qobject_cast<QDialog *>(o)) dialogues << o->objectName();
        QCOMPARE(dialogues, attendus);
    }

    void repeintSansClipNeRedessinePas()
    {
        Form1->resize(800, 600);
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        Form1->PaintBox1->repaint();
        QVERIFY(!aRedessiner);
    }

    void pagesEtCoches()
    {
        auto coches = [] {
            return QList<bool>{Form1->popUpMnuModeAcquerir->isChecked(),
                               Form1->popUpMnuModeEtalonner->isChecked(),
                               Form1->popUpMnuModeProClip->isChecked()};
        };
        QCOMPARE(coches(), (QList<bool>{true, false, false}));
        Form1->popUpMnuModeEtalonnerClick();
        QCOMPARE(Form1->PageControl1->currentWidget(), Form1->tsEtalon);
        QCOMPARE(coches(), (QList<bool>{false, true, false}));
        QVERIFY(!dlgPointeur->rgPtForme->isEnabled());
        QVERIFY(!Form1->mnuFormePointeur->menuAction()->isEnabled());

        // A tab picked by the user runs the same handler.
        Form1->PageControl1->setCurrentWidget(Form1->tsProClip);
        QCOMPARE(coches(), (QList<bool>{false, false, true}));

        Form1->popUpMnuModeAcquerirClick();
        QCOMPARE(coches(), (QList<bool>{true, false, false}));
        QVERIFY(dlgPointeur->rgPtForme->isEnabled());
        QVERIFY(Form1->mnuFormePointeur->menuAction()->isEnabled());

        // Setting the page from code alone does not run the handler.
        Form1->activerPage(Form1->tsEtalon);
        QCOMPARE(coches(), (QList<bool>{true, false, false}));
    }

    void fermeture()
    {
        Form1->show();
        plateformeTest.reponses = {Reponse::Non};
        QVERIFY(!Form1->close());
        QVERIFY(Form1->isVisible());
        QCOMPARE(plateformeTest.messages.size(), size_t(1));
        QCOMPARE(plateformeTest.messages[0].type, TypeMessage::Confirmation);
        QCOMPARE(plateformeTest.messages[0].boutons, Boutons::OuiNon);
        QCOMPARE(plateformeTest.messages[0].texte,
                 QStringLiteral("هل أنت متأكد من المغادرة ؟    "));
        plateformeTest.reponses = {Reponse::Oui};
        Form1->mnuQuitterClick();
        QVERIFY(!Form1->isVisible());
    }

    void redimensionnement()
    {
        // The clip side keeps its share of the width: one resize gives it within a pixel, and
        // a border dragged over 200 steps does not let it creep.
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        auto ecart = [](int part, int forme) {
            return std::abs(Form1->pnl1->width() - Form1->width() * double(part) / forme);
        };
        for (int w : {900, 1000, 700, 1200}) {
            Form1->resize(w, 600);
            QCoreApplication::processEvents();
            QVERIFY(ecart(410, 620) <= 1);
        }
        for (int w = 700; w <= 900; ++w) {
            Form1->resize(w, 600);
            QCoreApplication::processEvents();
        }
        QVERIFY2(ecart(410, 620) <= 1, qPrintable(QString::number(Form1->pnl1->width())));
        QVERIFY(Form1->mnuImaAdapter->isEnabled());

        // The splitter sets a new share.
        Form1->Splitter1->setSizes({300, Form1->Splitter1->width() - 302});
        Form1->Splitter1Moved();
        Form1->resize(600, 600);
        QCoreApplication::processEvents();
        QVERIFY(ecart(300, 900) <= 1);
    }

    void tailleNormale()
    {
        // Maximised at start; restoring gives the start-up size, whole on the screen.
        Form1->afficherAuDemarrage();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        QVERIFY(Form1->isMaximized());
        const QRect normale = Form1->normalGeometry();
        const QSize depart = QSize(620, 465).expandedTo(Form1->minimumSizeHint());
        QCOMPARE(normale.size(), depart);
        QVERIFY(Form1->screen()->availableGeometry().contains(normale));
        Form1->showNormal();
        QCoreApplication::processEvents();
        QCOMPARE(Form1->size(), depart);
    }

    void clavier()
    {
        Form1->show();
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        QMenuBar *barre = Form1->menuBar();
        // F10, and Alt pressed and released alone, reach the menus.
        QTest::keyClick(Form1, Qt::Key_F10);
        QTRY_COMPARE(barre->activeAction(), Form1->mnuFichiers->menuAction());
        auto fermerMenus = [barre] {
            while (QWidget *menu = QApplication::activePopupWidget())
                menu->close();
            QTest::keyClick(barre, Qt::Key_Escape);
        };
        fermerMenus();
        QTRY_VERIFY(!barre->activeAction());
        QWidget *cible = QApplication::focusWidget() ? QApplication::focusWidget() : Form1;
        QTest::keyPress(cible, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(cible, Qt::Key_Alt);
        QTRY_VERIFY(barre->activeAction());
        fermerMenus();
        // Ctrl+O opens a clip (the dialog is cancelled here).
        plateformeTest.fichiersOuverts.push_back({QString()});
        QTest::keyClick(Form1, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(plateformeTest.fichiersOuverts.empty());
        // Phone clips listed at once: the filter of every clip is the one selected.
        const DialogueFichier &choix = plateformeTest.dialoguesFichiers.back();
        QVERIFY(choix.filtre.split(QStringLiteral(";;"))
                    .value(choix.filtreInitial)
                    .startsWith(QStringLiteral("كل مقاطع الفيديو (*.avi *.mp4 *.mov")));
        QCOMPARE(Form1->PageControl1->currentWidget(), Form1->tsProClip);
    }

    void echapEstAnnuler()
    {
        // Escape and the close box run the dialog's undo, as its Cancel button does, once.
        struct Dialogue : TDialogueKinemar {
            int annulations = 0;
            Dialogue() : TDialogueKinemar(QStringLiteral("essai"), QStringLiteral("essai"))
            {
                creerBoutons(QStringLiteral("موافق"), QStringLiteral("إلغاء"), false);
            }
            void CancelBtnClick() override { ++annulations; }
        };
        const std::function<void(Dialogue &)> fermetures[] = {
            [](Dialogue &d) { QTest::keyClick(&d, Qt::Key_Escape); },
            [](Dialogue &d) { d.close(); },
            [](Dialogue &d) { d.CancelBtn->click(); },
        };
        for (const auto &fermer : fermetures) {
            Dialogue d;
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            fermer(d);
            QCOMPARE(d.annulations, 1);
            QCOMPARE(d.result(), int(QDialog::Rejected));
            QVERIFY(!d.isVisible());
        }
    }

    void messagesSurPlusieursLignes()
    {
        // The texts joined by CR are shown on several lines by the real message box.
        installerPlateforme(nullptr);
        QString affiche;
        QTimer::singleShot(0, [&] {
            if (auto *boite = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                affiche = boite->text();
                boite->buttons().first()->click();
            }
        });
        plateforme().message(TypeMessage::Information, QStringLiteral("a\rb\r\nc\r\rd"),
                             Boutons::Ok);
        installerPlateforme(&plateformeTest);
        QCOMPARE(affiche, QStringLiteral("a\nb\nc\n\nd"));
    }

    void erreurNonInterceptee()
    {
        // An error escaping a handler is shown and the program goes on.
        QObject cible;
        struct Lanceur : QObject {
            bool event(QEvent *) override { throw ErreurES(QStringLiteral("boum")); }
        } lanceur;
        QEvent e(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&lanceur, &e));
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 1);
        QCOMPARE(plateformeTest.messages.back().texte, QStringLiteral("boum"));
    }
};

int main(int argc, char **argv)
{
    ApplicationKinemar app(argc, argv);
    TestFenetre t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_fenetre.moc"
