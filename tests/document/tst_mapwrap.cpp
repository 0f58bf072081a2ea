// The map's surface against a plain reading of its rules on every small
// map, wrapped each way: a plot's images under the wrap, the distance the
// short way round, and a work area that names each plot once, even where
// the map is narrower than the area.

#include "MapWrap.h"

#include <QSet>
#include <QtTest>

using namespace vor4;

class TestMapWrap : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void workAreaAndDistance_data();
    void workAreaAndDistance();
};

void TestMapWrap::workAreaAndDistance_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("wraps");
    for (int w = 1; w <= 7; ++w)
        for (int h = 1; h <= 6; ++h)
            for (int wraps = 0; wraps < 4; ++wraps)
                QTest::addRow("%dx%d wraps %d", w, h, wraps) << w << h << wraps;
}

void TestMapWrap::workAreaAndDistance()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, wraps);
    const MapWrap surface{width, height, bool(wraps & 1), bool(wraps & 2)};
    // Plainly: every plot of the map that some offset of the area reaches,
    // and the smallest of the distances over the images of the plots.
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) {
            QSet<QPoint> expected;
            for (int qx = 0; qx < width; ++qx)
                for (int qy = 0; qy < height; ++qy)
                    for (int ix = -1; ix <= 1; ++ix)
                        for (int iy = -1; iy <= 1; ++iy) {
                            if ((ix && !surface.wrapX) || (iy && !surface.wrapY))
                                continue;
                            const int dx = qAbs(qx + ix * width - x), dy = qAbs(qy + iy * height - y);
                            if (dx <= 2 && dy <= 2 && dx + dy < 4)
                                expected << QPoint(qx, qy);
                        }
            const QList<QPoint> area = surface.workArea(QPoint(x, y));
            QCOMPARE(QSet<QPoint>(area.begin(), area.end()), expected);
            QCOMPARE(area.size(), expected.size());
            for (int i = 0; i < width * height; ++i) {
                const QPoint q(i % width, i / width);
                int nearest = INT_MAX;
                for (int ix = -1; ix <= 1; ++ix)
                    for (int iy = -1; iy <= 1; ++iy)
                        if ((!ix || surface.wrapX) && (!iy || surface.wrapY))
                            nearest = qMin(nearest, qMax(qAbs(q.x() + ix * width - x), qAbs(q.y() + iy * height - y)));
                QCOMPARE(surface.distance(QPoint(x, y), q), nearest);
            }
        }
}

QTEST_GUILESS_MAIN(TestMapWrap)
#include "tst_mapwrap.moc"
