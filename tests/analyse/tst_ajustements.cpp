// Quantities, smoothing and fits on motions of known truth, pointed at whole pixels
// (1 px = 1 mm) at 25 or 30 frames/s; the failures of fits; the texts of a fit.
#include "analyse/ajustements.h"
#include "analyse/grandeurs.h"
#include "analyse/lissage.h"

#include <QtTest>
#include <cmath>
#include <functional>

Q_DECLARE_METATYPE(TypeAjustement)

namespace
{

constexpr double pi = 3.14159265358979323846;
constexpr double g = 9.81;

double pixel(double metres)
{
    return std::round(metres * 1000) / 1000;
}

using Trajet = std::function<double(double)>;

// Rows 1..images at fps frames/s, row 1 at t = 0, positions on the pixel grid; rows listed in
// `manquantes` are not pointed.
std::vector<Echantillon> pointer(int images, double fps, const Trajet &x, const Trajet &y,
                                 const std::vector<int> &manquantes = {})
{
    std::vector<Echantillon> p;
    for (int l = 1; l <= images; ++l) {
        if (std::find(manquantes.begin(), manquantes.end(), l) != manquantes.end()) continue;
        const double t = (l - 1) / fps;
        p.push_back({l, t, pixel(x(t)), pixel(y(t))});
    }
    return p;
}

double ecart(double mesure, double vrai)
{
    return std::fabs(mesure / vrai - 1);
}

} // namespace

class TestAjustements : public QObject
{
    Q_OBJECT

private slots:
    // Oscillations fitted over ten periods or more, or over a range of rows far from t = 0:
    // the period within 0.1 %, τ within 2 %.
    void oscillations_data()
    {
        QTest::addColumn<TypeAjustement>("type");
        QTest::addColumn<double>("fps");
        QTest::addColumn<double>("periode");
        QTest::addColumn<double>("tau"); // 0: undamped
        QTest::addColumn<int>("premiere");
        QTest::addColumn<int>("derniere");
        // Small-angle pendulum of 1 m, 10 cm swing.
        QTest::newRow("pendule 25") << TypeAjustement::Sinus << 25.0 << 2.006 << 0.0 << 1 << 503;
        QTest::newRow("pendule 30") << TypeAjustement::Sinus << 30.0 << 2.006 << 0.0 << 1 << 603;
        QTest::newRow("pendule, images 400 à 1000")
            << TypeAjustement::Sinus << 30.0 << 2.006 << 0.0 << 400 << 1000;
        QTest::newRow("ressort amorti 25")
            << TypeAjustement::SinusAmorti << 25.0 << 0.8 << 4.0 << 1 << 301;
        QTest::newRow("ressort amorti 30, images 31 à 400")
            << TypeAjustement::SinusAmorti << 30.0 << 1.2 << 5.0 << 31 << 400;
    }
    void oscillations()
    {
        QFETCH(TypeAjustement, type);
        QFETCH(double, fps);
        QFETCH(double, periode);
        QFETCH(double, tau);
        QFETCH(int, premiere);
        QFETCH(int, derniere);
        const double w = 2 * pi / periode;
        const auto p = pointer(
            1000, fps,
            [&](double t) {
                return 0.1 * std::exp(tau > 0 ? -t / tau : 0.0) * std::sin(w * t + 0.7) + 0.003;
            },
            [](double) { return -1.0; });
        const auto s = serieGrandeurs(calculerGrandeurs(p), Grandeur::Temps, Grandeur::X);
        DemandeAjustement d;
        d.type = type;
        const auto r = ajusterSerie(d, s, premiere, derniere);
        QVERIFY2(r.converge, qPrintable(r.erreur));
        QVERIFY(r.erreur.isEmpty());
        QCOMPARE(r.premiereLigne, premiere);
        QCOMPARE(r.derniereLigne, derniere);
        QCOMPARE(r.points, derniere - premiere + 1);
        const std::size_t iw = type == TypeAjustement::Sinus ? 1 : 2;
        QCOMPARE(r.parametres[iw].nom, QStringLiteral("ω"));
        const double T = 2 * pi / r.parametres[iw].valeur;
        QVERIFY2(ecart(T, periode) < 1e-3, qPrintable(QString::number(ecart(T, periode))));
        // The uncertainty of ω is that of a good fit: small, yet not zero.
        QVERIFY(r.parametres[iw].incertitude > 0 &&
                r.parametres[iw].incertitude < 1e-3 * r.parametres[iw].valeur);
        if (tau > 0)
            QVERIFY2(ecart(r.parametres[1].valeur, tau) < 0.02,
                     qPrintable(QString::number(r.parametres[1].valeur)));
        QVERIFY(r.r2 > 0.999);
        // The curve drawn is the fitted one.
        const double t = (premiere + 10 - 1) / fps;
        QVERIFY(std::fabs(r(t) - s.v[std::size_t(premiere + 10 - 1)]) < 0.002);
    }

    // A fall from rest pointed at whole pixels, smoothed with the default window: the
    // acceleration within 2 % of g on every row, g from the parabola within 0.5 %, the
    // mechanical energy constant within 1 % of what the fall exchanges.
    void chuteLibre_data()
    {
        QTest::addColumn<double>("fps");
        QTest::addColumn<double>("hauteur");
        QTest::addColumn<double>("decalage"); // release before row 1, in frames
        QTest::newRow("25 images/s, 1 m") << 25.0 << 1.0 << 0.0;
        QTest::newRow("30 images/s, 1.5 m") << 30.0 << 1.5 << 0.0;
        QTest::newRow("30 images/s, 1 m, lâchée entre deux images") << 30.0 << 1.0 << 0.4;
    }
    void chuteLibre()
    {
        QFETCH(double, fps);
        QFETCH(double, hauteur);
        QFETCH(double, decalage);
        const double t0 = decalage / fps;
        const int images = int(std::sqrt(2 * hauteur / g) * fps - decalage) + 1;
        const auto p = pointer(
            images, fps, [](double) { return 0.25; },
            [&](double t) { return hauteur - g * (t + t0) * (t + t0) / 2; });
        ParametresGrandeurs par;
        par.masse = 0.05;
        par.lissage = ParametresLissage{};
        const Grandeurs q = calculerGrandeurs(p, par);
        QVERIFY(q.lissee(Grandeur::Ay) && q.lissee(Grandeur::Em) && !q.lissee(Grandeur::Temps));
        double pireA = 0, pireE = 0;
        const double echange = par.masse * g * hauteur;
        for (std::size_t i = 0; i < q.size(); ++i) {
            pireA = std::max(pireA, ecart(-q[Grandeur::Ay][i], g));
            pireE = std::max(pireE, std::fabs(q[Grandeur::Em][i] - echange) / echange);
        }
        QVERIFY2(pireA < 0.02, qPrintable(QString::number(pireA)));
        QVERIFY2(pireE < 0.01, qPrintable(QString::number(pireE)));
        const auto s = serieGrandeurs(q, Grandeur::Temps, Grandeur::Ay);
        QCOMPARE(s.u.size(), p.size());
        QVERIFY(s.verticaleLissee && !s.horizontaleLissee);

        // The parabola on the raw positions.
        const auto y = serieGrandeurs(calculerGrandeurs(p), Grandeur::Temps, Grandeur::Y);
        DemandeAjustement d;
        d.type = TypeAjustement::Parabole;
        const auto r = ajusterSerie(d, y, 1, images);
        QVERIFY(r.converge);
        QVERIFY2(ecart(-2 * r.parametres[0].valeur, g) < 0.005,
                 qPrintable(QString::number(r.parametres[0].valeur)));
    }

    // Nothing reaches over a missing row: x jumps 1 m across the first gap, yet every
    // velocity and acceleration stays that of the motion on either side. The first run, shorter
    // than the window, is smoothed with a narrower one; the two pairs of rows after the later
    // gaps are too short for any derivative; a gap adds no distance.
    void lacunes_data()
    {
        QTest::addColumn<bool>("lisse");
        QTest::newRow("brut") << false;
        QTest::newRow("lissé") << true;
    }
    void lacunes()
    {
        QFETCH(bool, lisse);
        // Runs: rows 1-6, 8-29, 31-32, 39-40.
        auto p = pointer(
            40, 25, [](double t) { return 0.5 * t; }, [](double t) { return 2 - g * t * t / 2; },
            {7, 30, 33, 34, 35, 36, 37, 38});
        for (auto &e : p)
            if (e.ligne > 7) e.x += 1;
        ParametresGrandeurs par;
        if (lisse) par.lissage = ParametresLissage{};
        const Grandeurs q = calculerGrandeurs(p, par);
        QCOMPARE(q.size(), p.size());
        for (std::size_t i = 0; i < p.size(); ++i) {
            const int l = p[i].ligne;
            // Raw differences need both neighbours in the run; smoothing reads a run's ends
            // off its end windows.
            const bool attendu = l <= 29 && (lisse || (l != 1 && l != 6 && l != 8 && l != 29));
            QCOMPARE(std::isfinite(q[Grandeur::Ax][i]), attendu);
            QCOMPARE(std::isfinite(q[Grandeur::Vy][i]), attendu);
            QCOMPARE(std::isfinite(q[Grandeur::Omega][i]), attendu);
            if (!attendu) continue;
            QVERIFY(std::fabs(q[Grandeur::Vx][i] - 0.5) < 0.02);
            QVERIFY(std::fabs(q[Grandeur::Vy][i] + g * p[i].t) < 0.03);
            // A raw second difference of whole millimetres at 25 frames/s is good to 1.25 m/s².
            QVERIFY(std::fabs(q[Grandeur::Ax][i]) < 1.3);
            QVERIFY(std::fabs(q[Grandeur::Ay][i] + g) < 1.3);
        }
        const auto &D = q[Grandeur::Distance];
        QCOMPARE(p[6].ligne, 8);
        QVERIFY(D[5] > D[4]);
        QCOMPARE(D[6], D[5]);
        QCOMPARE(serieGrandeurs(q, Grandeur::Image, Grandeur::Ay).lignes.size(),
                 std::size_t(lisse ? 28 : 24));
    }

    // Uniform circular motion around the origin, two turns, raw: θ unwrapped past π, ω and r
    // constant, the speed close to r ω (half a pixel is 1.25 mrad at 40 cm: 0.03 rad/s on ω).
    void circulaire()
    {
        const double R = 0.4, w = 2.0;
        const auto p = pointer(
            160, 25, [&](double t) { return R * std::cos(w * t + 3); },
            [&](double t) { return R * std::sin(w * t + 3); });
        const Grandeurs q = calculerGrandeurs(p);
        for (std::size_t i = 1; i + 1 < q.size(); ++i) {
            QVERIFY(std::fabs(q[Grandeur::R][i] - R) < 0.001);
            QVERIFY(std::fabs(q[Grandeur::Omega][i] - w) < 0.04);
            QVERIFY(std::fabs(q[Grandeur::V][i] - R * w) < 0.02);
            QVERIFY(q[Grandeur::Theta][i] > q[Grandeur::Theta][i - 1]);
        }
        QVERIFY(std::fabs(q[Grandeur::Theta].back() - (3 + w * p.back().t)) < 0.01);
        // The distance is the sum of the chords, a hair short of the arc.
        const double arc = R * w * p.back().t;
        QVERIFY(q[Grandeur::Distance].back() < arc && q[Grandeur::Distance].back() > 0.99 * arc);
        // No mass: no momentum nor energy.
        QVERIFY(serieGrandeurs(q, Grandeur::Temps, Grandeur::Ec).u.empty());
    }

    // A typed formula finds the parabola that the linear fit finds; a formula in another
    // variable, or with none of it, or unreadable, says so.
    void formule_data()
    {
        QTest::addColumn<QString>("formule");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QStringList>("noms");
        QTest::addColumn<QString>("erreur");
        QTest::newRow("parabole") << "a*t^2 + b*t + c"
                                  << "t" << QStringList{"a", "b", "c"} << QString();
        QTest::newRow("en x, noms longs") << "demi_g*x^2 + v0*x + y0"
                                          << "x" << QStringList{"demi_g", "v0", "y0"} << QString();
        QTest::newRow("sans la variable")
            << "a*x^2 + c"
            << "t" << QStringList{} << "الصيغة لا تحتوي على المتغير t";
        QTest::newRow("sans paramètre") << "2*t^2"
                                        << "t" << QStringList{} << "الصيغة بلا معاملات";
        QTest::newRow("illisible") << "a*t^*2"
                                   << "t" << QStringList{} << "صيغة غير صحيحة (الموضع 5)";
    }
    void formule()
    {
        QFETCH(QString, formule);
        QFETCH(QString, variable);
        QFETCH(QStringList, noms);
        QFETCH(QString, erreur);
        std::vector<double> u, v;
        for (int i = 0; i < 30; ++i) {
            u.push_back(i / 25.0);
            v.push_back(pixel(1.8 + 0.7 * u.back() - 4.905 * u.back() * u.back()));
        }
        DemandeAjustement d;
        d.type = TypeAjustement::Formule;
        d.formule = formule;
        d.variable = variable;
        const auto r = ajusterDonnees(d, u, v);
        QCOMPARE(r.erreur, erreur);
        QCOMPARE(r.converge, erreur.isEmpty());
        if (!r.converge) return;
        QStringList lus;
        for (const auto &p : r.parametres)
            lus << p.nom;
        QCOMPARE(lus, noms);
        d.type = TypeAjustement::Parabole;
        const auto ref = ajusterDonnees(d, u, v);
        for (std::size_t j = 0; j < 3; ++j) {
            QVERIFY(std::fabs(r.parametres[j].valeur - ref.parametres[j].valeur) < 1e-6);
            QVERIFY(ecart(r.parametres[j].incertitude, ref.parametres[j].incertitude) < 1e-3);
        }
        QVERIFY(std::fabs(r(0.5) - ref(0.5)) < 1e-6);
        QCOMPARE(equation(r, "y", variable), "y = " + formule);
    }

    // Exponential and power laws recover their parameters from pixel data.
    void loisSimples()
    {
        std::vector<double> u, e, pu;
        for (int i = 0; i < 60; ++i) {
            u.push_back(i / 30.0);
            e.push_back(pixel(0.5 * std::exp(-1.4 * u.back()) + 0.1));
            pu.push_back(pixel(0.3 * std::pow(u.back(), 1.5)));
        }
        DemandeAjustement d;
        d.type = TypeAjustement::Exponentielle;
        const auto r = ajusterDonnees(d, u, e);
        QVERIFY(r.converge);
        QVERIFY(ecart(r.parametres[1].valeur, -1.4) < 0.01 &&
                ecart(r.parametres[2].valeur, 0.1) < 0.01);
        d.type = TypeAjustement::Puissance;
        const auto p = ajusterDonnees(d, u, pu);
        QVERIFY(p.converge);
        QCOMPARE(p.points, 59); // t = 0 left out
        QVERIFY(ecart(p.parametres[1].valeur, 1.5) < 0.005);
    }

    // A fit that cannot be made comes back not converged with its message, never a crash.
    void echecs_data()
    {
        QTest::addColumn<TypeAjustement>("type");
        QTest::addColumn<std::vector<double>>("u");
        QTest::addColumn<std::vector<double>>("v");
        QTest::addColumn<QString>("erreur");
        const double nan = std::nan("");
        const std::vector<double> t{0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6};
        const std::vector<double> constante(t.size(), 0.25);
        const QString peu = "تعذّر الملاءمة: نقاط غير كافية";
        const QString indetermine = "تعذّر الملاءمة: المعاملات غير محدّدة";
        QTest::newRow("NaN") << TypeAjustement::Sinus << t
                             << std::vector<double>{0, 1, nan, 0, -1, 0, 1}
                             << "تعذّر الملاءمة: قيم غير صالحة";
        QTest::newRow("abscisse infinie")
            << TypeAjustement::Droite << std::vector<double>{0, 1, HUGE_VAL}
            << std::vector<double>{0, 1, 2} << "تعذّر الملاءمة: قيم غير صالحة";
        for (auto type :
             {TypeAjustement::Sinus, TypeAjustement::SinusAmorti, TypeAjustement::Exponentielle,
              TypeAjustement::Puissance, TypeAjustement::Parabole}) {
            const QByteArray n = QByteArray::number(int(type));
            QTest::newRow("2 points " + n)
                << type << std::vector<double>{1, 2} << std::vector<double>{3, 5} << peu;
            if (type != TypeAjustement::Parabole)
                QTest::newRow("constante " + n) << type << t << constante << indetermine;
        }
        QTest::newRow("vide") << TypeAjustement::Sinus << std::vector<double>{}
                              << std::vector<double>{} << peu;
        QTest::newRow("puissance, abscisses négatives")
            << TypeAjustement::Puissance << std::vector<double>{-3, -2, -1, 0}
            << std::vector<double>{1, 2, 3, 4} << "تعذّر الملاءمة: لا قيم أفقية موجبة";
        QTest::newRow("droite, un seul instant")
            << TypeAjustement::Droite << std::vector<double>{2, 2, 2}
            << std::vector<double>{1, 2, 3} << "تعذّر الملاءمة: قيمة أفقية واحدة";
    }
    void echecs()
    {
        QFETCH(TypeAjustement, type);
        QFETCH(std::vector<double>, u);
        QFETCH(std::vector<double>, v);
        QFETCH(QString, erreur);
        DemandeAjustement d;
        d.type = type;
        const auto r = ajusterDonnees(d, u, v);
        QVERIFY(!r.converge);
        QCOMPARE(r.erreur, erreur);
        QVERIFY(!r.courbe);
        QVERIFY(lignesParametres(r).isEmpty());
    }

    // A formula whose parameters the data cannot separate is refused; one whose evaluation
    // fails everywhere does not converge.
    void formulesIndeterminees()
    {
        std::vector<double> u{0, 1, 2, 3, 4}, v{0, 2, 4, 6, 8.5};
        DemandeAjustement d;
        d.type = TypeAjustement::Formule;
        d.formule = "a*b*t";
        auto r = ajusterDonnees(d, u, v);
        QVERIFY(!r.converge);
        QCOMPARE(r.erreur, QStringLiteral("تعذّر الملاءمة: المعاملات غير محدّدة"));
        d.formule = "sqrt(-1-a*a)*t";
        r = ajusterDonnees(d, u, v);
        QVERIFY(!r.converge && !r.erreur.isEmpty());
    }

    // The texts of a fit: rounded at the uncertainty, the user's decimal mark, the CSV block
    // and the clipboard table.
    void textes()
    {
        ResultatAjustement r;
        r.type = TypeAjustement::Sinus;
        r.converge = true;
        r.parametres = {{"A", 0.12344, 0.00046},
                        {"ω", 3.14159, 0.0123},
                        {"φ", 12345.6, 78},
                        {"c", 1.2344e-9, 3e-12}};
        r.r2 = 0.9987654;
        QCOMPARE(lignesParametres(r),
                 (QStringList{"A = 0.1234 ± 0.0005", "ω = 3.142 ± 0.012", "φ = 12350 ± 80",
                              "c = (1.234 ± 0.003)×10^-9", "R² = 0.998765"}));
        QCOMPARE(lignesParametres(r, QChar(0x066B)).first(),
                 QString("A = 0") + QChar(0x066B) + "1234 ± 0" + QChar(0x066B) + "0005");
        const QString eq = equation(r, "x", "t");
        QCOMPARE(eq, QStringLiteral("x = A·sin(ω·t + φ) + c"));
        r.type = TypeAjustement::SinusAmorti;
        QCOMPARE(equation(r, "x", "t"), QStringLiteral("x = A·e^(−t/τ)·sin(ω·t + φ) + c"));
        r.parametres.resize(2);
        QCOMPARE(blocCSV(r, "y = f(t, a)", ',', ','),
                 QStringLiteral("y = f(t, a)\nparametre;valeur;incertitude\nA;0,12344;0,00046\n"
                                "ω;3,14159;0,0123\nR²;0,9987654;\n")
                     .toUtf8());
        QCOMPARE(blocCSV(r, "y = f(t, a)", ',', '.'),
                 QStringLiteral("\"y = f(t, a)\"\nparametre,valeur,incertitude\nA,0.12344,0.00046\n"
                                "ω,3.14159,0.0123\nR²,0.9987654,\n")
                     .toUtf8());
        QCOMPARE(textePressePapiersAjustement(r, eq),
                 QStringLiteral("x = A·sin(ω·t + φ) + c\r\nparametre\tvaleur\tincertitude\r\n"
                                "A\t0.12344\t0.00046\r\nω\t3.14159\t0.0123\r\nR²\t0.9987654\t"));
    }
};

QTEST_GUILESS_MAIN(TestAjustements)
#include "tst_ajustements.moc"
