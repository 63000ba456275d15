// The measurement value without windows: the session file (round trip, every kind of bad
// file) and the undo steps (differences, merging).
#include "measure/commandesMesure.h"
#include "measure/document.h"
#include "measure/fichierMesure.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <cmath>

namespace
{

Mesure exemple()
{
    Mesure m;
    m.clip = {QStringLiteral("/tmp/cours/balle.avi"), 123456, "abcdef", 40};
    ReglagesMesure &g = m.reglages;
    g.pourcentAffichage = 50;
    g.largeurAffichee = 240;
    g.hauteurAffichee = 180;
    g.nbPoints = 2;
    g.origineTemps = 3;
    g.decimalesTemps = 2;
    g.chiffresXY = 4;
    g.modeEtalonnage = 3;
    g.etalonP1 = {10, 170};
    g.etalonP2 = {110, 170};
    g.texteSH = QStringLiteral(" 1.00E+0");
    g.texteSV = QStringLiteral(" 2,5E-1");
    g.texteSi = QStringLiteral("1");
    g.echelleH = 1.0L / 3.0L; // needs every bit of the 80-bit real
    g.echelleV = 0.01L;
    g.origineX = 5;
    g.origineY = 170;
    g.sensX = -1;
    g.aspects[0] = {255, false, 0};
    g.aspects[2] = {65280, true, 2};
    g.taillePoints = 3;
    // Pointed by hand, then tracked (hundredths, up to half a pixel past the last centre).
    m.positions[0] = {{0, QPointF(10, 20)},
                      {39, QPointF(239, 179)},
                      {20, QPointF(123.45, 0.07)},
                      {21, QPointF(239.5, -0.5)}};
    m.positions[3] = {{5, QPointF(0, 0)}}; // a pair hidden by the point count
    return m;
}

class EnregistreurVues : public ObservateurMesure
{
public:
    std::vector<PlageMesure> plages;
    void mesureModifiee(const Mesure &, const PlageMesure &p) override { plages.push_back(p); }
};

} // namespace

class TestMesure : public QObject
{
    Q_OBJECT

private slots:
    void allerRetour()
    {
        QTemporaryDir d;
        const Mesure m = exemple();
        const QString session = d.filePath(QStringLiteral("seance.kinemar"));
        QCOMPARE(ecrireSession(m, session), QString());
        const LectureSession l = lireFichierSession(session);
        QVERIFY2(l.mesure, qPrintable(l.erreur));
        QVERIFY(*l.mesure == m);
        // Points compare loosely; the bytes show every tracked hundredth came back exact.
        QCOMPARE(texteSession(*l.mesure, session), texteSession(m, session));
        // The protractor's angles are written only when there are some.
        QVERIFY(!texteSession(m, session).contains("angles"));
        Mesure avecAngles = m;
        avecAngles.angles = {{0, 37.4}, {39, -180}, {7, 0.1}};
        const LectureSession la = lireSession(texteSession(avecAngles, session), session);
        QVERIFY2(la.mesure, qPrintable(la.erreur));
        QVERIFY(*la.mesure == avecAngles);

        // Beside the session (or below it) the clip is named relatively: the folder moves whole.
        Mesure voisin = m;
        voisin.clip.fichier = d.filePath(QStringLiteral("clips/balle.avi"));
        const QJsonObject o = QJsonDocument::fromJson(texteSession(voisin, session)).object();
        QCOMPARE(o[QStringLiteral("clip")][QStringLiteral("fichier")].toString(),
                 QStringLiteral("clips/balle.avi"));
        const LectureSession ailleurs =
            lireSession(texteSession(voisin, session), QStringLiteral("/autre/seance.kinemar"));
        QCOMPARE(ailleurs.mesure->clip.fichier, QStringLiteral("/autre/clips/balle.avi"));
        QCOMPARE(ailleurs.autreChemin, voisin.clip.fichier);

        // Untilted axes write no angle, so files stay as they were; a turn comes back whole.
        QVERIFY(!texteSession(m, session).contains("angle"));
        Mesure incline = m;
        incline.reglages.angleAxes = -30.25;
        const LectureSession li = lireSession(texteSession(incline, session), session);
        QVERIFY2(li.mesure, qPrintable(li.erreur));
        QCOMPARE(li.mesure->reglages.angleAxes, -30.25);
    }

    // Pixels to metres along axes turned about the Origin: the offset is turned in pixels,
    // then each axis takes its direction and its Scale. Untilted, the same bits as ever.
    void axesInclines_data()
    {
        QTest::addColumn<double>("angle");
        QTest::addColumn<int>("sx");
        QTest::addColumn<int>("sy");
        QTest::addColumn<double>("eV");
        QTest::addColumn<QPointF>("P");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        // Origin (100, 100), echelleH 0.01.
        QTest::newRow("0 deg") << 0.0 << 1 << 1 << 0.02 << QPointF(130, 60) << 0.3 << 0.8;
        QTest::newRow("90 deg") << 90.0 << 1 << 1 << 0.01 << QPointF(100, 70) << 0.3 << 0.0;
        QTest::newRow("-30 deg, down the slope")
            << -30.0 << 1 << 1 << 0.01 << QPointF(100 + 40 * std::sqrt(3.0), 140) << 0.8 << 0.0;
        QTest::newRow("-30 deg, across it")
            << -30.0 << 1 << 1 << 0.01 << QPointF(110, 100 - 10 * std::sqrt(3.0)) << 0.0 << 0.2;
        QTest::newRow("180 deg, x to the left")
            << 180.0 << -1 << 1 << 0.01 << QPointF(130, 100) << 0.3 << 0.0;
        QTest::newRow("45 deg, y downward, scales differ")
            << 45.0 << 1 << -1 << 0.02 << QPointF(110, 90) << 0.1 * std::sqrt(2.0) << 0.0;
        QTest::newRow("45 deg, scales differ")
            << 45.0 << 1 << 1 << 0.02 << QPointF(90, 90) << 0.0 << 0.2 * std::sqrt(2.0);
    }

    void axesInclines()
    {
        QFETCH(double, angle);
        QFETCH(int, sx);
        QFETCH(int, sy);
        QFETCH(double, eV);
        QFETCH(QPointF, P);
        QFETCH(double, x);
        QFETCH(double, y);
        ReglagesMesure g;
        g.origineX = g.origineY = 100;
        g.echelleH = 0.01L;
        g.echelleV = eV;
        g.sensX = sx;
        g.sensY = sy;
        g.angleAxes = angle;
        QVERIFY2(std::fabs(double(xMetres(g, P)) - x) < 1e-12,
                 qPrintable(QString::number(double(xMetres(g, P)))));
        QVERIFY2(std::fabs(double(yMetres(g, P)) - y) < 1e-12,
                 qPrintable(QString::number(double(yMetres(g, P)))));
        if (angle == 0) {
            QCOMPARE(xMetres(g, P), static_cast<long double>(P.x() - 100) * sx * g.echelleH);
            QCOMPARE(yMetres(g, P), static_cast<long double>(100 - P.y()) * sy * g.echelleV);
        }
        QCOMPARE(angleNormalise(angle + 720), angle == 180 ? 180.0 : angle);
    }

    void fichiersMauvais_data()
    {
        QTest::addColumn<QByteArray>("octets");
        QTest::addColumn<QString>("attendu"); // a piece of the Arabic message
        const QByteArray bon = texteSession(exemple(), QStringLiteral("/tmp/s.kinemar"));
        auto change = [&](const char *avant, const char *apres) {
            QByteArray b = bon;
            b.replace(avant, apres);
            if (b == bon) qFatal("the test text was not found: %s", avant);
            return b;
        };
        const QString pasSession = QStringLiteral("ليس ملف جلسة");
        const QString typeFaux = QStringLiteral("مفقود أو من نوع غير صحيح");
        const QString horsPlage = QStringLiteral("خارج المجال");
        QTest::newRow("pas du JSON") << QByteArray("Kinemar\nx y\n") << pasSession;
        QTest::newRow("vide") << QByteArray() << pasSession;
        QTest::newRow("tronque") << bon.left(bon.size() / 2) << pasSession;
        QTest::newRow("tableau") << QByteArray("[1, 2]") << pasSession;
        QTest::newRow("format 2") << change("\"format\":1", "\"format\":2")
                                  << QStringLiteral("صيغة ملف الجلسة غير معروفة (2)");
        QTest::newRow("sans format") << change("\"format\":1", "\"forme\":1")
                                     << QStringLiteral("صيغة ملف الجلسة غير معروفة (?)");
        QTest::newRow("points en texte") << change("\"points\":2", "\"points\":\"2\"") << typeFaux;
        QTest::newRow("points 5") << change("\"points\":2", "\"points\":5") << horsPlage;
        QTest::newRow("points 1.5") << change("\"points\":2", "\"points\":1.5") << typeFaux;
        QTest::newRow("image hors du clip") << change("[39,", "[40,") << horsPlage;
        QTest::newRow("image negative") << change("[0,10,20]", "[-1,10,20]") << horsPlage;
        QTest::newRow("pixel hors image") << change(",239,", ",240,") << horsPlage;
        QTest::newRow("pixel suivi hors image") << change("239.5", "239.51") << horsPlage;
        QTest::newRow("pixel en texte") << change("[0,10,20]", "[0,\"10\",20]") << typeFaux;
        QTest::newRow("pointage incomplet") << change(",239,179]", ",239]") << typeFaux;
        QTest::newRow("sans etalonnage") << change("\"etalonnage\"", "\"etalon\"") << typeFaux;
        QTest::newRow("echelle illisible")
            << change("\"echelleV\":\"", "\"echelleV\":\"x") << typeFaux;
        QTest::newRow("sens 0") << change("\"sensY\":1", "\"sensY\":0") << horsPlage;
        QTest::newRow("origine du temps 0")
            << change("\"origine\":3", "\"origine\":0") << horsPlage;
        QTest::newRow("trace en nombre") << change("\"trace\":false", "\"trace\":0") << typeFaux;
        QTest::newRow("angle en texte")
            << change("\"sensX\"", "\"angle\":\"5\",\"sensX\"") << typeFaux;
        QTest::newRow("angle 200") << change("\"sensX\"", "\"angle\":200,\"sensX\"") << horsPlage;
        QTest::newRow("angle -180") << change("\"sensX\"", "\"angle\":-180,\"sensX\"") << horsPlage;
        QTest::newRow("angle hors du clip")
            << change("\"pointages\":", "\"angles\":[[40,3]],\"pointages\":") << horsPlage;
        QTest::newRow("angle 400")
            << change("\"pointages\":", "\"angles\":[[1,400]],\"pointages\":") << horsPlage;
        QTest::newRow("angle sans valeur")
            << change("\"pointages\":", "\"angles\":[[1]],\"pointages\":") << typeFaux;
    }

    void fichiersMauvais()
    {
        QFETCH(QByteArray, octets);
        QFETCH(QString, attendu);
        const LectureSession l = lireSession(octets, QStringLiteral("/tmp/s.kinemar"));
        QVERIFY(!l.mesure);
        QVERIFY2(l.erreur.contains(attendu), qPrintable(l.erreur));
    }

    // Each step keeps only what it changed, and undo/redo go back to whole equal values.
    void etapes()
    {
        Mesure courante = exemple();
        EnregistreurVues vues;
        QUndoStack pile;
        std::vector<Mesure> etats{courante};
        auto pousser = [&](Mesure apres) {
            auto *c = new CommandeMesure(courante, &vues, courante, apres);
            courante = apres;
            pile.push(c);
            etats.push_back(courante);
        };
        Mesure m = courante;
        m.positions[1].insert(7, QPointF(3, 4)); // a pointing
        pousser(m);
        QCOMPARE(static_cast<const CommandeMesure *>(pile.command(0))->octets() <
                     sizeof(CommandeMesure) + 64,
                 true);
        m.positions[0].clear(); // clearing a column
        pousser(m);
        m.reglages.sensY = -1; // settings
        m.reglages.origineX = 7;
        pousser(m);
        for (int t : {4, 5, 6}) { // holding the time-origin arrow: one step
            m.reglages.origineTemps = t;
            pousser(m);
            etats.pop_back();
        }
        etats.push_back(courante);
        QCOMPARE(pile.count(), 4);
        for (int i = int(etats.size()) - 2; i >= 0; --i) {
            pile.undo();
            QVERIFY2(courante == etats[i], qPrintable(QString::number(i)));
        }
        QCOMPARE(vues.plages.front().reglages, true);
        QCOMPARE(vues.plages.back().positions.size(), std::size_t(1));
        for (std::size_t i = 1; i < etats.size(); ++i) {
            pile.redo();
            QVERIFY(courante == etats[i]);
        }
        QCOMPARE(vues.plages.size(), 2 * (etats.size() - 1));
    }

    // The document's operations are steps that undo to whole equal values, and the recovery
    // journal of their changes, replayed on the first value, gives the last one; a line cut by
    // a crash ends the replay, and replaying twice changes nothing.
    void documentEtJournal()
    {
        DocumentMesure d;
        d.remplacer(exemple());
        const QString f = QStringLiteral("/tmp/cours/r.kinemar");
        QByteArray journal;
        std::vector<Mesure> etats{d.mesure()};
        QObject::connect(&d, &DocumentMesure::modifie, [&](const PlageMesure &p) {
            journal += lignesJournal(d.mesure(), p, f);
        });
        d.pointer(1, 7, QPointF(3.456, 4)); // kept as the table writes it: hundredths
        QCOMPARE(d.position(1, 7), std::optional<QPointF>(QPointF(3.46, 4)));
        etats.push_back(d.mesure());
        d.ecrireCellule(2, 8, QPointF(5, 0)); // x then y of one cell pair: one step
        d.ecrireCellule(2, 8, QPointF(5, 6));
        etats.push_back(d.mesure());
        d.changerPositions({{9, 0, std::nullopt, QPointF(1, 2)}, {10, 0, std::nullopt, QPointF(3, 4)}});
        etats.push_back(d.mesure());
        d.effacer(0, 0, 0, 20); // a column, frames 0 to 20
        etats.push_back(d.mesure());
        ReglagesMesure r = d.reglages();
        r.pourcentAffichage = 100;
        r.largeurAffichee = 480;
        r.hauteurAffichee = 360;
        d.changerReglages(r, true); // a new display size clears everything
        QCOMPARE(d.mesure().nbPointages(), 0);
        etats.push_back(d.mesure());
        d.pointer(0, 1, QPointF(7, 8));
        etats.push_back(d.mesure());
        // Nudges of one pointing in a row are one step; a frame without it moves nothing.
        QVERIFY(d.deplacer(0, 1, {1, 0}, 480, 360));
        QVERIFY(d.deplacer(0, 1, {0, -1}, 480, 360));
        QCOMPARE(d.position(0, 1), std::optional<QPointF>(QPointF(8, 7)));
        etats.push_back(d.mesure());
        QVERIFY(!d.deplacer(0, 2, {1, 0}, 480, 360));
        r.angleAxes = 12.5; // the axes turned
        d.changerReglages(r);
        etats.push_back(d.mesure());
        d.pointer(0, 1, std::nullopt);
        etats.push_back(d.mesure());
        d.changerAngle(4, 37.44); // kept to the tenth, as the table shows it
        QCOMPARE(d.angle(4), std::optional<double>(37.4));
        etats.push_back(d.mesure());
        d.changerAngle(5, -2);
        etats.push_back(d.mesure());
        d.pointer(0, 5, QPointF(1, 1));
        etats.push_back(d.mesure());
        d.effacer(0, 1, 5, 5, true); // a row: its angle goes with its positions, in one step
        QVERIFY(!d.angle(5) && !d.position(0, 5));
        etats.push_back(d.mesure());
        d.changerAngle(4, std::nullopt);
        etats.push_back(d.mesure());
        QCOMPARE(d.pile()->count(), int(etats.size()) - 1);
        for (int i = int(etats.size()) - 2; i >= 0; --i) {
            d.pile()->undo();
            QVERIFY2(d.mesure() == etats[i], qPrintable(QString::number(i)));
        }
        for (std::size_t i = 1; i < etats.size(); ++i) {
            d.pile()->redo();
            QVERIFY(d.mesure() == etats[i]);
        }

        for (const QByteArray &j : {journal, journal + journal}) {
            Mesure m = etats[0];
            QVERIFY(rejouerJournal(m, j, f) > 0);
            QVERIFY(m == d.mesure());
        }
        Mesure coupe = etats[0];
        rejouerJournal(coupe, journal + "P 1 12 3", f);
        QVERIFY(coupe == d.mesure());
    }
};

QTEST_GUILESS_MAIN(TestMesure)
#include "tst_mesure.moc"
