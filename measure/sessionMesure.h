#pragma once
// Keeps the work: the undo history, the session file commands and recovery, for the main
// window. The handlers keep writing the grids and globals as they always did; this object
// follows the pixel grid cell by cell and the settings after each event, and records each
// change as one undo step (a difference from the value it keeps).
#include "measure/commandesMesure.h"
#include "measure/mesure.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class QAction;
class QMenu;
class QUndoStack;
class Recuperation;
class TForm1;
class TMediaPlayer;
class TStringGrid;

class SessionMesure : public QObject, public ObservateurMesure
{
    Q_OBJECT
public:
    explicit SessionMesure(TForm1 *fenetre);
    ~SessionMesure() override;

    QAction *mnuOuvrirSession, *mnuEnregistrerSession, *mnuEnregistrerSessionSous, *mnuRecuperer,
        *mnuAnnuler, *mnuRetablir;
    QMenu *mnuEdition;

    // The clip now open, as a session names it (size and checksum computed once per clip).
    ClipMesure infoClip();
    int modeEtalonnage() const { return modeEtalonnage_; }
    QUndoStack *pile() const { return pile_; }
    Recuperation *recuperation() const { return recuperation_; }
    QString fichierSession() const { return fichierSession_; }

    // Records what changed since the last step, if anything (run after each event).
    void enregistrerEtape();
    void annuler();
    void retablir();
    bool enregistrer();
    bool enregistrerSous();
    void ouvrir();
    // Opens a session file; false (after an Arabic message) leaves the work as it was.
    bool ouvrirSession(const QString &fichier, bool recuperation = false);
    void recuperer();

    void mesureModifiee(const Mesure &m, const PlageMesure &plage) override;

private:
    void marquer(int col, int row);
    void repartir(); // a new clip or display size: the history starts again
    bool enregistrerDans(const QString &fichier);
    void actualiserMenus();

    TForm1 *fenetre_;
    QUndoStack *pile_;
    Recuperation *recuperation_;
    Mesure mesure_;                            // the measurement as of the last step
    std::vector<std::pair<int, int>> marques_; // cells of StringGrid0 written since
    bool debordement_ = false;                 // too many marks: read the whole grid
    bool etapePrevue_ = false;
    bool enPose_ = false;
    int modeEtalonnage_ = 0;
    QPointer<TMediaPlayer> lecteurConnu_;
    ClipMesure clip_;
    QPointer<TMediaPlayer> lecteurClip_;
    QString fichierSession_;
    QTimer veille_;
    QPointer<TStringGrid> grille_;
};
