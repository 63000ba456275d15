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
    virtual QString fichierAEnregistrer(const DialogueFichier &d) = 0;
    virtual std::optional<QColor> couleur(const QColor &initiale, bool complet) = 0;
    virtual int montrerModal(QDialog *dialogue) = 0; // QDialog::exec's role
    virtual bool configurerImprimante(QPrinter *imprimante) = 0;
    virtual void aide(const QString &fichierAide, int contexte) = 0;
    virtual bool lancer(const QString &programme, const QString &parametre,
                        const QString &repertoire) = 0;
    virtual void bip() = 0;
    virtual void patienter(int millisecondes) = 0; // sleep + process pending events
    // Progress over 0 … total under the text; shown only when the task lasts.
    virtual std::unique_ptr<Progression> progression(const QString &texte, int total) = 0;
};

Plateforme &plateforme();
void installerPlateforme(Plateforme *p); // nullptr restores the Qt implementation

// The standard titles and button texts of the message dialogs.
QString titreMessage(TypeMessage type);
