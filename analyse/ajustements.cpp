#include "analyse/ajustements.h"
#include "analyse/algebre.h"
#include "export/texteTableau.h"

#include <gsl/gsl_blas.h>
#include <gsl/gsl_eigen.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_multifit_nlinear.h>
#include <muParser.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <memory>
#include <numeric>

namespace
{

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double pi = 3.14159265358979323846;

QString echecGeneral()
{
    return QStringLiteral("تعذّر الملاءمة");
}
QString echec(const char16_t *raison)
{
    return echecGeneral() + QStringLiteral(": ") + QString::fromUtf16(raison);
}

// A model of p parameters, its value and (when known) its gradient in the parameters.
struct ModeleNL {
    int p = 0;
    std::function<double(double, const double *)> f;
    std::function<void(double, const double *, double *)> gradient; // empty: finite differences
    std::vector<double> depart;
};

struct DonneesNL {
    const ModeleNL *modele;
    const std::vector<double> *u, *v;
    std::vector<double> a, d;
};

// A trial step may overflow (an exponential far out): a huge residual makes the trust region
// refuse it, where an error status would stop the whole fit.
constexpr double residuEnorme = 1e100;

int residusNL(const gsl_vector *x, void *donnees, gsl_vector *f)
{
    auto &D = *static_cast<DonneesNL *>(donnees);
    for (std::size_t j = 0; j < D.a.size(); ++j)
        D.a[j] = gsl_vector_get(x, j);
    for (std::size_t i = 0; i < D.u->size(); ++i) {
        const double r = D.modele->f((*D.u)[i], D.a.data()) - (*D.v)[i];
        gsl_vector_set(f, i, std::isfinite(r) ? r : residuEnorme);
    }
    return GSL_SUCCESS;
}

int jacobienNL(const gsl_vector *x, void *donnees, gsl_matrix *J)
{
    auto &D = *static_cast<DonneesNL *>(donnees);
    for (std::size_t j = 0; j < D.a.size(); ++j)
        D.a[j] = gsl_vector_get(x, j);
    for (std::size_t i = 0; i < D.u->size(); ++i) {
        D.modele->gradient((*D.u)[i], D.a.data(), D.d.data());
        for (std::size_t j = 0; j < D.a.size(); ++j)
            gsl_matrix_set(J, i, j, std::isfinite(D.d[j]) ? D.d[j] : 0.0);
    }
    return GSL_SUCCESS;
}

struct LibererEspace {
    void operator()(gsl_multifit_nlinear_workspace *w) const { gsl_multifit_nlinear_free(w); }
};
struct LibererMatrice {
    void operator()(gsl_matrix *m) const { gsl_matrix_free(m); }
};
using Matrice = std::unique_ptr<gsl_matrix, LibererMatrice>;

// Whether the columns of J, each brought to unit length, are independent enough for every
// parameter to be determined: the smallest eigenvalue of their Gram matrix.
bool parametresDetermines(const gsl_matrix *J)
{
    const std::size_t p = J->size2;
    Matrice G(gsl_matrix_alloc(p, p));
    gsl_blas_dgemm(CblasTrans, CblasNoTrans, 1.0, J, J, 0.0, G.get());
    std::vector<double> norme(p);
    for (std::size_t j = 0; j < p; ++j) {
        norme[j] = std::sqrt(gsl_matrix_get(G.get(), j, j));
        if (!(norme[j] > 0) || !std::isfinite(norme[j])) return false;
    }
    for (std::size_t i = 0; i < p; ++i)
        for (std::size_t j = 0; j < p; ++j)
            gsl_matrix_set(G.get(), i, j, gsl_matrix_get(G.get(), i, j) / (norme[i] * norme[j]));
    gsl_vector *valeurs = gsl_vector_alloc(p);
    gsl_eigen_symm_workspace *ws = gsl_eigen_symm_alloc(p);
    const int etat = gsl_eigen_symm(G.get(), valeurs, ws);
    const double mini = gsl_vector_min(valeurs);
    gsl_eigen_symm_free(ws);
    gsl_vector_free(valeurs);
    return etat == GSL_SUCCESS && mini > 1e-14;
}

ResultatAjustement resoudreNL(const ModeleNL &m, const std::vector<double> &u,
                              const std::vector<double> &v, ResultatAjustement r)
{
    std::vector<double> depart = m.depart;
    const std::size_t n = u.size(), p = std::size_t(m.p);
    r.points = int(n);
    if (n < p + 1) {
        r.erreur = echec(u"نقاط غير كافية");
        return r;
    }
    if (std::any_of(depart.begin(), depart.end(), [](double a) { return !std::isfinite(a); })) {
        r.erreur = echecGeneral();
        return r;
    }
    // GSL's default handler aborts the program.
    gsl_set_error_handler_off();

    DonneesNL donnees{&m, &u, &v, std::vector<double>(p), std::vector<double>(p)};
    gsl_multifit_nlinear_fdf fdf{};
    fdf.f = residusNL;
    fdf.df = m.gradient ? jacobienNL : nullptr;
    fdf.fvv = nullptr;
    fdf.n = n;
    fdf.p = p;
    fdf.params = &donnees;
    gsl_multifit_nlinear_parameters reglages = gsl_multifit_nlinear_default_parameters();
    reglages.trs = gsl_multifit_nlinear_trs_lm;
    std::unique_ptr<gsl_multifit_nlinear_workspace, LibererEspace> w(
        gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &reglages, n, p));
    if (!w) {
        r.erreur = echecGeneral();
        return r;
    }
    gsl_vector_view x0 = gsl_vector_view_array(depart.data(), p);
    int info = 0;
    int etat = gsl_multifit_nlinear_init(&x0.vector, &fdf, w.get());
    if (etat == GSL_SUCCESS)
        etat =
            gsl_multifit_nlinear_driver(200, 1e-10, 1e-10, 0.0, nullptr, nullptr, &info, w.get());
    r.iterations = int(gsl_multifit_nlinear_niter(w.get()));

    const gsl_vector *x = gsl_multifit_nlinear_position(w.get());
    const gsl_vector *f = gsl_multifit_nlinear_residual(w.get());
    gsl_matrix *J = gsl_multifit_nlinear_jac(w.get());
    double chi2 = 0;
    gsl_blas_ddot(f, f, &chi2);
    bool fini = std::isfinite(chi2) && chi2 < residuEnorme;
    for (std::size_t j = 0; j < p; ++j)
        fini = fini && std::isfinite(gsl_vector_get(x, j));
    if (etat != GSL_SUCCESS && fini) {
        // The driver also stops when no step improves on the start: that start is the
        // minimum when the gradient vanishes there.
        gsl_vector *g = gsl_vector_alloc(p);
        gsl_blas_dgemv(CblasTrans, 1.0, J, f, 0.0, g);
        double pire = 0;
        for (std::size_t j = 0; j < p; ++j)
            pire = std::max(pire, std::fabs(gsl_vector_get(g, j)) *
                                      std::max(1.0, std::fabs(gsl_vector_get(x, j))));
        gsl_vector_free(g);
        if (pire <= 1e-8 * std::max(chi2 / 2, 1.0)) etat = GSL_SUCCESS;
    }
    if (!fini || etat != GSL_SUCCESS) {
        r.erreur = echec(u"لم يتقارب الحساب");
        return r;
    }
    if (!parametresDetermines(J)) {
        r.erreur = echec(u"المعاملات غير محدّدة");
        return r;
    }
    Matrice covariance(gsl_matrix_alloc(p, p));
    gsl_multifit_nlinear_covar(J, 0.0, covariance.get());
    const double s2 = chi2 / double(n - p);
    for (std::size_t j = 0; j < p; ++j) {
        r.parametres[j].valeur = gsl_vector_get(x, j);
        r.parametres[j].incertitude = std::sqrt(gsl_matrix_get(covariance.get(), j, j) * s2);
        if (!std::isfinite(r.parametres[j].incertitude)) {
            r.erreur = echec(u"المعاملات غير محدّدة");
            return r;
        }
    }
    const double moyenne = std::accumulate(v.begin(), v.end(), 0.0) / double(n);
    double dispersion = 0;
    for (double y : v)
        dispersion += (y - moyenne) * (y - moyenne);
    r.r2 = dispersion > 0 ? 1 - chi2 / dispersion : NaN;
    r.converge = true;
    std::vector<double> a(p);
    for (std::size_t j = 0; j < p; ++j)
        a[j] = r.parametres[j].valeur;
    r.courbe = [f = m.f, a](double t) { return f(t, a.data()); };
    return r;
}

// Least squares of v on k <= 3 functions of the abscissa (row i: base(i, ligne)); the
// coefficients and the sum of squared residuals, NaN when the system is singular.
template <typename Base>
double lineaire(std::size_t n, int k, const std::vector<double> &v, Base base, double *c)
{
    double A[9] = {}, b[3] = {}, l[3];
    for (std::size_t i = 0; i < n; ++i) {
        base(i, l);
        for (int a = 0; a < k; ++a) {
            b[a] += l[a] * v[i];
            for (int e = 0; e < k; ++e)
                A[a * k + e] += l[a] * l[e];
        }
    }
    if (!resoudreSysteme(k, A, b)) return NaN;
    double ssr = 0;
    for (std::size_t i = 0; i < n; ++i) {
        base(i, l);
        double e = v[i];
        for (int a = 0; a < k; ++a)
            e -= b[a] * l[a];
        ssr += e * e;
    }
    std::copy(b, b + k, c);
    return ssr;
}

// Abscissas (points in increasing u) at which v crosses the level, each counted once the
// data have gone past level ± h on the other side, so noise near the level adds none.
std::vector<double> passages(const std::vector<double> &u, const std::vector<double> &v,
                             double niveau, double h)
{
    std::vector<double> r;
    int etat = 0;
    for (std::size_t i = 0; i < u.size(); ++i) {
        const double d = v[i] - niveau;
        const int s = d > h ? 1 : d < -h ? -1 : 0;
        if (s == 0 || s == etat) continue;
        if (etat != 0) {
            // The last sign change before i, linearly interpolated.
            std::size_t j = i;
            while (j > 0 && (v[j - 1] - niveau) * s > 0)
                --j;
            if (j > 0) {
                const double d0 = v[j - 1] - niveau, d1 = v[j] - niveau;
                r.push_back(d1 == d0 ? u[j] : u[j - 1] + (u[j] - u[j - 1]) * d0 / (d0 - d1));
            }
        }
        etat = s;
    }
    return r;
}

// Starting ω: from the half periods between crossings of the mean; with fewer than two,
// the best of a range of periods, each with its best amplitude, phase and offset.
double omegaDepart(const std::vector<double> &u, const std::vector<double> &v, double moyenne,
                   double demiEtendue, std::vector<double> &croisements)
{
    croisements = passages(u, v, moyenne, 0.1 * demiEtendue);
    if (croisements.size() >= 2)
        return pi * double(croisements.size() - 1) / (croisements.back() - croisements.front());
    const double duree = u.back() - u.front();
    double pasMin = duree;
    for (std::size_t i = 1; i < u.size(); ++i)
        if (u[i] > u[i - 1]) pasMin = std::min(pasMin, u[i] - u[i - 1]);
    double meilleur = pi / duree, ssrMin = std::numeric_limits<double>::infinity();
    const double w0 = pi / (2 * duree), w1 = pi / pasMin;
    for (int e = 0; e <= 80; ++e) {
        const double w = w0 * std::pow(w1 / w0, e / 80.0);
        double c[3] = {};
        const double ssr = lineaire(
            u.size(), 3, v,
            [&](std::size_t i, double *l) {
                l[0] = std::sin(w * u[i]);
                l[1] = std::cos(w * u[i]);
                l[2] = 1;
            },
            c);
        if (ssr < ssrMin) {
            ssrMin = ssr;
            meilleur = w;
        }
    }
    return meilleur;
}

// The parser of a typed formula, with the storage of its variable and of the parameters it
// creates on reading each unknown name, in the order they appear.
struct Analyseur {
    mu::Parser parser;
    double variable = 0;
    std::deque<double> valeurs; // stable addresses
    std::vector<std::string> noms;

    static double *nouveauParametre(const char *nom, void *donnees)
    {
        auto *a = static_cast<Analyseur *>(donnees);
        a->noms.emplace_back(nom);
        a->valeurs.push_back(1.0);
        return &a->valeurs.back();
    }
    double operator()(double u, const double *p)
    {
        variable = u;
        for (std::size_t j = 0; j < valeurs.size(); ++j)
            valeurs[j] = p[j];
        try {
            return parser.Eval();
        } catch (const mu::Parser::exception_type &) {
            return NaN;
        }
    }
};

ResultatAjustement ajusterFormule(const DemandeAjustement &d, const std::vector<double> &u,
                                  const std::vector<double> &v, ResultatAjustement r)
{
    auto a = std::make_shared<Analyseur>();
    const std::string variable = d.variable.trimmed().toStdString();
    try {
        a->parser.DefineVar(variable, &a->variable);
        a->parser.SetVarFactory(&Analyseur::nouveauParametre, a.get());
        a->parser.SetExpr(d.formule.toStdString());
        const auto utilisees = a->parser.GetUsedVar();
        if (!utilisees.count(variable)) {
            r.erreur = QStringLiteral("الصيغة لا تحتوي على المتغير ") + d.variable.trimmed();
            return r;
        }
    } catch (const mu::Parser::exception_type &e) {
        r.erreur = QStringLiteral("صيغة غير صحيحة");
        if (e.GetPos() >= 0 && e.GetPos() < std::numeric_limits<int>::max())
            r.erreur += QStringLiteral(" (الموضع %1)").arg(int(e.GetPos()) + 1);
        return r;
    }
    if (a->noms.empty()) {
        r.erreur = QStringLiteral("الصيغة بلا معاملات");
        return r;
    }
    std::vector<double> depart(a->noms.size(), 1.0);
    for (std::size_t j = 0; j < depart.size() && j < d.departs.size(); ++j)
        depart[j] = d.departs[j];
    for (const std::string &nom : a->noms)
        r.parametres.push_back({QString::fromStdString(nom), 0, 0});
    ModeleNL m;
    m.p = int(depart.size());
    m.f = [a](double t, const double *p) { return (*a)(t, p); };
    m.depart = std::move(depart);
    return resoudreNL(m, u, v, std::move(r));
}

// What the starting values are read from: the points in increasing abscissa (at least two
// distinct), the mean of the ordinates and half their range (not zero).
struct Apercu {
    const std::vector<double> &u, &v;
    double moyenne, demiEtendue;
};

// Amplitude, phase and offset that fit best for a given ω and envelope e(u): linear least
// squares on e sin ωu, e cos ωu and 1.
void amplitudePhase(const Apercu &a, double w, const std::function<double(double)> &enveloppe,
                    double &A, double &phi, double &c)
{
    double k[3] = {a.demiEtendue, 0, a.moyenne};
    lineaire(
        a.u.size(), 3, a.v,
        [&](std::size_t i, double *l) {
            const double e = enveloppe(a.u[i]);
            l[0] = e * std::sin(w * a.u[i]);
            l[1] = e * std::cos(w * a.u[i]);
            l[2] = 1;
        },
        k);
    A = std::hypot(k[0], k[1]);
    phi = std::atan2(k[1], k[0]);
    c = k[2];
}

ModeleNL sinus(const Apercu &a)
{
    ModeleNL m;
    m.p = 4;
    m.f = [](double t, const double *p) { return p[0] * std::sin(p[1] * t + p[2]) + p[3]; };
    m.gradient = [](double t, const double *p, double *g) {
        const double s = std::sin(p[1] * t + p[2]), c = std::cos(p[1] * t + p[2]);
        g[0] = s;
        g[1] = p[0] * t * c;
        g[2] = p[0] * c;
        g[3] = 1;
    };
    std::vector<double> croisements;
    const double w = omegaDepart(a.u, a.v, a.moyenne, a.demiEtendue, croisements);
    double A, phi, c;
    amplitudePhase(
        a, w, [](double) { return 1.0; }, A, phi, c);
    m.depart = {A, w, phi, c};
    return m;
}

ModeleNL sinusAmorti(const Apercu &a)
{
    ModeleNL m;
    m.p = 5;
    // Solved for the rate 1/τ, turned into τ at the end: undamped data then sit at a rate
    // near 0, where τ would drift towards infinity without converging.
    m.f = [](double t, const double *p) {
        return p[0] * std::exp(-t * p[1]) * std::sin(p[2] * t + p[3]) + p[4];
    };
    m.gradient = [](double t, const double *p, double *g) {
        const double e = std::exp(-t * p[1]);
        const double s = std::sin(p[2] * t + p[3]), c = std::cos(p[2] * t + p[3]);
        g[0] = e * s;
        g[1] = -p[0] * e * s * t;
        g[2] = p[0] * e * t * c;
        g[3] = p[0] * e * c;
        g[4] = 1;
    };
    std::vector<double> croisements;
    const double w = omegaDepart(a.u, a.v, a.moyenne, a.demiEtendue, croisements);
    // τ from the decay of the largest deviation between successive crossings.
    std::vector<double> tPic, lnPic;
    for (std::size_t k = 0; k + 1 < croisements.size(); ++k) {
        double pic = 0, tp = 0;
        for (std::size_t i = 0; i < a.u.size(); ++i)
            if (a.u[i] > croisements[k] && a.u[i] < croisements[k + 1] &&
                std::fabs(a.v[i] - a.moyenne) > pic) {
                pic = std::fabs(a.v[i] - a.moyenne);
                tp = a.u[i];
            }
        if (pic > 0) {
            tPic.push_back(tp);
            lnPic.push_back(std::log(pic));
        }
    }
    const double duree = a.u.back() - a.u.front();
    double tau = 10 * duree;
    if (tPic.size() >= 2) {
        double c[2] = {};
        const double ssr = lineaire(
            tPic.size(), 2, lnPic,
            [&](std::size_t i, double *l) {
                l[0] = tPic[i] - tPic.front();
                l[1] = 1;
            },
            c);
        if (std::isfinite(ssr) && std::fabs(c[0]) * duree > 0.01) tau = -1 / c[0];
    }
    // The envelope from the first point, where it is 1: far from t = 0 it would vanish.
    const double u0 = a.u.front();
    double A, phi, c;
    amplitudePhase(
        a, w, [&](double t) { return std::exp(-(t - u0) / tau); }, A, phi, c);
    m.depart = {A * std::exp(u0 / tau), 1 / tau, w, phi, c};
    return m;
}

ModeleNL exponentielle(const Apercu &a)
{
    ModeleNL m;
    m.p = 3;
    m.f = [](double t, const double *p) { return p[0] * std::exp(p[1] * t) + p[2]; };
    m.gradient = [](double t, const double *p, double *g) {
        const double e = std::exp(p[1] * t);
        g[0] = e;
        g[1] = p[0] * t * e;
        g[2] = 1;
    };
    // k: the best of rates from a tenth to 50 e-foldings over the data, either sign, each
    // with its best A and c; the exponential is taken from the end where it is at most 1, so
    // that no sum overflows.
    const double duree = a.u.back() - a.u.front();
    double ssrMin = std::numeric_limits<double>::infinity();
    for (int signe = -1; signe <= 1; signe += 2)
        for (int e = -10; e <= 17; ++e) {
            const double k = signe * std::pow(10.0, e / 10.0) / duree;
            const double ref = k > 0 ? a.u.back() : a.u.front();
            double c[2] = {};
            const double ssr = lineaire(
                a.u.size(), 2, a.v,
                [&](std::size_t i, double *l) {
                    l[0] = std::exp(k * (a.u[i] - ref));
                    l[1] = 1;
                },
                c);
            if (ssr < ssrMin) {
                ssrMin = ssr;
                m.depart = {c[0] * std::exp(-k * ref), k, c[1]};
            }
        }
    return m;
}

ModeleNL puissance(const Apercu &a)
{
    ModeleNL m;
    m.p = 2;
    m.f = [](double t, const double *p) { return p[0] * std::pow(t, p[1]); };
    m.gradient = [](double t, const double *p, double *g) {
        g[0] = std::pow(t, p[1]);
        g[1] = p[0] * g[0] * std::log(t);
    };
    // ln|v| = ln|A| + n ln t on the points of the prevailing sign.
    const double signe = a.moyenne < 0 ? -1 : 1;
    std::vector<double> lu, lv;
    for (std::size_t i = 0; i < a.u.size(); ++i)
        if (a.v[i] * signe > 0) {
            lu.push_back(std::log(a.u[i]));
            lv.push_back(std::log(a.v[i] * signe));
        }
    double c[2] = {1, 0};
    const bool lu2 = lu.size() >= 2 && std::isfinite(lineaire(
                                           lu.size(), 2, lv,
                                           [&](std::size_t i, double *l) {
                                               l[0] = lu[i];
                                               l[1] = 1;
                                           },
                                           c));
    if (!lu2) c[0] = 1, c[1] = std::log(std::fabs(a.moyenne) / a.u.back());
    m.depart = {signe * std::exp(c[1]), c[0]};
    return m;
}

} // namespace

QStringList nomsParametres(TypeAjustement type)
{
    switch (type) {
    case TypeAjustement::Droite:
        return {QStringLiteral("a"), QStringLiteral("b")};
    case TypeAjustement::Parabole:
        return {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    case TypeAjustement::Sinus:
        return {QStringLiteral("A"), QStringLiteral("ω"), QStringLiteral("φ"), QStringLiteral("c")};
    case TypeAjustement::SinusAmorti:
        return {QStringLiteral("A"), QStringLiteral("τ"), QStringLiteral("ω"), QStringLiteral("φ"),
                QStringLiteral("c")};
    case TypeAjustement::Exponentielle:
        return {QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("c")};
    case TypeAjustement::Puissance:
        return {QStringLiteral("A"), QStringLiteral("n")};
    case TypeAjustement::Formule:
        return {};
    }
    return {};
}

ResultatAjustement ajusterDonnees(const DemandeAjustement &d, const std::vector<double> &uBrut,
                                  const std::vector<double> &vBrut)
{
    ResultatAjustement r;
    r.type = d.type;
    r.r2 = NaN;
    if (d.type == TypeAjustement::Formule) {
        r.formule = d.formule.trimmed();
        r.variable = d.variable.trimmed();
    }
    for (const QString &nom : nomsParametres(d.type))
        r.parametres.push_back({nom, 0, 0});
    const std::size_t n = std::min(uBrut.size(), vBrut.size());
    r.points = int(n);
    for (std::size_t i = 0; i < n; ++i)
        if (!std::isfinite(uBrut[i]) || !std::isfinite(vBrut[i])) {
            r.erreur = echec(u"قيم غير صالحة");
            return r;
        }
    // In increasing abscissa: the starting values read crossings and peaks in that order.
    std::vector<std::size_t> ordre(n);
    std::iota(ordre.begin(), ordre.end(), 0);
    std::stable_sort(ordre.begin(), ordre.end(),
                     [&](std::size_t a, std::size_t b) { return uBrut[a] < uBrut[b]; });
    std::vector<double> u, v;
    u.reserve(n);
    v.reserve(n);
    for (std::size_t i : ordre)
        // t^n has no slope in n at t = 0 and no value below it for most n.
        if (d.type != TypeAjustement::Puissance || uBrut[i] > 0) {
            u.push_back(uBrut[i]);
            v.push_back(vBrut[i]);
        }

    try {
        if (d.type == TypeAjustement::Droite || d.type == TypeAjustement::Parabole) {
            const Ajustement a =
                ajuster(d.type == TypeAjustement::Droite ? Modele::Droite : Modele::Parabole, u, v);
            if (!a.valide()) {
                r.erreur = a.echec == Ajustement::AbscisseUnique ? echec(u"قيمة أفقية واحدة")
                                                                 : echec(u"نقاط غير كافية");
                return r;
            }
            for (std::size_t j = 0; j < a.coefficients.size(); ++j)
                r.parametres[j] = {r.parametres[j].nom, a.coefficients[j], a.incertitudes[j]};
            r.r2 = a.r2;
            r.converge = true;
            r.courbe = [a](double t) { return a(t); };
            return r;
        }
        if (d.type == TypeAjustement::Formule) return ajusterFormule(d, u, v, std::move(r));

        const std::size_t p = r.parametres.size();
        if (u.size() < p + 1) {
            r.erreur = u.empty() && d.type == TypeAjustement::Puissance && n > 0
                           ? echec(u"لا قيم أفقية موجبة")
                           : echec(u"نقاط غير كافية");
            return r;
        }
        const auto bornes = std::minmax_element(v.begin(), v.end());
        if (*bornes.first == *bornes.second || u.front() == u.back()) {
            r.erreur = echec(u"المعاملات غير محدّدة");
            return r;
        }
        const Apercu apercu{u, v, std::accumulate(v.begin(), v.end(), 0.0) / double(v.size()),
                            (*bornes.second - *bornes.first) / 2};
        ModeleNL m;
        switch (d.type) {
        case TypeAjustement::Sinus:
            m = sinus(apercu);
            break;
        case TypeAjustement::SinusAmorti:
            m = sinusAmorti(apercu);
            break;
        case TypeAjustement::Exponentielle:
            m = exponentielle(apercu);
            break;
        case TypeAjustement::Puissance:
            m = puissance(apercu);
            break;
        case TypeAjustement::Droite:
        case TypeAjustement::Parabole:
        case TypeAjustement::Formule:
            break;
        }
        r = resoudreNL(m, u, v, std::move(r));
        if (d.type == TypeAjustement::SinusAmorti && r.converge) {
            ParametreAjuste &tau = r.parametres[1];
            tau.incertitude = tau.incertitude / (tau.valeur * tau.valeur);
            tau.valeur = 1 / tau.valeur;
        }
        return r;
    } catch (...) {
        // Memory, or an exception from inside the parser's callbacks.
        r.erreur = echecGeneral();
        r.converge = false;
        r.courbe = nullptr;
        return r;
    }
}

ResultatAjustement ajusterSerie(const DemandeAjustement &demande, const SerieGrandeurs &serie,
                                int premiereLigne, int derniereLigne)
{
    if (premiereLigne > derniereLigne) std::swap(premiereLigne, derniereLigne);
    std::vector<double> u, v;
    int premiere = 0, derniere = 0;
    for (std::size_t i = 0; i < serie.lignes.size(); ++i)
        if (serie.lignes[i] >= premiereLigne && serie.lignes[i] <= derniereLigne) {
            if (u.empty()) premiere = serie.lignes[i];
            derniere = serie.lignes[i];
            u.push_back(serie.u[i]);
            v.push_back(serie.v[i]);
        }
    ResultatAjustement r = ajusterDonnees(demande, u, v);
    r.premiereLigne = premiere;
    r.derniereLigne = derniere;
    return r;
}

// ---- Texts ----

QString equation(const ResultatAjustement &r, const QString &y, const QString &t)
{
    QString droite;
    switch (r.type) {
    case TypeAjustement::Droite:
        droite = QStringLiteral("a·%1 + b").arg(t);
        break;
    case TypeAjustement::Parabole:
        droite = QStringLiteral("a·%1² + b·%1 + c").arg(t);
        break;
    case TypeAjustement::Sinus:
        droite = QStringLiteral("A·sin(ω·%1 + φ) + c").arg(t);
        break;
    case TypeAjustement::SinusAmorti:
        droite = QStringLiteral("A·e^(−%1/τ)·sin(ω·%1 + φ) + c").arg(t);
        break;
    case TypeAjustement::Exponentielle:
        droite = QStringLiteral("A·e^(k·%1) + c").arg(t);
        break;
    case TypeAjustement::Puissance:
        droite = QStringLiteral("A·%1^n").arg(t);
        break;
    case TypeAjustement::Formule:
        droite = r.formule;
        break;
    }
    return y + QStringLiteral(" = ") + droite;
}

namespace
{

QString avecDecimale(QString s, QChar decimal)
{
    return s.replace(QLatin1Char('.'), decimal);
}

// "value ± uncertainty", the value rounded at the uncertainty's last digit.
QString valeurEtIncertitude(double valeur, double incertitude, QChar decimal)
{
    if (!std::isfinite(valeur)) return QStringLiteral("?");
    if (!(incertitude > 0) || !std::isfinite(incertitude))
        return avecDecimale(QString::number(valeur, 'g', 6), decimal);
    int e = int(std::floor(std::log10(incertitude)));
    const bool deuxChiffres = incertitude / std::pow(10.0, e) < 2;
    int decimales = (deuxChiffres ? 1 : 0) - e;
    const double grand = std::max(std::fabs(valeur), incertitude);
    if (decimales <= 8 && grand < 1e7) {
        const double pasArrondi = std::pow(10.0, -decimales);
        const double v = std::round(valeur / pasArrondi) * pasArrondi;
        const double i = std::round(incertitude / pasArrondi) * pasArrondi;
        const int d = std::max(decimales, 0);
        return avecDecimale(QString::number(v, 'f', d) + QStringLiteral(" ± ") +
                                QString::number(i, 'f', d),
                            decimal);
    }
    // A common power of ten.
    const int puissance = int(std::floor(std::log10(grand)));
    const double echelle = std::pow(10.0, puissance);
    decimales = std::max(0, decimales + puissance);
    return avecDecimale(QStringLiteral("(") + QString::number(valeur / echelle, 'f', decimales) +
                            QStringLiteral(" ± ") +
                            QString::number(incertitude / echelle, 'f', decimales) +
                            QStringLiteral(")×10^") + QString::number(puissance),
                        decimal);
}

QString nombreComplet(double x, QChar decimal)
{
    return std::isfinite(x) ? avecDecimale(QString::number(x, 'g', 12), decimal) : QString();
}

QString champ(const QString &texte, QChar separateur)
{
    if (!texte.contains(separateur) && !texte.contains(QLatin1Char('"')) &&
        !texte.contains(QLatin1Char('\n')))
        return texte;
    QString t = texte;
    t.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

// The lines of the parameter table, fields joined by the separator.
QStringList tableParametres(const ResultatAjustement &r, const QString &eq, QChar sep,
                            QChar decimal)
{
    QStringList l{champ(eq, sep), QStringLiteral("parametre%1valeur%1incertitude").arg(sep)};
    for (const ParametreAjuste &p : r.parametres)
        l << champ(p.nom, sep) + sep + nombreComplet(p.valeur, decimal) + sep +
                 nombreComplet(p.incertitude, decimal);
    l << QStringLiteral("R²") + sep + nombreComplet(r.r2, decimal) + sep;
    return l;
}

} // namespace

QStringList lignesParametres(const ResultatAjustement &r, QChar decimal)
{
    QStringList l;
    if (!r.converge) return l;
    for (const ParametreAjuste &p : r.parametres)
        l << p.nom + QStringLiteral(" = ") + valeurEtIncertitude(p.valeur, p.incertitude, decimal);
    if (std::isfinite(r.r2))
        l << QStringLiteral("R² = ") + avecDecimale(QString::number(r.r2, 'f', 6), decimal);
    return l;
}

QByteArray blocCSV(const ResultatAjustement &r, const QString &eq, QChar separateur, QChar decimal)
{
    const QChar sep = separateurDeChamps(separateur, decimal);
    QByteArray csv;
    for (const QString &ligne : tableParametres(r, eq, sep, decimal))
        csv += ligne.toUtf8() + '\n';
    return csv;
}

QString textePressePapiersAjustement(const ResultatAjustement &r, const QString &eq, QChar decimal)
{
    return tableParametres(r, eq, QLatin1Char('\t'), decimal).join(QStringLiteral("\r\n"));
}
