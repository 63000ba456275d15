#include "analyse/graphes.h"

#include "app/Unit1.h"
#include "app/etat.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/document.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QGraphicsRectItem>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScatterSeries>
#include <QTextOption>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <climits>
#include <cmath>

namespace
{

template <typename T> T *nomme(T *objet, const QString &nom)
{
    objet->setObjectName(nom);
    return objet;
}

constexpr std::size_t kAffichesMax = 1000;

// The graphs offered: the quantity drawn upwards, against t but for the trajectory.
struct Choix {
    Grandeur verticale, horizontale;
    const char16_t *titre;
};
const Choix kChoix[] = {
    {Grandeur::X, Grandeur::Temps, u"x(t)"},
    {Grandeur::Y, Grandeur::Temps, u"y(t)"},
    {Grandeur::Y, Grandeur::X, u"المسار  y(x)"},
    {Grandeur::Vx, Grandeur::Temps, u"vx(t)"},
    {Grandeur::Vy, Grandeur::Temps, u"vy(t)"},
    {Grandeur::V, Grandeur::Temps, u"السرعة  v(t)"},
    {Grandeur::Ax, Grandeur::Temps, u"ax(t)"},
    {Grandeur::Ay, Grandeur::Temps, u"ay(t)"},
    {Grandeur::A, Grandeur::Temps, u"التسارع  a(t)"},
    {Grandeur::Distance, Grandeur::Temps, u"المسافة المقطوعة  d(t)"},
    {Grandeur::R, Grandeur::Temps, u"البعد عن المبدأ  r(t)"},
    {Grandeur::Theta, Grandeur::Temps, u"الزاوية القطبية  θ(t)"},
    {Grandeur::Omega, Grandeur::Temps, u"السرعة الزاوية  ω(t)"},
    {Grandeur::Px, Grandeur::Temps, u"px(t)"},
    {Grandeur::Py, Grandeur::Temps, u"py(t)"},
    {Grandeur::P, Grandeur::Temps, u"كمية الحركة  p(t)"},
    {Grandeur::Ec, Grandeur::Temps, u"الطاقة الحركية  Ec(t)"},
    {Grandeur::Ep, Grandeur::Temps, u"الطاقة الكامنة  Ep(t)"},
    {Grandeur::Em, Grandeur::Temps, u"الطاقة الميكانيكية  Em(t)"},
    {Grandeur::Angle, Grandeur::Temps, u"زاوية المنقلة  angle(t)"},
};
constexpr int kNombreChoix = int(sizeof kChoix / sizeof kChoix[0]);

QString nomGrandeur(Grandeur g)
{
    switch (g) {
    case Grandeur::Image:
        return QStringLiteral("الصورة");
    case Grandeur::Temps:
        return QStringLiteral("الزمن");
    case Grandeur::X:
    case Grandeur::Y:
        return QStringLiteral("الإحداثي");
    case Grandeur::Vx:
    case Grandeur::Vy:
    case Grandeur::V:
        return QStringLiteral("السرعة");
    case Grandeur::Ax:
    case Grandeur::Ay:
    case Grandeur::A:
        return QStringLiteral("التسارع");
    case Grandeur::Distance:
        return QStringLiteral("المسافة");
    case Grandeur::R:
        return QStringLiteral("البعد");
    case Grandeur::Theta:
        return QStringLiteral("الزاوية");
    case Grandeur::Omega:
        return QStringLiteral("السرعة الزاوية");
    case Grandeur::Px:
    case Grandeur::Py:
    case Grandeur::P:
        return QStringLiteral("كمية الحركة");
    case Grandeur::Ec:
        return QStringLiteral("الطاقة الحركية");
    case Grandeur::Ep:
        return QStringLiteral("الطاقة الكامنة");
    case Grandeur::Em:
        return QStringLiteral("الطاقة الميكانيكية");
    case Grandeur::Angle:
        return QStringLiteral("زاوية المنقلة");
    }
    return {};
}

QString titreAxe(Grandeur g, bool lissee)
{
    const QString unite = uniteGrandeur(g);
    QString t = nomGrandeur(g) + QStringLiteral("  ") + symboleGrandeur(g);
    if (!unite.isEmpty()) t += QStringLiteral(" (") + unite + QLatin1Char(')');
    return lissee ? t + QStringLiteral("  — منعّمة") : t;
}

// The name a typed formula gives the horizontal quantity: its symbol, in Latin letters.
QString variableFormule(Grandeur g)
{
    if (g == Grandeur::Theta) return QStringLiteral("theta");
    if (g == Grandeur::Omega) return QStringLiteral("omega");
    if (g == Grandeur::Image) return QStringLiteral("n");
    return symboleGrandeur(g);
}

QString exposant(int n)
{
    static const char16_t chiffres[] = u"⁰¹²³⁴⁵⁶⁷⁸⁹";
    return n == 1 ? QString() : QString(QChar(chiffres[n]));
}

// Unit of the coefficient of u^puissance in a polynomial fit of v against u.
QString uniteCoefficient(const QString &uu, const QString &uv, int puissance)
{
    if (puissance == 0 || uu.isEmpty()) return uv;
    if (uu == uv) return puissance == 1 ? QString() : QStringLiteral("1/") + uu + exposant(puissance - 1);
    // Per second again: m/s over s² is m/s³.
    if (uu == QLatin1String("s") && uv.contains(QLatin1String("/s"))) {
        const int deja = uv.endsWith(QStringLiteral("²")) ? 2 : uv.endsWith(QStringLiteral("³")) ? 3 : 1;
        return uv.section(QLatin1Char('/'), 0, 0) + QStringLiteral("/s") + exposant(deja + puissance);
    }
    return uv + QLatin1Char('/') + uu + exposant(puissance);
}

QString nombre(int decimales, double v)
{
    return texteSci(decimales, v).trimmed();
}

// The axis spans the values with round ticks (1, 2 or 5 times a power of ten) counted from
// zero, so that zero reads as 0 and not as the remainder of a sum.
void etendreAxe(QValueAxis *axe, const std::vector<double> &w, int intervalles = 5)
{
    double a = 0, b = 1;
    if (!w.empty()) {
        const auto [mini, maxi] = std::minmax_element(w.begin(), w.end());
        a = *mini;
        b = *maxi;
    }
    if (b - a <= std::max(std::fabs(a), std::fabs(b)) * 1e-9) {
        const double marge = std::max(1e-3, std::fabs(a) * 0.05);
        a -= marge;
        b += marge;
    }
    // A little room, so that no point sits on the frame.
    const double bord = (b - a) * 0.02;
    a -= bord;
    b += bord;
    const double brut = (b - a) / intervalles;
    const double puissance = std::pow(10.0, std::floor(std::log10(brut)));
    const double pas = brut / puissance < 1.5   ? puissance
                       : brut / puissance < 3.5 ? 2 * puissance
                       : brut / puissance < 7.5 ? 5 * puissance
                                                : 10 * puissance;
    // The ends stay where the values end: a tick further would leave up to a fifth of the
    // graph empty (t from -2 s for a motion from 0 s).
    axe->setTickType(QValueAxis::TicksDynamic);
    axe->setTickAnchor(0);
    axe->setTickInterval(pas);
    axe->setRange(a, b);
}

// The chart's mouse: a press on the frame cursor drags it (the frame shown follows), a drag
// elsewhere chooses the rows to fit, a click is the chart's own (a point clicked).
class ZoneGraphe : public QChartView
{
public:
    ZoneGraphe(QChart *chart, VueGraphe *vue) : QChartView(chart, vue), vue_(vue) {}

protected:
    void mousePressEvent(QMouseEvent *e) override
    {
        mode_ = Rien;
        if (e->button() == Qt::LeftButton) {
            depart_ = e->position();
            mode_ = Attente;
            if (vue_->serieCurseur->count() == 2) {
                const QPointF c = mapFromScene(
                    chart()->mapToPosition(vue_->serieCurseur->at(0), vue_->serieCurseur));
                if (std::fabs(c.x() - e->position().x()) <= 5) {
                    mode_ = Curseur;
                    e->accept();
                    return;
                }
            }
        }
        QChartView::mousePressEvent(e);
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        if (mode_ == Curseur) {
            vue_->montrerImageEn(valeur(e->position()));
            return;
        }
        if (mode_ == Attente && std::fabs(e->position().x() - depart_.x()) > 6) mode_ = Plage;
        if (mode_ == Plage) {
            if (!bande_) {
                bande_ = new QGraphicsRectItem;
                bande_->setBrush(QColor(0, 120, 215, 50));
                bande_->setPen(QPen(QColor(0, 120, 215), 1, Qt::DashLine));
                bande_->setZValue(50);
                scene()->addItem(bande_);
            }
            const QRectF zone = chart()->plotArea();
            const double a = mapToScene(depart_.toPoint()).x(),
                         b = mapToScene(e->position().toPoint()).x();
            bande_->setRect(QRectF(QPointF(std::max(zone.left(), std::min(a, b)), zone.top()),
                                   QPointF(std::min(zone.right(), std::max(a, b)), zone.bottom())));
            bande_->show();
            return;
        }
        QChartView::mouseMoveEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        const Mode mode = mode_;
        mode_ = Rien;
        if (bande_) bande_->hide();
        if (mode == Plage) {
            vue_->choisirPlage(valeur(depart_), valeur(e->position()));
            return;
        }
        if (mode == Curseur) return;
        QChartView::mouseReleaseEvent(e);
    }

private:
    double valeur(const QPointF &p) const
    {
        return chart()->mapToValue(mapToScene(p.toPoint()), vue_->seriePoints).x();
    }

    enum Mode { Rien, Attente, Curseur, Plage };
    VueGraphe *vue_;
    Mode mode_ = Rien;
    QPointF depart_;
    QGraphicsRectItem *bande_ = nullptr;
};

} // namespace

VueGraphe::VueGraphe(TGrapheBox *panneau, int numero) : QWidget(panneau), panneau_(panneau)
{
    const QString n = numero ? QString::number(numero + 1) : QString();
    setObjectName(QStringLiteral("VueGraphe") + QString::number(numero + 1));
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    auto *choix = new QHBoxLayout;
    cbObjet = nomme(new QComboBox(this), QStringLiteral("cbObjet") + n);
    cbObjet->setToolTip(QStringLiteral("النقطة"));
    cbGraphe = nomme(new QComboBox(this), QStringLiteral("cbGraphe") + n);
    cbGraphe->setToolTip(QStringLiteral("المنحنى"));
    for (const Choix &c : kChoix)
        cbGraphe->addItem(QString::fromUtf16(c.titre));
    cbHorizontale = nomme(new QComboBox(this), QStringLiteral("cbHorizontale") + n);
    cbHorizontale->setToolTip(QStringLiteral("المحور الأفقي"));
    cbHorizontale->addItem(QStringLiteral("أفقيا: تلقائي"));
    for (int g = 0; g < nombreGrandeurs; ++g)
        cbHorizontale->addItem(QStringLiteral("أفقيا: ") + symboleGrandeur(Grandeur(g)));
    cbModele = nomme(new QComboBox(this), QStringLiteral("cbModele") + n);
    cbModele->setToolTip(QStringLiteral("النمذجة"));
    cbModele->addItems({QStringLiteral("بدون"), QStringLiteral("مستقيم"),
                        QStringLiteral("قطع مكافئ"), QStringLiteral("جيبية"),
                        QStringLiteral("جيبية متخامدة"), QStringLiteral("أسية"),
                        QStringLiteral("قوة"), QStringLiteral("صيغة…")});
    edFormule = nomme(new QLineEdit(this), QStringLiteral("edFormule") + n);
    // A formula is mathematics: it reads left to right.
    edFormule->setLayoutDirection(Qt::LeftToRight);
    edFormule->setPlaceholderText(QStringLiteral("A*exp(-t/tau)*sin(w*t+p)+c"));
    edFormule->setToolTip(QStringLiteral("صيغة بدلالة المتغير الأفقي؛ كل اسم آخر وسيط يُحسب"));
    edFormule->hide();
    for (QComboBox *c : {cbObjet, cbGraphe, cbHorizontale, cbModele}) {
        // Narrow enough for two graphs side by side beside the picture.
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(c == cbGraphe ? 9 : 6);
    }
    for (QWidget *w : std::initializer_list<QWidget *>{cbObjet, cbGraphe, cbHorizontale})
        choix->addWidget(w);
    choix->addStretch(1);
    page->addLayout(choix);
    // The fit on a line of its own: two graphs side by side stay narrow enough to leave the
    // picture and the table their room.
    auto *modele = new QHBoxLayout;
    modele->addWidget(cbModele);
    modele->addWidget(edFormule, 1);
    modele->addStretch(1);
    page->addLayout(modele);

    Chart1 = new QChart;
    Chart1->legend()->hide();
    Chart1->setMargins(QMargins(4, 4, 4, 4));
    QFont titre = Chart1->titleFont();
    titre.setBold(true);
    titre.setPointSizeF(titre.pointSizeF() * 1.25);
    Chart1->setTitleFont(titre);
    seriePointsBruts = nomme(new QScatterSeries, QStringLiteral("seriePointsBruts"));
    seriePointsBruts->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    seriePointsBruts->setMarkerSize(5);
    seriePointsBruts->setColor(QColor(170, 170, 170));
    seriePointsBruts->setBorderColor(QColor(140, 140, 140));
    seriePoints = nomme(new QScatterSeries, QStringLiteral("seriePoints"));
    seriePoints->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    seriePoints->setMarkerSize(7);
    seriePoints->setColor(QColor(200, 30, 30));
    seriePoints->setBorderColor(QColor(120, 0, 0));
    serieModele = nomme(new QLineSeries, QStringLiteral("serieModele"));
    serieModele->setPen(QPen(QColor(0, 90, 200), 2));
    serieCurseur = nomme(new QLineSeries, QStringLiteral("serieCurseur"));
    serieCurseur->setPen(QPen(QColor(0, 128, 128), 1.5, Qt::DashLine));
    seriePointCourant = nomme(new QScatterSeries, QStringLiteral("seriePointCourant"));
    seriePointCourant->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    seriePointCourant->setMarkerSize(13);
    seriePointCourant->setColor(Qt::transparent);
    seriePointCourant->setBorderColor(QColor(0, 128, 128));
    seriePointCourant->setPen(QPen(QColor(0, 128, 128), 2.5));
    axeX = nomme(new QValueAxis, QStringLiteral("axeX"));
    axeY = nomme(new QValueAxis, QStringLiteral("axeY"));
    for (QValueAxis *a : {axeX, axeY}) {
        a->setLabelFormat(QStringLiteral("%.3g"));
        // Small enough for the quantity's name and unit along a short vertical axis.
        QFont f = a->titleFont();
        f.setPointSizeF(f.pointSizeF() * 0.9);
        f.setBold(false);
        a->setTitleFont(f);
    }
    Chart1->addAxis(axeX, Qt::AlignBottom);
    Chart1->addAxis(axeY, Qt::AlignLeft);
    for (QXYSeries *s : std::initializer_list<QXYSeries *>{
             seriePointsBruts, serieModele, serieCurseur, seriePoints, seriePointCourant}) {
        Chart1->addSeries(s);
        s->attachAxis(axeX);
        s->attachAxis(axeY);
    }
    ChartView1 = nomme(new ZoneGraphe(Chart1, this), QStringLiteral("ChartView1"));
    // Mathematics reads left to right: the plot keeps its axes where a physics book has them.
    ChartView1->setLayoutDirection(Qt::LeftToRight);
    ChartView1->setRenderHint(QPainter::Antialiasing);
    ChartView1->setMinimumSize(240, 180);
    page->addWidget(ChartView1, 1);

    bandePlage_ = new QGraphicsRectItem;
    bandePlage_->setBrush(QColor(0, 120, 215, 28));
    bandePlage_->setPen(Qt::NoPen);
    bandePlage_->setZValue(-1);
    bandePlage_->hide();
    ChartView1->scene()->addItem(bandePlage_);

    lblNote = nomme(new QLabel(ChartView1), QStringLiteral("lblNote"));
    lblNote->setLayoutDirection(Qt::RightToLeft);
    lblNote->setStyleSheet(
        QStringLiteral("QLabel { color: #a00000; background: rgba(255, 240, 200, 230); "
                       "border: 1px solid #c08000; padding: 3px; font-weight: bold; }"));
    lblNote->setWordWrap(true);
    lblNote->hide();

    auto *bas = new QHBoxLayout;
    lblModele = nomme(new QLabel(this), QStringLiteral("lblModele"));
    lblModele->setLayoutDirection(Qt::LeftToRight);
    lblModele->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblModele->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont chasse(QStringLiteral("DejaVu Sans Mono"));
    chasse.setStyleHint(QFont::Monospace);
    lblModele->setFont(chasse);
    lblPlage = nomme(new QLabel(this), QStringLiteral("lblPlage"));
    btnToutesLignes = nomme(new QToolButton(this), QStringLiteral("btnToutesLignes"));
    btnToutesLignes->setText(QStringLiteral("كل النقاط"));
    btnToutesLignes->setToolTip(
        QStringLiteral("النمذجة على كل النقاط (اسحب على المنحنى لاختيار مجال)"));
    btnCopierParametres = nomme(new QToolButton(this), QStringLiteral("btnCopierParametres"));
    btnCopierParametres->setText(QStringLiteral("نسخ الوسائط"));
    btnCopierParametres->setToolTip(QStringLiteral("نسخ وسائط النمذجة وارتياباتها إلى الحافظة"));
    auto *outils = new QVBoxLayout;
    outils->addWidget(lblPlage);
    outils->addWidget(btnToutesLignes);
    outils->addWidget(btnCopierParametres);
    outils->addStretch(1);
    bas->addLayout(outils);
    bas->addWidget(lblModele, 1);
    page->addLayout(bas);

    for (QComboBox *c : {cbObjet, cbGraphe, cbHorizontale}) {
        connect(c, &QComboBox::currentIndexChanged, this, [this] {
            effacerPlage();
            emit panneau_->etatModifie();
        });
    }
    connect(cbModele, &QComboBox::currentIndexChanged, this, [this] {
        edFormule->setVisible(cbModele->currentIndex() == 1 + int(TypeAjustement::Formule));
        actualiser();
        emit panneau_->etatModifie();
    });
    connect(edFormule, &QLineEdit::editingFinished, this, [this] {
        actualiser();
        emit panneau_->etatModifie();
    });
    connect(seriePoints, &QXYSeries::clicked, this, &VueGraphe::pointClique);
    connect(btnToutesLignes, &QToolButton::clicked, this, [this] {
        effacerPlage();
        emit panneau_->etatModifie();
    });
    connect(btnCopierParametres, &QToolButton::clicked, this, &VueGraphe::copierParametres);
    connect(Chart1, &QChart::plotAreaChanged, this, &VueGraphe::placerBandePlage);
    effacerPlage();
}

bool VueGraphe::seulementAngles() const
{
    const Grandeur h = horizontale();
    return verticale() == Grandeur::Angle && (h == Grandeur::Temps || h == Grandeur::Image);
}

SerieGrandeurs VueGraphe::serieAffichee() const
{
    static const Grandeurs aucune;
    const int o = objet();
    const Grandeurs &g = seulementAngles()                ? panneau_->grandeursAngles()
                         : o < panneau_->nombreObjets() ? panneau_->grandeurs(o, panneau_->lissageActif())
                                                        : aucune;
    return serieGrandeurs(g, horizontale(), verticale());
}

Grandeur VueGraphe::verticale() const
{
    return kChoix[std::clamp(cbGraphe->currentIndex(), 0, kNombreChoix - 1)].verticale;
}

Grandeur VueGraphe::horizontale() const
{
    const int h = cbHorizontale->currentIndex();
    if (h >= 1) return Grandeur(h - 1);
    return kChoix[std::clamp(cbGraphe->currentIndex(), 0, kNombreChoix - 1)].horizontale;
}

int VueGraphe::objet() const
{
    return std::max(0, cbObjet->currentIndex());
}

void VueGraphe::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    placerNote(lblNote->text());
    if (intervallesVerticaux() != intervallesY_) actualiser();
}

int VueGraphe::intervallesVerticaux() const
{
    // A label per 40 pixels of height at most: closer, the chart cuts them to "...".
    return std::clamp((ChartView1->height() - 110) / 40, 2, 5);
}

void VueGraphe::placerNote(const QString &texte)
{
    lblNote->setText(texte);
    lblNote->setVisible(!texte.isEmpty());
    if (texte.isEmpty()) return;
    int largeur = 0;
    for (const QString &ligne : texte.split(QLatin1Char('\n')))
        largeur = std::max(largeur, lblNote->fontMetrics().horizontalAdvance(ligne) + 16);
    largeur = std::min(largeur, std::max(200, ChartView1->width() - 40));
    lblNote->setFixedWidth(largeur);
    lblNote->setFixedHeight(lblNote->heightForWidth(largeur));
    // Under the chart's title, over the top of the plot.
    const int haut = QFontMetrics(Chart1->titleFont()).height() + 14;
    lblNote->move((ChartView1->width() - lblNote->width()) / 2, haut);
    lblNote->raise();
}

void VueGraphe::choisirPlage(double u1, double u2)
{
    if (u1 > u2) std::swap(u1, u2);
    int premiere = INT_MAX, derniere = 0;
    // Every row, not only those shown: the series may show one point in so many.
    const SerieGrandeurs s = serieAffichee();
    for (std::size_t i = 0; i < s.u.size(); ++i)
        if (s.u[i] >= u1 && s.u[i] <= u2) {
            premiere = std::min(premiere, s.lignes[i]);
            derniere = std::max(derniere, s.lignes[i]);
        }
    if (derniere == 0) return;
    poserPlage(premiere, derniere);
    actualiser();
    emit panneau_->etatModifie();
}

void VueGraphe::effacerPlage()
{
    poserPlage(0, 0);
    actualiser();
}

void VueGraphe::poserPlage(int premiere, int derniere)
{
    plage_ = {premiere, derniere};
    lblPlage->setText(derniere ? QStringLiteral("الصور %1 … %2").arg(premiere).arg(derniere)
                               : QStringLiteral("كل النقاط"));
    btnToutesLignes->setEnabled(derniere != 0);
}

void VueGraphe::placerBandePlage()
{
    if (plage_[1] == 0 || !resultat_.converge || serieModele->count() < 2) {
        bandePlage_->hide();
        return;
    }
    // Over the fitted curve's span, the height of the plot.
    const QRectF zone = Chart1->plotArea();
    const double a = Chart1->mapToPosition(serieModele->at(0), serieModele).x();
    const double b = Chart1->mapToPosition(serieModele->at(serieModele->count() - 1), serieModele).x();
    bandePlage_->setRect(QRectF(QPointF(std::max(zone.left(), std::min(a, b)), zone.top()),
                                QPointF(std::min(zone.right(), std::max(a, b)), zone.bottom())));
    bandePlage_->show();
}

void VueGraphe::actualiser(bool memeCache)
{
    // A hidden panel or graph is drawn when it is shown.
    if (!memeCache && (!panneau_->isVisible() || isHidden())) return;
    const Grandeur h = horizontale(), v = verticale();
    const bool lisse = panneau_->lissageActif();
    const int n = panneau_->nombreObjets();
    if (cbObjet->count() != n) {
        const QSignalBlocker bloque(cbObjet);
        const int courant = std::max(0, cbObjet->currentIndex());
        cbObjet->clear();
        for (int p = 1; p <= n; ++p)
            cbObjet->addItem(QStringLiteral("النقطة %1").arg(p));
        cbObjet->setCurrentIndex(std::min(courant, n - 1));
    }
    const int o = objet();
    const bool angles = seulementAngles();
    const SerieGrandeurs s = serieAffichee();
    const bool lisseeH = s.horizontaleLissee, lisseeV = s.verticaleLissee;

    // A long tracked clip would give more points than the screen has pixels, and the chart's
    // cost grows with each: beyond kAffichesMax, one point in `pas` is shown (the last always).
    // Fits and derivatives still use every point.
    const std::size_t N = s.u.size();
    const std::size_t pas = N > kAffichesMax ? (N - 2) / (kAffichesMax - 1) + 1 : 1;
    QList<QPointF> points;
    lignesPoints_.clear();
    points.reserve(qsizetype(std::min(N, kAffichesMax)));
    for (std::size_t i = 0; i < N; ++i)
        if (i % pas == 0 || i + 1 == N) {
            points.append(QPointF(s.u[i], s.v[i]));
            lignesPoints_.push_back(s.lignes[i]);
        }
    seriePoints->replace(points);

    // The values before smoothing, under the smoothed ones, on the same rows.
    QList<QPointF> bruts;
    if (lisse && (lisseeH || lisseeV) && o < n) {
        const SerieGrandeurs b = serieGrandeurs(panneau_->grandeurs(o, false), h, v);
        const std::size_t pb = b.u.size() > kAffichesMax ? (b.u.size() - 2) / (kAffichesMax - 1) + 1 : 1;
        for (std::size_t i = 0; i < b.u.size(); i += pb)
            bruts.append(QPointF(b.u[i], b.v[i]));
    }
    seriePointsBruts->replace(bruts);

    const int choix = std::clamp(cbGraphe->currentIndex(), 0, kNombreChoix - 1);
    QString titre = cbHorizontale->currentIndex() >= 1
                        ? symboleGrandeur(v) + QStringLiteral(" (") + symboleGrandeur(h) + QLatin1Char(')')
                        : QString::fromUtf16(kChoix[choix].titre);
    if (pas > 1) titre += QStringLiteral("   (نقطة من كل %1)").arg(pas);
    Chart1->setTitle(titre);
    axeX->setTitleText(titreAxe(h, lisseeH));
    axeY->setTitleText(titreAxe(v, lisseeV));
    std::vector<double> tousV = s.v;
    for (const QPointF &p : bruts)
        tousV.push_back(p.y());
    std::vector<double> tousU = s.u;
    for (const QPointF &p : bruts)
        tousU.push_back(p.x());
    etendreAxe(axeX, tousU);
    intervallesY_ = intervallesVerticaux();
    etendreAxe(axeY, tousV, intervallesY_);

    QStringList notes;
    static const std::vector<Echantillon> aucun;
    const std::vector<Echantillon> &pts = o < n ? panneau_->objets()[std::size_t(o)].points() : aucun;
    const bool masse = panneau_->parametres(false).masse > 0;
    const auto aMasse = [](Grandeur q) { return q >= Grandeur::Px && q <= Grandeur::Em; };
    const bool dynamique = aMasse(v) || aMasse(h);
    if (angles) {
        if (N == 0) notes << QStringLiteral("لم تُسجل أي زاوية بالمنقلة");
    } else if (pts.empty())
        notes << QStringLiteral("لا توجد قياسات لهذه النقطة");
    else if (dynamique && !masse)
        notes << QStringLiteral("أدخل الكتلة (kg) لحساب كمية الحركة والطاقة");
    else if (N == 0)
        notes << QStringLiteral("حساب السرعة يتطلب ثلاث صور مقاسة متتالية على الأقل");
    if (const int lacunes = angles ? 0 : nombreLacunes(pts))
        notes << QStringLiteral("فجوة في القياسات (%1): السرعة غير محسوبة على طرفي كل فجوة")
                     .arg(lacunes);

    ajuster(s, notes);
    placerNote(notes.join(QLatin1Char('\n')));
    placerBandePlage();
    imageMontree(imageCourante);
}

void VueGraphe::ajuster(const SerieGrandeurs &s, QStringList &notes)
{
    serieModele->clear();
    lblModele->clear();
    ajustement_ = Ajustement();
    resultat_ = ResultatAjustement();
    btnCopierParametres->setEnabled(false);
    const int choix = cbModele->currentIndex();
    if (choix <= 0 || s.u.empty()) return;
    const TypeAjustement type = TypeAjustement(choix - 1);
    const int premiere = plage_[1] ? plage_[0] : INT_MIN, derniere = plage_[1] ? plage_[1] : INT_MAX;
    std::vector<double> u, v;
    for (std::size_t i = 0; i < s.u.size(); ++i)
        if (s.lignes[i] >= premiere && s.lignes[i] <= derniere) {
            u.push_back(s.u[i]);
            v.push_back(s.v[i]);
        }
    const QString su = symboleGrandeur(s.horizontale), sv = symboleGrandeur(s.verticale);
    QStringList lignes;
    if (type == TypeAjustement::Droite || type == TypeAjustement::Parabole) {
        // The linear fits as they have always been shown: units on each coefficient.
        const Modele m = type == TypeAjustement::Droite ? Modele::Droite : Modele::Parabole;
        ajustement_ = ::ajuster(m, u, v);
        if (ajustement_.echec == Ajustement::TropPeuDePoints)
            notes << QStringLiteral("عدد النقاط غير كاف للنمذجة: %1، والمطلوب %2 على الأقل")
                         .arg(u.size())
                         .arg(pointsNecessaires(m));
        else if (ajustement_.echec == Ajustement::AbscisseUnique)
            notes << QStringLiteral("كل النقاط لها نفس القيمة %1: النمذجة غير ممكنة").arg(su);
        if (!ajustement_.valide()) return;
        lignes << (m == Modele::Droite
                       ? sv + QStringLiteral(" = a·") + su + QStringLiteral(" + b")
                       : sv + QStringLiteral(" = a·") + su + QStringLiteral("² + b·") + su +
                             QStringLiteral(" + c"));
        const int k = int(ajustement_.coefficients.size());
        for (int i = 0; i < k; ++i)
            lignes << QStringLiteral("%1 = %2 ± %3 %4")
                          .arg(QChar(u'a' + i))
                          .arg(nombre(4, ajustement_.coefficients[std::size_t(i)]))
                          .arg(nombre(1, ajustement_.incertitudes[std::size_t(i)]))
                          .arg(uniteCoefficient(uniteGrandeur(s.horizontale),
                                                uniteGrandeur(s.verticale), k - 1 - i))
                          .trimmed();
        lignes << (std::isnan(ajustement_.r2)
                       ? QStringLiteral("R² = —")
                       : QStringLiteral("R² = ") +
                             formateReel(QStringLiteral("0.000000"), ajustement_.r2));
    }
    DemandeAjustement d;
    d.type = type;
    d.formule = edFormule->text().trimmed();
    d.variable = variableFormule(s.horizontale);
    if (type == TypeAjustement::Formule && d.formule.isEmpty()) {
        notes << QStringLiteral("اكتب الصيغة بدلالة %1").arg(d.variable);
        return;
    }
    resultat_ = ajusterSerie(d, s, premiere, derniere);
    // A line or parabola already has its lines, and its curve, whatever the core said.
    if (lignes.isEmpty()) {
        if (!resultat_.converge) {
            notes << resultat_.erreur;
            return;
        }
        lignes << equationAffichee() << lignesParametres(resultat_);
    }
    btnCopierParametres->setEnabled(resultat_.converge);

    // The curve over the rows fitted.
    const auto [a, b] = std::minmax_element(u.begin(), u.end());
    const int pas = type == TypeAjustement::Droite ? 1 : 400;
    QList<QPointF> courbe;
    for (int i = 0; i <= pas; ++i) {
        const double w = *a + (*b - *a) * i / pas;
        const double y = ajustement_.valide() ? ajustement_(w) : resultat_(w);
        if (std::isfinite(y)) courbe.append(QPointF(w, y));
    }
    serieModele->replace(courbe);
    lblModele->setText(lignes.join(QLatin1Char('\n')));
}

QString VueGraphe::equationAffichee() const
{
    return equation(resultat_, symboleGrandeur(verticale()), variableFormule(horizontale()));
}

void VueGraphe::imageMontree(int image)
{
    serieCurseur->clear();
    seriePointCourant->clear();
    if (image < 0 || !isVisible()) return;
    const int T = mesureDeTravail().reglages.origineTemps;
    const Grandeur h = horizontale();
    if (h == Grandeur::Temps && image + 1 >= T) {
        const double t = double(ecartTemps(image, T - 1));
        serieCurseur->replace({QPointF(t, axeY->min()), QPointF(t, axeY->max())});
    } else if (h == Grandeur::Image) {
        serieCurseur->replace({QPointF(image + 1, axeY->min()), QPointF(image + 1, axeY->max())});
    }
    const auto i = std::find(lignesPoints_.begin(), lignesPoints_.end(), image + 1);
    if (i != lignesPoints_.end())
        seriePointCourant->append(seriePoints->at(int(i - lignesPoints_.begin())));
}

void VueGraphe::montrerImageEn(double u)
{
    if (nbImages <= 0) return;
    const Grandeur h = horizontale();
    int image = -1;
    if (h == Grandeur::Image) {
        image = int(std::lround(u)) - 1;
    } else if (h == Grandeur::Temps) {
        // Times grow with the frame: the first frame at or after u, or the one before if nearer.
        const int T = mesureDeTravail().reglages.origineTemps;
        int bas = T - 1, haut = nbImages - 1;
        while (bas < haut) {
            const int milieu = (bas + haut) / 2;
            if (double(ecartTemps(milieu, T - 1)) < u)
                bas = milieu + 1;
            else
                haut = milieu;
        }
        image = bas;
        if (bas > T - 1 && u - double(ecartTemps(bas - 1, T - 1)) < double(ecartTemps(bas, T - 1)) - u)
            image = bas - 1;
    }
    if (image < 0) return;
    image = std::clamp(image, 0, nbImages - 1);
    TStringGrid *table = Form1->StringGrid1;
    // The table's current row shows its frame, as a click in the table does.
    if (image + 1 < table->RowCount() && table->Row() != image + 1) table->setRow(image + 1);
}

void VueGraphe::pointClique(const QPointF &point)
{
    if (lignesPoints_.empty() || !Form1->clipOuvert()) return;
    const QList<QPointF> pts = seriePoints->points();
    // The nearest shown point, each axis weighed by its visible span.
    const double ex = std::max(1e-300, axeX->max() - axeX->min());
    const double ey = std::max(1e-300, axeY->max() - axeY->min());
    qsizetype meilleur = 0;
    double distance = INFINITY;
    for (qsizetype i = 0; i < pts.size(); ++i) {
        const double dx = (pts[i].x() - point.x()) / ex, dy = (pts[i].y() - point.y()) / ey;
        if (dx * dx + dy * dy < distance) {
            distance = dx * dx + dy * dy;
            meilleur = i;
        }
    }
    const int ligne = lignesPoints_[std::size_t(meilleur)];
    const int colonne = 2 * (objet() + 1) - 1;
    TStringGrid *table = Form1->StringGrid1;
    if (ligne < 1 || ligne >= table->RowCount() || colonne >= table->ColCount()) return;
    // Each change of the current cell shows its frame, as a click in the table does.
    if (table->Col() != colonne) table->setCol(colonne);
    if (table->Row() != ligne) table->setRow(ligne);
}

void VueGraphe::copierParametres()
{
    if (!resultat_.converge) return;
    QGuiApplication::clipboard()->setText(
        textePressePapiersAjustement(resultat_, equationAffichee(), separateurDecimal()));
}

QSize VueGraphe::tailleDessin() const
{
    const QSize graphe = ChartView1->size();
    const int lignes = lblModele->text().isEmpty() ? 0 : int(lblModele->text().count('\n')) + 1;
    return {graphe.width(),
            graphe.height() + (lignes ? lignes * lblModele->fontMetrics().lineSpacing() + 12 : 0)};
}

void VueGraphe::dessiner(QPainter &peintre) const
{
    // The chart as shown, its note included (drawn here: a child label is not always part of
    // what a vector device records). The frame cursor belongs to the screen, not to a saved
    // graph.
    for (QXYSeries *s : std::initializer_list<QXYSeries *>{serieCurseur, seriePointCourant})
        s->setVisible(false);
    const QRect vue = ChartView1->viewport()->rect();
    ChartView1->render(&peintre, QRectF(QPointF(0, 0), QSizeF(ChartView1->viewport()->size())),
                       vue);
    for (QXYSeries *s : std::initializer_list<QXYSeries *>{serieCurseur, seriePointCourant})
        s->setVisible(true);
    if (lblNote->isVisible() && !lblNote->text().isEmpty()) {
        const QRect cadre = lblNote->geometry();
        peintre.save();
        peintre.setPen(QColor(0xc0, 0x80, 0x00));
        peintre.setBrush(QColor(255, 240, 200, 230));
        peintre.drawRect(cadre.adjusted(0, 0, -1, -1));
        // As outlines, laid out here: an SVG viewer would order the Arabic words and the
        // numbers between them again, left to right.
        const QStringList lignes = lblNote->text().split(QLatin1Char('\n'));
        const qreal interligne = lblNote->fontMetrics().lineSpacing();
        qreal y = cadre.center().y() - interligne * (lignes.size() - 1) / 2.0;
        peintre.setPen(Qt::NoPen);
        peintre.setBrush(QColor(0xa0, 0x00, 0x00));
        for (const QString &ligne : lignes) {
            QPainterPath trace;
            trace.addText(0, 0, lblNote->font(), ligne);
            const QRectF r = trace.boundingRect();
            peintre.drawPath(
                trace.translated(cadre.center().x() - r.center().x(), y - r.center().y()));
            y += interligne;
        }
        peintre.restore();
    }
    // Under it, the fit's equation with its uncertainties and R², as the window shows them.
    if (!lblModele->text().isEmpty()) {
        const QRect bande(0, ChartView1->height(), ChartView1->width(),
                          tailleDessin().height() - ChartView1->height());
        peintre.fillRect(bande, Qt::white);
        peintre.setPen(Qt::black);
        peintre.setFont(lblModele->font());
        QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
        option.setTextDirection(Qt::LeftToRight);
        peintre.drawText(QRectF(bande.adjusted(12, 6, -12, -6)), lblModele->text(), option);
    }
}

QJsonObject VueGraphe::etat() const
{
    QJsonObject o{{QStringLiteral("objet"), objet() + 1},
                  {QStringLiteral("graphe"), cbGraphe->currentIndex()},
                  {QStringLiteral("horizontale"), cbHorizontale->currentIndex()},
                  {QStringLiteral("modele"), cbModele->currentIndex()}};
    if (!edFormule->text().isEmpty()) o.insert(QStringLiteral("formule"), edFormule->text());
    if (plage_[1]) o.insert(QStringLiteral("plage"), QJsonArray{plage_[0], plage_[1]});
    if (resultat_.converge) {
        QJsonArray parametres;
        for (const ParametreAjuste &p : resultat_.parametres)
            parametres.append(QJsonObject{{QStringLiteral("nom"), p.nom},
                                          {QStringLiteral("valeur"), p.valeur},
                                          {QStringLiteral("incertitude"), p.incertitude}});
        QJsonObject a{{QStringLiteral("equation"), equationAffichee()},
                      {QStringLiteral("parametres"), parametres},
                      {QStringLiteral("points"), resultat_.points}};
        if (std::isfinite(resultat_.r2)) a.insert(QStringLiteral("r2"), resultat_.r2);
        o.insert(QStringLiteral("ajustement"), a);
    }
    return o;
}

void VueGraphe::retablirEtat(const QJsonObject &o)
{
    // Values out of range are left as they are: a damaged file changes nothing here.
    const auto choisir = [&o](QComboBox *c, const char *cle, int decalage) {
        const int i = o.value(QLatin1String(cle)).toInt(-1) - decalage;
        if (i >= 0 && i < c->count()) c->setCurrentIndex(i);
    };
    {
        const QSignalBlocker b1(cbObjet), b2(cbGraphe), b3(cbHorizontale), b4(cbModele);
        choisir(cbObjet, "objet", 1);
        choisir(cbGraphe, "graphe", 0);
        choisir(cbHorizontale, "horizontale", 0);
        choisir(cbModele, "modele", 0);
        edFormule->setText(o.value(QLatin1String("formule")).toString());
        edFormule->setVisible(cbModele->currentIndex() == 1 + int(TypeAjustement::Formule));
    }
    const QJsonArray p = o.value(QLatin1String("plage")).toArray();
    const int a = p.size() == 2 ? p[0].toInt() : 0, b = p.size() == 2 ? p[1].toInt() : 0;
    if (a >= 1 && b >= a)
        poserPlage(a, b);
    else
        poserPlage(0, 0);
}
