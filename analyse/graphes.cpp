#include "analyse/graphes.h"

#include "app/Unit1.h"
#include "app/controles.h"
#include "app/etat.h"
#include "app/plateforme.h"
#include "measure/document.h"
#include "export/fichiers.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"

#include <QBuffer>
#include <QTextOption>
#include <QImage>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShortcut>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QToolBar>
#include <QToolButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <cmath>

namespace
{

template <typename T> T *nomme(T *objet, const char *nom)
{
    objet->setObjectName(QString::fromLatin1(nom));
    return objet;
}

const QString kTitre = QStringLiteral("منحنيات وتحليل الحركة");
constexpr std::size_t kAffichesMax = 1000;

// What each graph shows: its title, and for each axis its symbol, unit and caption.
struct Axe {
    QString symbole, unite, nom;
};
struct Description {
    QString titre;
    Axe u, v;
};

Description description(int graphe)
{
    const Axe t{QStringLiteral("t"), QStringLiteral("s"), QStringLiteral("الزمن")};
    const Axe x{QStringLiteral("x"), QStringLiteral("m"), QStringLiteral("الإحداثي")};
    const Axe y{QStringLiteral("y"), QStringLiteral("m"), QStringLiteral("الإحداثي")};
    const QString ms = QStringLiteral("m/s");
    const QString vitesse = QStringLiteral("السرعة");
    switch (graphe) {
    case TGrapheBox::grX:
        return {QStringLiteral("x(t)"), t, x};
    case TGrapheBox::grY:
        return {QStringLiteral("y(t)"), t, y};
    case TGrapheBox::grTrajectoire:
        return {QStringLiteral("المسار  y(x)"), x, y};
    case TGrapheBox::grVx:
        return {QStringLiteral("vx(t)"), t, {QStringLiteral("vx"), ms, vitesse}};
    case TGrapheBox::grVy:
        return {QStringLiteral("vy(t)"), t, {QStringLiteral("vy"), ms, vitesse}};
    default:
        return {QStringLiteral("السرعة  v(t)"), t, {QStringLiteral("v"), ms, vitesse}};
    }
}

QString titreAxe(const Axe &a)
{
    return a.nom + QStringLiteral("  ") + a.symbole + QStringLiteral(" (") + a.unite +
           QLatin1Char(')');
}

// Unit of the coefficient of u^puissance in a fit of v against u.
QString uniteCoefficient(const Axe &u, const Axe &v, int puissance)
{
    if (puissance == 0) return v.unite;
    if (u.unite == v.unite) return puissance == 1 ? QString() : QStringLiteral("1/m");
    const QString carre = puissance == 2 ? QStringLiteral("²") : QString();
    if (v.unite == QLatin1String("m/s"))
        return puissance == 1 ? QStringLiteral("m/s²") : QStringLiteral("m/s³");
    return v.unite + QLatin1Char('/') + u.unite + carre;
}

// The axis spans the values with round ticks (1, 2 or 5 times a power of ten) counted from
// zero, so that zero reads as 0 and not as the remainder of a sum.
void etendreAxe(QValueAxis *axe, const std::vector<double> &w)
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
    const double brut = (b - a) / 5;
    const double puissance = std::pow(10.0, std::floor(std::log10(brut)));
    const double pas = brut / puissance < 1.5   ? puissance
                       : brut / puissance < 3.5 ? 2 * puissance
                       : brut / puissance < 7.5 ? 5 * puissance
                                                : 10 * puissance;
    const double bas = std::floor(a / pas) * pas, haut = std::ceil(b / pas) * pas;
    axe->setTickType(QValueAxis::TicksDynamic);
    axe->setTickAnchor(0);
    axe->setTickInterval(pas);
    axe->setRange(bas, haut);
}

QString nombre(int decimales, double v)
{
    return texteSci(decimales, v).trimmed();
}

// The tool button's picture: axes and a parabola of points.
QIcon imageGraphes()
{
    QPixmap image(24, 24);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.drawLine(3, 2, 3, 21);
    p.drawLine(3, 21, 22, 21);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 30, 30));
    for (int i = 0; i < 6; ++i) {
        const double x = 5 + i * 3.2, y = 19 - 0.55 * (i * 3.2) * (6.5 - i * 1.1);
        p.drawEllipse(QPointF(x, y), 1.6, 1.6);
    }
    p.setPen(QPen(QColor(0, 90, 200), 1.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath courbe(QPointF(5, 19));
    courbe.quadTo(QPointF(12, -4), QPointF(21, 16));
    p.drawPath(courbe);
    return QIcon(image);
}

} // namespace

TGrapheBox::TGrapheBox(TForm1 *form) : QWidget(form, Qt::Window), form_(form)
{
    setObjectName(QStringLiteral("GrapheBox"));
    setWindowTitle(kTitre);
    setLayoutDirection(Qt::RightToLeft);
    resize(760, 560);
    // Escape closes the window, as it closes the program's dialogs.
    auto *echap = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(echap, &QShortcut::activated, this, &QWidget::close);

    auto *page = new QVBoxLayout(this);
    auto *choix = new QHBoxLayout;
    lblObjet = nomme(new QLabel(QStringLiteral("النقطة"), this), "lblObjet");
    cbObjet = nomme(new QComboBox(this), "cbObjet");
    lblGraphe = nomme(new QLabel(QStringLiteral("المنحنى"), this), "lblGraphe");
    cbGraphe = nomme(new QComboBox(this), "cbGraphe");
    for (int g = grX; g <= grV; ++g)
        cbGraphe->addItem(description(g).titre);
    lblModeleTitre = nomme(new QLabel(QStringLiteral("النمذجة"), this), "lblModeleTitre");
    cbModele = nomme(new QComboBox(this), "cbModele");
    cbModele->addItems(
        {QStringLiteral("بدون"), QStringLiteral("مستقيم"), QStringLiteral("قطع مكافئ")});
    for (QWidget *w : std::initializer_list<QWidget *>{lblObjet, cbObjet, lblGraphe, cbGraphe,
                                                       lblModeleTitre, cbModele})
        choix->addWidget(w);
    choix->addStretch(1);
    page->addLayout(choix);

    Chart1 = new QChart;
    Chart1->legend()->hide();
    Chart1->setMargins(QMargins(4, 4, 4, 4));
    QFont titre = Chart1->titleFont();
    titre.setBold(true);
    titre.setPointSizeF(titre.pointSizeF() * 1.25);
    Chart1->setTitleFont(titre);
    seriePoints = nomme(new QScatterSeries, "seriePoints");
    seriePoints->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    seriePoints->setMarkerSize(7);
    seriePoints->setColor(QColor(200, 30, 30));
    seriePoints->setBorderColor(QColor(120, 0, 0));
    serieModele = nomme(new QLineSeries, "serieModele");
    serieModele->setPen(QPen(QColor(0, 90, 200), 2));
    serieCurseur = nomme(new QLineSeries, "serieCurseur");
    serieCurseur->setPen(QPen(QColor(0, 128, 128), 1.5, Qt::DashLine));
    seriePointCourant = nomme(new QScatterSeries, "seriePointCourant");
    seriePointCourant->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    seriePointCourant->setMarkerSize(13);
    seriePointCourant->setColor(Qt::transparent);
    seriePointCourant->setBorderColor(QColor(0, 128, 128));
    seriePointCourant->setPen(QPen(QColor(0, 128, 128), 2.5));
    Chart1->addSeries(serieModele);
    Chart1->addSeries(serieCurseur);
    Chart1->addSeries(seriePoints);
    Chart1->addSeries(seriePointCourant);
    axeX = nomme(new QValueAxis, "axeX");
    axeY = nomme(new QValueAxis, "axeY");
    for (QValueAxis *a : {axeX, axeY})
        a->setLabelFormat(QStringLiteral("%.3g"));
    Chart1->addAxis(axeX, Qt::AlignBottom);
    Chart1->addAxis(axeY, Qt::AlignLeft);
    for (QXYSeries *s : std::initializer_list<QXYSeries *>{seriePoints, serieModele,
                                                           serieCurseur, seriePointCourant}) {
        s->attachAxis(axeX);
        s->attachAxis(axeY);
    }
    ChartView1 = nomme(new QChartView(Chart1, this), "ChartView1");
    // Mathematics reads left to right: the plot keeps its axes where a physics book has them.
    ChartView1->setLayoutDirection(Qt::LeftToRight);
    ChartView1->setRenderHint(QPainter::Antialiasing);
    ChartView1->setMinimumSize(360, 260);
    page->addWidget(ChartView1, 1);

    lblNote = nomme(new QLabel(ChartView1), "lblNote");
    lblNote->setLayoutDirection(Qt::RightToLeft);
    lblNote->setStyleSheet(
        QStringLiteral("QLabel { color: #a00000; background: rgba(255, 240, 200, 230); "
                       "border: 1px solid #c08000; padding: 3px; font-weight: bold; }"));
    lblNote->setWordWrap(true);
    lblNote->hide();

    lblModele = nomme(new QLabel(this), "lblModele");
    lblModele->setLayoutDirection(Qt::LeftToRight);
    lblModele->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblModele->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont chasse(QStringLiteral("DejaVu Sans Mono"));
    chasse.setStyleHint(QFont::Monospace);
    lblModele->setFont(chasse);
    page->addWidget(lblModele);

    auto *boutons = new QHBoxLayout;
    btnEnregistrerGraphe = nomme(new QPushButton(QStringLiteral("حفظ المنحنى (PNG, SVG)"), this),
                                 "btnEnregistrerGraphe");
    btnExporterCSV =
        nomme(new QPushButton(QStringLiteral("تصدير الجدول (CSV)"), this), "btnExporterCSV");
    boutons->addWidget(btnEnregistrerGraphe);
    boutons->addWidget(btnExporterCSV);
    boutons->addStretch(1);
    page->addLayout(boutons);

    connect(cbObjet, &QComboBox::currentIndexChanged, this, &TGrapheBox::actualiser);
    connect(cbGraphe, &QComboBox::currentIndexChanged, this, &TGrapheBox::actualiser);
    connect(cbModele, &QComboBox::currentIndexChanged, this, &TGrapheBox::actualiser);
    connect(seriePoints, &QXYSeries::clicked, this, &TGrapheBox::pointClique);
    connect(btnEnregistrerGraphe, &QPushButton::clicked, this,
            &TGrapheBox::btnEnregistrerGrapheClick);
    connect(btnExporterCSV, &QPushButton::clicked, this, &TGrapheBox::btnExporterCSVClick);
    connect(form_, &TForm1::tableauModifie, this, &TGrapheBox::tableauModifie);
}

void TGrapheBox::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (aRelire_) {
        relireTableau();
        actualiser();
    }
}

void TGrapheBox::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    placerNote(lblNote->text());
}

void TGrapheBox::lireLigne(int ligne, int point)
{
    const DocumentMesure &d = *form_->document;
    SerieObjet &s = objets_[std::size_t(point - 1)];
    const int T = d.reglages().origineTemps;
    const auto e = echantillonDePosition(ligne, double(ecartTemps(ligne - 1, T - 1)), d.reglages(),
                                         d.position(point - 1, ligne - 1));
    if (e)
        s.placer(*e);
    else
        s.retirer(ligne);
}

void TGrapheBox::relireTableau()
{
    aRelire_ = false;
    const TStringGrid *g = form_->StringGrid0;
    const int n = std::max(1, (g->ColCount() - 1) / 2);
    // Rows of the clip only: the grids keep their shape between clips.
    const int N = std::min(nbImages, g->RowCount() - 1);
    objets_.assign(std::size_t(n), SerieObjet());
    const DocumentMesure &d = *form_->document;
    for (int p = 1; p <= std::min(n, kPointsMesure); ++p) {
        const auto &carte = d.mesure().positions[p - 1];
        for (auto i = carte.cbegin(); i != carte.cend() && i.key() < N; ++i)
            if (const auto e = echantillonDePosition(
                    i.key() + 1, double(ecartTemps(i.key(), d.reglages().origineTemps - 1)),
                    d.reglages(), i.value()))
                objets_[std::size_t(p - 1)].placer(*e);
    }

    if (cbObjet->count() != n) {
        const QSignalBlocker bloque(cbObjet);
        const int courant = std::max(0, cbObjet->currentIndex());
        cbObjet->clear();
        for (int p = 1; p <= n; ++p)
            cbObjet->addItem(QString::number(p));
        cbObjet->setCurrentIndex(std::min(courant, n - 1));
    }
}

void TGrapheBox::tableauModifie(int ligne, int point)
{
    if (!isVisible()) {
        aRelire_ = true;
        return;
    }
    const TStringGrid *g = form_->StringGrid0;
    const int n = (g->ColCount() - 1) / 2;
    if (ligne <= 0 || int(objets_.size()) != n || ligne >= g->RowCount() || point > n) {
        relireTableau();
        actualiser();
        return;
    }
    for (int p = point > 0 ? point : 1; p <= (point > 0 ? point : n); ++p)
        lireLigne(ligne, p);
    // Another object's change leaves the graph shown as it is.
    if (point <= 0 || point == cbObjet->currentIndex() + 1) actualiser();
}

void TGrapheBox::placerNote(const QString &texte)
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

void TGrapheBox::imageMontree(int image)
{
    serieCurseur->clear();
    seriePointCourant->clear();
    if (image < 0 || !isVisible()) return;
    const int graphe = std::max(0, cbGraphe->currentIndex());
    const int T = form_->document->reglages().origineTemps;
    if (graphe != grTrajectoire && image + 1 >= T) {
        const double t = double(ecartTemps(image, T - 1));
        serieCurseur->replace({QPointF(t, axeY->min()), QPointF(t, axeY->max())});
    }
    const auto i = std::find(lignesPoints_.begin(), lignesPoints_.end(), image + 1);
    if (i != lignesPoints_.end())
        seriePointCourant->append(seriePoints->at(int(i - lignesPoints_.begin())));
}

void TGrapheBox::actualiser()
{
    const int graphe = std::max(0, cbGraphe->currentIndex());
    const Description d = description(graphe);
    const int objet = cbObjet->currentIndex();
    static const std::vector<Echantillon> aucun;
    const std::vector<Echantillon> &pts =
        objet >= 0 && objet < int(objets_.size()) ? objets_[std::size_t(objet)].points() : aucun;

    std::vector<double> u, v;
    lignesPoints_.clear();
    u.reserve(pts.size());
    v.reserve(pts.size());
    lignesPoints_.reserve(pts.size());
    const bool vitesse = graphe >= grVx;
    if (vitesse) {
        for (const Vitesse &w : vitesses(pts)) {
            u.push_back(w.t);
            v.push_back(graphe == grVx ? w.vx : graphe == grVy ? w.vy : w.v);
            lignesPoints_.push_back(w.ligne);
        }
    } else {
        for (const Echantillon &e : pts) {
            u.push_back(graphe == grTrajectoire ? e.x : e.t);
            v.push_back(graphe == grX ? e.x : e.y);
            lignesPoints_.push_back(e.ligne);
        }
    }

    // A long tracked clip would give more points than the screen has pixels, and the chart's
    // cost grows with each: beyond kAffichesMax, one point in `pas` is shown (the last always).
    // Fits and velocities still use every point.
    const std::size_t pas = u.size() > kAffichesMax ? (u.size() - 2) / (kAffichesMax - 1) + 1 : 1;
    QList<QPointF> points;
    std::vector<int> lignes;
    if (pas > 1) {
        for (std::size_t i = 0; i < u.size(); ++i)
            if (i % pas == 0 || i + 1 == u.size()) {
                points.append(QPointF(u[i], v[i]));
                lignes.push_back(lignesPoints_[i]);
            }
        lignesPoints_.swap(lignes);
    } else {
        points.reserve(qsizetype(u.size()));
        for (std::size_t i = 0; i < u.size(); ++i)
            points.append(QPointF(u[i], v[i]));
    }
    seriePoints->replace(points);

    Chart1->setTitle(pas > 1 ? d.titre + QStringLiteral("   (نقطة من كل %1)").arg(pas) : d.titre);
    axeX->setTitleText(titreAxe(d.u));
    axeY->setTitleText(titreAxe(d.v));
    etendreAxe(axeX, u);
    etendreAxe(axeY, v);

    QStringList notes;
    if (pts.empty())
        notes << QStringLiteral("لا توجد قياسات لهذه النقطة");
    else if (vitesse && u.empty())
        notes << QStringLiteral("حساب السرعة يتطلب ثلاث صور مقاسة متتالية على الأقل");
    if (const int lacunes = nombreLacunes(pts))
        notes << QStringLiteral("فجوة في القياسات (%1): السرعة غير محسوبة على طرفي كل فجوة")
                     .arg(lacunes);

    serieModele->clear();
    lblModele->clear();
    ajustement_ = Ajustement();
    const int choixModele = cbModele->currentIndex();
    if (choixModele > 0 && !u.empty()) {
        const Modele m = choixModele == 1 ? Modele::Droite : Modele::Parabole;
        ajustement_ = ajuster(m, u, v);
        if (ajustement_.echec == Ajustement::TropPeuDePoints)
            notes << QStringLiteral("عدد النقاط غير كاف للنمذجة: %1، والمطلوب %2 على الأقل")
                         .arg(u.size())
                         .arg(pointsNecessaires(m));
        else if (ajustement_.echec == Ajustement::AbscisseUnique)
            notes << QStringLiteral("كل النقاط لها نفس القيمة %1: النمذجة غير ممكنة")
                         .arg(d.u.symbole);
        if (ajustement_.valide()) {
            const auto [a, b] = std::minmax_element(u.begin(), u.end());
            const int pas = m == Modele::Droite ? 1 : 100;
            QList<QPointF> courbe;
            for (int i = 0; i <= pas; ++i) {
                const double w = *a + (*b - *a) * i / pas;
                courbe.append(QPointF(w, ajustement_(w)));
            }
            serieModele->replace(courbe);

            const QString s = d.u.symbole, c = d.v.symbole;
            QStringList lignes;
            lignes << (m == Modele::Droite
                           ? c + QStringLiteral(" = a·") + s + QStringLiteral(" + b")
                           : c + QStringLiteral(" = a·") + s + QStringLiteral("² + b·") + s +
                                 QStringLiteral(" + c"));
            const int k = int(ajustement_.coefficients.size());
            for (int i = 0; i < k; ++i) {
                const QString unite = uniteCoefficient(d.u, d.v, k - 1 - i);
                lignes << QStringLiteral("%1 = %2 ± %3 %4")
                              .arg(QChar(u'a' + i))
                              .arg(nombre(4, ajustement_.coefficients[std::size_t(i)]))
                              .arg(nombre(1, ajustement_.incertitudes[std::size_t(i)]))
                              .arg(unite)
                              .trimmed();
            }
            lignes << (std::isnan(ajustement_.r2)
                           ? QStringLiteral("R² = —")
                           : QStringLiteral("R² = ") +
                                 formateReel(QStringLiteral("0.000000"), ajustement_.r2));
            lblModele->setText(lignes.join(QLatin1Char('\n')));
        }
    }
    placerNote(notes.join(QLatin1Char('\n')));
    imageMontree(imageCourante);
}

void TGrapheBox::pointClique(const QPointF &point)
{
    if (lignesPoints_.empty() || !form_->clipOuvert()) return;
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
    const int colonne = 2 * (cbObjet->currentIndex() + 1) - 1;
    TStringGrid *table = form_->StringGrid1;
    if (ligne < 1 || ligne >= table->RowCount() || colonne >= table->ColCount()) return;
    // Each change of the current cell shows its frame, as a click in the table does.
    if (table->Col() != colonne) table->setCol(colonne);
    if (table->Row() != ligne) table->setRow(ligne);
}

QSize TGrapheBox::tailleGraphe() const
{
    const QSize graphe = ChartView1->size();
    const int lignes = lblModele->text().isEmpty() ? 0 : int(lblModele->text().count('\n')) + 1;
    return {graphe.width(),
            graphe.height() + (lignes ? lignes * lblModele->fontMetrics().lineSpacing() + 12 : 0)};
}

void TGrapheBox::dessinerGraphe(QPainter &peintre) const
{
    // The chart as shown, its note included (drawn here: a child label is not always part of
    // what a vector device records).
    // The frame cursor belongs to the screen, not to a saved graph.
    for (QXYSeries *s : std::initializer_list<QXYSeries *>{serieCurseur, seriePointCourant})
        s->setVisible(false);
    const QRect vue = ChartView1->viewport()->rect();
    ChartView1->render(&peintre, QRectF(ChartView1->viewport()->geometry()), vue);
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
                          tailleGraphe().height() - ChartView1->height());
        peintre.fillRect(bande, Qt::white);
        peintre.setPen(Qt::black);
        peintre.setFont(lblModele->font());
        QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
        option.setTextDirection(Qt::LeftToRight);
        peintre.drawText(QRectF(bande.adjusted(12, 6, -12, -6)), lblModele->text(), option);
    }
}

QByteArray TGrapheBox::octetsGraphe(bool svg) const
{
    QByteArray octets;
    QBuffer sortie(&octets);
    sortie.open(QIODevice::WriteOnly);
    const QSize taille = tailleGraphe();
    if (svg) {
        QSvgGenerator generateur;
        generateur.setOutputDevice(&sortie);
        // The screen's resolution: pasted into a document, the drawing keeps its size on
        // screen, and the chart's texts measured for the screen fit where they are drawn.
        generateur.setResolution(ChartView1->logicalDpiX());
        generateur.setSize(taille);
        generateur.setViewBox(QRect(QPoint(0, 0), taille));
        generateur.setTitle(Chart1->title());
        QPainter peintre(&generateur);
        dessinerGraphe(peintre);
        if (!peintre.end()) return {};
    } else {
        QImage image(taille * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(devicePixelRatioF());
        image.fill(Qt::white);
        QPainter peintre(&image);
        peintre.setRenderHint(QPainter::Antialiasing);
        dessinerGraphe(peintre);
        peintre.end();
        if (!image.save(&sortie, "PNG")) return {};
    }
    return octets;
}

void TGrapheBox::btnEnregistrerGrapheClick()
{
    DialogueFichier d;
    d.titre = QStringLiteral("حفظ المنحنى");
    d.filtre = QStringLiteral("PNG (*.png);;SVG (*.svg)");
    d.extensionDefaut = QStringLiteral("png");
    d.confirmerEcrasement = true;
    int filtre = 0;
    QString fichier = plateforme().fichierAEnregistrer(d, &filtre);
    if (fichier.isEmpty()) return;
    // A name typed with its extension says the type; else the filter chosen says it, and
    // gives the extension.
    const QString extension = QFileInfo(fichier).suffix().toLower();
    bool svg = filtre == 1;
    if (extension == QLatin1String("svg") || extension == QLatin1String("png"))
        svg = extension == QLatin1String("svg");
    else
        fichier += svg ? QStringLiteral(".svg") : QStringLiteral(".png");

    const QByteArray octets = octetsGraphe(svg);
    const auto raison = octets.isEmpty()
                            ? std::optional<QString>(QStringLiteral("تعذر رسم المنحنى"))
                            : ecrireFichier(fichier, octets);
    if (raison)
        plateforme().message(TypeMessage::Erreur, texteErreurEcriture(fichier, *raison),
                             Boutons::Ok);
}

void TGrapheBox::btnExporterCSVClick()
{
    if (aRelire_) relireTableau();
    DialogueFichier d;
    d.titre = QStringLiteral("تصدير الجدول");
    d.filtre = QStringLiteral("CSV (*.csv)");
    d.extensionDefaut = QStringLiteral("csv");
    d.confirmerEcrasement = true;
    const QString fichier = plateforme().fichierAEnregistrer(d);
    if (fichier.isEmpty()) return;
    if (const auto raison = ecrireFichier(fichier, tableauCSV(objets_)))
        plateforme().message(TypeMessage::Erreur, texteErreurEcriture(fichier, *raison),
                             Boutons::Ok);
}

void TForm1::construireGraphes()
{
    mnuEnregistrerMesures->addSeparator();
    mnuGraphes = nomme(new QAction(kTitre, mnuEnregistrerMesures), "mnuGraphes");
    mnuGraphes->setIcon(imageGraphes());
    mnuGraphes->setEnabled(false);
    mnuGraphes->setProperty("contexteAide", 240);
    definirHint(mnuGraphes, kTitre + QStringLiteral("|منحنيات المواضع والسرعات ومواءمتها"));
    mnuEnregistrerMesures->addAction(mnuGraphes);

    bbtnGraphes = nomme(new QToolButton(ToolBar1), "bbtnGraphes");
    bbtnGraphes->setDefaultAction(mnuGraphes);
    bbtnGraphes->setIconSize(QSize(24, 24));
    bbtnGraphes->setAutoRaise(true);
    bbtnGraphes->setProperty("contexteAide", 240);
    definirHint(bbtnGraphes, kTitre + QStringLiteral("|منحنيات المواضع والسرعات ومواءمتها"));
    // Beside the print button, before help.
    QAction *avant = nullptr;
    for (QAction *a : ToolBar1->actions())
        if (ToolBar1->widgetForAction(a) == BitBtn1) avant = a;
    ToolBar1->insertWidget(avant, bbtnGraphes);
    connect(mnuGraphes, &QAction::triggered, this, &TForm1::mnuGraphesClick);
}

void TForm1::mnuGraphesClick()
{
    if (!clipOuvert()) return;
    if (!GrapheBox) GrapheBox = new TGrapheBox(this);
    GrapheBox->show();
    GrapheBox->raise();
    GrapheBox->activateWindow();
}
