#include "suivi/suiveur.h"

#include "clip/TMediaPlayer.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <optional>

namespace
{

// The grey picture of a region as floats (the templates are interpolated, so both sides of
// a match are float).
cv::Mat flottant(const QImage &gris)
{
    const QImage g = gris.format() == QImage::Format_Grayscale8
                         ? gris
                         : gris.convertToFormat(QImage::Format_Grayscale8);
    cv::Mat vue(g.height(), g.width(), CV_8UC1, const_cast<uchar *>(g.constBits()),
                size_t(g.bytesPerLine()));
    cv::Mat sortie;
    vue.convertTo(sortie, CV_32F);
    return sortie;
}

// Offset of the true maximum from the sample i, from the parabola through i - 1, i, i + 1.
double sommetParabole(float gauche, float centre, float droite)
{
    const double courbure = double(gauche) - 2.0 * double(centre) + double(droite);
    if (!(courbure < 0)) return 0;
    return std::clamp(0.5 * (double(gauche) - double(droite)) / courbure, -0.5, 0.5);
}

// The summit of the quadric z = a + bx + cy + dx^2 + exy + fy^2 fitted by least squares to the
// scores within r of the best one: a ridge along a slanted motion blur has its summit off
// the row and column of the best sample, which separate parabolas along x and y would miss.
std::optional<cv::Point2d> sommetQuadrique(const cv::Mat &scores, cv::Point p, int r)
{
    if (p.x < r || p.y < r || p.x + r >= scores.cols || p.y + r >= scores.rows) return std::nullopt;
    cv::Mat A(0, 6, CV_64F), z(0, 1, CV_64F);
    for (int j = -r; j <= r; ++j)
        for (int i = -r; i <= r; ++i) {
            const double ligne[6] = {1.0,           double(i),     double(j),
                                     double(i * i), double(i * j), double(j * j)};
            A.push_back(cv::Mat(1, 6, CV_64F, const_cast<double *>(ligne)));
            z.push_back(double(scores.at<float>(p.y + j, p.x + i)));
        }
    cv::Mat k;
    if (!cv::solve(A, z, k, cv::DECOMP_SVD)) return std::nullopt;
    const double b = k.at<double>(1), c = k.at<double>(2), d = k.at<double>(3), e = k.at<double>(4),
                 f = k.at<double>(5);
    // A summit needs the quadric to curve down every way.
    const double det = 4 * d * f - e * e;
    if (!(d < 0 && det > 0)) return std::nullopt;
    const cv::Point2d s((e * c - 2 * f * b) / det, (e * b - 2 * d * c) / det);
    if (std::abs(s.x) > r || std::abs(s.y) > r) return std::nullopt;
    return s;
}

struct Pic {
    cv::Point2d position; // in the score map, sub-pixel
    cv::Point entier;
    double score = -1;
};

// Best match of the template in the region (which must be at least as large).
Pic meilleurAccord(const cv::Mat &region, const cv::Mat &modele, const cv::Mat &poids = {})
{
    cv::Mat scores;
    cv::matchTemplate(region, modele, scores, cv::TM_CCOEFF_NORMED, poids);
    // With weights, a place of one even shade gives 0 / 0, or rounding noise over almost
    // nothing: no match there.
    if (!poids.empty()) {
        cv::patchNaNs(scores, 0.0);
        scores.setTo(0.0, cv::abs(scores) > 1.001);
        // Weighted variance of the picture under the template at each place, on values
        // taken from their mean so that rounding cannot make up a variance.
        cv::Mat centre = region - cv::mean(region)[0], s1, s2, carres;
        cv::multiply(centre, centre, carres);
        cv::matchTemplate(centre, poids, s1, cv::TM_CCORR);
        cv::matchTemplate(carres, poids, s2, cv::TM_CCORR);
        const double somme = cv::sum(poids)[0];
        cv::Mat variance = s2 / somme - s1.mul(s1) / (somme * somme);
        scores.setTo(0.0, variance < 1.0);
    }
    double max = 0;
    cv::Point p;
    cv::minMaxLoc(scores, nullptr, &max, nullptr, &p);
    Pic pic;
    pic.entier = p;
    pic.score = max;
    pic.position = cv::Point2d(p.x, p.y);
    if (auto s = sommetQuadrique(scores, p, 1)) {
        pic.position += *s;
        return pic;
    }
    if (p.x > 0 && p.x + 1 < scores.cols)
        pic.position.x += sommetParabole(scores.at<float>(p.y, p.x - 1), scores.at<float>(p),
                                         scores.at<float>(p.y, p.x + 1));
    if (p.y > 0 && p.y + 1 < scores.rows)
        pic.position.y += sommetParabole(scores.at<float>(p.y - 1, p.x), scores.at<float>(p),
                                         scores.at<float>(p.y + 1, p.x));
    return pic;
}

// The streak a point leaves when it moves by `trajet` while the picture is exposed: a
// segment centred on the kernel's middle, its length spread over the pixels it crosses.
cv::Mat noyauFile(cv::Point2d trajet)
{
    const double longueur = cv::norm(trajet);
    const int h = int(std::ceil(longueur / 2)) + 1;
    cv::Mat k = cv::Mat::zeros(2 * h + 1, 2 * h + 1, CV_32F);
    const int n = std::max(2, int(std::ceil(longueur)) + 1);
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / (n - 1) - 0.5;
        const double x = h + t * trajet.x, y = h + t * trajet.y;
        const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
        const double ax = x - x0, ay = y - y0;
        k.at<float>(y0, x0) += float((1 - ax) * (1 - ay));
        k.at<float>(y0, x0 + 1) += float(ax * (1 - ay));
        k.at<float>(y0 + 1, x0) += float((1 - ax) * ay);
        k.at<float>(y0 + 1, x0 + 1) += float(ax * ay);
    }
    return k / cv::sum(k)[0];
}

// Around a symmetric object, the pixels that match their mirror image through its centre
// are the object's; the background there matches only by chance. Weighting a match by that
// agreement keeps the background, which changes as the object moves over it, from pulling
// the position aside. The weights are symmetric through the centre too.
cv::Mat poidsMiroir(const cv::Mat &modele)
{
    cv::Mat miroir, ecart, poids;
    cv::flip(modele, miroir, -1);
    cv::absdiff(modele, miroir, ecart);
    cv::Scalar m, e;
    cv::meanStdDev(modele, m, e);
    ecart /= std::max(6.0, 0.25 * e[0]);
    cv::multiply(ecart, ecart, ecart);
    cv::exp(-ecart, poids);
    cv::GaussianBlur(poids, poids, cv::Size(5, 5), 1.0);
    return cv::max(poids, 0.05);
}

// The object is taken to fill the middle of its box: the weights fall off towards the
// box's edges, where the background is.
cv::Mat poidsCentre(cv::Size taille)
{
    cv::Mat poids(taille, CV_32F);
    const double cx = (taille.width - 1) / 2.0, cy = (taille.height - 1) / 2.0;
    const double rx = 0.45 * taille.width, ry = 0.45 * taille.height;
    for (int j = 0; j < taille.height; ++j)
        for (int i = 0; i < taille.width; ++i) {
            const double r2 = std::pow((i - cx) / rx, 2) + std::pow((j - cy) / ry, 2);
            poids.at<float>(j, i) = float(std::max(std::exp(-r2 * r2), 0.01));
        }
    return poids;
}

bool surBord(const Pic &pic, const cv::Size &carte)
{
    return pic.entier.x == 0 || pic.entier.y == 0 || pic.entier.x == carte.width - 1 ||
           pic.entier.y == carte.height - 1;
}

} // namespace

struct Suiveur::Prive {
    ReglagesSuivi reglages;
    QSize image;
    QRect boite;
    cv::Size taille;   // of the templates
    cv::Mat modele0;   // the object as taken on the first picture
    cv::Mat modele;    // the object as last seen well
    cv::Mat poids;     // weight of each pixel of the templates: the object more than around it
    cv::Point2d point; // centre of the object now
    cv::Point2d vitesse;
    double vitesseMax = 0; // the larger of the last two speeds (a repeated frame stops one)
    bool premier = true;
    bool symetrique = false;
    QPointF depart;

    // Half the template: from its centre to its top-left pixel.
    cv::Point2d demi() const { return {(taille.width - 1) / 2.0, (taille.height - 1) / 2.0}; }

    // Box of the template whose centre is c, top-left rounded.
    cv::Point coinDe(cv::Point2d c) const
    {
        const cv::Point2d coin = c - demi();
        return {int(std::lround(coin.x)), int(std::lround(coin.y))};
    }

    bool dansImage(cv::Point coin) const
    {
        return coin.x >= 0 && coin.y >= 0 && coin.x + taille.width <= image.width() &&
               coin.y + taille.height <= image.height();
    }
};

Suiveur::Suiveur(const ReglagesSuivi &reglages) : d(std::make_unique<Prive>())
{
    d->reglages = reglages;
}

Suiveur::~Suiveur() = default;

const ReglagesSuivi &Suiveur::reglages() const
{
    return d->reglages;
}

QPointF Suiveur::depart() const
{
    return d->depart;
}

QRect Suiveur::boite() const
{
    return d->boite;
}

RefusDepart Suiveur::demarrer(const LecteurZone &lire, QSize image, QRect boite)
{
    d->image = image;
    boite = boite.normalized() & QRect(QPoint(0, 0), image);
    if (boite.isEmpty()) return RefusDepart::HorsImage;
    if (boite.width() < d->reglages.coteMin || boite.height() < d->reglages.coteMin)
        return RefusDepart::TropPetite;
    d->boite = boite;
    d->taille = cv::Size(boite.width(), boite.height());

    // Room around the box to look for the object's centre of symmetry.
    const int marge = std::max(2, std::min(boite.width(), boite.height()) / 4);
    const QRect autour = boite.adjusted(-marge, -marge, marge, marge) & QRect(QPoint(0, 0), image);
    const cv::Mat region = flottant(lire(autour));
    const cv::Rect dansRegion(boite.x() - autour.x(), boite.y() - autour.y(), boite.width(),
                              boite.height());
    const cv::Mat contenu = region(dansRegion);
    cv::Scalar moyenne, ecart;
    cv::meanStdDev(contenu, moyenne, ecart);
    if (ecart[0] < d->reglages.contrasteMin) return RefusDepart::SansDetail;

    // The box turned half a turn matches the picture where it is shifted by twice the
    // distance from the box's centre to the object's centre of symmetry.
    const cv::Point2d centreBoite(boite.x() + (boite.width() - 1) / 2.0,
                                  boite.y() + (boite.height() - 1) / 2.0);
    cv::Point2d centre = centreBoite;
    bool symetrique = false;
    cv::Mat retourne;
    cv::flip(contenu, retourne, -1);
    const Pic sym = meilleurAccord(region, retourne);
    const cv::Size carte(region.cols - retourne.cols + 1, region.rows - retourne.rows + 1);
    if (sym.score >= 0.6 && !surBord(sym, carte)) {
        const cv::Point2d decalage = sym.position - cv::Point2d(dansRegion.x, dansRegion.y);
        centre = centreBoite + decalage * 0.5;
        symetrique = true;
    }

    const cv::Point2f dansAutour(float(centre.x - autour.x()), float(centre.y - autour.y()));
    cv::getRectSubPix(region, d->taille, dansAutour, d->modele0, CV_32F);
    d->modele = d->modele0.clone();
    // Every match weighs the object more than what lies around it in the box: a template
    // renewed over a busy background would otherwise come to follow the background.
    d->poids = poidsCentre(d->taille);
    if (symetrique) d->poids = d->poids.mul(poidsMiroir(d->modele0));
    d->symetrique = symetrique;
    d->point = centre;
    d->vitesse = {0, 0};
    d->vitesseMax = 0;
    d->premier = true;
    d->depart = QPointF(centre.x, centre.y);
    return RefusDepart::Aucun;
}

Suivi Suiveur::suivre(const LecteurZone &lire)
{
    Suivi resultat;
    const cv::Point2d prevu = d->point + d->vitesse;
    const cv::Point coinPrevu = d->coinDe(prevu);
    if (!d->dansImage(coinPrevu)) {
        resultat.etat = EtatSuivi::Sorti;
        return resultat;
    }
    // With no speed known yet the object may be anywhere within a box's size; later, around
    // where its speed takes it, the more widely the faster it goes.
    const int base = std::max(6, std::max(d->taille.width, d->taille.height) / 4);
    int marge = d->premier ? std::max(base, std::max(d->taille.width, d->taille.height))
                           : base + int(std::ceil(1.5 * d->vitesseMax));
    const QRect cadre(QPoint(0, 0), d->image);

    Pic pic;
    QRect zone;
    cv::Mat region;
    for (int essai = 0; essai < 2; ++essai) {
        zone = QRect(coinPrevu.x - marge, coinPrevu.y - marge, d->taille.width + 2 * marge,
                     d->taille.height + 2 * marge) &
               cadre;
        region = flottant(lire(zone));
        pic = meilleurAccord(region, d->modele, d->poids);
        const cv::Size carte(region.cols - d->taille.width + 1, region.rows - d->taille.height + 1);
        // A best match on the edge of the search may lie beyond it (a bounce, a kick): look
        // once more, twice as far, unless the edge is the picture's.
        const bool bordImage =
            (pic.entier.x == 0 && zone.left() == 0) || (pic.entier.y == 0 && zone.top() == 0) ||
            (pic.entier.x == carte.width - 1 && zone.right() == cadre.right()) ||
            (pic.entier.y == carte.height - 1 && zone.bottom() == cadre.bottom());
        if (!surBord(pic, carte) || bordImage) break;
        marge *= 2;
    }
    resultat.score = pic.score;
    if (!(pic.score >= d->reglages.seuil)) {
        resultat.etat = EtatSuivi::Perdu;
        return resultat;
    }
    cv::Point2d trouve = cv::Point2d(zone.x(), zone.y()) + pic.position + d->demi();

    // A renewed template drifts by a little on every renewal; the first one does not. Where
    // the first one still matches close by, its position is kept: as taken, or smeared
    // along the motion as a moving object is in a picture exposed while it moves.
    {
        const int r = 2;
        const cv::Point coin = d->coinDe(trouve);
        const QRect pres =
            QRect(coin.x - r, coin.y - r, d->taille.width + 2 * r, d->taille.height + 2 * r) &
            cadre;
        if (pres.width() >= d->taille.width && pres.height() >= d->taille.height) {
            const cv::Mat sous = zone.contains(pres)
                                     ? region(cv::Rect(pres.x() - zone.x(), pres.y() - zone.y(),
                                                       pres.width(), pres.height()))
                                     : flottant(lire(pres));
            Pic ancre = meilleurAccord(sous, d->modele0, d->poids);
            const cv::Point2d mouvement = trouve - d->point;
            if (cv::norm(mouvement) > 1.0)
                for (double part : {0.25, 0.5, 0.75, 1.0}) {
                    cv::Mat bouge;
                    cv::filter2D(d->modele0, bouge, CV_32F, noyauFile(mouvement * part),
                                 cv::Point(-1, -1), 0, cv::BORDER_REPLICATE);
                    const Pic essai = meilleurAccord(sous, bouge, d->poids);
                    if (essai.score > ancre.score) ancre = essai;
                }
            const cv::Point2d p0 = cv::Point2d(pres.x(), pres.y()) + ancre.position + d->demi();
            if (ancre.score >= d->reglages.seuil && cv::norm(p0 - trouve) <= 1.0) trouve = p0;
        }
    }

    // A symmetric object is last centred on its own centre of symmetry on this picture: the
    // patch around the position found matches its mirror image where shifted by twice the
    // distance to that centre. It holds however the object is smeared by its motion, and
    // owes nothing to the first picture.
    if (d->symetrique) {
        const int m = 3;
        const cv::Point coin = d->coinDe(trouve);
        const QRect autour =
            QRect(coin.x - m, coin.y - m, d->taille.width + 2 * m, d->taille.height + 2 * m) &
            cadre;
        const cv::Mat autourVu = zone.contains(autour)
                                     ? region(cv::Rect(autour.x() - zone.x(), autour.y() - zone.y(),
                                                       autour.width(), autour.height()))
                                     : flottant(lire(autour));
        const cv::Point2d coinVu = trouve - d->demi() - cv::Point2d(autour.x(), autour.y());
        cv::Mat vu, miroir;
        cv::getRectSubPix(autourVu, d->taille, cv::Point2f(coinVu + d->demi()), vu, CV_32F);
        cv::flip(vu, miroir, -1);
        const Pic sym = meilleurAccord(autourVu, miroir, d->poids);
        const cv::Point2d reste = sym.position - coinVu;
        if (sym.score >= 0.6 && cv::norm(reste) <= 2.0) trouve += reste * 0.5;
    }

    const cv::Point2d v = trouve - d->point;
    d->vitesseMax = std::max(cv::norm(v), cv::norm(d->vitesse));
    d->vitesse = v;
    d->point = trouve;
    d->premier = false;
    if (pic.score >= d->reglages.seuilRafraichir) {
        const QRect source = zone;
        const cv::Point2f dans(float(trouve.x - source.x()), float(trouve.y - source.y()));
        cv::Mat nouveau;
        cv::getRectSubPix(region, d->taille, dans, nouveau, CV_32F);
        d->modele = nouveau;
    }
    resultat.etat = EtatSuivi::Trouve;
    resultat.centre = QPointF(trouve.x, trouve.y);
    return resultat;
}

BilanSuivi suivreClip(TMediaPlayer &lecteur, int debut, const QRect &boite, int nombre,
                      const ReglagesSuivi &reglages,
                      const std::function<bool(const PointSuivi &)> &surPoint)
{
    BilanSuivi bilan;
    const int L = lecteur.Length();
    const QSize taille = lecteur.tailleNaturelle();
    if (!lecteur.estOuvert() || debut < 0 || debut >= L) {
        bilan.fin = FinSuivi::FinClip;
        return bilan;
    }
    lecteur.setFrames(std::abs(debut - lecteur.Position()));
    if (debut < lecteur.Position())
        lecteur.Back();
    else
        lecteur.Step();
    lecteur.setFrames(1);
    const LecteurZone lire = [&lecteur](const QRect &zone) { return lecteur.gris(zone); };

    Suiveur suiveur(reglages);
    bilan.refus = suiveur.demarrer(lire, taille, boite);
    if (bilan.refus != RefusDepart::Aucun) {
        bilan.fin = FinSuivi::Refus;
        return bilan;
    }
    bilan.image = debut;
    bilan.trouves = 1;
    if (surPoint && !surPoint({debut, suiveur.depart(), 1.0})) {
        bilan.fin = FinSuivi::Annule;
        return bilan;
    }
    const int derniere = nombre < 0 ? L - 1 : int(std::min<qint64>(qint64(debut) + nombre, L - 1));
    for (int f = debut + 1; f <= derniere; ++f) {
        lecteur.Step();
        const Suivi s = suiveur.suivre(lire);
        if (s.etat != EtatSuivi::Trouve) {
            bilan.fin = s.etat == EtatSuivi::Perdu ? FinSuivi::Perdu : FinSuivi::Sorti;
            bilan.image = f;
            bilan.score = s.score;
            return bilan;
        }
        bilan.image = f;
        ++bilan.trouves;
        if (surPoint && !surPoint({f, s.centre, s.score})) {
            bilan.fin = FinSuivi::Annule;
            return bilan;
        }
    }
    if (nombre >= 0 && qint64(debut) + nombre > L - 1) bilan.fin = FinSuivi::FinClip;
    return bilan;
}
