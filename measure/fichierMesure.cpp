#include "measure/fichierMesure.h"

#include "export/fichiers.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>
#include <cmath>
#include <limits>
#include <locale>
#include <sstream>

namespace
{

constexpr qint64 kTailleMaxSession = 256LL << 20; // a full 90,000-frame table is ~15 MB

// Every digit of an 80-bit real, so that the table computed after opening is the one saved.
QString texteReel(long double v)
{
    std::ostringstream s;
    s.imbue(std::locale::classic());
    s.precision(std::numeric_limits<long double>::max_digits10);
    s << v;
    return QString::fromStdString(s.str());
}

std::optional<long double> reelDeTexte(const QString &t)
{
    std::istringstream s(t.toStdString());
    s.imbue(std::locale::classic());
    long double v = 0;
    s >> v;
    if (!s || !s.eof() || !std::isfinite(v)) return std::nullopt;
    return v;
}

// Shortest text that reads back as the same double.
void ajouterNombre(QByteArray &b, double v)
{
    char nombre[64];
    b.append(nombre, std::to_chars(nombre, nombre + sizeof nombre, v).ptr - nombre);
}

QJsonArray point(const QPoint &p)
{
    return QJsonArray{p.x(), p.y()};
}

// A field that is missing, of the wrong type or out of range stops the reading.
struct Defaut {
    QString texte;
};

QString messageType(const QString &champ)
{
    return QStringLiteral("ملف الجلسة تالف : الحقل \"%1\" مفقود أو من نوع غير صحيح.").arg(champ);
}

QString messagePlage(const QString &champ)
{
    return QStringLiteral("ملف الجلسة تالف : قيمة الحقل \"%1\" خارج المجال المسموح به.").arg(champ);
}

class Lecteur
{
public:
    QJsonObject objet(const QJsonObject &o, const char *cle, const QString &nom) const
    {
        const QJsonValue v = o.value(QLatin1String(cle));
        if (!v.isObject()) throw Defaut{messageType(nom)};
        return v.toObject();
    }
    QJsonArray tableau(const QJsonObject &o, const char *cle, const QString &nom) const
    {
        const QJsonValue v = o.value(QLatin1String(cle));
        if (!v.isArray()) throw Defaut{messageType(nom)};
        return v.toArray();
    }
    QString texte(const QJsonObject &o, const char *cle, const QString &nom) const
    {
        const QJsonValue v = o.value(QLatin1String(cle));
        if (!v.isString()) throw Defaut{messageType(nom)};
        return v.toString();
    }
    bool booleen(const QJsonObject &o, const char *cle, const QString &nom) const
    {
        const QJsonValue v = o.value(QLatin1String(cle));
        if (!v.isBool()) throw Defaut{messageType(nom)};
        return v.toBool();
    }
    qint64 entierLong(const QJsonValue &v, const QString &nom, qint64 min, qint64 max) const
    {
        if (!v.isDouble()) throw Defaut{messageType(nom)};
        const double d = v.toDouble();
        if (d != std::floor(d)) throw Defaut{messageType(nom)};
        if (d < double(min) || d > double(max)) throw Defaut{messagePlage(nom)};
        return qint64(d);
    }
    int entier(const QJsonValue &v, const QString &nom, int min, int max) const
    {
        return int(entierLong(v, nom, min, max));
    }
    int entier(const QJsonObject &o, const char *cle, const QString &nom, int min, int max) const
    {
        return entier(o.value(QLatin1String(cle)), nom, min, max);
    }
    QPoint paire(const QJsonObject &o, const char *cle, const QString &nom, int maxX,
                 int maxY) const
    {
        const QJsonValue v = o.value(QLatin1String(cle));
        if (!v.isArray() || v.toArray().size() != 2) throw Defaut{messageType(nom)};
        const QJsonArray a = v.toArray();
        return {entier(a[0], nom, -maxX, 2 * maxX), entier(a[1], nom, -maxY, 2 * maxY)};
    }
    // A position: whole pixels when pointed, hundredths when tracked. It lies on the picture,
    // max pixels across: a tracked centre may stand up to half a pixel past the first or last
    // pixel centre. Kept to the hundredth, as the grid holds it.
    double pixel(const QJsonValue &v, const QString &nom, int max) const
    {
        if (!v.isDouble()) throw Defaut{messageType(nom)};
        const double d = v.toDouble();
        if (!std::isfinite(d)) throw Defaut{messageType(nom)};
        if (d < -0.5 || d > max - 0.5) throw Defaut{messagePlage(nom)};
        return std::round(d * 100.0) / 100.0;
    }
    long double reel(const QJsonObject &o, const char *cle, const QString &nom) const
    {
        const auto v = reelDeTexte(texte(o, cle, nom));
        if (!v) throw Defaut{messageType(nom)};
        return *v;
    }
};

Mesure lire(const QJsonObject &racine, const QString &fichierSession, QString &autreChemin)
{
    const Lecteur l;
    Mesure m;
    ReglagesMesure &g = m.reglages;

    const QJsonObject clip = l.objet(racine, "clip", QStringLiteral("clip"));
    const QString chemin = l.texte(clip, "fichier", QStringLiteral("clip.fichier"));
    if (chemin.isEmpty()) throw Defaut{messageType(QStringLiteral("clip.fichier"))};
    m.clip.fichier =
        QDir::cleanPath(QFileInfo(fichierSession).absoluteDir().absoluteFilePath(chemin));
    if (clip.contains(QLatin1String("fichierAbsolu")))
        autreChemin = l.texte(clip, "fichierAbsolu", QStringLiteral("clip.fichierAbsolu"));
    m.clip.taille = l.entierLong(clip.value(QLatin1String("taille")), QStringLiteral("clip.taille"),
                                 0, std::numeric_limits<qint64>::max() / 2);
    m.clip.empreinte = l.texte(clip, "empreinte", QStringLiteral("clip.empreinte")).toLatin1();
    m.clip.nbImages = l.entier(clip, "images", QStringLiteral("clip.images"), 1, 100000000);
    const int N = m.clip.nbImages;

    const QJsonObject aff = l.objet(racine, "affichage", QStringLiteral("affichage"));
    g.pourcentAffichage = l.entier(aff, "pourcent", QStringLiteral("affichage.pourcent"), 10, 200);
    g.largeurAffichee = l.entier(aff, "largeur", QStringLiteral("affichage.largeur"), 1, 100000);
    g.hauteurAffichee = l.entier(aff, "hauteur", QStringLiteral("affichage.hauteur"), 1, 100000);
    const int W = g.largeurAffichee, H = g.hauteurAffichee;

    g.nbPoints = l.entier(racine, "points", QStringLiteral("points"), 1, kPointsMesure);
    const QJsonObject temps = l.objet(racine, "temps", QStringLiteral("temps"));
    g.origineTemps = l.entier(temps, "origine", QStringLiteral("temps.origine"), 1, N);
    g.decimalesTemps = l.entier(temps, "decimales", QStringLiteral("temps.decimales"), 0, 6);
    // Absent from files saved before it existed: the clip as recorded.
    if (temps.contains(QLatin1String("cadenceTournage"))) {
        const QJsonValue v = temps.value(QLatin1String("cadenceTournage"));
        g.cadenceTournage = v.toDouble(-1);
        if (!v.isDouble() || !(g.cadenceTournage >= 0 && g.cadenceTournage <= 1e6))
            throw Defaut{messageType(QStringLiteral("temps.cadenceTournage"))};
    }
    g.chiffresXY = l.entier(racine, "chiffres", QStringLiteral("chiffres"), 1, 5);

    const QJsonObject et = l.objet(racine, "etalonnage", QStringLiteral("etalonnage"));
    g.modeEtalonnage = l.entier(et, "mode", QStringLiteral("etalonnage.mode"), 0, 3);
    g.etalonP1 = l.paire(et, "p1", QStringLiteral("etalonnage.p1"), W, H);
    g.etalonP2 = l.paire(et, "p2", QStringLiteral("etalonnage.p2"), W, H);
    if (g.etalonP1 == g.etalonP2) throw Defaut{messagePlage(QStringLiteral("etalonnage.p2"))};
    g.texteSH = l.texte(et, "longueurH", QStringLiteral("etalonnage.longueurH"));
    g.texteSV = l.texte(et, "longueurV", QStringLiteral("etalonnage.longueurV"));
    g.texteSi = l.texte(et, "longueur", QStringLiteral("etalonnage.longueur"));
    g.echelleH = l.reel(et, "echelleH", QStringLiteral("etalonnage.echelleH"));
    g.echelleV = l.reel(et, "echelleV", QStringLiteral("etalonnage.echelleV"));

    const QJsonObject ori = l.objet(racine, "origine", QStringLiteral("origine"));
    g.origineX = l.entier(ori, "x", QStringLiteral("origine.x"), 0, W - 1);
    g.origineY = l.entier(ori, "y", QStringLiteral("origine.y"), 0, H - 1);
    g.sensX = l.entier(ori, "sensX", QStringLiteral("origine.sensX"), -1, 1);
    g.sensY = l.entier(ori, "sensY", QStringLiteral("origine.sensY"), -1, 1);
    if (g.sensX == 0) throw Defaut{messagePlage(QStringLiteral("origine.sensX"))};
    if (g.sensY == 0) throw Defaut{messagePlage(QStringLiteral("origine.sensY"))};
    // Written only for tilted axes.
    if (ori.contains(QLatin1String("angle"))) {
        const QJsonValue v = ori.value(QLatin1String("angle"));
        if (!v.isDouble()) throw Defaut{messageType(QStringLiteral("origine.angle"))};
        g.angleAxes = v.toDouble();
        if (!(g.angleAxes > -180 && g.angleAxes <= 180))
            throw Defaut{messagePlage(QStringLiteral("origine.angle"))};
    }

    const QJsonObject asp = l.objet(racine, "aspect", QStringLiteral("aspect"));
    g.taillePoints = l.entier(asp, "taille", QStringLiteral("aspect.taille"), 0, 4);
    const QJsonArray aspects = l.tableau(asp, "elements", QStringLiteral("aspect.elements"));
    if (aspects.size() != kPointsMesure + 1)
        throw Defaut{messageType(QStringLiteral("aspect.elements"))};
    for (int i = 0; i <= kPointsMesure; ++i) {
        const QString nom = QStringLiteral("aspect.elements[%1]").arg(i);
        if (!aspects[i].isObject()) throw Defaut{messageType(nom)};
        const QJsonObject a = aspects[i].toObject();
        g.aspects[i].couleur = std::uint32_t(l.entierLong(
            a.value(QLatin1String("couleur")), nom + QStringLiteral(".couleur"), 0, 0xFFFFFF));
        g.aspects[i].trace = l.booleen(a, "trace", nom + QStringLiteral(".trace"));
        g.aspects[i].forme = l.entier(a, "forme", nom + QStringLiteral(".forme"), 0, 2);
    }

    // The graphs are an addition: absent in older files, read back as they were written.
    if (racine.contains(QLatin1String("graphes")))
        m.graphes = l.objet(racine, "graphes", QStringLiteral("graphes"));
    // The protractor's angles, written only when some were recorded.
    if (racine.contains(QLatin1String("angles"))) {
        const QJsonArray angles = l.tableau(racine, "angles", QStringLiteral("angles"));
        for (const QJsonValue &v : angles) {
            const QJsonArray e = v.toArray();
            if (!v.isArray() || e.size() != 2) throw Defaut{messageType(QStringLiteral("angles"))};
            const int i = l.entier(e[0], QStringLiteral("angles (image)"), 0, N - 1);
            const double a = e[1].toDouble(NAN);
            if (!e[1].isDouble() || !(a >= -360 && a <= 360))
                throw Defaut{messagePlage(QStringLiteral("angles"))};
            m.angles.insert(i, std::round(a * 10.0) / 10.0);
        }
    }

    const QJsonArray pointages = l.tableau(racine, "pointages", QStringLiteral("pointages"));
    if (pointages.size() != kPointsMesure) throw Defaut{messageType(QStringLiteral("pointages"))};
    for (int p = 0; p < kPointsMesure; ++p) {
        // Names are made for the message only: a full table has hundreds of thousands.
        const auto nom = [p](const char *quoi) {
            return QStringLiteral("pointages[%1]").arg(p) + QLatin1String(quoi);
        };
        if (!pointages[p].isArray()) throw Defaut{messageType(nom(""))};
        const QJsonArray liste = pointages[p].toArray();
        auto &carte = m.positions[p];
        for (qsizetype k = 0, n = liste.size(); k < n; ++k) {
            const QJsonValue v = liste[k];
            if (!v.isArray()) throw Defaut{messageType(nom(""))};
            const QJsonArray e = v.toArray();
            if (e.size() != 3) throw Defaut{messageType(nom(""))};
            const QJsonValue vi = e[0], vx = e[1], vy = e[2];
            const double i = vi.toDouble(-1), x = vx.toDouble(NAN), y = vy.toDouble(NAN);
            // The common case checked at once; any doubt goes through the named checks.
            if (!vi.isDouble() || i != std::floor(i) || i < 0 || i > N - 1 ||
                !(x >= -0.5 && x <= W - 0.5) || !(y >= -0.5 && y <= H - 0.5)) {
                l.entier(vi, nom(" (image)"), 0, N - 1);
                l.pixel(vx, nom(" (x)"), W);
                l.pixel(vy, nom(" (y)"), H);
            }
            // Kept to the hundredth, as the table holds it; frames mostly come in order.
            carte.insert(carte.cend(), int(i),
                         QPointF(std::round(x * 100.0) / 100.0, std::round(y * 100.0) / 100.0));
        }
    }
    return m;
}

} // namespace

QByteArray texteSession(const Mesure &m, const QString &fichierSession)
{
    const ReglagesMesure &g = m.reglages;
    const QDir dossier = QFileInfo(fichierSession).absoluteDir();
    QString chemin = dossier.relativeFilePath(m.clip.fichier);
    if (chemin.startsWith(QLatin1String("..")) || QFileInfo(chemin).isAbsolute())
        chemin = m.clip.fichier;

    QJsonArray aspects;
    for (const AspectMesure &a : g.aspects)
        aspects.append(QJsonObject{{QStringLiteral("couleur"), qint64(a.couleur)},
                                   {QStringLiteral("trace"), a.trace},
                                   {QStringLiteral("forme"), a.forme}});
    QJsonObject origine{{QStringLiteral("x"), g.origineX},
                        {QStringLiteral("y"), g.origineY},
                        {QStringLiteral("sensX"), g.sensX},
                        {QStringLiteral("sensY"), g.sensY}};
    // Untilted axes leave the file as it always was.
    if (g.angleAxes != 0) origine.insert(QStringLiteral("angle"), g.angleAxes);
    QJsonObject racine{
        {QStringLiteral("format"), kFormatSession},
        {QStringLiteral("programme"), QStringLiteral("kinemar")},
        {QStringLiteral("clip"),
         QJsonObject{{QStringLiteral("fichier"), chemin},
                     {QStringLiteral("fichierAbsolu"), m.clip.fichier},
                     {QStringLiteral("taille"), m.clip.taille},
                     {QStringLiteral("empreinte"), QString::fromLatin1(m.clip.empreinte)},
                     {QStringLiteral("images"), m.clip.nbImages}}},
        {QStringLiteral("affichage"), QJsonObject{{QStringLiteral("pourcent"), g.pourcentAffichage},
                                                  {QStringLiteral("largeur"), g.largeurAffichee},
                                                  {QStringLiteral("hauteur"), g.hauteurAffichee}}},
        {QStringLiteral("points"), g.nbPoints},
        {QStringLiteral("temps"),
         QJsonObject{{QStringLiteral("origine"), g.origineTemps},
                     {QStringLiteral("decimales"), g.decimalesTemps},
                     {QStringLiteral("cadenceTournage"), g.cadenceTournage}}},
        {QStringLiteral("chiffres"), g.chiffresXY},
        {QStringLiteral("etalonnage"),
         QJsonObject{{QStringLiteral("mode"), g.modeEtalonnage},
                     {QStringLiteral("p1"), point(g.etalonP1)},
                     {QStringLiteral("p2"), point(g.etalonP2)},
                     {QStringLiteral("longueurH"), g.texteSH},
                     {QStringLiteral("longueurV"), g.texteSV},
                     {QStringLiteral("longueur"), g.texteSi},
                     {QStringLiteral("echelleH"), texteReel(g.echelleH)},
                     {QStringLiteral("echelleV"), texteReel(g.echelleV)}}},
        {QStringLiteral("origine"), origine},
        {QStringLiteral("aspect"), QJsonObject{{QStringLiteral("taille"), g.taillePoints},
                                               {QStringLiteral("elements"), aspects}}},
        {QStringLiteral("pointages"), QJsonArray()}};
    if (!m.graphes.isEmpty()) racine.insert(QStringLiteral("graphes"), m.graphes);
    // The protractor's angles, only when some were recorded.
    if (!m.angles.isEmpty()) {
        QJsonArray angles;
        for (auto i = m.angles.cbegin(); i != m.angles.cend(); ++i)
            angles.append(QJsonArray{i.key(), i.value()});
        racine.insert(QStringLiteral("angles"), angles);
    }
    QByteArray texte = QJsonDocument(racine).toJson(QJsonDocument::Compact);
    // The pointings are written here, not through QJsonArray: a full table has hundreds of
    // thousands of them. Same JSON: shortest round-trip numbers, in frame order.
    QByteArray liste = "[";
    for (int p = 0; p < kPointsMesure; ++p) {
        liste += p ? ",[" : "[";
        const auto &carte = m.positions[p];
        liste.reserve(liste.size() + carte.size() * 16);
        for (auto i = carte.cbegin(); i != carte.cend(); ++i) {
            liste += i == carte.cbegin() ? "[" : ",[";
            liste += QByteArray::number(i.key());
            liste += ',';
            ajouterNombre(liste, i.value().x());
            liste += ',';
            ajouterNombre(liste, i.value().y());
            liste += ']';
        }
        liste += ']';
    }
    liste += ']';
    // Keys are written in order and no text holds a raw quote: the key is found once.
    const QByteArray cle = "\"pointages\":[]";
    const qsizetype ou = texte.lastIndexOf(cle);
    texte.replace(ou + cle.size() - 2, 2, liste);
    return texte;
}

QString ecrireSession(const Mesure &m, const QString &fichierSession)
{
    if (const auto raison = ecrireFichier(fichierSession, texteSession(m, fichierSession)))
        return QStringLiteral("تعذر حفظ الجلسة في الملف :\r%1\r%2")
            .arg(QDir::toNativeSeparators(fichierSession), *raison);
    return {};
}

LectureSession lireSession(const QByteArray &octets, const QString &fichierSession)
{
    LectureSession r;
    QJsonParseError e{};
    const QJsonDocument doc = QJsonDocument::fromJson(octets, &e);
    if (e.error != QJsonParseError::NoError || !doc.isObject()) {
        r.erreur =
            QStringLiteral("هذا الملف ليس ملف جلسة قياس، أو أنه مبتور :\r%1 (%2)")
                .arg(e.error != QJsonParseError::NoError ? e.errorString() : QStringLiteral("JSON"))
                .arg(e.offset);
        return r;
    }
    const QJsonObject racine = doc.object();
    const QJsonValue format = racine.value(QLatin1String("format"));
    if (!format.isDouble() || format.toDouble() != kFormatSession) {
        r.erreur =
            QStringLiteral("صيغة ملف الجلسة غير معروفة (%1). ربما حُفظ بإصدار آخر من "
                           "البرنامج.")
                .arg(format.isDouble() ? QString::number(format.toDouble()) : QStringLiteral("?"));
        return r;
    }
    try {
        r.mesure = lire(racine, fichierSession, r.autreChemin);
    } catch (const Defaut &d) {
        r.erreur = d.texte;
    }
    return r;
}

LectureSession lireFichierSession(const QString &fichierSession)
{
    QFile f(fichierSession);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kTailleMaxSession) {
        LectureSession r;
        r.erreur = QStringLiteral("تعذرت قراءة ملف الجلسة :\r%1")
                       .arg(QDir::toNativeSeparators(fichierSession));
        return r;
    }
    return lireSession(f.readAll(), fichierSession);
}

QByteArray lignesJournal(const Mesure &m, const PlageMesure &plage, const QString &fichierSession)
{
    QByteArray b;
    if (plage.reglages) {
        Mesure reglages;
        reglages.clip = m.clip;
        reglages.reglages = m.reglages;
        b += "R " + texteSession(reglages, fichierSession) + '\n';
    }
    for (const ChangementPosition &c : plage.positions) {
        const auto &carte = m.positions[c.point];
        const auto i = carte.constFind(c.image);
        b += i == carte.cend() ? "E " : "P ";
        b += QByteArray::number(int(c.point)) + ' ' + QByteArray::number(c.image);
        if (i != carte.cend()) {
            b += ' ';
            ajouterNombre(b, i->x());
            b += ' ';
            ajouterNombre(b, i->y());
        }
        b += '\n';
    }
    for (const ChangementAngle &c : plage.angles) {
        b += "A " + QByteArray::number(c.image);
        if (const auto i = m.angles.constFind(c.image); i != m.angles.cend()) {
            b += ' ';
            ajouterNombre(b, *i);
        }
        b += '\n';
    }
    return b;
}

int rejouerJournal(Mesure &m, const QByteArray &journal, const QString &fichierSession)
{
    int appliquees = 0;
    const ReglagesMesure &g = m.reglages;
    for (qsizetype debut = 0; debut < journal.size();) {
        const qsizetype fin = journal.indexOf('\n', debut);
        if (fin < 0) break; // cut by a crash
        const QByteArray ligne = journal.mid(debut, fin - debut);
        debut = fin + 1;
        if (ligne.startsWith("R ")) {
            const LectureSession l = lireSession(ligne.mid(2), fichierSession);
            if (!l.mesure) break;
            m.reglages = l.mesure->reglages;
            ++appliquees;
            continue;
        }
        const QList<QByteArray> champs = ligne.split(' ');
        if (champs[0] == "A" && (champs.size() == 2 || champs.size() == 3)) {
            bool okF = false, okA = true;
            const int f = champs[1].toInt(&okF);
            const double a = champs.size() == 3 ? champs[2].toDouble(&okA) : 0;
            if (!okF || !okA || f < 0 || f >= m.clip.nbImages || !(a >= -360 && a <= 360)) break;
            if (champs.size() == 3)
                m.angles.insert(f, a);
            else
                m.angles.remove(f);
            ++appliquees;
            continue;
        }
        const bool pose = champs.size() == 5 && champs[0] == "P";
        if (!pose && !(champs.size() == 3 && champs[0] == "E")) break;
        bool ok1 = false, ok2 = false;
        const int p = champs[1].toInt(&ok1), f = champs[2].toInt(&ok2);
        if (!ok1 || !ok2 || p < 0 || p >= kPointsMesure || f < 0 || f >= m.clip.nbImages) break;
        if (!pose) {
            m.positions[p].remove(f);
        } else {
            bool okX = false, okY = false;
            const double x = champs[3].toDouble(&okX), y = champs[4].toDouble(&okY);
            if (!okX || !okY || !(x >= -0.5 && x <= g.largeurAffichee - 0.5) ||
                !(y >= -0.5 && y <= g.hauteurAffichee - 0.5))
                break;
            m.positions[p].insert(f, QPointF(x, y));
        }
        ++appliquees;
    }
    return appliquees;
}

QByteArray empreinteClip(const QString &fichier)
{
    QFile f(fichier);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.read(1 << 20), QCryptographicHash::Sha256).toHex();
}
