#include "export/cp1256.h"

#include <QList>
#include <cerrno>
#include <iconv.h>

namespace
{

// One conversion descriptor per direction, opened once; the program has one thread.
class Conversion
{
public:
    Conversion(const char *vers, const char *depuis) : cd_(iconv_open(vers, depuis)) {}
    ~Conversion()
    {
        if (valide()) iconv_close(cd_);
    }
    Conversion(const Conversion &) = delete;
    Conversion &operator=(const Conversion &) = delete;
    bool valide() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input; false when a sequence cannot be converted.
    bool convertir(const QByteArray &entree, QByteArray &sortie)
    {
        if (!valide()) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        sortie.resize(entree.size() * 4 + 8);
        char *in = const_cast<char *>(entree.constData());
        size_t resteIn = static_cast<size_t>(entree.size());
        char *out = sortie.data();
        size_t resteOut = static_cast<size_t>(sortie.size());
        const size_t r = iconv(cd_, &in, &resteIn, &out, &resteOut);
        if (r == static_cast<size_t>(-1) || resteIn != 0) return false;
        sortie.resize(sortie.size() - static_cast<qsizetype>(resteOut));
        return true;
    }

private:
    iconv_t cd_;
};

Conversion &versCodePage()
{
    static Conversion c("CP1256", "UTF-8");
    return c;
}

Conversion &depuisCodePage()
{
    static Conversion c("UTF-8", "CP1256");
    return c;
}

} // namespace

bool encodableCp1256(QChar c)
{
    QByteArray sortie;
    return !c.isSurrogate() && versCodePage().convertir(QString(c).toUtf8(), sortie);
}

QByteArray versCp1256(const QString &texte, int *remplaces)
{
    QByteArray resultat;
    int n = 0;
    QByteArray sortie;
    // Character by character, so that one the code page lacks costs only itself.
    for (const uint code : texte.toUcs4()) {
        const char32_t u = code;
        if (u < 0x80) {
            resultat.append(static_cast<char>(u));
            continue;
        }
        if (versCodePage().convertir(QString::fromUcs4(&u, 1).toUtf8(), sortie) &&
            sortie.size() == 1) {
            resultat.append(sortie);
        } else {
            resultat.append('?');
            ++n;
        }
    }
    if (remplaces) *remplaces = n;
    return resultat;
}

QString depuisCp1256(const QByteArray &octets)
{
    QByteArray sortie;
    if (depuisCodePage().convertir(octets, sortie)) return QString::fromUtf8(sortie);
    return QString::fromLatin1(octets);
}
