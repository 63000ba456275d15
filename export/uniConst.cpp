#include "export/uniConst.h"

const QByteArray enteteDos[nbEntetesDos] = {
    QByteArrayLiteral("PALOMERE CURVALIS 2.0"),
    QByteArrayLiteral("Pointages Kinemar"),
    QByteArrayLiteral("\xFB"),
    QByteArrayLiteral(" EXPR VARIABLE"),
    QByteArrayLiteral(" INCERT VARIABLE"),
    QByteArrayLiteral(" UNITE VARIABLE"),
    QByteArrayLiteral("\xFB"
                      "17 CFG"),
    QByteArrayLiteral("FALSE"),
    QByteArrayLiteral("TRUE"),
    QByteArrayLiteral("RAD"),
    QByteArrayLiteral("\xFB"
                      "1 INTERFACE"),
    QByteArrayLiteral("Clavier"),
    QByteArrayLiteral("\x7F"),
};

const QByteArray enteteWin[nbEntetesWin] = {
    QByteArrayLiteral("PALOMERE CURVALIS WINDOWS 1.0"),
    QByteArrayLiteral("\xA3"),
    QByteArrayLiteral(" NOM VAR"),
    QByteArrayLiteral(" GENRE VAR"),
    QByteArrayLiteral(" UNITE VAR"),
    QByteArrayLiteral(" INCERTITUDE"),
    QByteArrayLiteral("\xA3"
                      "1 TRIGO"),
    QByteArrayLiteral("\xA3"
                      "1 LOG"),
    QByteArrayLiteral("\xA3"
                      "1 MEMO GRANDEURS"),
    QByteArrayLiteral("'Pointages Kinemar"),
    QByteArrayLiteral("\xA3"
                      "2 ACQUISITION"),
    QByteArrayLiteral("CLAVIER"),
    QByteArrayLiteral("\xA3"
                      "0 GRAPHE VAR"),
    QByteArrayLiteral("&5 X"),
    QByteArrayLiteral("&5 Y"),
    QByteArrayLiteral("&5 MONDE"),
    QByteArrayLiteral("&3 GRADUATION"),
    QByteArrayLiteral("&3 ZERO"),
    QByteArrayLiteral("&7 OPTIONS"),
    QByteArrayLiteral("\xA3"
                      "1 PAGE COMMENT"),
    QByteArrayLiteral(" VALEUR VAR"),
    QByteArrayLiteral("&2 OPTIONS"),
};
