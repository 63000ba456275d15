// Pointer slots and the program's pictures.
#include "app/curseurs.h"
#include "app/images.h"
#include "calibration/images_etalon.h"

#include <QImage>
#include <QPixmap>
#include <QtTest>

namespace
{

struct Pointeur {
    int slot;
    const char *nom;
    QPoint chaud;
};

const Pointeur pointeurs[] = {
    {50, "POIGNEE", {15, 15}},  {51, "POIGNEE2", {15, 15}}, {101, "CIBLEGN", {11, 11}},
    {102, "CIBLEPN", {11, 11}}, {103, "CIBLECN", {11, 11}}, {201, "CIBLEGB", {11, 11}},
    {202, "CIBLEPB", {11, 11}}, {203, "CIBLECB", {11, 11}}, {111, "XpYpN", {7, 24}},
    {112, "XnYpN", {24, 24}},   {113, "XpYnN", {7, 7}},     {114, "XnYnN", {24, 7}},
    {211, "XpYpB", {7, 24}},    {212, "XnYpB", {24, 24}},   {213, "XpYnB", {7, 7}},
    {214, "XnYnB", {24, 7}},    {121, "echH1N", {11, 11}},  {122, "echH2N", {11, 11}},
    {221, "echH1B", {11, 11}},  {222, "echH2B", {11, 11}},  {131, "echV1N", {11, 11}},
    {132, "echV2N", {11, 11}},  {231, "echV1B", {11, 11}},  {232, "echV2B", {11, 11}},
    {141, "ech1N", {11, 11}},   {142, "ech2N", {11, 11}},   {241, "ech1B", {11, 11}},
    {242, "ech2B", {11, 11}},
};

QImage imageDuSlot(int slot)
{
    return curseurSlot(slot).pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
}

bool opaque(const QImage &im, QPoint p)
{
    return qAlpha(im.pixel(p)) > 0;
}

// Bounding box of the drawn pixels.
QRect etendue(const QImage &im)
{
    QRect r;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            if (opaque(im, {x, y})) r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace

class TestCurseurs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { chargerCurseursKinemar(); }

    void slotsCharges_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QPoint>("chaud");
        for (const Pointeur &p : pointeurs)
            QTest::newRow(p.nom) << p.slot << p.chaud;
    }

    void slotsCharges()
    {
        QFETCH(int, slot);
        QFETCH(QPoint, chaud);
        const QCursor c = curseurSlot(slot);
        QCOMPARE(c.shape(), Qt::BitmapCursor);
        QCOMPARE(c.pixmap().size(), QSize(32, 32));
        QCOMPARE(c.hotSpot(), chaud);
        const QImage im = imageDuSlot(slot);
        QVERIFY(!opaque(im, {31, 31}) || slot < 100); // a transparent ground
        // Every pointing and origin pointer is drawn through its hot spot or around it:
        // the cross leaves that one pixel clear, all others set it.
        if (slot % 100 == 3)
            QVERIFY(!opaque(im, chaud));
        else if (slot >= 100)
            QVERIFY(opaque(im, chaud));
    }

    void ciblesCentreesSurLePointChaud()
    {
        for (int slot : {101, 102, 103, 201, 202, 203}) {
            const QRect r = etendue(imageDuSlot(slot));
            QCOMPARE(r.center(), curseurSlot(slot).hotSpot());
        }
        // Large target about 19 pixels across, the small one's hair lines 9 from the centre.
        QCOMPARE(etendue(imageDuSlot(101)).size(), QSize(19, 19));
        QCOMPARE(etendue(imageDuSlot(102)).size(), QSize(19, 19));
        QCOMPARE(etendue(imageDuSlot(103)).size(), QSize(19, 19));
    }

    void variantesNoireEtBlanche()
    {
        // The black pointer is black only; the white one is the same figure in white,
        // outlined in black so that it shows on a light picture.
        for (int slot : {101, 102, 103, 111, 112, 113, 114, 121, 122, 131, 132, 141, 142}) {
            const QImage noir = imageDuSlot(slot);
            const QImage blanc = imageDuSlot(slot + 100);
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x) {
                    const QRgb n = noir.pixel(x, y);
                    if (qAlpha(n) > 0) {
                        QCOMPARE(n & 0xFFFFFF, 0u);
                        QCOMPARE(blanc.pixel(x, y), qRgb(255, 255, 255));
                    } else if (qAlpha(blanc.pixel(x, y)) > 0) {
                        QCOMPARE(blanc.pixel(x, y) & 0xFFFFFF, 0u);
                    }
                }
            }
        }
    }

    void nomsSansCasseEtNomsInconnus()
    {
        QVERIFY(chargerCurseur(900, QStringLiteral("ciblepn")));
        QCOMPARE(curseurSlot(900).hotSpot(), QPoint(11, 11));
        QCOMPARE(imageDuSlot(900), imageDuSlot(102));
        QVERIFY(chargerCurseur(901, QStringLiteral("XPYNB")));
        QCOMPARE(curseurSlot(901).hotSpot(), QPoint(7, 7));

        // An unknown name empties the slot, even one that held a pointer.
        QVERIFY(!chargerCurseur(900, QStringLiteral("NEXISTEPAS")));
        QCOMPARE(curseurSlot(900).shape(), Qt::ArrowCursor);
        QVERIFY(!chargerCurseur(902, QString()));
        QCOMPARE(curseurSlot(902).shape(), Qt::ArrowCursor);
        QCOMPARE(curseurSlot(7).shape(), Qt::ArrowCursor);
    }

    void imagesDesBoutons()
    {
        const QStringList noms = nomsImagesBoutons();
        QVERIFY(noms.size() >= 15);
        for (const QString &nom : noms) {
            const QIcon icone = imageBouton(nom);
            QVERIFY2(!icone.isNull(), qPrintable(nom));
            const QImage im = icone.pixmap(24, 24).toImage();
            QVERIFY2(etendue(im).isValid(), qPrintable(nom)); // something is drawn
        }
        QVERIFY(!imageBouton(QStringLiteral("BBTNPLAY")).isNull());
        QVERIFY(imageBouton(QStringLiteral("bbtnInconnu")).isNull());
    }

    void imagesDesEtalonsEtDesAxes()
    {
        for (int i = 0; i < 6; ++i)
            QCOMPARE(imageEtalon(i).size(), QSize(72, 40));
        // Each mode's active drawing differs from its idle one, and the modes differ.
        for (int mode = 0; mode < 3; ++mode)
            QVERIFY(imageEtalon(2 * mode).toImage() != imageEtalon(2 * mode + 1).toImage());
        QVERIFY(imageEtalon(1).toImage() != imageEtalon(3).toImage());
        QVERIFY(imageEtalon(-1).isNull());
        QVERIFY(imageEtalon(6).isNull());

        for (int i = 0; i < 4; ++i) {
            QCOMPARE(imageAxes(i).size(), QSize(24, 24));
            for (int j = 0; j < i; ++j)
                QVERIFY(imageAxes(i).toImage() != imageAxes(j).toImage());
        }
        QVERIFY(imageAxes(-1).isNull());
        QVERIFY(imageAxes(4).isNull());
    }
};

QTEST_MAIN(TestCurseurs)
#include "test_curseurs.moc"
