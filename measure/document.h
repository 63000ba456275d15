#pragma once
// The measurement document: it owns the one Mesure value of the open clip (positions as
// numbers, settings, clip) and its undo history. Its operations are the only writers of the
// positions; each records one undo step and says what changed through modifie(). The table's
// grids, the graphs, printing, exports, tracking, sessions and recovery read it; none keeps a
// copy of the positions as text.
//
// Positions are kept as the table shows them: whole pixels when pointed, hundredths when
// tracked (textePixel's rounding), so that what is saved, shown and computed is the same value.
#include "measure/commandesMesure.h"
#include "measure/mesure.h"

#include <QObject>

#include <functional>

class QUndoStack;

// The measurement the program's window works on. Its settings' fields are the working state's
// names (echelleH, origineX …, app/etat.h): they live here and nowhere else.
Mesure &mesureDeTravail();

class DocumentMesure : public QObject, public ObservateurMesure
{
    Q_OBJECT
public:
    // A document on its own value, or on `valeur` (the window's: mesureDeTravail()), whose
    // positions and clip it empties and whose settings it keeps.
    explicit DocumentMesure(QObject *parent = nullptr, Mesure *valeur = nullptr);
    ~DocumentMesure() override;

    const Mesure &mesure() const { return mesure_; }
    // The settings as they stand (the working state may have changed them since the last step).
    const ReglagesMesure &reglages() const { return mesure_.reglages; }
    // The settings as of the last undo step: what the next settings step starts from.
    const ReglagesMesure &reglagesEnregistres() const { return enregistres_; }
    std::optional<QPointF> position(int point, int image) const;
    // The protractor's angle recorded on a frame, in degrees.
    std::optional<double> angle(int image) const;
    // Pointings of the first n points (n = the points per frame shown).
    bool occupe(int n) const;
    QUndoStack *pile() const { return pile_; }

    // Who answers undo and redo by showing the value (the window); the grids only listen to
    // modifie().
    void setObservateur(ObservateurMesure *o) { observateur_ = o; }

    // Run before each change of positions: the window records the settings it changed since
    // the last step first, so that undo takes them back in the order they were made.
    std::function<void()> avantOperation;

    // ---- Operations: each is one undo step (nothing when it changes nothing) ----
    // One position pointed (pos) or cleared (nullopt); 0-based point and frame.
    void pointer(int point, int image, std::optional<QPointF> pos);
    // A pixel written into the grid's cell: the writes of one turn of the event loop are one
    // step (a program or test filling the table cell by cell).
    void ecrireCellule(int point, int image, std::optional<QPointF> pos);
    // Several positions at once (tracking results, a cleared column, row or table): only
    // `image`, `point` and `apres` are read.
    void changerPositions(std::vector<ChangementPosition> changements);
    // Every position of the first 2n columns within [premiere, derniere] frames cleared, and
    // with avecAngles the protractor's angles of those frames in the same step.
    void effacer(int premierPoint, int dernierPoint, int premiere, int derniere,
                 bool avecAngles = false);
    // The protractor's angle of a frame recorded (degrees, kept to the tenth) or cleared.
    void changerAngle(int image, std::optional<double> degres);
    // New settings; pointings kept unless effacerPositions (a display size changed).
    void changerReglages(const ReglagesMesure &r, bool effacerPositions = false);

    // ---- Not undoable: the history starts again ----
    // Another clip, a session opened or recovered.
    void remplacer(const Mesure &m);
    // The clip it belongs to (name, size, checksum) and its frame count.
    void changerClip(const ClipMesure &clip) { mesure_.clip = clip; }
    // What the graph panel shows, kept with the session; no undo step of its own.
    void changerGraphes(const QJsonObject &g) { mesure_.graphes = g; }

    // Rounds a position as the table writes it (textePixel).
    static QPointF arrondi(const QPointF &p);
    // Rounds an angle as the table writes it (tenths of a degree).
    static double arrondiAngle(double degres);

    // From the undo steps (ObservateurMesure).
    void mesureModifiee(const Mesure &m, const PlageMesure &plage) override;

signals:
    // After every change, operation, undo or redo: what changed.
    void modifie(const PlageMesure &plage);
    // remplacer() gave it another measurement (just before its modifie()).
    void remplace();

private:
    void pousser(std::vector<ChangementPosition> changements, const ReglagesMesure &avant,
                 int rafale = 0, std::vector<ChangementAngle> angles = {});
    std::vector<ChangementPosition> aFaire(std::vector<ChangementPosition> changements);

    Mesure propre_;
    Mesure &mesure_;
    ReglagesMesure enregistres_;
    QUndoStack *pile_;
    ObservateurMesure *observateur_ = nullptr;
    int rafale_ = 0; // number of the burst of cell writes in progress, 0 between bursts
    int rafales_ = 0;
};
