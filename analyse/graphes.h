#pragma once
// The graph window: for one pointed object, x(t), y(t), the trajectory y(x) or the
// velocities vx(t), vy(t), v(t), with a fit chosen from a list drawn over the points. It
// follows the table as it changes; a click on a point shows its frame and selects its row.
#include "analyse/mouvement.h"

#include <QWidget>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QValueAxis;
class TForm1;
class QPainter;

class TGrapheBox : public QWidget
{
    Q_OBJECT
public:
    enum Graphe { grX, grY, grTrajectoire, grVx, grVy, grV };

    explicit TGrapheBox(TForm1 *form);

    QComboBox *cbObjet, *cbGraphe, *cbModele;
    QChartView *ChartView1;
    QChart *Chart1;
    QScatterSeries *seriePoints;
    QLineSeries *serieModele;
    // The frame shown: a vertical line at its time (graphs against t) and its point ringed.
    QLineSeries *serieCurseur;
    QScatterSeries *seriePointCourant;
    QValueAxis *axeX, *axeY;
    QLabel *lblObjet, *lblGraphe, *lblModeleTitre, *lblNote, *lblModele;
    QPushButton *btnEnregistrerGraphe, *btnExporterCSV;

    // The table changed: one object's pair on one row, every pair of a row (point 0), or
    // everything (ligne 0: calibration, time origin, clearing, a new clip).
    void tableauModifie(int ligne, int point);
    // The clip now shows frame `image` (0-based): the cursor and the ringed point follow it.
    void imageMontree(int image);
    // Reads every pointed position again from the table.
    void relireTableau();
    // Draws the chosen graph and fit from the positions held.
    void actualiser();
    // A click on a shown point: its frame in the clip, its row (and object) in the table.
    void pointClique(const QPointF &point);
    void btnEnregistrerGrapheClick();
    // The graph as saved, PNG or SVG (empty when it could not be drawn): the chart with its
    // note, and under it the fit's equation, uncertainties and R².
    QByteArray octetsGraphe(bool svg) const;
    void btnExporterCSVClick();

    const std::vector<SerieObjet> &objets() const { return objets_; }
    // The table row of each point of seriePoints, in the same order (beyond 1,000 points one
    // in so many is shown).
    const std::vector<int> &lignesPoints() const { return lignesPoints_; }
    const Ajustement &ajustement() const { return ajustement_; }

protected:
    void showEvent(QShowEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void lireLigne(int ligne, int point);
    void placerNote(const QString &texte);
    QSize tailleGraphe() const;
    void dessinerGraphe(QPainter &peintre) const;

    TForm1 *form_;
    std::vector<SerieObjet> objets_;
    std::vector<int> lignesPoints_;
    Ajustement ajustement_;
    bool aRelire_ = true;
};
