// The export commands of the main window, tried as a teacher does: the format chooser and
// the two data files, the text file, the clipboard (table and graph), the analysis program's
// configuration and its launch, on a 3-frame clip holding the worked two-object example.
// Then the failures: a read-only folder, a bad configuration, a program that will not start.
#include "app/Unit1.h"
#include "commun/limiteTaille.h"
#include "commun/session.h"
#include "export/FormatTxt.h"
#include "export/accescur.h"
#include "export/sauveGraphicPP.h"
#include "export/sauveMes.h"
#include "export/sauveTableauPP.h"
#include "analyse/graphes.h"
#include "measure/TStringGrid.h"
#include "measure/sessionMesure.h"

#include <QRadioButton>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTest>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

QString clip(const char *nom)
{
    return QStringLiteral(KINEMAR_CLIPS_DIR "/") + QString::fromLatin1(nom);
}

QByteArray lire(const QString &nom)
{
    QFile f(nom);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

QByteArray golden(const char *nom)
{
    return lire(QStringLiteral(KINEMAR_GOLDEN_DIR "/") + QString::fromLatin1(nom));
}

void ecrire(const QString &nom, const QByteArray &octets, bool executable = false)
{
    QFile f(nom);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(octets);
    f.close();
    if (executable) f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser);
}

QString blancs(int n)
{
    return QString(n, QLatin1Char(' '));
}

const QChar kCr(13);

QString messageConfigInvalide()
{
    return QStringLiteral("غير ممكن تلقائيا Curvalis تحديد") + blancs(2) + kCr + kCr +
           QStringLiteral("إختر المسار التالي") + kCr + blancs(2) +
           QStringLiteral("تحديد عنوان الوصول/Curvalis ملفات/برنامج") + blancs(3);
}

QString messageIntrouvable()
{
    return QStringLiteral("غير موجود Curvalis عنوان الوصول إلى") + blancs(3) + kCr + kCr +
           QStringLiteral("إختر المسار التالي") + kCr + blancs(1) +
           QStringLiteral("تحديد عنوان الوصول/Curvalis ملفات/برنامج") + blancs(4);
}

// A folder nobody may write in. Root ignores permissions, so for root it is also made
// immutable. False when the system allows neither.
class Verrou
{
public:
    explicit Verrou(const QString &dossier) : dossier_(dossier)
    {
        QFile::setPermissions(dossier_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser |
                                            QFile::ExeUser);
        if (geteuid() == 0)
            immuable_ = QProcess::execute(QStringLiteral("chattr"), {"+i", dossier_}) == 0;
    }
    ~Verrou()
    {
        if (immuable_) QProcess::execute(QStringLiteral("chattr"), {"-i", dossier_});
        QFile::setPermissions(dossier_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool actif() const
    {
        QFile sonde(dossier_ + QStringLiteral("/sonde"));
        if (!sonde.open(QIODevice::WriteOnly)) return true;
        sonde.remove();
        return false;
    }

private:
    QString dossier_;
    bool immuable_ = false;
};

// The scripted platform; for one test, launches really start the program.
class PlateformeEssai : public PlateformeScriptee
{
public:
    Plateforme *reelle = nullptr;
    bool lancer(const QString &p, const QString &a, const QString &r) override
    {
        const bool resultat = PlateformeScriptee::lancer(p, a, r);
        return reelle ? reelle->lancer(p, a, r) : resultat;
    }
};

} // namespace

class TestExportation : public QObject
{
    Q_OBJECT
    PlateformeEssai plateformeTest;
    QTemporaryDir dossier;
    // What to do with each dialog shown modally, by object name; the dialog is accepted.
    std::map<QString, std::function<void(QDialog *)>> actions;
    QString programme; // the analysis program stand-in, in its own folder

    template <typename T> static T *dialogue(QDialog *d) { return qobject_cast<T *>(d); }

    // The worked example: two objects, three frames at 25 frames/s, row 2 incomplete.
    void ouvrirExemple()
    {
        plateformeTest.fichiersOuverts.push_back({clip("raw_3.avi")});
        Form1->bbtnOpenAviClick();
        QVERIFY(Form1->clipOuvert());
        Form1->udPointsPlan->cliquer(true);
        // 1 mm per pixel, origin 500 pixels down: the pixels below give these metres.
        echelleH = echelleV = 0.001L;
        origineX = 0;
        origineY = 500;
        const QStringList lignes[3] = {{"0.000", " 1.23E-1", "-4.50E-2", " 2.00E-1", " 0.00E+0"},
                                       {"0.040", " 1.50E-1", " 1.00E-2", "", ""},
                                       {"0.080", " 1.75E-1", " 5.00E-2", " 2.10E-1", "-1.00E-3"}};
        const int pixels[3][4] = {{123, 545, 200, 500}, {150, 490, -1, -1}, {175, 450, 210, 501}};
        QCOMPARE(Form1->StringGrid1->RowCount(), 4);
        for (int r = 1; r <= 3; ++r) {
            for (int k = 1; k < 5; ++k)
                if (pixels[r - 1][k - 1] >= 0)
                    Form1->StringGrid0->setCells(k, r, QString::number(pixels[r - 1][k - 1]));
            for (int k = 0; k < 5; ++k)
                QCOMPARE(Form1->StringGrid1->Cells(k, r), lignes[r - 1][k]);
        }
        plateformeTest.dialoguesFichiers.clear();
    }

    QString chemin(const QString &nom) const { return dossier.filePath(nom); }

    // Saves kmconfig.txt through the dialog: browse to the program, choose the version.
    void configurer(const QString &prog, int version)
    {
        actions[QStringLiteral("accescurBox")] = [&, prog, version](QDialog *d) {
            auto *b = dialogue<TaccescurBox>(d);
            plateformeTest.fichiersOuverts.push_back({prog});
            b->btnParcourir->click();
            b->rgCurVersion->setItemIndex(version);
            QVERIFY(b->OKBtn->isEnabled());
            b->OKBtn->click();
        };
        Form1->CurPathExecute();
    }

    void demarrer()
    {
        debuterSession(plateformeTest);
        plateformeTest.reelle = nullptr;
        plateformeTest.surModal = [this](QDialog *d) {
            const auto a = actions.find(d->objectName());
            if (a != actions.end()) a->second(d);
            return int(QDialog::Accepted);
        };
        repDepart = chemin("depart");
    }

private slots:
    void init()
    {
        actions.clear();
        demarrer();
        QDir().mkpath(repDepart);
        QDir().mkpath(chemin("curvalis"));
        programme = chemin("curvalis/curvalis.sh");
        ecrire(programme, "#!/bin/sh\n", true);
        ouvrirExemple();
    }
    void cleanup()
    {
        terminerSession();
        QDir(chemin("depart")).removeRecursively();
        QDir(chemin("curvalis")).removeRecursively();
    }

    void enregistrementParLeChoixDuFormat_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("attendu");
        QTest::addColumn<QString>("titre");
        QTest::addColumn<QString>("filtre");
        QTest::addColumn<QString>("extension");
        const QString fin = blancs(16);
        QTest::newRow("cw3") << 0 << "A.cw3"
                             << QStringLiteral("Curvalis Windows (*.cw3) : حفظ القياسات بصيغة") +
                                    fin
                             << "fichiers Curvalis Windows (*.cw3)|*.cw3"
                             << "cw3";
        QTest::newRow("ccc") << 1 << "A.ccc"
                             << QStringLiteral("Curvalis Dos (*.ccc) : حفظ القياسات بصيغة") + fin
                             << "fichiers Curvalis Dos (*.ccc)|*.ccc"
                             << "ccc";
        QTest::newRow("txt") << 2 << "A.txt" << QStringLiteral(" (*.txt) حفظ القياسات بصيغة نص")
                             << "fichiers texte (*.txt)|*.txt"
                             << "txt";
    }
    void enregistrementParLeChoixDuFormat()
    {
        QFETCH(int, format);
        QFETCH(QString, attendu);
        QFETCH(QString, titre);
        QFETCH(QString, filtre);
        QFETCH(QString, extension);
        bool choixCache = false;
        actions[QStringLiteral("sauverMesuresBox")] = [&](QDialog *d) {
            dialogue<TsauverMesuresBox>(d)->rgFormat->setItemIndex(format);
            d->show();
            dialogue<TsauverMesuresBox>(d)->OKBtn->click();
        };
        actions[QStringLiteral("FormatTxtBox")] = [&](QDialog *d) {
            choixCache = sauverMesuresBox->isHidden();
            dialogue<TFormatTxtBox>(d)->OKBtn->click();
        };
        const QString fichier = chemin("mesures." + extension);
        ecrire(fichier,
               "un fichier plus ancien, bien plus long que le nouveau" + QByteArray(600, 'x'));
        plateformeTest.fichiersEnregistres = {fichier};
        Form1->bbtnEnregistrerMesuresClick();
        QCOMPARE(lire(fichier), golden(attendu.toLatin1().constData()));
        QVERIFY(plateformeTest.messages.empty());
        QCOMPARE(plateformeTest.dialoguesFichiers.size(), size_t(1));
        const DialogueFichier &d = plateformeTest.dialoguesFichiers.front();
        QCOMPARE(d.titre, titre);
        QCOMPARE(d.filtre, filtre);
        QCOMPARE(d.extensionDefaut, extension);
        QVERIFY(d.confirmerEcrasement);
        if (format == 2) QVERIFY(choixCache);
        QCOMPARE(sauverMesuresBox->rgFormat->ItemIndex(), format); // kept for the next time
    }

    // A cancelled file dialog, like Cancel, gives back the title and separator of the showing;
    // the title box keeps only what the file can hold.
    void texteAnnuleEtTitre()
    {
        QLineEdit *titre = FormatTxtBox->edFormatTxtTitre;
        actions[QStringLiteral("FormatTxtBox")] = [&](QDialog *) {
            titre->setText(QStringLiteral("autre"));
            FormatTxtBox->rgSeparTxt->setItemIndex(3);
            FormatTxtBox->OKBtn->click();
        };
        Form1->SaveTXTExecute();
        QCOMPARE(titre->text(), QStringLiteral(" Kinemar  تنقيطات"));
        QCOMPARE(FormatTxtBox->rgSeparTxt->ItemIndex(), 0);
        actions[QStringLiteral("FormatTxtBox")] = [&](QDialog *) {
            titre->setText(QStringLiteral("autre"));
            FormatTxtBox->rgSeparTxt->setItemIndex(2);
            FormatTxtBox->CancelBtn->click();
        };
        Form1->SaveTXTExecute();
        QCOMPARE(titre->text(), QStringLiteral(" Kinemar  تنقيطات"));
        QCOMPARE(FormatTxtBox->rgSeparTxt->ItemIndex(), 0);
        QVERIFY(plateformeTest.messages.empty());

        titre->clear();
        titre->insert(QStringLiteral("Chute\nlibre Δ مسار"));
        QCOMPARE(titre->text(), QStringLiteral("Chute libre  مسار"));
    }

    void tableauDansLaPressePapiers()
    {
        actions[QStringLiteral("SauveTableauPPBox")] = [](QDialog *d) {
            dialogue<TSauveTableauPPBox>(d)->OKBtn->click();
        };
        Form1->mnuTableauPPClick();
        QCOMPARE(QGuiApplication::clipboard()->text().toUtf8(), golden("A.presse-papiers"));
        // Cancel gives back the title, not the separator.
        actions[QStringLiteral("SauveTableauPPBox")] = [](QDialog *d) {
            auto *b = dialogue<TSauveTableauPPBox>(d);
            b->edSauvePPTitre->setText(QStringLiteral("autre"));
            b->rgSeparTxt->setItemIndex(1);
            b->CancelBtn->click();
        };
        Form1->bbtnCopierMesuresPP->click();
        QCOMPARE(SauveTableauPPBox->edSauvePPTitre->text(), QStringLiteral(" Kinemar  تنقيطات"));
        QCOMPARE(SauveTableauPPBox->rgSeparTxt->ItemIndex(), 1);
    }

    // With "," as the decimal mark the "," separator is not offered; a choice of it moves to ";".
    void virguleDecimale()
    {
        definirSeparateurDecimal(QLatin1Char(','));
        for (TRadioGroup *g : {SauveTableauPPBox->rgSeparTxt, FormatTxtBox->rgSeparTxt})
            g->setItemIndex(2);
        QList<std::pair<bool, int>> vus;
        for (const char *nom : {"SauveTableauPPBox", "FormatTxtBox"})
            actions[QString::fromLatin1(nom)] = [&](QDialog *d) {
                auto *g = d->findChild<TRadioGroup *>(QStringLiteral("rgSeparTxt"));
                vus.append(std::make_pair(g->bouton(2)->isEnabled(), g->ItemIndex()));
                static_cast<TDialogueKinemar *>(d)->CancelBtn->click();
            };
        Form1->mnuTableauPPClick();
        Form1->SaveTXTExecute();
        definirSeparateurDecimal(QLatin1Char('.'));
        QCOMPARE(vus, (QList<std::pair<bool, int>>{{false, 1}, {false, 1}}));
    }

    // The commands a user clicks, in a child process (this program again) whose file-size
    // limit is below what they write: the error names the file and the reason, the old file
    // stays byte for byte, nothing is left beside it.
    void commandeEchouee_data()
    {
        QTest::addColumn<QString>("commande");
        for (const char *c : {"cw3", "ccc", "txt", "session", "csv"})
            QTest::newRow(c) << QString::fromLatin1(c);
    }
    void commandeEchouee()
    {
        QFETCH(QString, commande);
        QProcess enfant;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KINEMAR_ENFANT"), commande);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        enfant.setProcessEnvironment(env);
        enfant.setProcessChannelMode(QProcess::MergedChannels);
        enfant.start(QCoreApplication::applicationFilePath(), {QStringLiteral("enfantCommande")});
        QVERIFY(enfant.waitForFinished(60000));
        const QString sortie = QString::fromUtf8(enfant.readAll());
        QVERIFY2(enfant.exitCode() == 0 &&
                     sortie.contains(QStringLiteral("PASS   : TestExportation::enfantCommande()")),
                 qPrintable(sortie));
    }
    // The child's side of commandeEchouee; skipped when run alone.
    void enfantCommande()
    {
        const QString commande = qEnvironmentVariable("KINEMAR_ENFANT");
        if (commande.isEmpty()) QSKIP("run by commandeEchouee");
        const QString sousDossier = chemin(QStringLiteral("echec"));
        QDir().mkpath(sousDossier);
        const QString nom = sousDossier + QStringLiteral("/ancien.") + commande;
        const QByteArray ancien = QByteArray("l'ancien contenu\n").repeated(20);
        ecrire(nom, ancien);
        plateformeTest.fichiersEnregistres = {nom};
        actions[QStringLiteral("FormatTxtBox")] = [](QDialog *d) {
            dialogue<TFormatTxtBox>(d)->OKBtn->click();
        };
        LimiteTaille limite(64);
        QVERIFY(limite.active());
        if (commande == QLatin1String("cw3"))
            Form1->SaveCW3Execute();
        else if (commande == QLatin1String("ccc"))
            Form1->SaveCCCExecute();
        else if (commande == QLatin1String("txt"))
            Form1->SaveTXTExecute();
        else if (commande == QLatin1String("session"))
            Form1->sessionMesure->enregistrerSous();
        else {
            Form1->bbtnGraphes->click();
            Form1->GrapheBox->btnExporterCSV->click();
        }
        limite.rendre();
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 1);
        const QString attendu = commande == QLatin1String("session")
                                    ? QStringLiteral("تعذر حفظ الجلسة في الملف :\r") + nom
                                    : QStringLiteral("تعذر حفظ الملف\r") + nom;
        QVERIFY2(plateformeTest.messages.back().texte.startsWith(attendu + QLatin1Char('\r')),
                 qPrintable(plateformeTest.messages.back().texte));
        QCOMPARE(lire(nom), ancien);
        QCOMPARE(QDir(sousDossier).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QFileInfo(nom).fileName()});
    }

    void grapheDansLaPressePapiers()
    {
        // Point 1 in red on frame 1 at (40, 50).
        Form1->StringGrid0->setCells(1, 1, QStringLiteral("40"));
        Form1->StringGrid0->setCells(2, 1, QStringLiteral("50"));
        Form1->StringGrid2->setCells(1, 0, QString::number(0x0000FF));
        Form1->redessinerImageCourante();
        plateformeTest.couleurs = {QColor(0, 255, 0)};
        actions[QStringLiteral("SauveGraphicPPBox")] = [](QDialog *d) {
            auto *b = dialogue<TSauveGraphicPPBox>(d);
            QCOMPARE(b->rgIncExc->ItemIndex(), 1);
            QVERIFY(b->btnCouleurFond->isEnabled() && b->shpCouleurFond->plein());
            b->btnCouleurFond->click();
            b->OKBtn->click();
        };
        Form1->mnuGraphiquePPClick();
        QImage image = QGuiApplication::clipboard()->image();
        QCOMPARE(image.size(), Form1->PaintBox1->size());
        QCOMPARE(image.pixelColor(40, 50), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(100, 30), QColor(0, 255, 0));
        QCOMPARE(plateformeTest.attentes, 0);

        // With the picture: the frame and its markers, whatever covers them on screen.
        actions[QStringLiteral("SauveGraphicPPBox")] = [](QDialog *d) {
            auto *b = dialogue<TSauveGraphicPPBox>(d);
            b->rgIncExc->setItemIndex(0);
            QVERIFY(!b->btnCouleurFond->isEnabled() && !b->shpCouleurFond->plein());
            b->OKBtn->click();
        };
        Form1->bbtnCopierGraphiquePP->click();
        image = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image, Form1->PaintBox1->capture());
        QCOMPARE(image.pixelColor(40, 50), QColor(255, 0, 0));
        QVERIFY(image.pixelColor(100, 30) != QColor(0, 255, 0));
        QCOMPARE(plateformeTest.attentes, 1);
    }

    void configurationEtLancement()
    {
        // The dialog opens on the current folder, no version, OK refused.
        actions[QStringLiteral("accescurBox")] = [](QDialog *d) {
            auto *b = dialogue<TaccescurBox>(d);
            QCOMPARE(b->edCurPath->text(), QDir::currentPath());
            QCOMPARE(b->rgCurVersion->ItemIndex(), -1);
            QVERIFY(!b->OKBtn->isEnabled() && !b->edCurPath->isEnabled());
            b->CancelBtn->click();
        };
        Form1->CurPathExecute();
        QVERIFY(!QFile::exists(cheminConfiguration()));

        configurer(programme, 0);
        const DialogueFichier &d = plateformeTest.dialoguesFichiers.back();
        QCOMPARE(d.titre, QStringLiteral(" Curvalis تحديد عنوان الوصول إلى"));
        QVERIFY(d.filtre.startsWith(QStringLiteral("Curvalis (éxécutable)|*.exe;|")));
        QCOMPARE(lire(cheminConfiguration()), programme.toUtf8() + "\r\nwin\r\n");
        QCOMPARE(cheminConfig, cheminConfiguration());
        QCOMPARE(Form1->windowTitle(), QStringLiteral("Kinemar v.2.5"));

        plateformeTest.messages.clear();
        plateformeTest.reponses = {Reponse::Oui};
        Form1->CurExecExecute();
        const QString repertoire = chemin("curvalis/");
        QCOMPARE(plateformeTest.lancements.size(), size_t(1));
        QCOMPARE(plateformeTest.lancements[0],
                 (QStringList{programme, QStringLiteral("~kincur~.cw3"), repertoire}));
        QCOMPARE(lire(repertoire + "~kincur~.cw3"), golden("A.cw3"));
        QCOMPARE(plateformeTest.messages.size(), size_t(1)); // the confirmation only
        QCOMPARE(plateformeTest.messages[0].texte,
                 QStringLiteral("أنت تطلب تشغيل برنامج") + blancs(8) + kCr + blancs(5) +
                     "Curvalis" + kCr + kCr + QStringLiteral("هل أنت متأكد من هذا الطلب ؟") +
                     blancs(3));

        // The dialog shows what was saved; the DOS version writes "DOS" and the .ccc file.
        actions[QStringLiteral("accescurBox")] = [&](QDialog *d) {
            auto *b = dialogue<TaccescurBox>(d);
            QCOMPARE(b->edCurPath->text(), programme);
            QCOMPARE(b->rgCurVersion->ItemIndex(), 0);
            QVERIFY(b->OKBtn->isEnabled());
            b->rgCurVersion->setItemIndex(1);
            b->OKBtn->click();
        };
        Form1->CurPathExecute();
        QCOMPARE(lire(cheminConfiguration()), programme.toUtf8() + "\r\nDOS\r\n");
        Form1->CurExec->trigger();
        QCOMPARE(plateformeTest.lancements.back()[1], QStringLiteral("~kincur~.ccc"));
        QCOMPARE(lire(repertoire + "~kincur~.ccc"), golden("A.ccc"));

        // Refused confirmation: nothing.
        plateformeTest.reponses = {Reponse::Non};
        Form1->CurExecExecute();
        QCOMPARE(plateformeTest.lancements.size(), size_t(2));

        // A program that does not start: the message, why, and the command disabled until
        // the dialog is confirmed again.
        plateformeTest.resultatLancement = false;
        plateformeTest.messages.clear();
        Form1->CurExecExecute();
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 1);
        QVERIFY(plateformeTest.messages.back().texte.startsWith(messageIntrouvable() + kCr));
        QVERIFY(!Form1->CurExec->isEnabled() && !Form1->bbtnCurExec->isEnabled());
        configurer(programme, 1);
        QVERIFY(Form1->CurExec->isEnabled());
    }

    void configurationInvalide_data()
    {
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<int>("version"); // as the dialog shows it
        QTest::newRow("aucune") << QByteArray() << -1;
        QTest::newRow("windows") << QByteArray("/opt/c/CURV.EXE\r\nwindows\r\n") << -1;
        QTest::newRow("chemin vide") << QByteArray("\r\nwin\r\n") << 0;
        QTest::newRow("version vide") << QByteArray("/opt/c/CURV.EXE\r\n") << -1;
    }
    void configurationInvalide()
    {
        QFETCH(QByteArray, contenu);
        QFETCH(int, version);
        if (!contenu.isEmpty()) ecrire(cheminConfiguration(), contenu);
        Form1->CurExecExecute();
        QCOMPARE(plateformeTest.messages.back().texte, messageConfigInvalide());
        QCOMPARE(plateformeTest.messages.back().type, TypeMessage::Erreur);
        QVERIFY(plateformeTest.lancements.empty() && plateformeTest.dialoguesFichiers.empty());
        // The dialog shows what it can read; OK waits for a version and a program.
        actions[QStringLiteral("accescurBox")] = [&](QDialog *d) {
            auto *b = dialogue<TaccescurBox>(d);
            QCOMPARE(b->rgCurVersion->ItemIndex(), version);
            QVERIFY(!b->OKBtn->isEnabled());
            if (contenu.startsWith("/opt"))
                QCOMPARE(b->edCurPath->text(), QStringLiteral("/opt/c/CURV.EXE"));
        };
        Form1->CurPathExecute();
    }

    // Before any clip: the launch is enabled by the dialog only, and writes a well-formed
    // file without data.
    void avantToutClip()
    {
        terminerSession();
        demarrer();
        QVERIFY(!Form1->CurExec->isEnabled());
        configurer(programme, 0);
        QVERIFY(Form1->CurExec->isEnabled());
        Form1->CurExecExecute();
        const QByteArray f = lire(chemin("curvalis/~kincur~.cw3"));
        QVERIFY(f.contains("\xA3"
                           "3 NOM VAR\r\nt\r\nx\r\ny\r\n"));
        QVERIFY(f.endsWith("&1 VALEUR VAR\r\n&2 OPTIONS\r\n1\r\n1\r\n"));
    }

    // Read-only folders: the error names the file and the reason, the old file stays whole,
    // no stray file is left, and nothing is launched on a stale exchange file.
    void dossierLectureSeule()
    {
        const QString ferme = chemin("curvalis");
        const QString ancien = ferme + "/mesures.cw3";
        ecrire(ancien, "ancien");
        ecrire(ferme + "/~kincur~.cw3", "ancien echange");
        ecrire(cheminConfiguration(), programme.toUtf8() + "\r\nwin\r\n");
        const QStringList avant = QDir(ferme).entryList(QDir::Files);
        {
            Verrou verrou(ferme);
            if (!verrou.actif()) QSKIP("this system cannot make a folder read-only");
            plateformeTest.fichiersEnregistres = {ancien};
            Form1->SaveCW3Execute();
            QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 1);
            const QString texte = plateformeTest.messages.back().texte;
            QVERIFY2(texte.startsWith(QStringLiteral("تعذر حفظ الملف") + kCr + ancien + kCr),
                     qPrintable(texte));
            QVERIFY(texte.size() > ancien.size() + 20); // and the reason

            Form1->CurExecExecute();
            QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 2);
            QVERIFY(plateformeTest.messages.back().texte.contains("~kincur~.cw3"));
            QVERIFY(plateformeTest.lancements.empty());
            QVERIFY(Form1->CurExec->isEnabled());
        }
        QCOMPARE(lire(ancien), QByteArray("ancien"));
        QCOMPARE(lire(ferme + "/~kincur~.cw3"), QByteArray("ancien echange"));
        QCOMPARE(QDir(ferme).entryList(QDir::Files), avant);

        // kmconfig.txt in a read-only start folder: the error; the launch command unchanged.
        Form1->CurExec->setEnabled(false);
        {
            Verrou verrou(repDepart);
            actions[QStringLiteral("accescurBox")] = [&](QDialog *d) {
                auto *b = dialogue<TaccescurBox>(d);
                b->rgCurVersion->setItemIndex(1);
                b->OKBtn->click();
            };
            Form1->CurPathExecute();
        }
        QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 3);
        QVERIFY(plateformeTest.messages.back().texte.contains("kmconfig.txt"));
        QCOMPARE(lire(cheminConfiguration()), programme.toUtf8() + "\r\nwin\r\n");
        QVERIFY(!Form1->CurExec->isEnabled());
    }

    // Once for real: a small script stands in for the analysis program, then a stand-in for
    // wine starts a Windows program.
    // A kmconfig.txt others may write, or another user's, launches nothing and says how to
    // mend it; saved again through the dialog (writable by the user alone, whatever the
    // umask) it launches again.
    void configurationPlantee()
    {
        const mode_t masque = ::umask(002);
        configurer(programme, 0);
        ::umask(masque);
        const QString config = cheminConfiguration();
        struct stat etat;
        QVERIFY(::stat(QFile::encodeName(config).constData(), &etat) == 0);
        QCOMPARE(etat.st_mode & 0777, mode_t(0644));
        auto lancer = [this] {
            plateformeTest.messages.clear();
            plateformeTest.lancements.clear();
            plateformeTest.reponses = {Reponse::Oui};
            Form1->CurExecExecute();
        };
        QList<std::pair<const char *, std::function<bool()>>> plantes{
            {"يمكن لمستخدمين آخرين تعديله", [&] {
                 return QFile::setPermissions(config,
                                              QFile::permissions(config) | QFile::WriteOther);
             }}};
        if (::geteuid() == 0)
            plantes.append({"يملكه مستخدم آخر", [&] {
                                return ::chown(QFile::encodeName(config).constData(), 65534,
                                               65534) == 0;
                            }});
        else
            qInfo("another user's file is not tried: changing its owner needs root");
        for (const auto &[raison, planter] : plantes) {
            QVERIFY(planter());
            lancer();
            QVERIFY(plateformeTest.lancements.empty());
            QCOMPARE(plateformeTest.nombreMessages(TypeMessage::Erreur), 1);
            const QString texte = plateformeTest.messages.back().texte;
            QVERIFY2(texte.contains(QString::fromUtf8(raison)) &&
                         texte.endsWith(QStringLiteral("تحديد عنوان الوصول/Curvalis ملفات/برنامج")),
                     qPrintable(texte));
            configurer(programme, 0);
            lancer();
            QCOMPARE(plateformeTest.lancements.size(), size_t(1));
        }
    }

    void lancementReel()
    {
        installerPlateforme(nullptr);
        plateformeTest.reelle = &plateforme();
        installerPlateforme(&plateformeTest);
        const QString rep = chemin("curvalis/");
        ecrire(programme,
               "#!/bin/sh\n{ pwd; echo \"$@\"; head -n 1 \"$1\"; } > vu.tmp && mv vu.tmp vu.txt\n",
               true);
        configurer(programme, 1);
        Form1->CurExecExecute();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(rep + "vu.txt"), 10000);
        QCOMPARE(lire(rep + "vu.txt"),
                 QDir(rep).canonicalPath().toUtf8() + "\n~kincur~.ccc\nPALOMERE CURVALIS 2.0\r\n");

        const QString bin = chemin("bin");
        QDir().mkpath(bin);
        ecrire(bin + "/wine",
               "#!/bin/sh\n{ pwd; echo \"$@\"; } > wine.tmp && mv wine.tmp wine.txt\n", true);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.toUtf8() + ":" + path);
        ecrire(rep + "CURV.EXE", "MZ");
        configurer(rep + "CURV.EXE", 0);
        Form1->CurExecExecute(); // wine is looked up here, before the program starts
        qputenv("PATH", path);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(rep + "wine.txt"), 10000);
        QCOMPARE(lire(rep + "wine.txt"), QDir(rep).canonicalPath().toUtf8() + "\n" +
                                             (rep + "CURV.EXE").toUtf8() + " ~kincur~.cw3\n");
        QVERIFY(plateformeTest.messages.size() == 2); // the two confirmations
    }

    void filtresDesDialogues_data()
    {
        QTest::addColumn<QString>("filtre");
        QTest::addColumn<QString>("qt");
        QTest::newRow("motif dans la description") << "fichiers Curvalis Windows (*.cw3)|*.cw3"
                                                   << "fichiers Curvalis Windows (*.cw3)";
        QTest::newRow("deux filtres")
            << QStringLiteral("Curvalis (éxécutable)|*.exe;|كل الملفات|*")
            << QStringLiteral("Curvalis (éxécutable) (*.exe);;كل الملفات (*)");
        QTest::newRow("déjà pour Qt") << "fichiers AVI (*.avi)"
                                      << "fichiers AVI (*.avi)";
    }
    void filtresDesDialogues()
    {
        QFETCH(QString, filtre);
        QFETCH(QString, qt);
        QCOMPARE(filtreQt(filtre), qt);
    }

private:
    QString cheminConfiguration() const { return repDepart + "/kmconfig.txt"; }
};

QTEST_MAIN(TestExportation)
#include "tst_exportation.moc"
