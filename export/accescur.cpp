#include "export/accescur.h"

#include "app/Unit1.h"
#include "app/etat.h"
#include "app/plateforme.h"
#include "export/commandes.h"
#include "export/configuration.h"
#include "export/fichiers.h"

#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

TaccescurBox::TaccescurBox(QWidget *parent)
    : TDialogueKinemar(QStringLiteral("accescurBox"),
                       QStringLiteral(" Curvalis تحديد عنوان الوصول إلى"), parent)
{
    auto *g = new QGridLayout(this);
    g->setSizeConstraint(QLayout::SetFixedSize);
    edCurPath = new QLineEdit(this);
    edCurPath->setObjectName(QStringLiteral("edCurPath"));
    edCurPath->setEnabled(false);
    edCurPath->setLayoutDirection(Qt::LeftToRight);
    edCurPath->setMinimumWidth(340);
    btnParcourir = new QPushButton(QStringLiteral("إستعراض"), this);
    btnParcourir->setObjectName(QStringLiteral("btnParcourir"));
    rgCurVersion = new TRadioGroup(
        QStringLiteral("إصدار"),
        {QStringLiteral(" Curvalis Windows"), QStringLiteral(" Curvalis DOS")}, this);
    rgCurVersion->setObjectName(QStringLiteral("rgCurVersion"));
    disposerEnColonnes(rgCurVersion, 2);
    creerBoutons(QStringLiteral("موافق"), QStringLiteral("إلغاء"), false);
    g->addWidget(edCurPath, 0, 0, 1, 2);
    g->addWidget(btnParcourir, 1, 0);
    g->addWidget(rgCurVersion, 2, 0, 1, 2);
    auto *boutons = new QHBoxLayout;
    boutons->addWidget(OKBtn);
    boutons->addWidget(CancelBtn);
    g->addLayout(boutons, 3, 0, 1, 2);
    connect(btnParcourir, &QPushButton::clicked, this, &TaccescurBox::btnParcourirClick);
    connect(rgCurVersion, &TRadioGroup::Click, this, &TaccescurBox::rgCurVersionClick);
}

void TaccescurBox::FormShow()
{
    OKBtn->setEnabled(false);
    rgCurVersion->setItemIndex(-1);
    edCurPath->setText(QDir::currentPath());
    QFile config(cheminConfiguration(repDepart));
    if (fichierExiste(config.fileName()) && config.open(QIODevice::ReadOnly)) {
        QByteArray lignes = config.readLine();
        lignes += config.readLine();
        if (config.error() == QFileDevice::NoError) {
            const ConfigCurvalis c = lireConfiguration(lignes);
            edCurPath->setText(c.programme);
            if (c.version == QLatin1String("win"))
                rgCurVersion->setItemIndex(0);
            else if (c.version == QLatin1String("dos"))
                rgCurVersion->setItemIndex(1);
        }
    }
    majOK();
}

void TaccescurBox::btnParcourirClick()
{
    DialogueFichier d;
    d.titre = QStringLiteral(" Curvalis تحديد عنوان الوصول إلى");
    // Programs for Linux have no extension: every file may be chosen too.
    d.filtre = QStringLiteral("Curvalis (éxécutable)|*.exe;|كل الملفات|*");
    d.nomInitial = edCurPath->text();
    const QString fichier = plateforme().fichierAOuvrir(d);
    if (fichier.isEmpty()) return;
    edCurPath->setText(fichier);
    majOK();
}

void TaccescurBox::rgCurVersionClick()
{
    majOK();
}

void TaccescurBox::majOK()
{
    OKBtn->setEnabled(rgCurVersion->ItemIndex() >= 0 && fichierExiste(edCurPath->text()));
}

void TaccescurBox::OKBtnClick()
{
    if (!fichierExiste(edCurPath->text())) return;
    cheminConfig = cheminConfiguration(repDepart);
    // The main window keeps the program's title: the analysis program's file name is no
    // name for it.
    // Writable by the user alone: a launch trusts no other file.
    if (enregistrerFichier(cheminConfig,
                           texteConfiguration(edCurPath->text(), rgCurVersion->ItemIndex() == 0),
                           0644))
        Form1->CurExec->setEnabled(true);
}
