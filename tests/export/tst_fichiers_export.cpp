// The writers of the exports, without windows: the two data-file formats, the text file and
// the clipboard text against golden bytes; the code page; kmconfig.txt; what is launched.
#include "calibration/transformation.h"
#include "commun/limiteTaille.h"
#include "export/configuration.h"
#include "export/cp1256.h"
#include "export/fichiers.h"
#include "export/fichiersCurvalis.h"
#include "export/texteTableau.h"
#include "measure/fichierMesure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QStandardPaths>
#include <QProcess>

#include <optional>
#include <sys/mount.h>
#include <unistd.h>

namespace
{

QByteArray golden(const QString &nom)
{
    QFile f(QStringLiteral(KINEMAR_GOLDEN_DIR "/") + nom);
    if (!f.open(QIODevice::ReadOnly)) qFatal("golden file missing");
    return f.readAll();
}

// A: 2 objects, time origin 1, "."; row 2 incomplete, negatives in rows 1 and 3.
// B: 1 object, time origin 2, ","; row 1 above the origin, row 3 not pointed.
// C: 4 objects, time origin 5, ","; rows 1-4 above the origin (pointed all the same), row 6
// incomplete, negatives, zero and large exponents.
InstantaneTableau exemple(char nom)
{
    InstantaneTableau t;
    if (nom == 'A') {
        t.noms = QStringList{"t", "x1", "y1", "x2", "y2"};
        t.lignes = {{"0.000", " 1.23E-1", "-4.50E-2", " 2.00E-1", " 0.00E+0"},
                    {"0.040", " 1.50E-1", " 1.00E-2", "", ""},
                    {"0.080", " 1.75E-1", " 5.00E-2", " 2.10E-1", "-1.00E-3"}};
        return t;
    }
    t.separateur = QLatin1Char(',');
    if (nom == 'B') {
        t.noms = QStringList{"t", "x", "y"};
        t.origineTemps = 2;
        t.lignes = {{"", " 1,000E-1", " 2,000E-1"},
                    {"0,00", " 1,100E-1", "-2,050E-2"},
                    {"0,04", "", ""},
                    {"0,08", " 1,300E-1", " 0,000E+0"}};
        return t;
    }
    t.noms = QStringList{"t", "x1", "y1", "x2", "y2", "x3", "y3", "x4", "y4"};
    t.origineTemps = 5;
    t.lignes = {
        {"", " 1,00E-1", " 2,00E-1", " 3,00E-1", " 4,00E-1", " 5,00E-1", " 6,00E-1", " 7,00E-1",
         " 8,00E-1"},
        {"", " 1,10E-1", " 2,10E-1", " 3,10E-1", " 4,10E-1", " 5,10E-1", " 6,10E-1", " 7,10E-1",
         " 8,10E-1"},
        {"", " 1,20E-1", "", "", " 4,20E-1", " 5,20E-1", " 6,20E-1", " 7,20E-1", " 8,20E-1"},
        {"", " 1,30E-1", " 2,30E-1", " 3,30E-1", " 4,30E-1", " 5,30E-1", " 6,30E-1", " 7,30E-1",
         " 8,30E-1"},
        {"0,00", " 1,25E-1", "-2,50E-2", " 0,00E+0", "-1,00E+0", " 9,99E+2", "-3,33E-3", " 1,00E-9",
         " 4,56E+1"},
        {"0,04", " 1,30E-1", "-2,40E-2", "", "", " 9,98E+2", "-3,30E-3", " 1,10E-9", " 4,50E+1"},
        {"0,08", " 1,35E-1", "-2,30E-2", " 1,00E-2", "-9,90E-1", " 9,97E+2", "-3,27E-3", " 1,20E-9",
         " 4,44E+1"}};
    return t;
}

const QString kTitreInitial = QStringLiteral(" Kinemar  تنقيطات");

} // namespace

class TestFichiersExport : public QObject
{
    Q_OBJECT
private slots:
    void formats_data()
    {
        QTest::addColumn<char>("nom");
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("separateur");
        QTest::addColumn<QString>("titre");
        for (char e : {'A', 'B', 'C'})
            for (const char *f : {"ccc", "cw3"})
                QTest::addRow("%c.%s", e, f) << e << QString::fromLatin1(f) << 0 << QString();
        // B and C write "," as the decimal mark: their "," separator is written ";".
        QTest::addRow("A.txt") << 'A' << "txt" << 0 << kTitreInitial;
        QTest::addRow("B.txt") << 'B' << "txt" << 2 << kTitreInitial;
        QTest::addRow("C.txt") << 'C' << "txt" << 3 << QStringLiteral("Chute libre — مسار الكرة");
        QTest::addRow("A.presse-papiers") << 'A' << "presse-papiers" << 0 << kTitreInitial;
        QTest::addRow("B.presse-papiers") << 'B' << "presse-papiers" << 1 << kTitreInitial;
        QTest::addRow("C.presse-papiers") << 'C' << "presse-papiers" << 2 << QString();
    }
    void formats()
    {
        QFETCH(char, nom);
        QFETCH(QString, format);
        QFETCH(int, separateur);
        QFETCH(QString, titre);
        const InstantaneTableau t = exemple(nom);
        QByteArray octets;
        if (format == "txt") {
            int remplaces = -1;
            octets = fichierTexte(t, separateurChoisi(separateur), titre, &remplaces);
            QCOMPARE(remplaces, 0);
        } else if (format == "presse-papiers") {
            octets = textePressePapiers(t, separateurChoisi(separateur), titre).toUtf8();
        } else {
            octets = fichierCurvalis(t, format);
        }
        QCOMPARE(octets, golden(QString(QLatin1Char(nom)) + QLatin1Char('.') + format));
    }

    // Every separator with either decimal mark: each data line splits into as many fields as
    // the names line, and each field reads as a number with that mark.
    void champsSeparables()
    {
        for (char nom : {'A', 'B'}) {
            const InstantaneTableau t = exemple(nom);
            for (int index = 0; index < 4; ++index) {
                const QChar choisi = separateurChoisi(index);
                const QChar sep = separateurDeChamps(choisi, t.separateur);
                const QString fichier = QString::fromLatin1(fichierTexte(t, choisi, "T"));
                for (const QString &texte : {fichier, textePressePapiers(t, choisi, "T")}) {
                    QStringList lignes = texte.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
                    const int champs = int(lignes[1].split(sep).size());
                    for (const QString &ligne : lignes.mid(3)) {
                        const QStringList valeurs =
                            ligne.split(sep, index == 3 ? Qt::SkipEmptyParts : Qt::KeepEmptyParts);
                        QCOMPARE(int(valeurs.size()), champs);
                        for (const QString &v : valeurs)
                            QVERIFY2(lireReel(v.trimmed(), t.separateur), qPrintable(ligne));
                    }
                }
            }
        }
    }

    // The same files opened by a spreadsheet of the user's locale (English for ".", French for
    // ","), with the separator written: every value cell reads as a number.
    void ouvertsParUnTableur()
    {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty()) QSKIP("LibreOffice is not installed");
        QTemporaryDir dossier;
        for (char nom : {'A', 'B'}) {
            const InstantaneTableau t = exemple(nom);
            const QString langue = t.separateur == QLatin1Char('.') ? "1033" : "1036";
            for (int index = 0; index < 4; ++index) {
                const QChar sep = separateurDeChamps(separateurChoisi(index), t.separateur);
                const QString base = dossier.filePath(QStringLiteral("%1%2").arg(nom).arg(index));
                QFile f(base + QStringLiteral(".txt"));
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(fichierTexte(t, separateurChoisi(index), "T"));
                f.close();
                QProcess p;
                p.setWorkingDirectory(dossier.path());
                p.start(soffice,
                        {"-env:UserInstallation=file://" + dossier.filePath("profil"), "--headless",
                         QStringLiteral("--infilter=Text - txt - csv (StarCalc):%1,34,76,1,,%2")
                             .arg(int(sep.unicode()))
                             .arg(langue),
                         "--convert-to", "fods", f.fileName()});
                QVERIFY(p.waitForFinished(120000));
                QFile feuille(base + QStringLiteral(".fods"));
                QVERIFY(feuille.open(QIODevice::ReadOnly));
                // A: two complete rows of five values; B: two rows of three.
                QCOMPARE(int(feuille.readAll().count("office:value-type=\"float\"")),
                         nom == 'A' ? 10 : 6);
            }
        }
    }

    // A write that fails for real: a child process (this program again) whose file-size limit
    // is below what it writes, or, as root, on a full tmpfs mounted in its own namespace.
    // Each writer must report the failure, leave the old file byte for byte and nothing
    // beside it.
    void ecritureEchouee_data()
    {
        QTest::addColumn<QString>("ecrivain");
        QTest::addColumn<int>("taille");
        QTest::addColumn<bool>("tmpfs");
        for (const char *e : {"fichier", "session"})
            for (int t : {1, 100, 10000, 20000, 1 << 20}) {
                QTest::addRow("%s/%d", e, t) << QString::fromLatin1(e) << t << false;
                if (t <= 10000)
                    QTest::addRow("%s/%d/tmpfs", e, t) << QString::fromLatin1(e) << t << true;
            }
    }
    void ecritureEchouee()
    {
        QFETCH(QString, ecrivain);
        QFETCH(int, taille);
        QFETCH(bool, tmpfs);
        QTemporaryDir dossier;
        QProcess enfant;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(
            QStringLiteral("KINEMAR_ENFANT"),
            QStringLiteral("%1;%2;%3;%4").arg(ecrivain).arg(taille).arg(tmpfs).arg(dossier.path()));
        enfant.setProcessEnvironment(env);
        enfant.setProcessChannelMode(QProcess::MergedChannels);
        const QStringList args{QStringLiteral("enfantEcriture")};
        if (tmpfs) {
            const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
            if (::geteuid() != 0 || unshare.isEmpty())
                QSKIP("a full tmpfs needs root and unshare to be mounted");
            enfant.start(
                unshare,
                QStringList{QStringLiteral("-m"), QCoreApplication::applicationFilePath()} + args);
        } else {
            enfant.start(QCoreApplication::applicationFilePath(), args);
        }
        QVERIFY(enfant.waitForFinished(60000));
        const QString sortie = QString::fromUtf8(enfant.readAll());
        QVERIFY2(enfant.exitCode() == 0 && sortie.contains(QStringLiteral(
                                               "PASS   : TestFichiersExport::enfantEcriture()")),
                 qPrintable(sortie));
    }
    // The child's side of ecritureEchouee; skipped when run alone.
    void enfantEcriture()
    {
        const QStringList p = qEnvironmentVariable("KINEMAR_ENFANT").split(QLatin1Char(';'));
        if (p.size() != 4) QSKIP("run by ecritureEchouee");
        const QString ecrivain = p[0];
        const int taille = p[1].toInt();
        const bool tmpfs = p[2] == QLatin1String("1");
        const QString dossier = p[3];
        if (tmpfs) {
            QVERIFY(::mount("tmpfs", QFile::encodeName(dossier).constData(), "tmpfs", 0,
                            "size=64k") == 0);
        }
        const QString nom = dossier + QStringLiteral("/ancien");
        const QByteArray ancien = QByteArray("l'ancien contenu\n").repeated(20);
        {
            QFile f(nom);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(ancien) == ancien.size() && f.flush());
        }
        QStringList attendus{QStringLiteral("ancien")};
        if (tmpfs) { // filled to its last block
            QFile plein(dossier + QStringLiteral("/plein"));
            QVERIFY(plein.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray bloc(4096, 'p');
            while (plein.write(bloc) > 0) {
            }
            plein.write(bloc.left(1));
            attendus << QStringLiteral("plein");
        }
        // What is written: `taille` bytes at least.
        Mesure m;
        m.clip.fichier = QStringLiteral("/clip.avi");
        for (int i = 0;
             ecrivain == QLatin1String("session") && texteSession(m, nom).size() < taille;)
            for (const int fin = i + 1000; i < fin; ++i)
                m.positions[0].insert(i, QPointF(i % 640, i % 480));
        const QByteArray octets(taille, 'n');

        std::optional<LimiteTaille> limite;
        if (!tmpfs) {
            limite.emplace(rlim_t(taille - 1));
            QVERIFY(limite->active());
        }
        QString erreur;
        if (ecrivain == QLatin1String("fichier"))
            erreur = ecrireFichier(nom, octets).value_or(QString());
        else
            erreur = ecrireSession(m, nom);
        limite.reset();
        QVERIFY2(!erreur.isEmpty(), "the failure was not reported");
        if (ecrivain == QLatin1String("session"))
            QVERIFY(erreur.startsWith(QStringLiteral("تعذر حفظ الجلسة في الملف :\r")) &&
                    !erreur.endsWith(QLatin1Char('\r')));
        QFile f(nom);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), ancien);
        QCOMPARE(QDir(dossier).entryList(QDir::Files | QDir::Hidden | QDir::System), attendus);
    }

    // Without any complete row: the whole header, no data; the text forms keep three lines.
    void sansLigneComplete()
    {
        InstantaneTableau t = exemple('A');
        t.lignes = {{"0.000", "", ""}, {"0.040", " 1.00E-1", ""}};
        const QByteArray cw3 = fichierCurvalis(t, "cw3");
        QVERIFY(cw3.endsWith("&2 VALEUR VAR\r\n&2 OPTIONS\r\n1\r\n1\r\n"));
        QCOMPARE(fichierCurvalis(t, "ccc").right(3), QByteArray("\x7F\r\n"));
        QCOMPARE(fichierTexte(t, '\t', "T").count("\r\n"), 3);
        QCOMPARE(textePressePapiers(t, ';', "T"),
                 QStringLiteral("T\r\nt;x1;y1;x2;y2\r\ns;m;m;m;m"));
    }

    // The protractor's angle as a last column: in the text forms a row with a time is written
    // when all its positions or its angle are there; the analysis program's files ignore it.
    void colonneAngle()
    {
        InstantaneTableau t = exemple('B');
        t.angle = true;
        t.noms << "angle";
        const QStringList angles{" 12,5", "", "-3,0", " 0,0"};
        for (int r = 0; r < 4; ++r)
            t.lignes[std::size_t(r)] << angles[r];
        QCOMPARE(fichierTexte(t, ';', "T"),
                 QByteArray("T\r\nt;x;y;angle\r\n(s);(m);(m);(\xB0)\r\n0,00;1,100E-1;-2,050E-2;\r\n"
                            "0,04;;;-3,0\r\n0,08;1,300E-1;0,000E+0;0,0\r\n"));
        QCOMPARE(textePressePapiers(t, '\t', "T"),
                 QStringLiteral("T\r\nt\tx\ty\tangle\r\ns\tm\tm\t°\r\n0,00\t 1,100E-1\t-2,050E-2\t\r\n"
                                "0,04\t\t\t-3,0\r\n0,08\t 1,300E-1\t 0,000E+0\t 0,0"));
        for (const char *f : {"ccc", "cw3"})
            QCOMPARE(fichierCurvalis(t, f), fichierCurvalis(exemple('B'), f));
    }

    void reglesDeDetail()
    {
        QCOMPARE(remplaceCar("0,5,5", ',', '.'), QStringLiteral("0.5,5"));
        QCOMPARE(remplaceCar("12", ',', '.'), QStringLiteral("12"));
        // Only "cw3" exactly gives the Windows format.
        QVERIFY(fichierCurvalis(exemple('A'), "CW3").startsWith("PALOMERE CURVALIS 2.0\r\n"));
        QCOMPARE(nomFichierEchange("/opt/curvalis/CURV.EXE", "cw3"),
                 QStringLiteral("/opt/curvalis/~kincur~.cw3"));
        QCOMPARE(nomFichierEchange("CURV.EXE", "ccc"), QStringLiteral("~kincur~.ccc"));
        // A row at or after the time origin whose time went missing is not written.
        InstantaneTableau t = exemple('A');
        t.lignes[0][0].clear();
        QVERIFY(!fichierCurvalis(t, "ccc").contains("1.23E-1"));
    }

    // A title with a line break keeps the header on three lines; a character the code page
    // lacks becomes "?" and is counted.
    void titre()
    {
        QCOMPARE(titreSurUneLigne("a\r\nb\tc\u2028d"), QStringLiteral("a  b c d"));
        int remplaces = 0;
        const QByteArray f =
            fichierTexte(exemple('B'), ';', QStringLiteral("Δv\nشكرا 😀"), &remplaces);
        QVERIFY(f.startsWith(QByteArray("?v ") + versCp1256("شكرا") + " ?\r\nt;x;y\r\n"));
        QCOMPARE(remplaces, 2);
        QVERIFY(textePressePapiers(exemple('B'), ';', "a\nb").startsWith("a b\r\nt;x;y\r\n"));
    }

    void codePage()
    {
        QByteArray tous;
        for (int i = 0; i < 256; ++i)
            tous.append(static_cast<char>(i));
        int remplaces = -1;
        QCOMPARE(versCp1256(depuisCp1256(tous), &remplaces), tous);
        QCOMPARE(remplaces, 0);
        QVERIFY(encodableCp1256(QChar(0x0645)) && encodableCp1256(QChar(0xE9)));
        QVERIFY(!encodableCp1256(QChar(0x0394)) && !encodableCp1256(QChar(0x066B)));
    }

    void configuration_data()
    {
        QTest::addColumn<QByteArray>("octets");
        QTest::addColumn<QString>("programme");
        QTest::addColumn<bool>("valide");
        QTest::addColumn<bool>("windows");
        const QString p = QStringLiteral("/opt/curvalis/CURV.EXE");
        QTest::newRow("CR LF") << QByteArray("/opt/curvalis/CURV.EXE\r\nwin\r\n") << p << true
                               << true;
        QTest::newRow("LF, majuscules")
            << QByteArray("/opt/curvalis/CURV.EXE\nWIN\n") << p << true << true;
        QTest::newRow("Win sans fin de ligne")
            << QByteArray("/opt/curvalis/CURV.EXE\r\nWin") << p << true << true;
        QTest::newRow("DOS") << QByteArray("/opt/curvalis/CURV.EXE\r\nDOS\r\n") << p << true
                             << false;
        QTest::newRow("lignes de plus")
            << QByteArray("/opt/curvalis/CURV.EXE\r\ndos\r\nwin\r\n") << p << true << false;
        QTest::newRow("windows") << QByteArray("/opt/curvalis/CURV.EXE\r\nwindows\r\n") << p
                                 << false << false;
        QTest::newRow("blanc final")
            << QByteArray("/opt/curvalis/CURV.EXE\r\nwin \r\n") << p << false << false;
        QTest::newRow("version vide")
            << QByteArray("/opt/curvalis/CURV.EXE\r\n\r\n") << p << false << false;
        QTest::newRow("chemin vide") << QByteArray("\r\nwin\r\n") << QString() << false << true;
        QTest::newRow("fichier vide") << QByteArray() << QString() << false << false;
        QTest::newRow("Windows-1256") << QByteArray("/opt/\xE3\xD3\xC7\xD1/c\r\nwin\r\n")
                                      << QStringLiteral("/opt/مسار/c") << true << true;
        QTest::newRow("UTF-8") << QByteArray("/opt/\xCE\x94/c\r\nwin\r\n")
                               << QStringLiteral("/opt/Δ/c") << true << true;
    }
    void configuration()
    {
        QFETCH(QByteArray, octets);
        QFETCH(QString, programme);
        QFETCH(bool, valide);
        QFETCH(bool, windows);
        const ConfigCurvalis c = lireConfiguration(octets);
        QCOMPARE(c.programme, programme);
        QCOMPARE(c.valide(), valide);
        QCOMPARE(c.windows(), windows);
    }

    // Arabic and Persian paths come back as written, whether the dialog wrote them
    // (Windows-1256, or UTF-8 for letters it lacks) or a teacher's editor (UTF-8): ones
    // ending in a letter whose byte is a UTF-8 lead, ones whose bytes happen to be UTF-8.
    void cheminsConfiguration()
    {
        for (const char *chemin : {"/opt/c/ب", "/opt/شک/c", "/opt/شک", "/home/معلم/فيزياء/منحنى",
                                   "/opt/پژوهش/گام", "/opt/کتاب‌ها/c", "/opt/یک/c",
                                   "/opt/درس فیزیک/ی", "/opt/ءآأؤإئ", "/opt/Δ/ب"}) {
            const QString p = QString::fromUtf8(chemin);
            QCOMPARE(lireConfiguration(texteConfiguration(p, true)).programme, p);
            QCOMPARE(lireConfiguration(p.toUtf8() + "\r\nwin\r\n").programme, p);
        }
    }

    // Both versions' bytes are checked through the dialog; a path beyond ASCII comes back.
    void ecritureConfiguration()
    {
        for (const QString &p : {QStringLiteral("/opt/مسار/c"), QStringLiteral("/opt/Δ/c")})
            QCOMPARE(lireConfiguration(texteConfiguration(p, true)).programme, p);
    }

    void lancement()
    {
        QTemporaryDir d;
        const QString script = d.filePath("curvalis.sh"), pe = d.filePath("CURV"),
                      exe = d.filePath("CURV.EXE");
        for (const auto &[nom, contenu] :
             {std::pair{script, QByteArray("#!/bin/sh\n")}, std::pair{pe, QByteArray("MZ\x90")},
              std::pair{exe, QByteArray()}}) {
            QFile f(nom);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(contenu);
        }
        const QString wine = QStringLiteral("/usr/bin/wine");
        const auto c1 = commandeLancement(exe, "~kincur~.cw3", wine);
        QCOMPARE(c1.programme, wine);
        QCOMPARE(c1.arguments, (QStringList{exe, "~kincur~.cw3"}));
        QCOMPARE(commandeLancement(pe, "p", wine).programme, wine);
        const auto c2 = commandeLancement(script, "~kincur~.ccc", wine);
        QCOMPARE(c2.programme, script);
        QCOMPARE(c2.arguments, QStringList{"~kincur~.ccc"});
        QCOMPARE(commandeLancement(exe, "p", QString()).programme, exe);
        QVERIFY(fichierExiste(exe) && !fichierExiste(d.path()) && !fichierExiste(QString()));
        // The reason names what is wrong.
        QVERIFY(raisonEchecLancement(d.filePath("absent"), wine).contains("absent"));
        QVERIFY(raisonEchecLancement(exe, QString()).contains("wine"));
        QVERIFY(raisonEchecLancement(script, wine).contains(QStringLiteral("غير قابل للتنفيذ")));
    }
};

QTEST_GUILESS_MAIN(TestFichiersExport)
#include "tst_fichiers_export.moc"
