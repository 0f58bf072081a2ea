// Each player's effective start against a plain reading on generated maps:
// its first settler (plots by x, then y, in the file's coordinates), else
// its start line, none off the map; the same from a settler index that
// read only the plots with units.

#include "Document.h"
#include "PlayerStarts.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

using namespace vor4;

class TestPlayerStarts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void effectiveStartsAgainstAPlainReading();
};

void TestPlayerStarts::effectiveStartsAgainstAPlainReading()
{
    static const char *const types[] = {"UNIT_SETTLER", "unit_settler", "UNIT_WARRIOR", "UNIT_SCOUT"};
    static const char *const owners[] = {"UnitOwner=", "unitowner=", ""};
    static const QRegularExpression settler(QStringLiteral("BeginUnit\r\n\tUnitType=unit_settler, unitowner=(\\d+)\r\nEndUnit"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression line(QStringLiteral("StartingX=(-?\\d+), StartingY=(-?\\d+)"));
    QRandomGenerator rng(33);
    for (int round = 0; round < 300; ++round) {
        const int w = rng.bounded(1, 13), h = rng.bounded(1, 13), players = rng.bounded(1, 13);
        Document doc;
        doc.ResetDocument(w, h);
        QList<QPoint> unitCells;
        for (int col = 0; col < w; ++col)
            for (int row = 0; row < h; ++row) {
                QByteArray text = "TerrainType=TERRAIN_GRASS";
                for (int n = rng.bounded(6) == 0 ? rng.bounded(1, 4) : 0; n > 0; --n)
                    text += "\r\nBeginUnit\r\n\tUnitType=" + QByteArray(types[rng.bounded(4)]) + ", "
                        + owners[rng.bounded(3)] + QByteArray::number(rng.bounded(players + 2)) + "\r\nEndUnit";
                if (text.contains("Unit"))
                    unitCells << QPoint(col, row);
                doc.PlotTexts.setText(col, row, text);
            }
        for (int slot = 0; slot < players; ++slot)
            if (rng.bounded(4)) // only the first start line counts
                doc.PlayerTexts[slot] = "StartingX=" + QByteArray::number(rng.bounded(-2, w + 2)) + ", StartingY="
                    + QByteArray::number(rng.bounded(-2, h + 2)) + "\r\nStartingX=0, StartingY=0";

        // Plainly: the settlers' plots, x first, then y from the bottom.
        QMap<int, QPoint> first;
        for (int x = w - 1; x >= 0; --x)
            for (int y = h - 1; y >= 0; --y)
                for (auto m = settler.globalMatch(QString::fromLatin1(doc.PlotTexts.text(x, h - 1 - y))); m.hasNext();)
                    first[m.next().captured(1).toInt()] = QPoint(x, y);
        QStringList expected;
        for (int slot = 0; slot < doc.PlayerTexts.size(); ++slot) {
            const auto m = line.match(QString::fromLatin1(doc.PlayerTexts[slot]));
            const QPoint at = first.contains(slot) ? first[slot]
                : m.hasMatch()                      ? QPoint(m.captured(1).toInt(), m.captured(2).toInt())
                                                    : QPoint(-1, -1);
            if (QRect(0, 0, w, h).contains(at))
                expected << QStringLiteral("%1%2@%3,%4").arg(slot).arg(first.contains(slot) ? "s" : "l").arg(at.x()).arg(at.y());
        }
        SettlerIndex index;
        index.scanCells(doc.PlotTexts, unitCells);
        for (const QList<PlayerStart> &starts : {PlayerStarts::effective(doc), PlayerStarts::effective(doc, index)}) {
            QStringList found;
            for (const PlayerStart &s : starts)
                found << QStringLiteral("%1%2@%3,%4").arg(s.player).arg(s.fromSettler ? "s" : "l").arg(s.at.x()).arg(s.at.y());
            QCOMPARE(found, expected);
        }
    }
}

QTEST_GUILESS_MAIN(TestPlayerStarts)
#include "tst_playerstarts.moc"
