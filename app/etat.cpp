#include "app/etat.h"

#include "measure/document.h"

namespace
{
ReglagesMesure &travail = mesureDeTravail().reglages;
} // namespace

QString repDepart;
QString cheminConfig;
int imageCourante;
int nbImages;
long double periode;
int frequence;
int largeurReelle, hauteurReelle;
QString codecClip;
int &largeurAffichee = travail.largeurAffichee, &hauteurAffichee = travail.hauteurAffichee;
long double facteurAffichage;
int &pcAffichage = travail.pourcentAffichage;
bool adapterDemande, demande100, udPcEnfonce;
int &origineX = travail.origineX, &origineY = travail.origineY;
int &sensX = travail.sensX, &sensY = travail.sensY;
double &angleAxes = travail.angleAxes;
QPoint &etalonP1 = travail.etalonP1, &etalonP2 = travail.etalonP2;
long double &echelleH = travail.echelleH, &echelleV = travail.echelleV;
QString texteSH, texteSV, texteSi;
bool saisieEtalon;
bool echelleModifiee;
int &chiffresXY = travail.chiffresXY;
QString formatTemps;
int &taillePoints = travail.taillePoints;
int couleurCurseur;
int formeCurseur;
bool aRedessiner;
bool effacerSansDemande;
int largeurPnl1, largeurForm;
std::vector<double> tempsImages;
double &cadenceTournage = travail.cadenceTournage;

long double ecartTemps(int image, int origine)
{
    const bool propres = image >= 0 && origine >= 0 && size_t(image) < tempsImages.size() &&
                         size_t(origine) < tempsImages.size();
    long double t = propres ? static_cast<long double>(tempsImages[size_t(image)]) -
                                  static_cast<long double>(tempsImages[size_t(origine)])
                            : (image - origine) * periode;
    // Stored at the recorded rate, filmed at another: every time scales by their ratio.
    if (cadenceTournage > 0 && periode > 0) t /= periode * cadenceTournage;
    return t;
}

void reinitialiserEtat()
{
    mesureDeTravail() = Mesure();
    repDepart.clear();
    cheminConfig.clear();
    imageCourante = -1;
    nbImages = 0;
    periode = 0;
    tempsImages.clear();
    cadenceTournage = 0;
    frequence = 0;
    largeurReelle = hauteurReelle = 0;
    codecClip.clear();
    largeurAffichee = hauteurAffichee = 0;
    facteurAffichage = 1.0L;
    pcAffichage = 0;
    adapterDemande = demande100 = udPcEnfonce = false;
    origineX = origineY = 0;
    sensX = sensY = 1;
    angleAxes = 0;
    etalonP1 = QPoint(1, 1);
    etalonP2 = QPoint(2, 2);
    echelleH = echelleV = 1.0L;
    texteSH.clear();
    texteSV.clear();
    texteSi.clear();
    saisieEtalon = false;
    echelleModifiee = false;
    chiffresXY = 3;
    formatTemps.clear();
    taillePoints = 1;
    couleurCurseur = 1;
    formeCurseur = 2;
    aRedessiner = false;
    effacerSansDemande = false;
    largeurPnl1 = 410;
    largeurForm = 620;
}

namespace
{
// Values at program start, before FormCreate.
const bool initialise = (reinitialiserEtat(), true);
} // namespace
