// Opening a clip and the clip-properties page.
#include "app/Unit1.h"
#include "measure/sessionMesure.h"

#include "app/curseurs.h"
#include "measure/erreurs.h"
#include "app/images.h"
#include "app/plateforme.h"
#include "app/tailleIma.h"
#include "clip/TMediaPlayer.h"
#include "clip/echecOuverture.h"
#include "clip/infosClip.h"
#include "clip/video.h"
#include "measure/Nbreels.h"

#include <QAction>
#include <QFile>
#include <QGridLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{

QLabel *etiquettePropriete(QWidget *parent, const char *nom, const QString &texte = {})
{
    auto *l = new QLabel(texte, parent);
    l->setObjectName(QString::fromLatin1(nom));
    return l;
}

// An AVI FourCC by its table; another container's codec by FFmpeg's long name.
QString nomCodecAffiche(const QString &fourcc)
{
    if (const auto nom = nomCodec(fourcc)) return *nom;
    const QString nomLong = nomLongCodec(fourcc.toLower());
    return nomLong.isEmpty() ? QStringLiteral("inconnu") : nomLong;
}

bool estRiffAvi(const QString &fichier)
{
    QFile f(fichier);
    const QByteArray debut = f.open(QIODevice::ReadOnly) ? f.read(12) : QByteArray();
    return debut.size() == 12 && debut.startsWith("RIFF") && debut.mid(8, 4) == "AVI ";
}

} // namespace

void TForm1::construirePageProClip()
{
    auto *l = new QVBoxLayout(tsProClip);
    l->setContentsMargins(0, 0, 0, 0);
    ScrollBox3 = new QScrollArea(tsProClip);
    ScrollBox3->setObjectName(QStringLiteral("ScrollBox3"));
    ScrollBox3->setWidgetResizable(true);
    l->addWidget(ScrollBox3);
    auto *fond = new QWidget;
    fond->setLayoutDirection(Qt::RightToLeft);
    ScrollBox3->setWidget(fond);
    auto *g = new QGridLayout(fond);
    g->setAlignment(Qt::AlignTop);
    g->setVerticalSpacing(10);
    lblNbImages = etiquettePropriete(fond, "lblNbImages");
    lblDurTot = etiquettePropriete(fond, "lblDurTot");
    lblFrequence = etiquettePropriete(fond, "lblFrequence");
    lblPeriode = etiquettePropriete(fond, "lblPeriode");
    lblDim = etiquettePropriete(fond, "lblDim", QStringLiteral("الأبعاد :"));
    lblDimL = etiquettePropriete(fond, "lblDimL");
    lblDimH = etiquettePropriete(fond, "lblDimH");
    lblCodec1 = etiquettePropriete(fond, "lblCodec1", QStringLiteral("ترميز/فك الترميز :"));
    lblCodec2 = etiquettePropriete(fond, "lblCodec2");
    lblCodec3 = etiquettePropriete(fond, "lblCodec3");
    lblAdapt = etiquettePropriete(fond, "lblAdapt");
    lblIlisibles = etiquettePropriete(fond, "lblIlisibles");
    lblIlisibles->hide();
    Image2 = etiquettePropriete(fond, "Image2");
    Image2->setPixmap(imageBouton(QStringLiteral("bbtnOpenAvi")).pixmap(48, 48));
    int ligne = 0;
    g->addWidget(Image2, ligne++, 0, 1, 2, Qt::AlignLeft);
    for (QLabel *e : {lblNbImages, lblDurTot, lblFrequence, lblPeriode})
        g->addWidget(e, ligne++, 0, 1, 2);
    g->addWidget(lblDim, ligne++, 0, 1, 2);
    g->addWidget(lblDimL, ligne++, 1);
    g->addWidget(lblDimH, ligne++, 1);
    g->addWidget(lblCodec1, ligne++, 0, 1, 2);
    // Latin texts would otherwise go to the far side of a right-to-left page.
    for (QLabel *e : {lblCodec2, lblCodec3})
        e->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
    g->addWidget(lblCodec2, ligne++, 1);
    g->addWidget(lblCodec3, ligne++, 1);
    g->addWidget(lblAdapt, ligne++, 0, 1, 2);
    g->addWidget(lblIlisibles, ligne++, 0, 1, 2);
    // Slow motion: phones store 240 fps footage to play at 30; the rate at filming rescales
    // every time. Empty: the clip as recorded.
    auto *lblCadence = etiquettePropriete(fond, "lblCadenceTournage",
                                          QStringLiteral("سرعة التصوير (صورة / ثا) :"));
    auto *edCadence = new QLineEdit(fond);
    edCadence->setObjectName(QStringLiteral("edCadenceTournage"));
    edCadence->setPlaceholderText(QStringLiteral("كما سُجّل"));
    edCadence->setMaximumWidth(120);
    g->addWidget(lblCadence, ligne++, 0, 1, 2);
    g->addWidget(edCadence, ligne++, 1, Qt::AlignLeft);
    connect(edCadence, &QLineEdit::editingFinished, this, [this, edCadence] {
        const QString texte = edCadence->text().trimmed();
        bool ok = texte.isEmpty();
        double cadence = 0;
        if (!ok) {
            cadence = QString(texte).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
            ok = ok && cadence > 0 && cadence <= 1e6;
        }
        if (!ok) {
            plateforme().message(TypeMessage::Erreur,
                                 QStringLiteral("سرعة التصوير عدد موجب من الصور في الثانية، أو "
                                                "فارغة للمقطع كما سُجّل"),
                                 Boutons::Ok);
            edCadence->setText(cadenceTournage > 0 ? QString::number(cadenceTournage) : QString());
            return;
        }
        if (cadence == cadenceTournage) return;
        cadenceTournage = cadence;
        if (clipOuvert()) udt0MouseUp(); // every time rescaled
    });
    g->setColumnMinimumWidth(0, 20);
    g->setColumnStretch(1, 1);
    RAZProClip();
}

void TForm1::creerLecteur()
{
    installerLecteur(new TMediaPlayer(this));
}

void TForm1::installerLecteur(TMediaPlayer *lecteur)
{
    MediaPlayer1 = lecteur;
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));
    connect(MediaPlayer1, &TMediaPlayer::imageChangee, PaintBox1, [this] { PaintBox1->update(); });
    connect(MediaPlayer1, &TMediaPlayer::OnNotify, this, &TForm1::MediaPlayer1Notify);
    PaintBox1->imageFond = [this] {
        return MediaPlayer1 && MediaPlayer1->estOuvert() ? MediaPlayer1->image() : QImage();
    };
}

// A cut or damaged clip: how many of its frames could not be read (they show the last
// picture read). Nothing is shown for a whole clip.
void TForm1::afficherImagesIlisibles()
{
    const int n = clipOuvert() ? MediaPlayer1->imagesIlisibles() : 0;
    lblIlisibles->setText(QStringLiteral("صور تعذّرت قراءتها :  ") + QString::number(n));
    lblIlisibles->setVisible(n > 0);
}

bool TForm1::clipOuvert() const
{
    return MediaPlayer1 && MediaPlayer1->estOuvert();
}

void TForm1::OpenDialog1SelectionChange(const QString &fichier)
{
    // Read-only: a clip on a CD or a shared folder must preview as well as any other.
    QFile f(fichier);
    if (!f.open(QIODevice::ReadOnly)) {
        RAZProClip();
        return;
    }
    EnteteAvi e;
    try {
        e = lireEnteteAvi(f);
    } catch (const ErreurKinemar &erreur) {
        // The labels keep what they showed.
        plateforme().message(TypeMessage::Erreur, erreur.texte(), Boutons::Ok);
        return;
    }
    if (!e.valide && !estRiffAvi(fichier)) {
        // Another container: what FFmpeg reads of it, in the same labels.
        const InfosClip infos = lireInfosClip(fichier);
        if (!infos.valide) {
            RAZProClip();
            return;
        }
        e.nbImages = infos.nbImages;
        e.largeur = infos.largeur;
        e.hauteur = infos.hauteur;
        e.periode = infos.periode;
        e.duree = infos.duree;
        e.frequence = infos.frequence;
        e.fourCC = infos.codec;
        e.valide = true;
    }
    if (!e.valide) {
        RAZProClip();
        return;
    }
    lblIlisibles->hide(); // only known of the open clip
    lblNbImages->setText(QStringLiteral("عدد الصور :       ") + QString::number(e.nbImages));
    lblDurTot->setText(QStringLiteral("مدة الفيديو(ثا):") +
                       formateReel(QStringLiteral("0.000"), e.duree) + QStringLiteral("  "));
    lblFrequence->setText(QStringLiteral("التواتر :   ") + QString::number(e.frequence) +
                          QStringLiteral("  صورة / ثا"));
    lblPeriode->setText(QStringLiteral("مدة صورة (م ثا):") +
                        formateReel(QStringLiteral("0"), e.periode * 1000) + QStringLiteral("   "));
    lblDimL->setText(QStringLiteral("العرض :   ") + QString::number(e.largeur) +
                     QStringLiteral(" بكسل  "));
    lblDimH->setText(QStringLiteral("الإرتفاع :") + QString::number(e.hauteur) +
                     QStringLiteral(" بكسل  "));
    lblCodec2->setText(e.fourCC);
    lblCodec3->setText(nomCodecAffiche(e.fourCC));
}

void TForm1::RAZProClip()
{
    if (clipOuvert()) {
        lblNbImages->setText(QStringLiteral("عدد الصور :       ") + QString::number(nbImages));
        lblDurTot->setText(QStringLiteral("مدة الفيديو(ثا):") +
                           formateReel(QStringLiteral("0.000"), nbImages * periode) +
                           QStringLiteral("ثا"));
        lblFrequence->setText(QStringLiteral("التواتر :   ") + QString::number(frequence) +
                              QStringLiteral("  صورة / ثا") +
                              (MediaPlayer1->cadenceVariable()
                                   ? QStringLiteral("  (مدة الصور متغيرة بأكثر من 1 %)")
                                   : QString()));
        lblPeriode->setText(QStringLiteral("مدة صورة (م ثا):") +
                            formateReel(QStringLiteral("0"), periode * 1000) +
                            QStringLiteral("   "));
        lblDimL->setText(QStringLiteral("العرض :   ") + QString::number(largeurReelle) +
                         QStringLiteral(" بكسل  "));
        lblDimH->setText(QStringLiteral("الإرتفاع :") + QString::number(hauteurReelle) +
                         QStringLiteral(" بكسل  "));
        lblAdapt->setText(QStringLiteral("التكييف % :  ") + QString::number(pcAffichage) +
                          QStringLiteral(" "));
        lblCodec2->setText(codecClip); // as the file writes it: "DIVX", not "divx"
        lblCodec3->setText(nomCodecAffiche(codecClip));
        afficherImagesIlisibles();
        return;
    }
    afficherImagesIlisibles();
    lblNbImages->setText(QStringLiteral("عدد الصور :       0"));
    lblDurTot->setText(QStringLiteral("مدة الفيديو (ثا) :0"));
    lblFrequence->setText(QStringLiteral("التواتر :   -  صورة / ثا"));
    lblPeriode->setText(QStringLiteral("مدة صورة : 0 ثا    "));
    lblDimL->setText(QStringLiteral("العرض :   0 بكسل "));
    lblDimH->setText(QStringLiteral("الإرتفاع : 0 بكسل"));
    lblAdapt->setText(QStringLiteral("  التكييف : ؟ "));
    lblCodec2->setText(QStringLiteral("?"));
    lblCodec3->setText(QStringLiteral("?"));
}

void TForm1::bbtnOpenAviClick()
{
    DialogueFichier dialogue;
    dialogue.titre = QStringLiteral("(*.avi فتح مقطع فيديو (ملف بصيغة         ");
    dialogue.filtre = filtresClips();
    // Phones write MP4 and MOV: every clip is listed from the start.
    dialogue.filtreInitial = indiceFiltreTousClips;
    dialogue.fichierAide = repDepart + QStringLiteral("/kineMar2.hlp");
    dialogue.contexteAide = 210;
    activerPage(tsProClip);
    const QString fichier = plateforme().fichierAOuvrir(
        dialogue, [this](const QString &f) { OpenDialog1SelectionChange(f); });
    if (fichier.isEmpty()) {
        RAZProClip();
        return;
    }

    ouvrirClip(fichier);
}

// Opens the clip named: from the open dialog or the command line.
bool TForm1::ouvrirClip(const QString &fichier)
{
    // The new clip is opened before anything is discarded: a file that does not open leaves
    // the open clip, its frame and its measurements as they were.
    // A clip without an index is read packet by packet: a long one shows its progress and
    // may be cancelled, which leaves everything as it was.
    auto *nouveau = new TMediaPlayer(this);
    nouveau->setFileName(fichier);
    const QString texteProgression = QStringLiteral("فتح المقطع…");
    nouveau->setProgression(
        [texteProgression](double f) { return plateforme().progression(texteProgression, f); });
    try {
        nouveau->Open();
    } catch (const OuvertureAnnulee &) {
        plateforme().progression(texteProgression, -1);
        delete nouveau;
        RAZProClip();
        return false;
    } catch (const ErreurKinemar &erreur) {
        plateforme().progression(texteProgression, -1);
        delete nouveau;
        plateforme().message(TypeMessage::Erreur, messageEchecOuverture(fichier, erreur.texte()),
                             Boutons::Ok);
        RAZProClip();
        return false;
    }
    plateforme().progression(texteProgression, -1);
    nouveau->setProgression({});

    if (clipOuvert()) {
        effacerSansDemande = true;
        Button2Click();
        effacerSansDemande = false;
        MediaPlayer1->Close();
        imageCourante = -1;
    }
    TMediaPlayer *ancien = MediaPlayer1;
    installerLecteur(nouveau);
    if (ancien) ancien->deleteLater();

    tbtnPreQuit->setFixedWidth(8);
    lblNomAvi->setText(fichier);
    MediaPlayer1->setFrames(1);
    MediaPlayer1->setTimeFormat(TMediaPlayer::FormatTemps::Millisecondes);
    periode = MediaPlayer1->Length();
    MediaPlayer1->setTimeFormat(TMediaPlayer::FormatTemps::Images);
    nbImages = MediaPlayer1->Length();
    periode = periode / nbImages / 1000;
    if (periode != 0) frequence = frequenceDePeriode(periode);
    tempsImages.clear();
    cadenceTournage = 0;
    if (auto *e = findChild<QLineEdit *>(QStringLiteral("edCadenceTournage"))) e->clear();
    if (!estRiffAvi(fichier)) {
        // Outside AVI each frame keeps its own time: a variable frame rate is measured true.
        periode = MediaPlayer1->periodeSecondes();
        if (periode != 0) frequence = frequenceDePeriode(periode);
        tempsImages.resize(size_t(nbImages));
        for (int f = 0; f < nbImages; ++f)
            tempsImages[size_t(f)] = MediaPlayer1->tempsImage(f);
    }
    initEchelle();
    definirHint(pnl1AVI, QStringLiteral("Glisser-déplacer l'image|Glisser-déplacer l'image"));
    const QRect naturel = MediaPlayer1->DisplayRect();
    largeurReelle = naturel.width();
    hauteurReelle = naturel.height();
    {
        QFile f(fichier);
        codecClip.clear();
        if (!estRiffAvi(fichier))
            codecClip = MediaPlayer1->nomCodecFlux();
        else if (f.open(QIODevice::ReadOnly)) {
            try {
                codecClip = codecAvi(f);
            } catch (const ErreurKinemar &) {
                // A header too short for a FourCC: the player still opened the file.
            }
        }
    }
    tailleImaBox->udPc->setPosition(100);
    tailleImaBox->pnlPc->setText(QStringLiteral("100"));
    lblAdapt->setText(QStringLiteral("التكييف % :  ") +
                      QString::number(tailleImaBox->udPc->Position()) + QStringLiteral(" "));
    pnl1AVI->setText(QString());
    const int W = naturel.width(), H = naturel.height();
    disposerImage(W, H);
    // Wherever the last clip was dragged or scrolled to, a new one starts at the top-left.
    placerImageEnHaut();
    origineX = 0;
    origineY = H - 1;
    sensX = 1;
    sensY = 1;
    angleAxes = 0;
    afficherAngleAxes();
    if (tbXpYp) tbXpYp->setChecked(true);
    affichImage(MediaPlayer1, 0);
    pnl1AVI->setCursor(curseurSlot(50));
    bbtnPlay->setEnabled(true);
    bbtnFin->setEnabled(true);
    bbtnSui->setEnabled(true);
    preparerTableau();
    curseurPaintBox(couleurCurseur * 100 + formeCurseur);
    bbtnCible->setEnabled(true);
    activerMenu(mnuPointages, true);
    popUpMnuPointeur->setEnabled(true);
    pnl1AVI->setStyleSheet(QStringLiteral("QLabel#pnl1AVI { background: white; }"));
    indicX1->setStyleSheet(QStringLiteral("background: white; border: 1px solid red;"));
    indicY1->setStyleSheet(QStringLiteral("background: white; border: 1px solid red;"));
    indicX2->setStyleSheet(QStringLiteral("background: white; border: 1px solid blue;"));
    indicY2->setStyleSheet(QStringLiteral("background: white; border: 1px solid blue;"));
    for (QFrame *f : {indicX1, indicY1, indicX2, indicY2}) {
        f->show();
        f->raise();
    }
    for (QAction *a : {popUpMnuModeAcquerir, popUpMnuModeEtalonner, popUpMnuModeProClip})
        a->setEnabled(true);
    Panel7->setStyleSheet(
        QStringLiteral("QFrame#Panel7 { background: #008080; } QLabel { color: %1; }")
            .arg(palette().color(QPalette::ToolTipBase).name()));
    Panel7->setEnabled(true);
    etatCalibrationOuverture();
    bbtnEnregistrerMesures->setEnabled(true);
    activerMenu(mnuEnregistrerMesures, true);
    bbtnCopierMesuresPP->setEnabled(true);
    bbtnCopierGraphiquePP->setEnabled(true);
    activerMenu(mnuCopierPP, true);
    pcAffichage = 100;
    facteurAffichage = 1.0L;
    bbtnIma->setEnabled(true);
    mnuIma100->setEnabled(false);
    activerMenu(mnuClip, true);
    activerPage(tsMesures);
    PageControl1Change();
    echelleModifiee = true;
    ImgEtalon(0, 2, 4);
    OptTraitt(true);
    // The page describes the clip opened, even when it was typed in and never previewed.
    RAZProClip();
    // The measurement starts again on this clip, with its settings as they stand.
    if (sessionMesure) sessionMesure->nouveauClip();
    return true;
}

// The calibration choices become available with the clip.
void TForm1::etatCalibrationOuverture()
{
    for (QRadioButton *rb : {rbChxOrig, rbEtalonHori, rbEtalonVert, rbEtalonSimu})
        if (rb) rb->setEnabled(true);
}
