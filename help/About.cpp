#include "help/About.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

QPixmap iconeProgramme(int taille)
{
    QPixmap image(taille, taille);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(taille / 32.0, taille / 32.0);
    // The frame, with the perforations of a film strip.
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(40, 40, 40));
    p.drawRoundedRect(QRectF(1, 3, 30, 26), 2, 2);
    p.setBrush(QColor(235, 245, 255));
    p.drawRect(QRectF(4, 7, 24, 18));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int i = 0; i < 6; ++i) {
        p.drawRect(QRectF(3 + 4.5 * i, 4, 2, 2));
        p.drawRect(QRectF(3 + 4.5 * i, 26, 2, 2));
    }
    // A thrown ball: its pointed positions along a parabola, and the two axes.
    p.setPen(QPen(QColor(0, 130, 0), 1));
    p.drawLine(QPointF(6, 23), QPointF(26, 23));
    p.drawLine(QPointF(6, 23), QPointF(6, 9));
    p.setPen(QPen(Qt::red, 1.2));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        const qreal x = 8 + 3.5 * i, t = (x - 17) / 9.0;
        const qreal y = 11 + 10 * t * t;
        p.drawLine(QPointF(x - 1.5, y), QPointF(x + 1.5, y));
        p.drawLine(QPointF(x, y - 1.5), QPointF(x, y + 1.5));
    }
    return image;
}

TAboutBox::TAboutBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("AboutBox"),
                       QString(55, QLatin1Char(' ')) + QStringLiteral("..... حول"), parent)
{
    // Fixed border, no title-bar buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    auto *colonne = new QVBoxLayout(this);
    colonne->setSizeConstraint(QLayout::SetFixedSize);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    auto *panneau = new QVBoxLayout(Panel1);
    panneau->setContentsMargins(16, 12, 16, 12);

    auto *entete = new QHBoxLayout;
    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(iconeProgramme(32));
    ProgramIcon->setFixedSize(32, 32);
    entete->addWidget(ProgramIcon, 0, Qt::AlignTop);

    auto titres = new QVBoxLayout;
    const QColor vert(0, 128, 0);
    auto etiquette = [this, vert](const char *nom, qreal echelle) {
        auto *l = new QLabel(Panel1);
        l->setObjectName(QString::fromLatin1(nom));
        QFont f = l->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * echelle);
        l->setFont(f);
        QPalette couleurs = l->palette();
        couleurs.setColor(QPalette::WindowText, vert);
        l->setPalette(couleurs);
        return l;
    };
    lblTitre = etiquette("lblTitre", 1.6);
    lblDate = etiquette("lblDate", 0.85);
    lblTitre->setLayoutDirection(Qt::LeftToRight);
    titres->addWidget(lblTitre);
    titres->addWidget(lblDate);
    entete->addLayout(titres);
    entete->addStretch(1);
    panneau->addLayout(entete);

    const QString credits[] = {
        QStringLiteral("برنامج لقياس الحركة على مقاطع الفيديو، صورة بصورة"),
        QStringLiteral("لأساتذة الفيزياء و تلاميذهم"),
        QStringLiteral("السلم و المبدأ، جدول القياسات، التصدير و الطباعة بالسلم الحقيقي"),
        QStringLiteral("مبني بالمكتبتين الحرتين Qt و FFmpeg"),
    };
    panneau->addSpacing(8);
    for (const QString &c : credits) {
        auto *l = new QLabel(c, Panel1);
        l->setObjectName(QStringLiteral("lblCredit%1").arg(lblCredits.size() + 1));
        panneau->addWidget(l);
        lblCredits << l;
    }
    colonne->addWidget(Panel1);

    OKButton = new QPushButton(QStringLiteral("موافق"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
    colonne->addWidget(OKButton, 0, Qt::AlignHCenter);
}

void TAboutBox::FormShow()
{
    lblTitre->setText(QStringLiteral("Kinemar v.2.5"));
    lblDate->setText(QStringLiteral("06/01/2002"));
}

void TAboutBox::OKButtonClick()
{
    accept();
}

void TAboutBox::showEvent(QShowEvent *e)
{
    TDialogueKinemar::showEvent(e);
    // Centred on the screen, not on the main window.
    if (QScreen *ecran = screen() ? screen() : QGuiApplication::primaryScreen())
        move(ecran->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}
