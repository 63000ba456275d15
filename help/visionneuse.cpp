#include "help/visionneuse.h"

#include "app/plateforme.h"
#include "help/indications.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibraryInfo>
#include <QPointer>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>

namespace
{

QString ancre(int contexte)
{
    return QStringLiteral("ctx") + QString::number(contexte);
}

QString texteFichierAbsent(const QString &fichierDemande)
{
    QString lieux;
    for (const QString &d : dossiersAide(fichierDemande))
        lieux += QStringLiteral("<li dir=\"ltr\">") + d.toHtmlEscaped() + QStringLiteral("</li>");
    return QStringLiteral("<body dir=\"rtl\"><h2>ملف المساعدة غير موجود</h2>"
                          "<p>لم يعثر البرنامج على الملف <b>%1</b> في المجلدات التالية:</p>"
                          "<ul>%2</ul>"
                          "<p>أعد تثبيت البرنامج أو ضع الملف في أحد هذه المجلدات.</p></body>")
        .arg(kNomFichierAide, lieux);
}

} // namespace

TVisionneuseAide::TVisionneuseAide(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("visionneuseAide"));
    setWindowTitle(QStringLiteral("Kinemar  مساعدة"));
    setLayoutDirection(Qt::RightToLeft);
    // Closing the main window ends the program even while the help stays open.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(640, 560);

    auto *colonne = new QVBoxLayout(this);
    auto *barre = new QHBoxLayout;
    auto bouton = [this, barre](const char *nom, const QString &texte) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(nom));
        b->setText(texte);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        barre->addWidget(b);
        return b;
    };
    btnSommaire = bouton("btnSommaire", QStringLiteral("المحتويات"));
    btnPrecedent = bouton("btnPrecedent", QStringLiteral("رجوع"));
    btnSuivant = bouton("btnSuivant", QStringLiteral("تقدم"));
    barre->addStretch(1);
    colonne->addLayout(barre);

    lblNote = new QLabel(this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    lblNote->setStyleSheet(QStringLiteral("background: #ffffc0; padding: 4px;"));
    lblNote->hide();
    colonne->addWidget(lblNote);

    texte = new QTextBrowser(this);
    texte->setObjectName(QStringLiteral("texte"));
    texte->setOpenExternalLinks(true);
    colonne->addWidget(texte, 1);

    btnPrecedent->setEnabled(false);
    btnSuivant->setEnabled(false);
    connect(btnPrecedent, &QToolButton::clicked, texte, &QTextBrowser::backward);
    connect(btnSuivant, &QToolButton::clicked, texte, &QTextBrowser::forward);
    connect(texte, &QTextBrowser::backwardAvailable, btnPrecedent, &QToolButton::setEnabled);
    connect(texte, &QTextBrowser::forwardAvailable, btnSuivant, &QToolButton::setEnabled);
    connect(btnSommaire, &QToolButton::clicked, this, [this] {
        if (!fichier_.isEmpty()) texte->scrollToAnchor(ancre(1));
    });
}

bool TVisionneuseAide::aSection(int contexte) const
{
    if (fichier_.isEmpty()) return false;
    const QString nom = ancre(contexte);
    for (QTextBlock b = texte->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(nom)) return true;
    return false;
}

void TVisionneuseAide::ouvrir(const QString &fichierDemande, int contexte)
{
    const QString trouve = chercherFichierAide(fichierDemande, dossiersAide(fichierDemande));
    if (trouve.isEmpty()) {
        fichier_.clear();
        lblNote->hide();
        texte->clearHistory();
        texte->setHtml(texteFichierAbsent(fichierDemande));
    } else {
        if (trouve != fichier_) {
            fichier_ = trouve;
            texte->clearHistory();
            texte->setSource(QUrl::fromLocalFile(trouve), QTextDocument::HtmlResource);
        }
        if (aSection(contexte)) {
            lblNote->hide();
        } else {
            lblNote->setText(
                QStringLiteral("لا يحتوي ملف المساعدة على موضوع رقم %1؛ هذه المحتويات.")
                    .arg(contexte));
            lblNote->show();
            contexte = 1;
        }
    }
    // From inside a modal dialog, the help must take the keyboard too, or it could not be read.
    QWidget *modal = QApplication::activeModalWidget();
    const Qt::WindowModality voulue = modal && modal != this ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != voulue) {
        hide();
        setWindowModality(voulue);
    }
    show();
    raise();
    activateWindow();
    if (!fichier_.isEmpty()) texte->scrollToAnchor(ancre(contexte));
}

TVisionneuseAide *visionneuseAide()
{
    static QPointer<TVisionneuseAide> v;
    if (!v) {
        v = new TVisionneuseAide;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, v, [] { delete v.data(); });
    }
    return v;
}

void installerVisionneuseAide()
{
    definirAfficheurAide(
        [](const QString &fichier, int contexte) { visionneuseAide()->ouvrir(fichier, contexte); });
}

bool chargerTraductionQt()
{
    static QPointer<QTranslator> chargee;
    if (chargee) return true;
    auto *t = new QTranslator(qApp);
    if (!t->load(QStringLiteral("qtbase_ar"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    chargee = t;
    return true;
}
