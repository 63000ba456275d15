#include "help/About.h"

#include <QGuiApplication>
#include <QLabel>
#include <QIcon>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

QIcon iconeProgramme()
{
    // The installed icon's own pictures, so the window, the about box and the menu agree.
    QIcon icone;
    for (int taille : {16, 32, 48, 256})
        icone.addFile(QStringLiteral(":/icone/kinemar-%1.png").arg(taille), QSize(taille, taille));
    return icone;
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
    ProgramIcon->setPixmap(iconeProgramme().pixmap(32, 32));
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
