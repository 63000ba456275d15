// Automatic tracking from the main window: the command, the box chosen on the picture, the
// run with its progress bar, and the table filled as pointing by hand would fill it.
#include "analyse/graphes.h"
#include "app/Unit1.h"

#include "measure/erreurs.h"
#include "app/plateforme.h"
#include "clip/TMediaPlayer.h"
#include "clip/echecOuverture.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/document.h"
#include "measure/grilles.h"
#include "measure/pixels.h"
#include "suivi/suiveur.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <vector>

namespace
{

// A press and release closer than this is a click, not a box.
constexpr int kDeplacementClic = 3;

QIcon imageSuivi()
{
    QPixmap image(24, 24);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Three positions of a ball along its path, the last one boxed.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 60, 30, 110));
    p.drawEllipse(QPointF(4.5, 18.5), 2.5, 2.5);
    p.setBrush(QColor(200, 60, 30, 170));
    p.drawEllipse(QPointF(9.5, 11.5), 2.5, 2.5);
    p.setBrush(QColor(200, 60, 30));
    p.drawEllipse(QPointF(16.5, 7.5), 3, 3);
    p.setPen(QPen(QColor(0, 90, 180), 1.5, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(11.5, 2.5, 10, 10));
    return QIcon(image);
}

// Side of the box a click stands for: the marker size (1 … 5 to the user) gives 16 … 48
// pixels of the picture as displayed.
int coteBoiteClic()
{
    return 16 + 8 * std::clamp(taillePoints, 0, 4);
}

QString nombreLocal(double v)
{
    return QString::number(v, 'f', 2).replace(QLatin1Char('.'), separateurDecimal());
}

// Waits for the box on the picture while the command is checked: press, drag and release
// (or a click); Escape or the right button gives up. The pointing area sees none of it.
class ChoixBoite : public QObject
{
public:
    ChoixBoite(TForm1 *fenetre) : QObject(fenetre), f_(fenetre)
    {
        setObjectName(QStringLiteral("choixBoiteSuivi"));
        bande_ = new QRubberBand(QRubberBand::Rectangle, f_->PaintBox1);
        bande_->hide();
    }

    void armer(bool oui)
    {
        if (oui == arme_) return;
        arme_ = oui;
        enCours_ = false;
        bande_->hide();
        if (oui) {
            qApp->installEventFilter(this);
            curseur_ = f_->PaintBox1->cursor();
            f_->PaintBox1->setCursor(Qt::CrossCursor);
            if (f_->StatusBar1)
                f_->StatusBar1->showMessage(
                    QStringLiteral("اسحب إطارا حول الجسم على الصورة أو انقر عليه (Esc للتراجع)"));
        } else {
            qApp->removeEventFilter(this);
            f_->PaintBox1->setCursor(curseur_);
            if (f_->StatusBar1) f_->StatusBar1->clearMessage();
        }
        if (f_->SuiviAuto->isChecked() != oui) f_->SuiviAuto->setChecked(oui);
    }

protected:
    bool eventFilter(QObject *objet, QEvent *e) override
    {
        // Escape gives up the box rather than clearing a row of the table: it is taken
        // before the shortcuts see it. In a dialog or another window it stays theirs.
        if ((e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) &&
            static_cast<QKeyEvent *>(e)->key() == Qt::Key_Escape && objet->isWidgetType() &&
            static_cast<QWidget *>(objet)->window() == f_) {
            e->accept();
            if (e->type() == QEvent::KeyPress) armer(false);
            return true;
        }
        if (objet != f_->PaintBox1) return false;
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto *m = static_cast<QMouseEvent *>(e);
            if (m->button() != Qt::LeftButton) {
                armer(false);
                return true;
            }
            depart_ = m->position().toPoint();
            enCours_ = true;
            bande_->setGeometry(QRect(depart_, QSize()));
            bande_->show();
            return true;
        }
        case QEvent::MouseMove: {
            if (!enCours_) return false; // the live coordinates go on
            bande_->setGeometry(
                QRect(depart_, static_cast<QMouseEvent *>(e)->position().toPoint()).normalized());
            return false;
        }
        case QEvent::MouseButtonRelease: {
            auto *m = static_cast<QMouseEvent *>(e);
            if (!enCours_ || m->button() != Qt::LeftButton) return true;
            const QPoint fin = m->position().toPoint();
            QRect boite = QRect(depart_, fin).normalized();
            if ((fin - depart_).manhattanLength() < kDeplacementClic) {
                const int c = coteBoiteClic();
                boite = QRect(fin.x() - c / 2, fin.y() - c / 2, c, c);
            }
            armer(false);
            f_->suivreDepuis(boite);
            return true;
        }
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    }

private:
    TForm1 *f_;
    QRubberBand *bande_;
    QCursor curseur_;
    bool arme_ = false, enCours_ = false;
    QPoint depart_;
};

ChoixBoite *choixDe(TForm1 *f)
{
    // No meta-object of its own: found by name.
    return static_cast<ChoixBoite *>(
        f->findChild<QObject *>(QStringLiteral("choixBoiteSuivi"), Qt::FindDirectChildrenOnly));
}

} // namespace

void TForm1::construireSuivi()
{
    SuiviAuto = new QAction(imageSuivi(), QStringLiteral("تتبع تلقائي للجسم"), this);
    SuiviAuto->setObjectName(QStringLiteral("SuiviAuto"));
    SuiviAuto->setCheckable(true);
    SuiviAuto->setToolTip(QStringLiteral("تتبع الجسم تلقائيا على الصور الموالية"));
    SuiviAuto->setStatusTip(QStringLiteral(
        "اسحب إطارا حول الجسم أو انقر عليه فيُنقَّط موضعه على الصور الموالية للنقطة الحالية"));
    SuiviAuto->setEnabled(false);
    mnuPointages->addSeparator();
    mnuPointages->addAction(SuiviAuto);

    bbtnSuiviAuto = new QToolButton(pnlMesures);
    bbtnSuiviAuto->setObjectName(QStringLiteral("bbtnSuiviAuto"));
    bbtnSuiviAuto->setDefaultAction(SuiviAuto);
    // The button's caption is the action's icon text: set on the button it would be lost at
    // the action's next change, and the menu's longer text does not fit a narrow page.
    SuiviAuto->setIconText(QStringLiteral("تتبع تلقائي"));
    bbtnSuiviAuto->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bbtnSuiviAuto->setIconSize(QSize(24, 24));
    definirHint(bbtnSuiviAuto, SuiviAuto->toolTip() + QLatin1Char('|') + SuiviAuto->statusTip());
    // Beside the automatic advance choices, on the second row of the pointing strip.
    auto *rangees = qobject_cast<QVBoxLayout *>(pnlMesures->layout());
    QLayout *rangee = rangees && rangees->count() > 1 ? rangees->itemAt(1)->layout() : nullptr;
    if (auto *l = qobject_cast<QHBoxLayout *>(rangee))
        l->insertWidget(l->count() - 1, bbtnSuiviAuto);
    else if (rangees)
        rangees->addWidget(bbtnSuiviAuto);

    new ChoixBoite(this);
    connect(SuiviAuto, &QAction::triggered, this, &TForm1::SuiviAutoExecute);
    // The command needs a clip, as the Pointing menu does: it follows that menu's state.
    connect(mnuPointages->menuAction(), &QAction::changed, this,
            [this] { SuiviAuto->setEnabled(mnuPointages->isEnabled()); });
}

void TForm1::SuiviAutoExecute()
{
    ChoixBoite *choix = choixDe(this);
    if (!clipOuvert()) {
        choix->armer(false);
        return;
    }
    // Pointing is done on the measuring page: tracking shows it too.
    if (SuiviAuto->isChecked() && PageControl1->currentWidget() != tsMesures) {
        PageControl1->setCurrentWidget(tsMesures);
    }
    choix->armer(SuiviAuto->isChecked());
}

void TForm1::suivreDepuis(const QRect &boiteAffichee)
{
    if (!clipOuvert()) return;
    const int debut = imageCourante;
    const int L = MediaPlayer1->Length();
    const int derniere = std::min(L, nbImages) - 1;
    if (debut < 0 || debut >= derniere) {
        plateforme().message(
            TypeMessage::Information,
            QStringLiteral("هذه آخر صورة في المقطع : لا توجد صور موالية لتتبع الجسم"), Boutons::Ok);
        return;
    }

    // The tracker works in the clip's own pixels; the table in displayed ones.
    const QSize naturelle = MediaPlayer1->tailleNaturelle();
    const double sx = double(naturelle.width()) / std::max(1, largeurAffichee);
    const double sy = double(naturelle.height()) / std::max(1, hauteurAffichee);
    const QRect boite = QRectF(boiteAffichee.x() * sx, boiteAffichee.y() * sy,
                               boiteAffichee.width() * sx, boiteAffichee.height() * sy)
                            .toAlignedRect();

    // A player of its own: the one on show keeps its frame and its cache, and the window's
    // redraws during the run cannot move it.
    TMediaPlayer lecteur;
    lecteur.setFileName(MediaPlayer1->FileName());
    lecteur.setCacheMio(16);
    try {
        lecteur.Open();
    } catch (const ErreurKinemar &erreur) {
        // The player's reason is French: the opening's own message says it in Arabic.
        plateforme().message(TypeMessage::Erreur,
                             messageEchecOuverture(MediaPlayer1->FileName(), erreur.texte()),
                             Boutons::Ok);
        return;
    }

    const int p = udPointNumero->Position();
    std::unique_ptr<Progression> barre = plateforme().barreProgression(
        QStringLiteral("تتبع النقطة %1 ابتداء من الصورة %2 ...").arg(p).arg(debut + 1),
        derniere - debut);
    struct Trouve {
        int image;
        double X, Y;
    };
    std::vector<Trouve> trouves;
    const ReglagesSuivi reglages;
    const BilanSuivi bilan =
        suivreClip(lecteur, debut, boite, derniere - debut, reglages, [&](const PointSuivi &pt) {
            trouves.push_back(
                {pt.image, (pt.centre.x() + 0.5) / sx - 0.5, (pt.centre.y() + 0.5) / sy - 0.5});
            // The graphs follow the run as it goes.
            if (GrapheBox)
                GrapheBox->positionProvisoire(p, pt.image,
                                              QPointF(trouves.back().X, trouves.back().Y));
            return barre->avancer(pt.image - debut);
        });
    barre.reset();

    if (bilan.fin == FinSuivi::Refus) {
        QString texte;
        switch (bilan.refus) {
        case RefusDepart::HorsImage:
            texte = QStringLiteral("الإطار خارج الصورة : اسحب إطارا حول الجسم على الصورة");
            break;
        case RefusDepart::TropPetite:
            texte = QStringLiteral("الإطار صغير جدا : اسحب إطارا لا يقل عن %1 × %1 بكسل حول الجسم")
                        .arg(std::max(reglages.coteMin,
                                      int(std::ceil(reglages.coteMin / std::min(sx, sy)))));
            break;
        default:
            texte = QStringLiteral("لا شيء يمكن تتبعه داخل الإطار : لونه متجانس");
            break;
        }
        plateforme().message(TypeMessage::Avertissement, texte, Boutons::Ok);
        return;
    }

    // The frames found go into the table as pointing by hand writes them.
    // One undo step for the whole run.
    const int c = 2 * p - 1;
    std::vector<ChangementPosition> changements;
    changements.reserve(trouves.size());
    for (const Trouve &t : trouves)
        changements.push_back({t.image, std::int8_t(p - 1), std::nullopt, QPointF(t.X, t.Y)});
    document->changerPositions(std::move(changements));
    if (!trouves.empty()) emit tableauModifie(0, p);

    // The clip stands on the last frame found; the current point moves on as the
    // horizontal advance moves it after the last point of a frame.
    const int fin = trouves.empty() ? debut : trouves.back().image;
    affichImage(MediaPlayer1, fin);
    StringGrid1->setRow(fin + 1);
    if (chkBoxAutoH->isChecked() && p < udPointNumero->Max()) {
        StringGrid1->setCol(c + 2);
        ChgPointNumero(p + 1);
    }
    StringGrid0->setRow(StringGrid1->Row());
    StringGrid0->setCol(StringGrid1->Col());
    const int lignesVisibles = StringGrid1->VisibleRowCount();
    if (lignesVisibles < fin + 1 - StringGrid1->TopRow() + 1)
        StringGrid1->setTopRow(fin + 1 - lignesVisibles + 1);
    StringGrid0->setTopRow(StringGrid1->TopRow());
    reDraw(MediaPlayer1, imageCourante);

    const QString faites = QStringLiteral("نُقِّطت الصور من %1 إلى %2").arg(debut + 1).arg(fin + 1);
    switch (bilan.fin) {
    case FinSuivi::Perdu:
        plateforme().message(
            TypeMessage::Avertissement,
            QStringLiteral("فُقد الجسم في الصورة %1 : درجة التطابق %2 أقل من العتبة %3")
                    .arg(bilan.image + 1)
                    .arg(nombreLocal(bilan.score), nombreLocal(reglages.seuil)) +
                QLatin1Char('\n') + faites,
            Boutons::Ok);
        break;
    case FinSuivi::Sorti:
        plateforme().message(
            TypeMessage::Avertissement,
            QStringLiteral("خرج الجسم من الصورة في الصورة %1").arg(bilan.image + 1) +
                QLatin1Char('\n') + faites,
            Boutons::Ok);
        break;
    default:
        if (StatusBar1) StatusBar1->showMessage(faites, 8000);
        break;
    }
}
