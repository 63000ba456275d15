#include "help/indications.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>

QString partieCourte(const QString &hint)
{
    const qsizetype barre = hint.indexOf(QLatin1Char('|'));
    return barre < 0 ? hint : hint.left(barre);
}

QString partieLongue(const QString &hint)
{
    const qsizetype barre = hint.indexOf(QLatin1Char('|'));
    return barre < 0 ? hint : hint.mid(barre + 1);
}

int contexteAideNomme(const QString &nom)
{
    // 1 contents, 200 pages, 210 clip, 220 settings, 230 measuring, 240 export and print,
    // 300 tool and navigation buttons, 350 help and appearance menu items.
    static const QHash<QString, int> contextes = [] {
        QHash<QString, int> h;
        auto mettre = [&h](int contexte, std::initializer_list<const char *> noms) {
            for (const char *n : noms)
                h.insert(QString::fromLatin1(n), contexte);
        };
        mettre(1,
               {"Form1", "Aidde1", "Aide1", "BitBtn1", "mnuFichiers", "PopupMenu1", "popUpMnuAide",
                "mnuConfigurationsrapidesAction", "mnuFondclairAction", "mnuFondSombreAction",
                "mnuFdCl1point", "mnuFdCl2points", "mnuFdCl3points", "mnuFdCl4points",
                "mnuFdSo1Point", "mnuFdSo2points", "mnuFdSo3points", "mnuFdSo4points"});
        mettre(200, {"PageControl1"});
        mettre(210, {"bbtnOpenAvi", "mnuChargerAvi", "bbtnIma", "tailleImaBox", "tsProClip"});
        mettre(220, {"tsEtalon"});
        // The axes' turn and the tape belong to the calibration.
        mettre(220, {"edAngleAxes", "mnuAxesPente", "mnuRuban", "mnuRubanEtalon"});
        mettre(230, {"tsMesures", "PaintBox1", "tbCoord", "mnuPointages", "mnuAutomatismesAction",
                     "mnuAutoH", "mnuAutoV", "dlgPointeur", "aspectPointBox"});
        // Undo and redo of the measurements, automatic tracking.
        mettre(230, {"mnuEditionAction", "mnuAnnuler", "mnuRetablir", "SuiviAuto", "bbtnSuiviAuto",
                     "choixBoiteSuivi"});
        // Measurement sessions are saved and reopened as the measurements are; graphs too.
        mettre(240, {"mnuOuvrirSession", "mnuEnregistrerSession", "mnuEnregistrerSessionSous",
                     "mnuRecuperer", "mnuGraphes", "bbtnGraphes", "GrapheBox"});
        mettre(240, {"bbtnCurExec",
                     "bbtnCopierMesuresPP",
                     "bbtnCopierGraphiquePP",
                     "bbtnEnregistrerMesures",
                     "bbtnImprimer",
                     "mnuEnregistrerMesuresAction",
                     "mnuCopierPPAction",
                     "mnuTableauPP",
                     "mnuGraphiquePP",
                     "mnuEnregFicAction",
                     "mnuAuFormatCW3",
                     "mnuAuFormatCCC",
                     "mnuAuFormatTxt",
                     "mnuImprimer",
                     "AccsCurvalis1Action",
                     "mnuCurPath",
                     "mnuCurExec",
                     "accescurBox",
                     "FormatTxtBox",
                     "sauverMesuresBox",
                     "SauveTableauPPBox",
                     "dlgImprimer",
                     "SauveGraphicPPBox"});
        mettre(300, {"ToolBar2", "bbtnPlay", "bbtnDeb", "bbtnFin", "bbtnPre", "bbtnSui", "Button0",
                     "Button1", "Button2", "bbtnCible", "Panel7", "udTaillePoints", "bbtnQuitter"});
        mettre(350, {"Aide2",
                     "Aide3",
                     "propos1",
                     "mnuFormePointeurAction",
                     "mnuGrandeCible",
                     "mnuPetiteCible",
                     "mnuCroix",
                     "mnuCouleurPointeurAction",
                     "mnuCouleurNoir",
                     "mnuCouleurBlanc",
                     "mnuTaillePointsAction",
                     "mnuTaille1",
                     "mnuTaille2",
                     "mnuTaille3",
                     "mnuTaile4",
                     "mnuTaille5",
                     "mnuClip",
                     "mnuIma100",
                     "mnuImaAdapter",
                     "mnuImaAutre",
                     "mnuQuitter",
                     "popUpMnuPointeur"});
        return h;
    }();
    return contextes.value(nom, 0);
}

QStringList dossiersAide(const QString &fichierDemande)
{
    QStringList dossiers{QFileInfo(fichierDemande).absolutePath()};
    if (QCoreApplication::instance()) {
        const QString programme = QCoreApplication::applicationDirPath();
        dossiers << programme << QDir::cleanPath(programme + QStringLiteral("/../share/kinemar"));
    }
#ifdef KINEMAR_DOSSIER_DONNEES
    dossiers << QStringLiteral(KINEMAR_DOSSIER_DONNEES);
#endif
    dossiers.removeDuplicates();
    return dossiers;
}

QString chercherFichierAide(const QString &fichierDemande, const QStringList &dossiers)
{
    QStringList noms{QFileInfo(fichierDemande).fileName(), kNomFichierAide,
                     kNomFichierAide.toLower()};
    noms.removeAll(QString());
    noms.removeDuplicates();
    for (const QString &dossier : dossiers)
        for (const QString &nom : noms) {
            const QFileInfo f(QDir(dossier), nom);
            if (f.isFile() && f.isReadable()) return f.absoluteFilePath();
        }
    return {};
}
