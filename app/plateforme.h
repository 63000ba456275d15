#pragma once
// Everything modal or external goes through here, so that every command can be driven by a
// test without a person at the keyboard. The program installs the Qt implementation; tests
// install a scripted one.
#include <QColor>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QPrinter;

enum class TypeMessage { Avertissement, Erreur, Information, Confirmation };
enum class Boutons { Ok, OuiNon };
enum class Reponse { Oui, Non, Ok, Annuler };

struct DialogueFichier {
    QString titre, filtre, extensionDefaut, nomInitial;
    bool confirmerEcrasement = false;
    // The filter selected when the dialog opens, 0-based in the order of `filtre`.
    int filtreInitial = 0;
    // A Help button opening this help file at this context; none when the context is 0.
    QString fichierAide;
    int contexteAide = 0;
};

// A progress bar with a Cancel button over a long task, closed when destroyed.
class Progression
{
public:
    virtual ~Progression() = default;
    // Shows `fait` steps done and lets the window handle what is pending; false once the
    // user asked to cancel.
    virtual bool avancer(int fait) = 0;
};

class Plateforme
{
public:
    virtual ~Plateforme() = default;
    virtual Reponse message(TypeMessage type, const QString &texte, Boutons boutons) = 0;
    // Empty result = cancelled. surSelection is called for each file the user selects
    // while the dialog is open (the clip preview).
    virtual QString fichierAOuvrir(const DialogueFichier &d,
                                   std::function<void(const QString &)> surSelection = {}) = 0;
    // filtreChoisi, when given, receives the filter selected when the user confirmed
    // (0-based in the order of `filtre`).
    virtual QString fichierAEnregistrer(const DialogueFichier &d, int *filtreChoisi = nullptr) = 0;
    virtual std::optional<QColor> couleur(const QColor &initiale, bool complet) = 0;
    virtual int montrerModal(QDialog *dialogue) = 0; // QDialog::exec's role
    virtual bool configurerImprimante(QPrinter *imprimante) = 0;
    virtual void aide(const QString &fichierAide, int contexte) = 0;
    virtual bool lancer(const QString &programme, const QString &parametre,
                        const QString &repertoire) = 0;
    virtual void bip() = 0;
    virtual void patienter(int millisecondes) = 0; // sleep + process pending events
    // A long task's progress, fraction 0 to 1: a window with a Cancel button appears once
    // the task has run for a second. A fraction below 0 ends the task and its window.
    // Returns false once the user has cancelled.
    virtual bool progression(const QString &texte, double fraction)
    {
        (void)texte;
        (void)fraction;
        return true;
    }
    // A progress bar over 0 … total under the text with Cancel, shown only when the task
    // lasts; the bar closes with the object returned.
    virtual std::unique_ptr<Progression> barreProgression(const QString &texte, int total) = 0;
};

Plateforme &plateforme();
void installerPlateforme(Plateforme *p); // nullptr restores the Qt implementation
// The window that shows the help file at a context, for the Qt implementation's aide().
void definirAfficheurAide(std::function<void(const QString &, int)> afficheur);

// The standard titles and button texts of the message dialogs.
QString titreMessage(TypeMessage type);

// A filter written "description|patterns|description|patterns…" (patterns separated by ";")
// in the form Qt's file dialogs read: "description (patterns);;…". A description that already
// ends with its patterns in brackets keeps them once; a filter without "|" is left as it is.
QString filtreQt(const QString &filtre);
