#include "measure/sessionMesure.h"

#include "app/Unit1.h"
#include "app/plateforme.h"
#include "app/recuperation.h"
#include "app/tailleIma.h"
#include "clip/TMediaPlayer.h"
#include "clip/infosClip.h"
#include "measure/TStringGrid.h"
#include "measure/document.h"
#include "measure/fichierMesure.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QScopedValueRollback>
#include <QUndoStack>

#include <utility>

namespace
{

const QString kFiltre = QStringLiteral("جلسة قياس (*.kinemar)");

QAction *action(QObject *parent, const char *nom, const QString &texte, const QString &aide)
{
    auto *a = new QAction(texte, parent);
    a->setObjectName(QString::fromLatin1(nom));
    a->setStatusTip(aide);
    return a;
}

Reponse dire(TypeMessage type, const QString &texte, Boutons boutons = Boutons::Ok)
{
    return plateforme().message(type, texte, boutons);
}

} // namespace

SessionMesure::SessionMesure(TForm1 *fenetre)
    : QObject(fenetre), fenetre_(fenetre), document_(fenetre->document)
{
    setObjectName(QStringLiteral("sessionMesure"));
    document_->setObservateur(this);
    recuperation_ = new Recuperation(this);
    recuperation_->source = [this] { return document_->mesure(); };
    // Each change goes to the recovery journal as it is made; a new measurement put in place
    // is written whole.
    connect(document_, &DocumentMesure::modifie, this, [this](const PlageMesure &plage) {
        if (!enPose_) recuperation_->noter(document_->mesure(), plage);
    });
    document_->avantOperation = [this] { validerReglages(); };
    connect(recuperation_, &Recuperation::protection, this,
            [this](bool protege, const QString &raison) {
                fenetre_->StatusBar1->showMessage(
                    protege ? QStringLiteral("تم حفظ نسخة الاسترجاع : العمل الجاري محمي من جديد")
                            : QStringLiteral("تعذر حفظ نسخة الاسترجاع : العمل الجاري غير محمي إن "
                                             "توقف البرنامج (%1)")
                                  .arg(raison));
            });

    mnuOuvrirSession = action(this, "mnuOuvrirSession", QStringLiteral("فتح جلسة قياس ..."),
                              QStringLiteral("فتح جلسة قياس محفوظة مع مقطع الفيديو الخاص بها"));
    mnuEnregistrerSession = action(this, "mnuEnregistrerSession", QStringLiteral("حفظ الجلسة"),
                                   QStringLiteral("حفظ كل القياسات و الإعدادات لمتابعتها لاحقا"));
    mnuEnregistrerSession->setShortcut(QKeySequence::Save);
    mnuEnregistrerSessionSous =
        action(this, "mnuEnregistrerSessionSous", QStringLiteral("حفظ الجلسة باسم ..."),
               QStringLiteral("حفظ الجلسة في ملف جديد"));
    mnuRecuperer = action(this, "mnuRecuperer", QStringLiteral("استرجاع العمل غير المحفوظ"),
                          QStringLiteral("استرجاع القياسات بعد توقف البرنامج بشكل غير عادي"));
    QMenu *fichiers = fenetre_->mnuFichiers;
    QAction *avant = fenetre_->mnuEnregistrerMesures->menuAction();
    for (QAction *a :
         {mnuOuvrirSession, mnuEnregistrerSession, mnuEnregistrerSessionSous, mnuRecuperer})
        fichiers->insertAction(avant, a);
    fichiers->insertSeparator(avant);

    mnuEdition = new QMenu(QStringLiteral("تحرير"), fenetre_);
    mnuEdition->setObjectName(QStringLiteral("mnuEdition"));
    mnuEdition->menuAction()->setObjectName(QStringLiteral("mnuEditionAction"));
    mnuEdition->menuAction()->setStatusTip(QStringLiteral("التراجع عن تغييرات القياسات وإعادتها"));
    fenetre_->menuBar()->insertMenu(fenetre_->mnuClip->menuAction(), mnuEdition);
    mnuAnnuler = action(this, "mnuAnnuler", QStringLiteral("تراجع"),
                        QStringLiteral("إلغاء آخر تغيير في القياسات"));
    mnuAnnuler->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuRetablir = action(this, "mnuRetablir", QStringLiteral("إعادة"),
                         QStringLiteral("إعادة التغيير الذي تم التراجع عنه"));
    mnuRetablir->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    mnuEdition->addAction(mnuAnnuler);
    mnuEdition->addAction(mnuRetablir);

    connect(mnuOuvrirSession, &QAction::triggered, this, &SessionMesure::ouvrir);
    connect(mnuEnregistrerSession, &QAction::triggered, this, &SessionMesure::enregistrer);
    connect(mnuEnregistrerSessionSous, &QAction::triggered, this, &SessionMesure::enregistrerSous);
    connect(mnuRecuperer, &QAction::triggered, this, &SessionMesure::recuperer);
    connect(mnuAnnuler, &QAction::triggered, this, &SessionMesure::annuler);
    connect(mnuRetablir, &QAction::triggered, this, &SessionMesure::retablir);
    connect(pile(), &QUndoStack::canUndoChanged, mnuAnnuler, &QAction::setEnabled);
    connect(pile(), &QUndoStack::canRedoChanged, mnuRetablir, &QAction::setEnabled);
    mnuAnnuler->setEnabled(false);
    mnuRetablir->setEnabled(false);

    // The scale mode last chosen belongs to the calibration.
    const std::pair<QRadioButton *, int> modes[] = {
        {fenetre_->rbEtalonHori, 1}, {fenetre_->rbEtalonVert, 2}, {fenetre_->rbEtalonSimu, 3}};
    for (auto [rb, mode] : modes)
        connect(rb, &QRadioButton::toggled, this, [this, mode = mode](bool coche) {
            if (coche) modeEtalonnage_ = mode;
        });

    // Settings live in globals and controls: look at them after each burst of events.
    veille_.setInterval(250);
    connect(&veille_, &QTimer::timeout, this, &SessionMesure::enregistrerEtape);
    veille_.start();
    mnuRecuperer->setEnabled(!recuperation_->recuperables().isEmpty());
    if (mnuRecuperer->isEnabled())
        fenetre_->StatusBar1->showMessage(
            QStringLiteral("توقف البرنامج دون حفظ القياسات : يمكن استرجاعها من قائمة ملفات"));
    actualiserMenus();
}

SessionMesure::~SessionMesure()
{
    // The window's children go in their order: the document may be gone already.
    if (!document_) return;
    document_->setObservateur(nullptr);
    document_->avantOperation = nullptr;
}

QUndoStack *SessionMesure::pile() const
{
    return document_->pile();
}

ClipMesure SessionMesure::infoClip()
{
    if (!fenetre_->clipOuvert()) return {};
    if (lecteurClip_ != fenetre_->MediaPlayer1) {
        lecteurClip_ = fenetre_->MediaPlayer1;
        const QFileInfo f(fenetre_->MediaPlayer1->FileName());
        clip_.fichier = f.absoluteFilePath();
        clip_.taille = f.size();
        clip_.empreinte = empreinteClip(clip_.fichier);
    }
    clip_.nbImages = nbImages;
    return clip_;
}

void SessionMesure::nouveauClip()
{
    if (lecteurConnu_ != fenetre_->MediaPlayer1) {
        fichierSession_.clear();
        recuperation_->effacer();
    }
    lecteurConnu_ = fenetre_->MediaPlayer1;
    Mesure m = document_->mesure();
    m.clip = infoClip();
    m.reglages = fenetre_->lireReglages();
    modeEtalonnage_ = m.reglages.modeEtalonnage;
    enPose_ = true;
    document_->remplacer(m);
    enPose_ = false;
    recuperation_->toutReecrire();
}

void SessionMesure::enregistrerEtape()
{
    if (enPose_) return;
    actualiserMenus();
    if (!fenetre_->clipOuvert()) return;
    // In the middle of a gesture (the time-origin arrow held, a button down): wait for its end.
    if (fenetre_->Timer2->isActive() || QGuiApplication::mouseButtons() != Qt::NoButton) return;
    validerReglages();
}

void SessionMesure::validerReglages()
{
    if (enPose_ || enValidation_ || !fenetre_->clipOuvert()) return;
    // The settings step below may clear positions (a new display size): not again inside.
    const QScopedValueRollback<bool> dedans(enValidation_, true);
    const ReglagesMesure &g = document_->reglagesEnregistres();
    if (lecteurConnu_ != fenetre_->MediaPlayer1) {
        nouveauClip();
        return;
    }
    const ReglagesMesure reglages = fenetre_->lireReglages();
    // Choosing a scale mode alone changes nothing worth a step: it goes with the next one.
    ReglagesMesure r = reglages;
    r.modeEtalonnage = g.modeEtalonnage;
    if (r == g) return;
    // A new display size: the pixels pointed at the old one were cleared with it.
    const bool taille = g.largeurAffichee != reglages.largeurAffichee ||
                        g.hauteurAffichee != reglages.hauteurAffichee ||
                        g.pourcentAffichage != reglages.pourcentAffichage;
    document_->changerReglages(reglages, taille);
}

void SessionMesure::mesureModifiee(const Mesure &m, const PlageMesure &plage)
{
    enPose_ = true;
    modeEtalonnage_ = m.reglages.modeEtalonnage;
    fenetre_->poserMesure(m, plage);
    enPose_ = false;
    recuperation_->planifier();
}

void SessionMesure::annuler()
{
    enregistrerEtape();
    pile()->undo();
}

void SessionMesure::retablir()
{
    enregistrerEtape();
    pile()->redo();
}

void SessionMesure::actualiserMenus()
{
    const bool ouvert = fenetre_->clipOuvert();
    mnuEnregistrerSession->setEnabled(ouvert);
    mnuEnregistrerSessionSous->setEnabled(ouvert);
}

bool SessionMesure::enregistrerDans(const QString &fichier)
{
    enregistrerEtape();
    const QString erreur = ecrireSession(fenetre_->lireMesure(), fichier);
    if (!erreur.isEmpty()) {
        dire(TypeMessage::Erreur, erreur);
        return false;
    }
    fichierSession_ = fichier;
    return true;
}

bool SessionMesure::enregistrer()
{
    if (!fenetre_->clipOuvert()) return false;
    if (fichierSession_.isEmpty()) return enregistrerSous();
    return enregistrerDans(fichierSession_);
}

bool SessionMesure::enregistrerSous()
{
    if (!fenetre_->clipOuvert()) return false;
    DialogueFichier d;
    d.titre = QStringLiteral("حفظ جلسة القياس");
    d.filtre = kFiltre;
    d.extensionDefaut = QStringLiteral("kinemar");
    d.confirmerEcrasement = true;
    const QFileInfo clip(infoClip().fichier);
    d.nomInitial = fichierSession_.isEmpty()
                       ? clip.absolutePath() + QLatin1Char('/') + clip.completeBaseName() +
                             QStringLiteral(".kinemar")
                       : fichierSession_;
    QString fichier = plateforme().fichierAEnregistrer(d);
    if (fichier.isEmpty()) return false;
    if (QFileInfo(fichier).suffix().isEmpty()) fichier += QStringLiteral(".kinemar");
    return enregistrerDans(fichier);
}

void SessionMesure::ouvrir()
{
    DialogueFichier d;
    d.titre = QStringLiteral("فتح جلسة قياس");
    d.filtre = kFiltre;
    const QString fichier = plateforme().fichierAOuvrir(d);
    if (!fichier.isEmpty()) ouvrirSession(fichier);
}

bool SessionMesure::ouvrirSession(const QString &fichier, bool recuperation)
{
    const LectureSession lecture =
        recuperation ? Recuperation::lire(fichier) : lireFichierSession(fichier);
    if (!lecture.mesure) {
        dire(TypeMessage::Erreur, lecture.erreur);
        return false;
    }
    Mesure m = *lecture.mesure;
    QString clip = m.clip.fichier;
    if (!QFileInfo(clip).isFile() && QFileInfo(lecture.autreChemin).isFile())
        clip = lecture.autreChemin;
    if (!QFileInfo(clip).isFile()) {
        // Moved with its folder, or renamed: the user knows where it went.
        DialogueFichier d;
        d.titre = QStringLiteral("أين يوجد مقطع الفيديو %1 ؟").arg(QFileInfo(clip).fileName());
        d.filtre = filtresPourClip(clip); // its own type first
        d.nomInitial = QFileInfo(clip).fileName();
        clip = plateforme().fichierAOuvrir(d);
        if (clip.isEmpty() || !QFileInfo(clip).isFile()) {
            dire(TypeMessage::Erreur,
                 QStringLiteral("لم يُعثر على مقطع الفيديو الخاص بهذه الجلسة :\r%1\rلم يتغير شيء "
                                "في العمل الحالي.")
                     .arg(QDir::toNativeSeparators(m.clip.fichier)));
            return false;
        }
    }
    if (QFileInfo(clip).size() != m.clip.taille || empreinteClip(clip) != m.clip.empreinte) {
        const QString texte =
            QStringLiteral("تغير مقطع الفيديو منذ حفظ الجلسة :\r%1\rقد لا تطابق القياسات صور "
                           "المقطع.\rهل تريد متابعة فتح الجلسة ؟")
                .arg(QDir::toNativeSeparators(clip));
        if (dire(TypeMessage::Avertissement, texte, Boutons::OuiNon) != Reponse::Oui) return false;
    }
    if (!fenetre_->ouvrirClip(clip)) return false;

    ReglagesMesure &g = m.reglages;
    if (g.pourcentAffichage != pcAffichage) {
        {
            const QSignalBlocker bloque(tailleImaBox->chkBxAdapter);
            tailleImaBox->chkBxAdapter->setChecked(false);
        }
        tailleImaBox->udPc->setPosition(g.pourcentAffichage);
        tailleImaBox->MaJ();
        pcAffichage = tailleImaBox->udPc->Position();
    }
    if (largeurAffichee != g.largeurAffichee || hauteurAffichee != g.hauteurAffichee) {
        nouveauClip();
        dire(TypeMessage::Erreur,
             QStringLiteral("أبعاد مقطع الفيديو (%1×%2) لا تطابق أبعاد الجلسة (%3×%4) : لم "
                            "تُسترجع القياسات.")
                 .arg(largeurAffichee)
                 .arg(hauteurAffichee)
                 .arg(g.largeurAffichee)
                 .arg(g.hauteurAffichee));
        return false;
    }
    // A changed clip the user accepted may be shorter: what lies beyond it is dropped.
    for (auto &carte : m.positions)
        while (!carte.isEmpty() && carte.lastKey() >= nbImages)
            carte.erase(std::prev(carte.end()));
    g.origineTemps = std::min(g.origineTemps, nbImages);

    m.clip = infoClip();
    PlageMesure plage;
    plage.reglages = true;
    modeEtalonnage_ = g.modeEtalonnage;
    enPose_ = true;
    document_->remplacer(m);
    fenetre_->poserMesure(m, plage);
    enPose_ = false;
    nouveauClip();
    if (!recuperation) fichierSession_ = fichier;
    recuperation_->planifier();
    return true;
}

void SessionMesure::recuperer()
{
    const QStringList fichiers = recuperation_->recuperables();
    if (fichiers.isEmpty()) {
        mnuRecuperer->setEnabled(false);
        dire(TypeMessage::Information, QStringLiteral("لا يوجد عمل لاسترجاعه."));
        return;
    }
    if (ouvrirSession(fichiers.first(), true)) Recuperation::abandonner(fichiers.first());
    mnuRecuperer->setEnabled(recuperation_->recuperables().size() > 0);
}

bool TForm1::ouvrirSession(const QString &fichier)
{
    return sessionMesure && sessionMesure->ouvrirSession(fichier);
}
