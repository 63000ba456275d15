// Help commands of the main window, the hint display and context help.
#include "help/aide.h"

#include "app/Unit1.h"
#include "app/plateforme.h"
#include "help/About.h"
#include "help/indications.h"

#include <QAction>
#include <QFileDialog>
#include <QHash>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTabWidget>
#include <QToolTip>

namespace
{

bool bulles = false;
const int kHauteurBarreEtat = 19;

// Bubbles come 100 ms after the pointer stops on a control (Qt waits 700 ms by default).
class StyleBulles : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *retour) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay) return 100;
        return QProxyStyle::styleHint(hint, option, widget, retour);
    }
};

QString texteBulle(QString texte)
{
    // Hints built for the other platform break their lines with CR alone.
    texte.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    texte.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return texte;
}

// Watches the whole application: every change of the current hint (Qt's status tips, sent
// when the pointer enters a control or a menu item is highlighted), every bubble, and F1.
class FiltreAide : public QObject
{
public:
    explicit FiltreAide(TForm1 *fenetre) : QObject(fenetre), fenetre_(fenetre) {}

    bool eventFilter(QObject *objet, QEvent *evenement) override
    {
        switch (evenement->type()) {
        case QEvent::StatusTip:
            fenetre_->DisplayHint(static_cast<QStatusTipEvent *>(evenement)->tip());
            return true;
        case QEvent::ToolTip:
            return bulle(objet, static_cast<QHelpEvent *>(evenement));
        case QEvent::KeyPress: {
            auto *touche = static_cast<QKeyEvent *>(evenement);
            if (touche->key() != Qt::Key_F1 || touche->modifiers() != Qt::NoModifier ||
                !objet->isWidgetType())
                return false;
            fenetre_->ouvrirAide(contexteTouche(objet));
            return true;
        }
        default:
            return false;
        }
    }

private:
    static bool bulle(QObject *objet, QHelpEvent *e)
    {
        auto *w = qobject_cast<QWidget *>(objet);
        if (!w || qobject_cast<QMenu *>(w)) return false; // menu items carry no bubbles
        if (!bulles) {
            QToolTip::hideText();
            return true;
        }
        if (w->toolTip().isEmpty()) return false; // Qt offers the event to the parent next
        QToolTip::showText(e->globalPos(), texteBulle(w->toolTip()), w, QRect(), 4000);
        return true;
    }

    // The highlighted menu item while a menu has the keyboard, else the focused control.
    static int contexteTouche(QObject *objet)
    {
        if (auto *menu = qobject_cast<QMenu *>(objet))
            return contexteAide(menu->activeAction() ? static_cast<QObject *>(menu->activeAction())
                                                     : menu);
        if (auto *barre = qobject_cast<QMenuBar *>(objet))
            if (barre->activeAction()) return contexteAide(barre->activeAction());
        return contexteAide(objet);
    }

    TForm1 *fenetre_;
};

// Hints of the main window's controls and menu items whose Part gives none.
const QHash<QString, QString> &hintsParDefaut()
{
    static const QHash<QString, QString> h = {
        {"bbtnCopierMesuresPP", "نسخ الجدول|نسخ جدول القياسات إلى الحافظة"},
        {"bbtnCopierGraphiquePP", "نسخ المنحنى|نسخ مسار النقاط إلى الحافظة كصورة"},
        {"bbtnEnregistrerMesures", "حفظ القياسات|حفظ جدول القياسات في ملف"},
        {"bbtnQuitter", "خروج|مغادرة البرنامج"},
        {"lblNomAvi", "مقطع الفيديو المفتوح|عنوان ملف مقطع الفيديو المفتوح"},
        {"PageControl1", "الصفحات|قياسات، إعدادات (السلم و المبدأ) أو خصائص مقطع الفيديو"},
        {"StringGrid1", "جدول القياسات|الزمن بالثانية ثم x و y بالمتر لكل نقطة"},
        {"lblNoImage2", "رقم الصورة الحالية|رقم الصورة المعروضة / عدد صور المقطع"},
        {"rbEtalonHori", "السلم الأفقي|تحديد السلم الأفقي بنقطتين و المسافة الأفقية بينهما"},
        {"rbEtalonVert", "السلم الشاقولي|تحديد السلم الشاقولي بنقطتين و المسافة الشاقولية بينهما"},
        {"rbEtalonSimu", "السلمان متماثلان|تحديد سلم واحد للإتجاهين بنقطتين و المسافة بينهما"},
        {"chkBoxPtH1", "النقطة الأولى|نقرة على الصورة تضع النقطة الأولى"},
        {"chkBoxPtV1", "النقطة الأولى|نقرة على الصورة تضع النقطة الأولى"},
        {"chkBoxPt1", "النقطة الأولى|نقرة على الصورة تضع النقطة الأولى"},
        {"chkBoxPtH2", "النقطة الثانية|نقرة على الصورة تضع النقطة الثانية"},
        {"chkBoxPtV2", "النقطة الثانية|نقرة على الصورة تضع النقطة الثانية"},
        {"chkBoxPt2", "النقطة الثانية|نقرة على الصورة تضع النقطة الثانية"},
        {"edSH", "المسافة بالمتر|المسافة الأفقية الحقيقية بين النقطتين بالمتر"},
        {"edSV", "المسافة بالمتر|المسافة الشاقولية الحقيقية بين النقطتين بالمتر"},
        {"edSi", "المسافة بالمتر|المسافة الحقيقية بين النقطتين بالمتر"},
        {"mnuFichiers", "|فتح مقطع فيديو، حفظ القياسات، طباعتها و الخروج"},
        {"mnuChargerAvi", "|فتح مقطع فيديو (ملف بصيغة avi)"},
        {"mnuEnregistrerMesuresAction", "|نسخ القياسات، حفظها في ملف أو طباعتها"},
        {"mnuCopierPPAction", "|نسخ الجدول أو المنحنى إلى الحافظة"},
        {"mnuTableauPP", "|نسخ جدول القياسات إلى الحافظة"},
        {"mnuGraphiquePP", "|نسخ مسار النقاط إلى الحافظة كصورة"},
        {"mnuEnregFicAction", "|حفظ القياسات في ملف"},
        {"mnuAuFormatCW3", "|Curvalis Windows حفظ القياسات في ملف لبرنامج"},
        {"mnuAuFormatCCC", "|Curvalis DOS حفظ القياسات في ملف لبرنامج"},
        {"mnuAuFormatTxt", "|حفظ القياسات في ملف نصي"},
        {"mnuImprimer", "|طباعة جملة النقاط و المحاور"},
        {"AccsCurvalis1Action", "|Curvalis برنامج تحليل المعطيات"},
        {"mnuCurPath", "|Curvalis تحديد مكان و إصدار برنامج"},
        {"mnuCurExec", "Curvalis تشغيل"},
        {"mnuQuitter", "|مغادرة البرنامج"},
        {"mnuClip", "|حجم صورة مقطع الفيديو"},
        {"mnuIma100", "|عرض الصورة بحجمها الحقيقي"},
        {"mnuImaAdapter", "|أكبر حجم للصورة داخل المساحة المتاحة"},
        {"mnuImaAutre", "|تغيير حجم الصورة بـ % من الحجم الحقيقي"},
        {"mnuPointages", "|مظهر المؤشر و النقاط و التنقيط التلقائي"},
        {"mnuFormePointeurAction", "|تغيير شكل المؤشر"},
        {"mnuGrandeCible", "|تغيير شكل المؤشر"},
        {"mnuPetiteCible", "|تغيير شكل المؤشر"},
        {"mnuCroix", "|تغيير شكل المؤشر"},
        {"mnuCouleurPointeurAction", "|تغيير لون المؤشر"},
        {"mnuCouleurNoir", "|تغيير لون المؤشر"},
        {"mnuCouleurBlanc", "|تغيير لون المؤشر"},
        {"mnuTaillePointsAction", "|تغيير حجم النقاط"},
        {"mnuTaille1", "|تغيير حجم النقاط"},
        {"mnuTaille2", "|تغيير حجم النقاط"},
        {"mnuTaille3", "|تغيير حجم النقاط"},
        {"mnuTaile4", "|تغيير حجم النقاط"},
        {"mnuTaille5", "|تغيير حجم النقاط"},
        {"mnuAutomatismesAction", "|الإنتقال التلقائي للنقطة أو للصورة الموالية"},
        {"mnuConfigurationsrapidesAction", "|عدد النقاط و ألوانها في نقرة واحدة"},
        {"mnuFondclairAction", "|إستخدام إعداد مناسب على خلفية فاتحة"},
        {"mnuFondSombreAction", "|إستخدام إعداد مناسب على خلفية داكنة"},
        {"Aidde1", "|?!"},
        {"Aide1", "محتويات المساعدة"},
        {"Aide2", "(مساعدة موجزة على شريط الحالة (هنا "},
        {"Aide3", "فقاعات التلميحات زرقاء"},
        {"propos1", "|Kinemar حول"},
        {"popUpMnuModeAcquerir", "|صفحة القياسات"},
        {"popUpMnuModeEtalonner", "|صفحة الإعدادات: السلم و المبدأ"},
        {"popUpMnuModeProClip", "|صفحة خصائص مقطع الفيديو"},
        {"popUpMnuPointeur", "|تغيير مظهر المؤشر"},
        {"popUpMnuAide", "|مساعدة حسب الصفحة الحالية"},
    };
    return h;
}

// The menu a submenu's entry stands for is named like the entry; top-level menus have
// unnamed entries and carry their hint on the menu itself.
QString nomDe(const QObject *o)
{
    if (auto *menu = qobject_cast<const QMenu *>(o)) {
        const QString entree = menu->menuAction()->objectName();
        return entree.isEmpty() ? menu->objectName() : entree;
    }
    return o->objectName();
}

void completerHints(TForm1 *f)
{
    const auto &table = hintsParDefaut();
    for (QWidget *w : f->findChildren<QWidget *>()) {
        if (qobject_cast<QMenu *>(w)) continue;
        const auto h = table.constFind(w->objectName());
        if (h != table.cend() && hintDe(w).isEmpty()) definirHint(w, *h);
    }
    QList<QAction *> actions = f->findChildren<QAction *>();
    for (QMenu *m : f->findChildren<QMenu *>())
        // Entries of the menu bar and of submenus; a pop-up menu has none.
        if (qobject_cast<QMenu *>(m->parent()) || qobject_cast<QMenuBar *>(m->parent())) {
            QAction *a = m->menuAction();
            if (a->objectName().isEmpty()) a->setObjectName(m->objectName());
            actions << a;
        }
    for (QAction *a : actions) {
        const auto h = table.constFind(nomDe(a));
        if (h != table.cend() && hintDe(a).isEmpty() && a->statusTip().isEmpty())
            definirHint(a, *h);
    }
}

} // namespace

bool bullesActives()
{
    return bulles;
}

QString fichierAide()
{
    return repDepart + QLatin1Char('/') + kNomFichierAide;
}

int contexteAide(const QObject *objet)
{
    for (const QObject *o = objet; o; o = o->parent()) {
        // The platform's file dialogs: opening a clip, or saving the measurements.
        if (auto *d = qobject_cast<const QFileDialog *>(o)) {
            if (d->acceptMode() == QFileDialog::AcceptSave) return 240;
            if (d->nameFilters()
                    .join(QLatin1Char(' '))
                    .contains(QLatin1String(".avi"), Qt::CaseInsensitive))
                return 210;
        }
        const int propre = o->property("contexteAide").toInt();
        if (propre > 0) return propre;
        int c = contexteAideNomme(o->objectName());
        if (c == 0) {
            if (auto *menu = qobject_cast<const QMenu *>(o))
                c = contexteAideNomme(menu->menuAction()->objectName());
        }
        if (c > 0) return c;
    }
    return 1;
}

void installerAide(TForm1 *f)
{
    bulles = false;
    if (!dynamic_cast<StyleBulles *>(QApplication::style()))
        QApplication::setStyle(
            new StyleBulles(QStyleFactory::create(QApplication::style()->name())));
    // Aqua bubbles; hidden after four seconds (see the event filter).
    QPalette bulle = QToolTip::palette();
    bulle.setColor(QPalette::ToolTipBase, QColor(0, 255, 255));
    bulle.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(bulle);

    f->StatusBar1->setLayoutDirection(Qt::RightToLeft);
    f->StatusBar1->setFixedHeight(kHauteurBarreEtat);
    completerHints(f);
    qApp->installEventFilter(new FiltreAide(f));
}

void TForm1::ouvrirAide(int contexte)
{
    plateforme().aide(fichierAide(), contexte);
}

void TForm1::DisplayHint(const QString &texteLong)
{
    if (Aide2->isChecked()) StatusBar1->showMessage(texteLong);
    bulles = Aide3->isChecked();
}

void TForm1::BitBtn1Click()
{
    ouvrirAide(1);
}

void TForm1::Aide1Click()
{
    ouvrirAide(1);
}

void TForm1::popUpMnuAideClick()
{
    if (!clipOuvert())
        ouvrirAide(210);
    else
        ouvrirAide(PageControl1->currentWidget() == tsMesures ? 230 : 220);
}

// The two items are check items: the menu has already turned the mark over when these run.
void TForm1::Aide2Click()
{
    const bool montre = Aide2->isChecked();
    StatusBar1->setFixedHeight(montre ? kHauteurBarreEtat : 0);
    StatusBar1->setVisible(montre);
}

void TForm1::Aide3Click() {}

void TForm1::propos1Click()
{
    AboutBox->ShowModal();
}
