#include "app/plateforme.h"
#include "export/configuration.h"

#include <QPushButton>
#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QAbstractButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QThread>

#include <algorithm>
#include <memory>

QString titreMessage(TypeMessage type)
{
    switch (type) {
    case TypeMessage::Avertissement:
        return QStringLiteral(": تحذير ");
    case TypeMessage::Erreur:
        return QStringLiteral("خطــأ");
    case TypeMessage::Information:
        return QStringLiteral("معلـومــة");
    case TypeMessage::Confirmation:
        return QStringLiteral("تـأكيــد");
    }
    return {};
}

namespace
{

class PlateformeQt : public Plateforme
{
public:
    Reponse message(TypeMessage type, const QString &texte, Boutons boutons) override
    {
        QMessageBox::Icon icone = QMessageBox::Information;
        switch (type) {
        case TypeMessage::Avertissement:
            icone = QMessageBox::Warning;
            break;
        case TypeMessage::Erreur:
            icone = QMessageBox::Critical;
            break;
        case TypeMessage::Information:
            icone = QMessageBox::Information;
            break;
        case TypeMessage::Confirmation:
            icone = QMessageBox::Question;
            break;
        }
        // The program's texts break their lines with CR alone, which a label does not.
        QString lignes = texte;
        lignes.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        lignes.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QMessageBox boite(icone, titreMessage(type), lignes, QMessageBox::NoButton,
                          QApplication::activeWindow());
        boite.setTextFormat(Qt::PlainText);
        boite.setLayoutDirection(Qt::RightToLeft);
        if (boutons == Boutons::OuiNon) {
            QAbstractButton *oui = boite.addButton(QStringLiteral("نعم"), QMessageBox::YesRole);
            boite.addButton(QStringLiteral("لا"), QMessageBox::NoRole);
            boite.exec();
            return boite.clickedButton() == oui ? Reponse::Oui : Reponse::Non;
        }
        boite.addButton(QStringLiteral("موافق"), QMessageBox::AcceptRole);
        boite.exec();
        return Reponse::Ok;
    }

    QString fichierAOuvrir(const DialogueFichier &d,
                           std::function<void(const QString &)> surSelection) override
    {
        QFileDialog dialogue(QApplication::activeWindow(), d.titre, d.nomInitial,
                             filtreQt(d.filtre));
        choisirFiltre(dialogue, d);
        dialogue.setFileMode(QFileDialog::ExistingFile);
        dialogue.setAcceptMode(QFileDialog::AcceptOpen);
        dialogue.setOption(QFileDialog::DontResolveSymlinks, true);
        dialogue.setOption(QFileDialog::DontUseNativeDialog, true);
        if (!d.extensionDefaut.isEmpty()) dialogue.setDefaultSuffix(d.extensionDefaut);
        ajouterAide(dialogue, d);
        aererBoutons(dialogue);
        if (surSelection)
            QObject::connect(&dialogue, &QFileDialog::currentChanged, &dialogue,
                             [surSelection](const QString &f) {
                                 if (!f.isEmpty() && QFileInfo(f).isFile()) surSelection(f);
                             });
        if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty()) return {};
        return dialogue.selectedFiles().first();
    }

    static void choisirFiltre(QFileDialog &dialogue, const DialogueFichier &d)
    {
        const QStringList filtres = dialogue.nameFilters();
        if (d.filtreInitial > 0 && d.filtreInitial < filtres.size())
            dialogue.selectNameFilter(filtres[d.filtreInitial]);
    }

    // Beside an icon, the style places the Arabic captions of the dialog's buttons against
    // the button's edge: captions alone, centred, with room on either side.
    static void aererBoutons(QFileDialog &dialogue)
    {
        if (auto *boutons = dialogue.findChild<QDialogButtonBox *>())
            for (QAbstractButton *b : boutons->buttons()) {
                b->setIcon(QIcon());
                b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) + 32);
            }
    }

    // The file dialogs of Qt have a button box of their own: the Help button goes there.
    void ajouterAide(QFileDialog &dialogue, const DialogueFichier &d)
    {
        if (d.contexteAide <= 0) return;
        auto *boutons = dialogue.findChild<QDialogButtonBox *>();
        if (!boutons) return;
        QPushButton *aideBouton = boutons->addButton(QDialogButtonBox::Help);
        aideBouton->setText(QStringLiteral("مساعدة"));
        QObject::connect(boutons, &QDialogButtonBox::helpRequested, &dialogue,
                         [this, d] { aide(d.fichierAide, d.contexteAide); });
    }

    QString fichierAEnregistrer(const DialogueFichier &d, int *filtreChoisi) override
    {
        QFileDialog dialogue(QApplication::activeWindow(), d.titre, d.nomInitial,
                             filtreQt(d.filtre));
        choisirFiltre(dialogue, d);
        dialogue.setAcceptMode(QFileDialog::AcceptSave);
        dialogue.setOption(QFileDialog::DontUseNativeDialog, true);
        dialogue.setOption(QFileDialog::DontConfirmOverwrite, !d.confirmerEcrasement);
        if (!d.extensionDefaut.isEmpty()) dialogue.setDefaultSuffix(d.extensionDefaut);
        ajouterAide(dialogue, d);
        aererBoutons(dialogue);
        if (dialogue.exec() != QDialog::Accepted || dialogue.selectedFiles().isEmpty()) return {};
        if (filtreChoisi)
            *filtreChoisi = std::max<int>(
                0, int(dialogue.nameFilters().indexOf(dialogue.selectedNameFilter())));
        return dialogue.selectedFiles().first();
    }

    std::optional<QColor> couleur(const QColor &initiale, bool complet) override
    {
        QColorDialog dialogue(initiale, QApplication::activeWindow());
        dialogue.setOption(QColorDialog::DontUseNativeDialog, true);
        Q_UNUSED(complet);
        if (dialogue.exec() != QDialog::Accepted) return std::nullopt;
        return dialogue.selectedColor();
    }

    int montrerModal(QDialog *dialogue) override { return dialogue->exec(); }

    bool configurerImprimante(QPrinter *imprimante) override
    {
        QPrintDialog dialogue(imprimante, QApplication::activeWindow());
        return dialogue.exec() == QDialog::Accepted;
    }

    void aide(const QString &fichierAide, int contexte) override;

    bool lancer(const QString &programme, const QString &parametre,
                const QString &repertoire) override
    {
        // A Windows program starts through wine when wine is installed.
        const CommandeLancement c = commandeLancement(programme, parametre, cheminWine());
        return QProcess::startDetached(c.programme, c.arguments, repertoire);
    }

    void bip() override { QApplication::beep(); }

    bool progression(const QString &texte, double fraction) override
    {
        if (fraction < 0) {
            fenetreProgression.reset();
            debutTache.invalidate();
            return true;
        }
        if (!fenetreProgression) {
            if (!debutTache.isValid()) debutTache.start();
            if (debutTache.elapsed() < 1000) return true;
            fenetreProgression = std::make_unique<QProgressDialog>(
                texte, QStringLiteral("إلغاء"), 0, 1000, QApplication::activeWindow());
            fenetreProgression->setWindowTitle(texte);
            fenetreProgression->setMinimumWidth(320);
            fenetreProgression->setWindowModality(Qt::ApplicationModal);
            fenetreProgression->setLayoutDirection(Qt::RightToLeft);
            fenetreProgression->setMinimumDuration(0);
            fenetreProgression->setAutoReset(false);
            fenetreProgression->show();
        }
        fenetreProgression->setValue(int(std::clamp(fraction, 0.0, 1.0) * 1000));
        QApplication::processEvents();
        return !fenetreProgression->wasCanceled();
    }

    void patienter(int millisecondes) override
    {
        QElapsedTimer chrono;
        chrono.start();
        while (chrono.elapsed() < millisecondes) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(5);
        }
    }

    std::unique_ptr<Progression> barreProgression(const QString &texte, int total) override;

private:
    std::unique_ptr<QProgressDialog> fenetreProgression;
    QElapsedTimer debutTache;
};

class ProgressionQt : public Progression
{
public:
    ProgressionQt(const QString &texte, int total)
        : dialogue_(texte, QStringLiteral("إلغاء"), 0, std::max(total, 1),
                    QApplication::activeWindow())
    {
        dialogue_.setLayoutDirection(Qt::RightToLeft);
        dialogue_.setWindowTitle(titreMessage(TypeMessage::Information));
        // The window behind takes no clicks meanwhile, but keeps repainting.
        dialogue_.setWindowModality(Qt::WindowModal);
        dialogue_.setMinimumDuration(500);
        dialogue_.setAutoClose(false);
        dialogue_.setAutoReset(false);
        dialogue_.setValue(0);
    }
    bool avancer(int fait) override
    {
        dialogue_.setValue(std::min(fait, dialogue_.maximum()));
        // Until the bar shows (and blocks the window behind), clicks and keys wait.
        QApplication::processEvents(dialogue_.isVisible() ? QEventLoop::AllEvents
                                                          : QEventLoop::ExcludeUserInputEvents);
        return !dialogue_.wasCanceled();
    }

private:
    QProgressDialog dialogue_;
};

std::unique_ptr<Progression> PlateformeQt::barreProgression(const QString &texte, int total)
{
    return std::make_unique<ProgressionQt>(texte, total);
}

// The help viewer is provided by the help folder; until it is linked in, nothing is shown.
std::function<void(const QString &, int)> &afficheurAide()
{
    static std::function<void(const QString &, int)> f;
    return f;
}

void PlateformeQt::aide(const QString &fichierAide, int contexte)
{
    if (afficheurAide()) afficheurAide()(fichierAide, contexte);
}

PlateformeQt &plateformeQt()
{
    static PlateformeQt p;
    return p;
}

Plateforme *installee = nullptr;

} // namespace

void definirAfficheurAide(std::function<void(const QString &, int)> f)
{
    afficheurAide() = std::move(f);
}

Plateforme &plateforme()
{
    return installee ? *installee : plateformeQt();
}

void installerPlateforme(Plateforme *p)
{
    installee = p;
}

QString filtreQt(const QString &filtre)
{
    if (!filtre.contains(QLatin1Char('|'))) return filtre;
    const QStringList parties = filtre.split(QLatin1Char('|'));
    QStringList filtres;
    for (int i = 0; i + 1 < parties.size(); i += 2) {
        QStringList motifs = parties[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        const QString groupe =
            QStringLiteral("(") + motifs.join(QLatin1Char(' ')) + QStringLiteral(")");
        const QString description = parties[i].trimmed();
        filtres << (description.endsWith(groupe) ? description
                                                 : description + QLatin1Char(' ') + groupe);
    }
    return filtres.join(QStringLiteral(";;"));
}
