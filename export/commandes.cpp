// Export commands of the main window: data files, text, clipboard, analysis program.
#include "export/commandes.h"

#include "app/Unit1.h"
#include "app/plateforme.h"
#include "measure/document.h"
#include "measure/grilles.h"
#include "export/FormatTxt.h"
#include "export/accescur.h"
#include "export/configuration.h"
#include "export/cp1256.h"
#include "export/fichiers.h"
#include "export/fichiersCurvalis.h"
#include "export/instantane.h"
#include "export/sauveGraphicPP.h"
#include "export/sauveMes.h"
#include "export/sauveTableauPP.h"
#include "export/texteTableau.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QValidator>

namespace
{

QString blancs(int n)
{
    return QString(n, QLatin1Char(' '));
}

const QChar kCr(13);

DialogueFichier dialogueDonnees(bool windows)
{
    DialogueFichier d;
    if (windows) {
        d.titre = QStringLiteral("Curvalis Windows (*.cw3) : حفظ القياسات بصيغة") + blancs(16);
        d.extensionDefaut = QStringLiteral("cw3");
        d.filtre = QStringLiteral("fichiers Curvalis Windows (*.cw3)|*.cw3");
    } else {
        d.titre = QStringLiteral("Curvalis Dos (*.ccc) : حفظ القياسات بصيغة") + blancs(16);
        d.extensionDefaut = QStringLiteral("ccc");
        d.filtre = QStringLiteral("fichiers Curvalis Dos (*.ccc)|*.ccc");
    }
    d.confirmerEcrasement = true;
    return d;
}

class ValidateurTitre : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &texte, int &position) const override
    {
        QString resultat;
        for (int i = 0; i < texte.size(); ++i) {
            const QChar c = texte[i];
            if (c.category() == QChar::Other_Control) {
                resultat += QLatin1Char(' ');
            } else if (c.unicode() < 0x80 || encodableCp1256(c)) {
                resultat += c;
            } else if (i < position) {
                --position;
            }
        }
        texte = resultat;
        return Acceptable;
    }
};

} // namespace

bool enregistrerFichier(const QString &nom, const QByteArray &octets, int droits)
{
    if (const auto raison = ecrireFichier(nom, octets, droits)) {
        plateforme().message(TypeMessage::Erreur, texteErreurEcriture(nom, *raison), Boutons::Ok);
        return false;
    }
    return true;
}

QString titreExportInitial()
{
    return QStringLiteral(" Kinemar  تنقيطات");
}

QStringList elementsSeparateur()
{
    return {QStringLiteral("تبويب"), QStringLiteral("نقطة فاصلة"), QStringLiteral("فاصلة"),
            QStringLiteral("مسافة")};
}

void offrirSeparateurs(TRadioGroup *groupe)
{
    const int virgule = 2, pointVirgule = 1;
    const bool offerte = separateurDecimal() != QLatin1Char(',');
    QAbstractButton *b = groupe->bouton(virgule);
    b->setEnabled(offerte);
    b->setToolTip(offerte ? QString()
                          : QStringLiteral("الفاصلة هي الفاصل العشري للأعداد: اختر فاصلا آخر"));
    if (!offerte && groupe->ItemIndex() == virgule) groupe->setItemIndex(pointVirgule);
}

void disposerEnColonnes(TRadioGroup *groupe, int colonnes)
{
    const QMargins marges = groupe->layout()->contentsMargins();
    delete groupe->layout();
    auto *grille = new QGridLayout(groupe);
    grille->setContentsMargins(marges);
    const int n = groupe->count();
    const int lignes = (n + colonnes - 1) / colonnes;
    for (int i = 0; i < n; ++i)
        grille->addWidget(groupe->bouton(i), i % lignes, i / lignes);
}

void filtrerTitreCp1256(QLineEdit *titre)
{
    titre->setValidator(new ValidateurTitre(titre));
}

InstantaneTableau TForm1::instantaneTableau() const
{
    InstantaneTableau t;
    const int V = StringGrid1->ColCount();
    for (int k = 0; k < V; ++k)
        t.noms << StringGrid0->Cells(k, 0);
    t.angle = V > StringGrid0->ColCount();
    if (t.angle) t.noms.last() = QStringLiteral("angle");
    // The texts the table shows, computed from the document as its cells are.
    const int T = document->reglages().origineTemps;
    for (int r = 1; r < StringGrid1->RowCount(); ++r) {
        QStringList ligne;
        for (int k = 0; k < V; ++k)
            ligne << (t.angle && k == V - 1 ? texteCelluleAngle(*document, r)
                                            : texteCelluleMetres(*document, k, r, T));
        t.lignes.push_back(ligne);
    }
    t.origineTemps = udt0->Position();
    t.separateur = separateurDecimal();
    return t;
}

bool TForm1::SaveFormatCur(const QString &cible, const QString &extension)
{
    QString fichier;
    if (!cible.isEmpty()) {
        fichier = nomFichierEchange(cible, extension);
        // The exchange file is ours to replace: a link left in its place is not followed.
        if (QFileInfo(fichier).isSymLink()) QFile::remove(fichier);
    } else {
        fichier =
            plateforme().fichierAEnregistrer(dialogueDonnees(extension == QLatin1String("cw3")));
        if (fichier.isEmpty()) return false;
    }
    return enregistrerFichier(fichier, fichierCurvalis(instantaneTableau(), extension));
}

void TForm1::SaveCW3Execute()
{
    SaveFormatCur(QString(), QStringLiteral("cw3"));
}

void TForm1::SaveCCCExecute()
{
    SaveFormatCur(QString(), QStringLiteral("ccc"));
}

void TForm1::SaveTXTExecute()
{
    FormatTxtBox->ShowModal();
}

void TForm1::bbtnEnregistrerMesuresClick()
{
    sauverMesuresBox->ShowModal();
}

void TForm1::mnuTableauPPClick()
{
    SauveTableauPPBox->ShowModal();
}

void TForm1::mnuGraphiquePPClick()
{
    SauveGraphicPPBox->ShowModal();
}

void TForm1::CurPathExecute()
{
    accescurBox->ShowModal();
}

void TForm1::CurExecExecute()
{
    const QString question = QStringLiteral("أنت تطلب تشغيل برنامج") + blancs(8) + kCr + blancs(5) +
                             QStringLiteral("Curvalis") + kCr + kCr +
                             QStringLiteral("هل أنت متأكد من هذا الطلب ؟") + blancs(3);
    if (plateforme().message(TypeMessage::Confirmation, question, Boutons::OuiNon) != Reponse::Oui)
        return;

    // A kmconfig.txt that another user owns or may write could launch any program: a folder
    // downloaded with one in it, for instance.
    const QString chemin = cheminConfiguration(repDepart);
    if (const auto raison = configurationDouteuse(chemin)) {
        plateforme().message(TypeMessage::Erreur,
                             QStringLiteral("لن يُشغَّل Curvalis : ملف الإعداد") + kCr +
                                 QDir::toNativeSeparators(chemin) + kCr + *raison +
                                 QStringLiteral("، فقد يشغّل برنامجا غير الذي اخترته.") + kCr + kCr +
                                 QStringLiteral("لإصلاح ذلك احفظ عنوان الوصول من جديد :") + kCr +
                                 QStringLiteral("تحديد عنوان الوصول/Curvalis ملفات/برنامج"),
                             Boutons::Ok);
        return;
    }
    QByteArray lignes;
    QFile f(chemin);
    if (f.open(QIODevice::ReadOnly)) {
        lignes = f.readLine();
        lignes += f.readLine();
    }
    const ConfigCurvalis config = lireConfiguration(lignes);
    if (!config.valide()) {
        plateforme().message(TypeMessage::Erreur,
                             QStringLiteral("غير ممكن تلقائيا Curvalis تحديد") + blancs(2) + kCr +
                                 kCr + QStringLiteral("إختر المسار التالي") + kCr + blancs(2) +
                                 QStringLiteral("تحديد عنوان الوصول/Curvalis ملفات/برنامج") +
                                 blancs(3),
                             Boutons::Ok);
        return;
    }

    const QString extension = config.windows() ? QStringLiteral("cw3") : QStringLiteral("ccc");
    // Launched on a file that was not written, the program would show the last run's data.
    if (!SaveFormatCur(config.programme, extension)) return;

    const QString &programme = config.programme;
    const QString repertoire = programme.left(programme.lastIndexOf(QLatin1Char('/')) + 1);
    if (!plateforme().lancer(programme, QStringLiteral("~kincur~.") + extension, repertoire)) {
        plateforme().message(
            TypeMessage::Erreur,
            QStringLiteral("غير موجود Curvalis عنوان الوصول إلى") + blancs(3) + kCr + kCr +
                QStringLiteral("إختر المسار التالي") + kCr + blancs(1) +
                QStringLiteral("تحديد عنوان الوصول/Curvalis ملفات/برنامج") + blancs(4) + kCr + kCr +
                raisonEchecLancement(programme, cheminWine()),
            Boutons::Ok);
        CurExec->setEnabled(false);
    }
}
