#include "app/curseurs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QPixmap>

void initialiserRessources()
{
    static bool fait = false;
    if (!fait) {
        Q_INIT_RESOURCE(resources);
        fait = true;
    }
}

namespace
{

const char *const dossierCurseurs = ":/curseurs";

QHash<int, QCursor> &tableCurseurs()
{
    static QHash<int, QCursor> table;
    static bool nettoyagePrevu = false;
    if (!nettoyagePrevu && QCoreApplication::instance()) {
        // The cursors hold pixmaps, which must go before the application object does.
        qAddPostRoutine([] { tableCurseurs().clear(); });
        nettoyagePrevu = true;
    }
    return table;
}

QString cheminRessource(const QString &nom)
{
    if (nom.isEmpty()) return {};
    const QStringList entrees = QDir(QString::fromLatin1(dossierCurseurs)).entryList(QDir::Files);
    for (const QString &entree : entrees) {
        if (entree.compare(nom, Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(dossierCurseurs) + QLatin1Char('/') + entree;
    }
    return {};
}

// The hot spot is the fifth and sixth number of the XPM values line; Qt's reader skips it.
// Returns (-1, -1), which QCursor takes as the centre, when it is absent or off the picture.
QPoint pointChaudXpm(const QByteArray &xpm, QSize taille)
{
    const int accolade = xpm.indexOf('{');
    const int debut = xpm.indexOf('"', accolade < 0 ? 0 : accolade);
    const int fin = debut < 0 ? -1 : xpm.indexOf('"', debut + 1);
    if (fin < 0) return {-1, -1};
    const QList<QByteArray> champs = xpm.mid(debut + 1, fin - debut - 1).simplified().split(' ');
    if (champs.size() < 6) return {-1, -1};
    bool okX = false, okY = false;
    const int x = champs[4].toInt(&okX);
    const int y = champs[5].toInt(&okY);
    if (!okX || !okY || x < 0 || y < 0 || x >= taille.width() || y >= taille.height())
        return {-1, -1};
    return {x, y};
}

} // namespace

bool chargerCurseur(int slot, const QString &nomRessource)
{
    initialiserRessources();
    QHash<int, QCursor> &table = tableCurseurs();
    table.remove(slot);
    const QString chemin = cheminRessource(nomRessource);
    if (chemin.isEmpty()) return false;
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly)) return false;
    const QByteArray donnees = fichier.readAll();
    QPixmap image;
    if (!image.loadFromData(donnees, "XPM") || image.isNull()) return false;
    const QPoint chaud = pointChaudXpm(donnees, image.size());
    table.insert(slot, QCursor(image, chaud.x(), chaud.y()));
    return true;
}

QCursor curseurSlot(int slot)
{
    const QHash<int, QCursor> &table = tableCurseurs();
    const auto it = table.constFind(slot);
    return it == table.constEnd() ? QCursor(Qt::ArrowCursor) : *it;
}

void chargerCurseursKinemar()
{
    // A pointer that fails to load leaves its slot on the default arrow; nothing more.
    static const struct {
        int slot;
        const char *nom;
    } ordre[] = {
        {50, "POIGNEE"},  {51, "POIGNEE2"}, {101, "CIBLEGN"}, {102, "CIBLEPN"}, {103, "CIBLECN"},
        {201, "CIBLEGB"}, {202, "CIBLEPB"}, {203, "CIBLECB"}, {111, "XpYpN"},   {211, "XpYpB"},
        {112, "XnYpN"},   {212, "XnYpB"},   {113, "XpYnN"},   {213, "XpYnB"},   {114, "XnYnN"},
        {214, "XnYnB"},   {121, "echH1N"},  {122, "echH2N"},  {221, "echH1B"},  {222, "echH2B"},
        {131, "echV1N"},  {132, "echV2N"},  {231, "echV1B"},  {232, "echV2B"},  {141, "ech1N"},
        {142, "ech2N"},   {241, "ech1B"},   {242, "ech2B"},
    };
    for (const auto &c : ordre)
        chargerCurseur(c.slot, QString::fromLatin1(c.nom));
}
