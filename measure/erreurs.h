#pragma once
// The one error type of the program's own code. Handlers let it escape; the application's
// notify override shows its text, as the platform's default error display does.
#include <QString>
#include <stdexcept>

class ErreurKinemar : public std::runtime_error
{
public:
    explicit ErreurKinemar(const QString &texte)
        : std::runtime_error(texte.toStdString()), texte_(texte)
    {
    }
    const QString &texte() const { return texte_; }

private:
    QString texte_;
};

// Input/output error of the run-time (short read, missing file).
class ErreurES : public ErreurKinemar
{
public:
    using ErreurKinemar::ErreurKinemar;
};
