#pragma once
// The graph panel: up to four graphs, each one quantity of one pointed object against another
// (x(t), the trajectory y(x), velocities, accelerations, distance, polar coordinates,
// momentum, energies), with a fit drawn over the points. It sits beside the picture or floats,
// follows the table as it changes and the frame shown with a cursor; a click on a point or a
// drag of the cursor shows that frame, a drag across the graph chooses the rows fitted.
#include "analyse/ajustements.h"
#include "analyse/mouvement.h"

#include <QJsonObject>
#include <QWidget>
#include <array>
#include <vector>

class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGraphicsRectItem;
class QGridLayout;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QSpinBox;
class QToolButton;
class QValueAxis;
class TForm1;
class TGrapheBox;
class QPainter;

// One graph of the panel.
class VueGraphe : public QWidget
{
    Q_OBJECT
public:
    VueGraphe(TGrapheBox *panneau, int numero);

    // cbGraphe: the quantity drawn upwards, against t (the trajectory: y against x);
    // cbHorizontale: "automatic" (t, or x for the trajectory), or any quantity.
    QComboBox *cbObjet, *cbGraphe, *cbHorizontale, *cbModele;
    QLineEdit *edFormule; // the typed formula, shown for that fit
    QChartView *ChartView1;
    QChart *Chart1;
    QScatterSeries *seriePoints;
    // With smoothing: the values before it, in grey under the smoothed ones.
    QScatterSeries *seriePointsBruts;
    QLineSeries *serieModele;
    // The frame shown: a vertical line at its time (graphs against t) and its point ringed.
    QLineSeries *serieCurseur;
    QScatterSeries *seriePointCourant;
    QValueAxis *axeX, *axeY;
    QLabel *lblNote, *lblModele, *lblPlage;
    QToolButton *btnToutesLignes, *btnCopierParametres;

    Grandeur horizontale() const;
    Grandeur verticale() const;
    int objet() const; // 0-based
    // Draws the graph and its fit from the panel's quantities; hidden, only when forced.
    void actualiser(bool memeCache = false);
    // The clip now shows frame `image` (0-based): the cursor and the ringed point follow it.
    void imageMontree(int image);
    // A click on a shown point: its frame in the clip, its row (and object) in the table.
    void pointClique(const QPointF &point);
    // The rows fitted: those whose horizontal value lies between u1 and u2; (0, 0) all.
    void choisirPlage(double u1, double u2);
    void effacerPlage();
    int premiereLigne() const { return plage_[0]; }
    int derniereLigne() const { return plage_[1]; }
    // Shows the frame of the point nearest to u on the horizontal axis (the cursor dragged).
    void montrerImageEn(double u);
    void copierParametres();

    const std::vector<int> &lignesPoints() const { return lignesPoints_; }
    // Line and parabola: the linear fit, as drawn; other fits leave it invalid.
    const Ajustement &ajustement() const { return ajustement_; }
    // Every fit, with its parameters' names, values and uncertainties (converge false: none).
    const ResultatAjustement &resultat() const { return resultat_; }
    // The fitted function as written over the parameters ("y = A·sin(ω·t + φ) + c").
    QString equationAffichee() const;

    // The graph with its note and the fit's lines under it, as saved (no cursor).
    QSize tailleDessin() const;
    void dessiner(QPainter &peintre) const;
    // The settings and the fit, for the session; and back.
    QJsonObject etat() const;
    void retablirEtat(const QJsonObject &o);

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void placerNote(const QString &texte);
    void placerBandePlage();
    // Sets the rows fitted, (0, 0) all, and says so beside the graph.
    void poserPlage(int premiere, int derniere);
    int intervallesVerticaux() const;
    // The protractor's angles against time or frame: every angle recorded, pointed or not.
    bool seulementAngles() const;
    SerieGrandeurs serieAffichee() const;
    void ajuster(const SerieGrandeurs &s, QStringList &notes);

    TGrapheBox *panneau_;
    std::vector<int> lignesPoints_;
    Ajustement ajustement_;
    ResultatAjustement resultat_;
    std::array<int, 2> plage_{0, 0};
    int intervallesY_ = 5;
    QGraphicsRectItem *bandePlage_ = nullptr;
};

class TGrapheBox : public QWidget
{
    Q_OBJECT
public:
    enum Graphe { grX, grY, grTrajectoire, grVx, grVy, grV };
    static constexpr int kGraphesMax = 4;

    explicit TGrapheBox(TForm1 *form);

    // Settings shared by the graphs.
    QSpinBox *sbNombre;           // graphs shown, 1 … 4
    QDoubleSpinBox *edMasse, *edG; // kg (0: no momentum nor energy), m/s²
    QCheckBox *chkLissage;
    QSpinBox *sbFenetre, *sbOrdre;
    std::array<VueGraphe *, kGraphesMax> vues{};

    // The first graph's controls, under the names they have always had.
    QComboBox *cbObjet, *cbGraphe, *cbModele;
    QChartView *ChartView1;
    QChart *Chart1;
    QScatterSeries *seriePoints;
    QLineSeries *serieModele, *serieCurseur;
    QScatterSeries *seriePointCourant;
    QValueAxis *axeX, *axeY;
    QLabel *lblNote, *lblModele;
    QPushButton *btnEnregistrerGraphe, *btnExporterCSV, *btnCopierParametres;

    // The table changed: one object's pair on one row, every pair of a row (point 0), or
    // everything (ligne 0: calibration, time origin, clearing, a new clip).
    void tableauModifie(int ligne, int point);
    // A position found by tracking while it runs (before it becomes one undo step): shown at
    // once, the graphs redrawn a few times a second. 1-based point, 0-based frame.
    void positionProvisoire(int point, int image, const QPointF &pixel);
    // The clip now shows frame `image` (0-based): every graph's cursor follows it.
    void imageMontree(int image);
    // Reads every pointed position again from the table.
    void relireTableau();
    // Draws every graph shown from the positions held.
    void actualiser();
    void pointClique(const QPointF &point);
    void btnEnregistrerGrapheClick();
    // The graphs shown as saved, PNG or SVG (empty when they could not be drawn): each chart
    // with its note, and under it the fit's equation, uncertainties and R².
    QByteArray octetsGraphe(bool svg) const;
    void btnExporterCSVClick();
    // Every fit shown, as a table for the clipboard.
    void btnCopierParametresClick();

    const std::vector<SerieObjet> &objets() const { return objets_; }
    // An object's quantities, computed once per change of its positions or of the settings.
    const Grandeurs &grandeurs(int objet, bool lissees);
    // Every angle recorded with the protractor, against time, pointed frames or not.
    const Grandeurs &grandeursAngles();
    const std::vector<int> &lignesPoints() const;
    const Ajustement &ajustement() const;
    int nombreObjets() const { return int(objets_.size()); }
    // The graphs and their fits, for the session (empty before the panel is first used);
    // and back.
    QJsonObject etat() const;
    // The same with every fit computed on the table as it stands, the panel shown or not
    // (what a session saved keeps).
    QJsonObject etatActuel();
    void retablirEtat(const QJsonObject &o);
    ParametresGrandeurs parametres(bool lissees) const;
    bool lissageActif() const;

signals:
    // The graphs or fits changed: the session takes the new state.
    void etatModifie();

protected:
    void showEvent(QShowEvent *e) override;
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    // The sample of a pixel on frame `image` (0-based), from the document's settings.
    std::optional<Echantillon> echantillon(int image, const std::optional<QPointF> &pixel) const;
    void lireLigne(int ligne, int point);
    void disposer();
    void invaliderGrandeurs();

    TForm1 *form_;
    QGridLayout *grille_;
    std::vector<SerieObjet> objets_;
    // Per object, raw then smoothed; empty optional: to compute.
    std::vector<std::array<std::optional<Grandeurs>, 2>> grandeurs_;
    std::optional<Grandeurs> grandeursAngles_;
    bool aRelire_ = true;
    qint64 dernierDessinProvisoire_ = 0;
};
