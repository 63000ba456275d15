#include "analyse/graphes.h"

#include "app/Unit1.h"
#include "app/controles.h"
#include "app/etat.h"
#include "app/plateforme.h"
#include "export/fichiers.h"
#include "measure/Nbreels.h"
#include "measure/TStringGrid.h"
#include "measure/document.h"

#include <QApplication>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QJsonArray>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScatterSeries>
#include <QSpinBox>
#include <QSvgGenerator>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>
#include <map>

namespace
{

template <typename T> T *nomme(T *objet, const char *nom)
{
    objet->setObjectName(QString::fromLatin1(nom));
    return objet;
}

const QString kTitre = QStringLiteral("منحنيات وتحليل الحركة");

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

TGrapheBox::TGrapheBox(TForm1 *form) : QWidget(form), form_(form)
{
    setObjectName(QStringLiteral("GrapheBox"));
    setProperty("contexteAide", 250);
    setWindowTitle(kTitre);
    setLayoutDirection(Qt::RightToLeft);
    auto *page = new QVBoxLayout(this);
    auto *reglages = new QHBoxLayout;
    auto *lblNombre = nomme(new QLabel(QStringLiteral("عدد المنحنيات"), this), "lblNombre");
    sbNombre = nomme(new QSpinBox(this), "sbNombre");
    sbNombre->setRange(1, kGraphesMax);
    auto *lblMasse = nomme(new QLabel(QStringLiteral("الكتلة (kg)"), this), "lblMasse");
    edMasse = nomme(new QDoubleSpinBox(this), "edMasse");
    edMasse->setDecimals(4);
    edMasse->setRange(0, 1e6);
    edMasse->setToolTip(QStringLiteral("تلزم لحساب كمية الحركة والطاقة"));
    auto *lblG = nomme(new QLabel(QStringLiteral("g (m/s²)"), this), "lblG");
    edG = nomme(new QDoubleSpinBox(this), "edG");
    edG->setDecimals(3);
    edG->setRange(0, 100);
    edG->setValue(9.81);
    chkLissage = nomme(new QCheckBox(QStringLiteral("تنعيم المواضع"), this), "chkLissage");
    chkLissage->setToolTip(QStringLiteral(
        "تنعيم سافيتسكي-غولاي للمواضع قبل حساب السرعة والتسارع؛ تبقى النقاط الأصلية بالرمادي"));
    auto *lblFenetre = nomme(new QLabel(QStringLiteral("النافذة"), this), "lblFenetre");
    sbFenetre = nomme(new QSpinBox(this), "sbFenetre");
    sbFenetre->setRange(5, 51);
    sbFenetre->setSingleStep(2);
    sbFenetre->setValue(ParametresLissage().fenetre);
    auto *lblOrdre = nomme(new QLabel(QStringLiteral("الرتبة"), this), "lblOrdre");
    sbOrdre = nomme(new QSpinBox(this), "sbOrdre");
    sbOrdre->setRange(2, 5);
    sbOrdre->setValue(ParametresLissage().ordre);
    for (auto [etiquette, champ] : {std::pair<QLabel *, QWidget *>{lblNombre, sbNombre},
                                    {lblMasse, edMasse},
                                    {lblG, edG}}) {
        etiquette->setBuddy(champ);
        reglages->addWidget(etiquette);
        reglages->addWidget(champ);
    }
    reglages->addStretch(1);
    page->addLayout(reglages);
    // Smoothing on a line of its own: the panel stays narrow enough to leave the table its
    // room beside the picture.
    reglages = new QHBoxLayout;
    reglages->addWidget(chkLissage);
    for (auto [etiquette, champ] : {std::pair<QLabel *, QWidget *>{lblFenetre, sbFenetre},
                                    {lblOrdre, sbOrdre}}) {
        etiquette->setBuddy(champ);
        reglages->addWidget(etiquette);
        reglages->addWidget(champ);
    }
    reglages->addStretch(1);
    page->addLayout(reglages);

    grille_ = new QGridLayout;
    for (int i = 0; i < kGraphesMax; ++i)
        vues[std::size_t(i)] = new VueGraphe(this, i);
    page->addLayout(grille_, 1);
    VueGraphe *v = vues[0];
    cbObjet = v->cbObjet;
    cbGraphe = v->cbGraphe;
    cbModele = v->cbModele;
    ChartView1 = v->ChartView1;
    Chart1 = v->Chart1;
    seriePoints = v->seriePoints;
    serieModele = v->serieModele;
    serieCurseur = v->serieCurseur;
    seriePointCourant = v->seriePointCourant;
    axeX = v->axeX;
    axeY = v->axeY;
    lblNote = v->lblNote;
    lblModele = v->lblModele;
    // Other graphs open on other views of the motion.
    const int premiers[kGraphesMax] = {grX, grVy, 8 /* a(t) */, grTrajectoire};
    for (int i = 1; i < kGraphesMax; ++i)
        vues[std::size_t(i)]->cbGraphe->setCurrentIndex(premiers[i]);

    auto *boutons = new QHBoxLayout;
    btnEnregistrerGraphe = nomme(new QPushButton(QStringLiteral("حفظ المنحنى (PNG, SVG)"), this),
                                 "btnEnregistrerGraphe");
    btnExporterCSV =
        nomme(new QPushButton(QStringLiteral("تصدير الجدول (CSV)"), this), "btnExporterCSV");
    btnCopierParametres = nomme(new QPushButton(QStringLiteral("نسخ وسائط النمذجة"), this),
                                "btnCopierParametres");
    for (QPushButton *b : {btnEnregistrerGraphe, btnExporterCSV, btnCopierParametres})
        boutons->addWidget(b);
    boutons->addStretch(1);
    page->addLayout(boutons);

    const auto reglagesChanges = [this] {
        invaliderGrandeurs();
        actualiser();
        emit etatModifie();
    };
    connect(edMasse, &QDoubleSpinBox::valueChanged, this, reglagesChanges);
    connect(edG, &QDoubleSpinBox::valueChanged, this, reglagesChanges);
    connect(chkLissage, &QCheckBox::toggled, this, reglagesChanges);
    connect(sbFenetre, &QSpinBox::valueChanged, this, reglagesChanges);
    connect(sbOrdre, &QSpinBox::valueChanged, this, reglagesChanges);
    connect(sbNombre, &QSpinBox::valueChanged, this, [this] {
        disposer();
        emit etatModifie();
    });
    connect(btnEnregistrerGraphe, &QPushButton::clicked, this,
            &TGrapheBox::btnEnregistrerGrapheClick);
    connect(btnExporterCSV, &QPushButton::clicked, this, &TGrapheBox::btnExporterCSVClick);
    connect(btnCopierParametres, &QPushButton::clicked, this,
            &TGrapheBox::btnCopierParametresClick);
    connect(form_, &TForm1::tableauModifie, this, &TGrapheBox::tableauModifie);
    disposer();
}

// Escape closes the panel when the focus is in it, as it closes the program's dialogs. It
// claims the key first: the main window's own Escape (clearing a row) must not also answer.
bool TGrapheBox::event(QEvent *e)
{
    if (e->type() == QEvent::ShortcutOverride) {
        const auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Escape && k->modifiers() == Qt::NoModifier) {
            e->accept();
            return true;
        }
    }
    return QWidget::event(e);
}

void TGrapheBox::keyPressEvent(QKeyEvent *e)
{
    if (e->key() != Qt::Key_Escape || e->modifiers() != Qt::NoModifier)
        return QWidget::keyPressEvent(e);
    if (auto *dock = qobject_cast<QDockWidget *>(parentWidget()))
        dock->close();
    else
        close();
}

void TGrapheBox::disposer()
{
    // One or two graphs one above the other, which keeps the panel narrow beside the picture;
    // three or four in two columns.
    const int n = sbNombre->value();
    const int colonnes = n <= 2 ? 1 : 2;
    for (int i = 0; i < kGraphesMax; ++i) {
        VueGraphe *v = vues[std::size_t(i)];
        grille_->removeWidget(v);
        grille_->addWidget(v, i / colonnes, i % colonnes);
        v->setVisible(i < n);
    }
    // The rows in use share the height; an empty one would take its share.
    const int lignes = (n + colonnes - 1) / colonnes;
    for (int i = 0; i < kGraphesMax; ++i)
        grille_->setRowStretch(i, i < lignes ? 1 : 0);
    for (int i = 0; i < 2; ++i)
        grille_->setColumnStretch(i, i < colonnes ? 1 : 0);
    actualiser();
}

void TGrapheBox::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (aRelire_) relireTableau();
    actualiser();
}

bool TGrapheBox::lissageActif() const
{
    return chkLissage->isChecked();
}

ParametresGrandeurs TGrapheBox::parametres(bool lissees) const
{
    ParametresGrandeurs p;
    p.masse = edMasse->value();
    p.g = edG->value();
    if (lissees) p.lissage = ParametresLissage{sbFenetre->value(), sbOrdre->value()};
    p.angles = anglesParLigne(form_->document->mesure().angles);
    return p;
}

void TGrapheBox::invaliderGrandeurs()
{
    grandeurs_.assign(objets_.size(), {});
    grandeursAngles_.reset();
}

const Grandeurs &TGrapheBox::grandeursAngles()
{
    if (!grandeursAngles_) {
        const int T = form_->document->reglages().origineTemps;
        grandeursAngles_ = calculerGrandeurs(
            echantillonsAngles(form_->document->mesure().angles, T,
                               [T](int image) { return double(ecartTemps(image, T - 1)); }),
            parametres(false));
    }
    return *grandeursAngles_;
}

const Grandeurs &TGrapheBox::grandeurs(int objet, bool lissees)
{
    if (grandeurs_.size() != objets_.size()) invaliderGrandeurs();
    auto &g = grandeurs_[std::size_t(objet)][lissees ? 1 : 0];
    if (!g) g = calculerGrandeurs(objets_[std::size_t(objet)].points(), parametres(lissees));
    return *g;
}

std::optional<Echantillon> TGrapheBox::echantillon(int image,
                                                   const std::optional<QPointF> &pixel) const
{
    const ReglagesMesure &g = form_->document->reglages();
    return echantillonDePosition(image + 1, double(ecartTemps(image, g.origineTemps - 1)), g,
                                 pixel);
}

void TGrapheBox::lireLigne(int ligne, int point)
{
    SerieObjet &s = objets_[std::size_t(point - 1)];
    const auto e = echantillon(ligne - 1, form_->document->position(point - 1, ligne - 1));
    if (e)
        s.placer(*e);
    else
        s.retirer(ligne);
    if (std::size_t(point - 1) < grandeurs_.size()) grandeurs_[std::size_t(point - 1)] = {};
}

void TGrapheBox::relireTableau()
{
    aRelire_ = false;
    const TStringGrid *g = form_->StringGrid0;
    const int n = std::max(1, (g->ColCount() - 1) / 2);
    // Rows of the clip only: the grids keep their shape between clips.
    const int N = std::min(nbImages, g->RowCount() - 1);
    objets_.assign(std::size_t(n), SerieObjet());
    invaliderGrandeurs();
    const DocumentMesure &d = *form_->document;
    for (int p = 1; p <= std::min(n, kPointsMesure); ++p) {
        const auto &carte = d.mesure().positions[p - 1];
        for (auto i = carte.cbegin(); i != carte.cend() && i.key() < N; ++i)
            if (const auto e = echantillon(i.key(), i.value()))
                objets_[std::size_t(p - 1)].placer(*e);
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
    grandeursAngles_.reset();
    // A graph of another object stays as it is.
    for (VueGraphe *v : vues)
        if (!v->isHidden() && (point <= 0 || point == v->objet() + 1)) v->actualiser();
}

void TGrapheBox::positionProvisoire(int point, int image, const QPointF &pixel)
{
    if (!isVisible() || aRelire_ || point < 1 || point > int(objets_.size())) return;
    if (const auto e = echantillon(image, DocumentMesure::arrondi(pixel)))
        objets_[std::size_t(point - 1)].placer(*e);
    invaliderGrandeurs();
    const qint64 maintenant = QDateTime::currentMSecsSinceEpoch();
    if (maintenant - dernierDessinProvisoire_ < 200) return;
    dernierDessinProvisoire_ = maintenant;
    for (VueGraphe *v : vues)
        if (!v->isHidden() && v->objet() + 1 == point) v->actualiser();
}

void TGrapheBox::imageMontree(int image)
{
    for (VueGraphe *v : vues)
        v->imageMontree(image);
}

void TGrapheBox::actualiser()
{
    for (VueGraphe *v : vues)
        v->actualiser();
}

void TGrapheBox::pointClique(const QPointF &point)
{
    vues[0]->pointClique(point);
}

const std::vector<int> &TGrapheBox::lignesPoints() const
{
    return vues[0]->lignesPoints();
}

const Ajustement &TGrapheBox::ajustement() const
{
    return vues[0]->ajustement();
}

// The graphs shown, in the places they have on screen.
namespace
{
std::vector<std::pair<const VueGraphe *, QPoint>> placesGraphes(const TGrapheBox *b)
{
    std::vector<std::pair<const VueGraphe *, QPoint>> places;
    QPoint origine(INT_MAX, INT_MAX);
    for (const VueGraphe *v : b->vues)
        if (!v->isHidden()) {
            const QPoint p = v->ChartView1->mapTo(b, QPoint(0, 0));
            places.emplace_back(v, p);
            origine.setX(std::min(origine.x(), p.x()));
            origine.setY(std::min(origine.y(), p.y()));
        }
    for (auto &[v, p] : places)
        p -= origine;
    return places;
}
} // namespace

QByteArray TGrapheBox::octetsGraphe(bool svg) const
{
    const auto places = placesGraphes(this);
    QSize taille(0, 0);
    for (const auto &[v, p] : places)
        taille = taille.expandedTo(QSize(p.x(), p.y()) + v->tailleDessin());
    if (taille.isEmpty()) return {};
    const auto dessiner = [&places](QPainter &peintre) {
        for (const auto &[v, p] : places) {
            peintre.save();
            peintre.translate(p);
            v->dessiner(peintre);
            peintre.restore();
        }
    };
    QByteArray octets;
    QBuffer sortie(&octets);
    sortie.open(QIODevice::WriteOnly);
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
        peintre.fillRect(QRect(QPoint(0, 0), taille), Qt::white);
        dessiner(peintre);
        if (!peintre.end()) return {};
    } else {
        QImage image(taille * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(devicePixelRatioF());
        image.fill(Qt::white);
        QPainter peintre(&image);
        peintre.setRenderHint(QPainter::Antialiasing);
        dessiner(peintre);
        peintre.end();
        if (!image.save(&sortie, "PNG")) return {};
    }
    return octets;
}

// The fits of the graphs shown, one table after another.
namespace
{
std::vector<const VueGraphe *> graphesAjustes(const TGrapheBox *b)
{
    std::vector<const VueGraphe *> r;
    for (const VueGraphe *v : b->vues)
        if (!v->isHidden() && v->resultat().converge) r.push_back(v);
    return r;
}
} // namespace

void TGrapheBox::btnCopierParametresClick()
{
    QStringList blocs;
    for (const VueGraphe *v : graphesAjustes(this))
        blocs << textePressePapiersAjustement(v->resultat(), v->equationAffichee(),
                                              separateurDecimal());
    if (blocs.isEmpty()) {
        plateforme().message(TypeMessage::Information,
                             QStringLiteral("لا توجد نمذجة معروضة لنسخ وسائطها."), Boutons::Ok);
        return;
    }
    QGuiApplication::clipboard()->setText(blocs.join(QStringLiteral("\r\n\r\n")));
}

QJsonObject TGrapheBox::etat() const
{
    QJsonArray graphes;
    for (int i = 0; i < sbNombre->value(); ++i)
        graphes.append(vues[std::size_t(i)]->etat());
    QJsonObject o{{QStringLiteral("nombre"), sbNombre->value()},
                  {QStringLiteral("masse"), edMasse->value()},
                  {QStringLiteral("g"), edG->value()},
                  {QStringLiteral("graphes"), graphes}};
    if (chkLissage->isChecked())
        o.insert(QStringLiteral("lissage"),
                 QJsonObject{{QStringLiteral("fenetre"), sbFenetre->value()},
                             {QStringLiteral("ordre"), sbOrdre->value()}});
    return o;
}

QJsonObject TGrapheBox::etatActuel()
{
    if (aRelire_) relireTableau();
    for (int i = 0; i < sbNombre->value(); ++i)
        vues[std::size_t(i)]->actualiser(true);
    return etat();
}

void TGrapheBox::retablirEtat(const QJsonObject &o)
{
    if (o.isEmpty()) return;
    {
        const QSignalBlocker b1(sbNombre), b2(edMasse), b3(edG), b4(chkLissage), b5(sbFenetre),
            b6(sbOrdre);
        sbNombre->setValue(o.value(QLatin1String("nombre")).toInt(sbNombre->value()));
        edMasse->setValue(o.value(QLatin1String("masse")).toDouble(edMasse->value()));
        edG->setValue(o.value(QLatin1String("g")).toDouble(edG->value()));
        const QJsonObject l = o.value(QLatin1String("lissage")).toObject();
        chkLissage->setChecked(!l.isEmpty());
        if (!l.isEmpty()) {
            sbFenetre->setValue(l.value(QLatin1String("fenetre")).toInt(sbFenetre->value()));
            sbOrdre->setValue(l.value(QLatin1String("ordre")).toInt(sbOrdre->value()));
        }
    }
    const QJsonArray graphes = o.value(QLatin1String("graphes")).toArray();
    for (qsizetype i = 0; i < std::min<qsizetype>(graphes.size(), kGraphesMax); ++i)
        vues[std::size_t(i)]->retablirEtat(graphes[i].toObject());
    invaliderGrandeurs();
    disposer();
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
    // Under the table, after a blank line, a block per fit shown: its equation, then each
    // parameter with its uncertainty, then R².
    // The protractor's angles of the frames from the time origin on, as a last column.
    std::map<int, std::pair<double, double>> angles;
    const int T = form_->document->reglages().origineTemps;
    const auto &parImage = form_->document->mesure().angles;
    for (auto i = parImage.cbegin(); i != parImage.cend(); ++i)
        if (i.key() + 1 >= T && i.key() < nbImages)
            angles[i.key() + 1] = {double(ecartTemps(i.key(), T - 1)), i.value()};
    QByteArray octets = tableauCSV(objets_, angles);
    for (const VueGraphe *v : graphesAjustes(this))
        octets += '\n' + blocCSV(v->resultat(), v->equationAffichee());
    if (const auto raison = ecrireFichier(fichier, octets))
        plateforme().message(TypeMessage::Erreur, texteErreurEcriture(fichier, *raison),
                             Boutons::Ok);
}

void TForm1::construireGraphes()
{
    mnuEnregistrerMesures->addSeparator();
    mnuGraphes = nomme(new QAction(kTitre, mnuEnregistrerMesures), "mnuGraphes");
    mnuGraphes->setIcon(imageGraphes());
    mnuGraphes->setEnabled(false);
    mnuGraphes->setProperty("contexteAide", 250);
    mnuGraphes->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    definirHint(mnuGraphes, kTitre + QStringLiteral("|منحنيات المواضع والسرعات ومواءمتها"));
    mnuEnregistrerMesures->addAction(mnuGraphes);

    bbtnGraphes = nomme(new QToolButton(ToolBar1), "bbtnGraphes");
    bbtnGraphes->setDefaultAction(mnuGraphes);
    bbtnGraphes->setIconSize(QSize(24, 24));
    bbtnGraphes->setAutoRaise(true);
    bbtnGraphes->setProperty("contexteAide", 250);
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
    if (!GrapheBox) {
        // A dock beside the picture; its title bar's button lets it float as a window.
        dockGraphes = nomme(new QDockWidget(kTitre, this), "dockGraphes");
        dockGraphes->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea |
                                     Qt::BottomDockWidgetArea);
        GrapheBox = new TGrapheBox(this);
        dockGraphes->setWidget(GrapheBox);
        addDockWidget(Qt::LeftDockWidgetArea, dockGraphes);
        resizeDocks({dockGraphes}, {std::max(440, width() / 3)}, Qt::Horizontal);
        GrapheBox->retablirEtat(document->mesure().graphes);
        connect(GrapheBox, &TGrapheBox::etatModifie, this,
                [this] { document->changerGraphes(GrapheBox->etat()); });
        // A session opened brings its graphs back.
        connect(document, &DocumentMesure::remplace, GrapheBox,
                [this] { GrapheBox->retablirEtat(document->mesure().graphes); });
    }
    // With no main window on screen (scripted use), the panel shows as a window of its own.
    if (!isVisible()) dockGraphes->setFloating(true);
    dockGraphes->show();
    dockGraphes->raise();
    if (dockGraphes->isFloating()) dockGraphes->activateWindow();
    // From the keyboard: the panel's first control takes the focus.
    GrapheBox->cbObjet->setFocus(Qt::ShortcutFocusReason);
}
