#include "export/sauveGraphicPP.h"

#include "app/Unit1.h"
#include "app/plateforme.h"
#include "export/commandes.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

QColor couleurFond = Qt::white;

TEchantillonCouleur::TEchantillonCouleur(QWidget *parent) : QFrame(parent)
{
    setMinimumSize(65, 25);
}

void TEchantillonCouleur::setPlein(bool p)
{
    plein_ = p;
    update();
}

void TEchantillonCouleur::setCouleur(const QColor &c)
{
    couleur_ = c;
    update();
}

void TEchantillonCouleur::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(plein_ ? QBrush(couleur_) : QBrush(Qt::NoBrush));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

TSauveGraphicPPBox::TSauveGraphicPPBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("SauveGraphicPPBox"), QStringLiteral("المنحنى >>>> الحافظة"),
                       parent)
{
    auto *g = new QGridLayout(this);
    Label1 = new QLabel(QStringLiteral("أنت تطلب حفظ المنحنى في الحافظة  "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(QStringLiteral("font-weight: bold;"));
    rgIncExc = new TRadioGroup(
        QString(), {QStringLiteral("إرفاق الصورة"), QStringLiteral("عدم إرفاق الصورة")}, this);
    rgIncExc->setObjectName(QStringLiteral("rgIncExc"));
    disposerEnColonnes(rgIncExc, 2);
    shpCouleurFond = new TEchantillonCouleur(this);
    shpCouleurFond->setObjectName(QStringLiteral("shpCouleurFond"));
    btnCouleurFond = new QPushButton(QStringLiteral("لون الخلفية"), this);
    btnCouleurFond->setObjectName(QStringLiteral("btnCouleurFond"));
    creerBoutons(QStringLiteral("موافق"), QStringLiteral("إلغاء"), false);
    definirHint(OKBtn, QStringLiteral("نسخ فوري إلى الحافظة"));
    g->addWidget(Label1, 0, 0, 1, 2);
    g->addWidget(rgIncExc, 1, 0, 1, 2);
    g->addWidget(btnCouleurFond, 2, 0);
    g->addWidget(shpCouleurFond, 2, 1);
    auto *boutons = new QHBoxLayout;
    boutons->addWidget(OKBtn);
    boutons->addWidget(CancelBtn);
    g->addLayout(boutons, 3, 0, 1, 2);
    g->setRowStretch(4, 1);
    connect(rgIncExc, &TRadioGroup::Click, this, &TSauveGraphicPPBox::rgIncExcClick);
    connect(btnCouleurFond, &QPushButton::clicked, this, &TSauveGraphicPPBox::btnCouleurFondClick);
    rgIncExc->setItemIndex(1);
}

void TSauveGraphicPPBox::FormShow()
{
    couleurFond = shpCouleurFond->couleur();
}

void TSauveGraphicPPBox::rgIncExcClick()
{
    const bool sansImage = rgIncExc->ItemIndex() == 1;
    shpCouleurFond->setPlein(sansImage);
    btnCouleurFond->setEnabled(sansImage);
}

void TSauveGraphicPPBox::btnCouleurFondClick()
{
    if (const auto c = plateforme().couleur(couleurFond, false)) {
        couleurFond = *c;
        shpCouleurFond->setCouleur(*c);
    }
}

void TSauveGraphicPPBox::OKBtnClick()
{
    QImage image;
    if (rgIncExc->ItemIndex() == 0) {
        hide();
        plateforme().patienter(100);
        // Composed from the frame and the markers drawn over it, never read back from the
        // screen: a window or a tooltip over the picture does not end up in the copy.
        image = Form1->PaintBox1->capture();
    } else {
        image = QImage(Form1->PaintBox1->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        image.fill(couleurFond);
        Form1->Drawpoints(image, couleurFond);
    }
    QGuiApplication::clipboard()->setImage(image);
}
