#pragma once
// The fixed lines of the analysis program's two data-file headers. Some begin with a byte
// that belongs to no code page (0xFB in the DOS format, 0xA3 in the Windows format) and one
// DOS line is the single byte 0x7F: they are bytes, written as they stand.
#include <QByteArray>

// DOS format (.ccc).
enum EnteteDos {
    dosTitre,     // "PALOMERE CURVALIS 2.0"
    dosMemo,      // "Pointages Kinemar"
    dosMarqueur,  // 0xFB, opens a block
    dosExpr,      // " EXPR VARIABLE"
    dosIncert,    // " INCERT VARIABLE"
    dosUnite,     // " UNITE VARIABLE"
    dosCfg,       // 0xFB "17 CFG"
    dosFaux,      // "FALSE"
    dosVrai,      // "TRUE"
    dosRad,       // "RAD"
    dosInterface, // 0xFB "1 INTERFACE"
    dosClavier,   // "Clavier"
    dosFinEntete, // 0x7F
    nbEntetesDos
};
extern const QByteArray enteteDos[nbEntetesDos];

// Windows format (.cw3).
enum EnteteWin {
    winTitre,       // "PALOMERE CURVALIS WINDOWS 1.0"
    winMarqueur,    // 0xA3, opens a counted block
    winNom,         // " NOM VAR"
    winGenre,       // " GENRE VAR"
    winUnite,       // " UNITE VAR"
    winIncertitude, // " INCERTITUDE"
    winTrigo,       // 0xA3 "1 TRIGO"
    winLog,         // 0xA3 "1 LOG"
    winMemo,        // 0xA3 "1 MEMO GRANDEURS"
    winMemoTexte,   // "'Pointages Kinemar"
    winAcquisition, // 0xA3 "2 ACQUISITION"
    winClavier,     // "CLAVIER"
    winGraphe,      // 0xA3 "0 GRAPHE VAR"
    winX,           // "&5 X"
    winY,           // "&5 Y"
    winMonde,       // "&5 MONDE"
    winGraduation,  // "&3 GRADUATION"
    winZero,        // "&3 ZERO"
    winOptions,     // "&7 OPTIONS"
    winCommentaire, // 0xA3 "1 PAGE COMMENT"
    winValeur,      // " VALEUR VAR", after "&" and the row count
    winFin,         // "&2 OPTIONS", the trailer
    nbEntetesWin
};
extern const QByteArray enteteWin[nbEntetesWin];
