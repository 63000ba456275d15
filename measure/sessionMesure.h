#pragma once
// Keeps the work: the session file commands, undo and redo, and recovery, for the main
// window. Positions change through the document's own operations; the settings the handlers
// write into the working state are recorded into the document after each burst of events, as
// one undo step.
#include "measure/commandesMesure.h"
#include "measure/mesure.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class QAction;
class QMenu;
class QUndoStack;
class DocumentMesure;
class Recuperation;
class TForm1;
class TMediaPlayer;

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
    QUndoStack *pile() const;
    Recuperation *recuperation() const { return recuperation_; }
    QString fichierSession() const { return fichierSession_; }

    // Records what changed since the last step, if anything (run after each event, waits for
    // the end of a gesture).
    void enregistrerEtape();
    // The same now, whatever the mouse does.
    void validerReglages();
    // A clip was opened: the history starts again, with the settings the window shows.
    void nouveauClip();
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
    bool enregistrerDans(const QString &fichier);
    void actualiserMenus();

    TForm1 *fenetre_;
    QPointer<DocumentMesure> document_;
    Recuperation *recuperation_;
    bool enPose_ = false;
    bool enValidation_ = false;
    int modeEtalonnage_ = 0;
    QPointer<TMediaPlayer> lecteurConnu_;
    ClipMesure clip_;
    QPointer<TMediaPlayer> lecteurClip_;
    QString fichierSession_;
    QTimer veille_;
};
