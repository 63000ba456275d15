#pragma once
// The help viewer: its own right-to-left window showing the program's help file (one HTML
// file with an anchor "ctxN" per context number N) at a context.
#include <QWidget>

class QLabel;
class QTextBrowser;
class QToolButton;

class TVisionneuseAide : public QWidget
{
    Q_OBJECT
public:
    explicit TVisionneuseAide(QWidget *parent = nullptr);
    // Shows the help at a context. The file is looked for where the program asked, then
    // beside the program and in the installed data folders; a missing file, or a context
    // the file lacks, is said in the window.
    void ouvrir(const QString &fichierDemande, int contexte);
    // The file shown; empty when none was found.
    QString fichierAffiche() const { return fichier_; }
    // Whether the file shown has a section for the context.
    bool aSection(int contexte) const;

    QToolButton *btnPrecedent, *btnSuivant, *btnSommaire;
    QLabel *lblNote;
    QTextBrowser *texte;

private:
    QString fichier_;
};

// The program's one viewer, made on first use.
TVisionneuseAide *visionneuseAide();
// Routes the platform's help requests to the viewer.
void installerVisionneuseAide();
// Loads Qt's own Arabic texts (buttons and standard dialogs); false when the translation
// is not installed.
bool chargerTraductionQt();
