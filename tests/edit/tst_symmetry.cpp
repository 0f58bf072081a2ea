// Make symmetric against its rules written plainly here, on generated maps
// like played multiplayer maps: 2 to 12 players, some sharing teams, start
// lines stale, fresh or missing, players on the middle, odd counts, units
// and cities of players, barbarians and nobody, "TeamReveal=" lines, owned
// signs, rivers, wrapped and unwrapped edges. Each plot of the other side
// holds the image of its source with owners and teams swapped along the
// pairs, players without a partner keep what they had where they had it,
// and the message names every loss the counts show.

#include "MapDocument.h"
#include "MapMarks.h"
#include "MapWriter.h"
#include "PlayerStarts.h"
#include "PlotFacts.h"
#include "Symmetry.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

using namespace vor4;

namespace {

QByteArray bytesOf(const Document &doc) { return buildSaveFile(doc); }

// A plot read plainly: its owned blocks as "owner|lines with the owner as
// #", the teams it is revealed to, and its other lines, river lines aside.
struct PlainPlot
{
    QStringList blocks;
    QList<int> teams;
    QList<QByteArray> others;
};

PlainPlot plainPlot(const QByteArray &text)
{
    static const QRegularExpression owner(QStringLiteral("(Unit|City)Owner=(-?\\d+)"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression reveal(QStringLiteral("^TeamReveal=((\\d+,)*)$"));
    PlainPlot p;
    QStringList block;
    int who = -1;
    for (const QByteArray &line : text.split('\n')) {
        const QString l = QString::fromLatin1(line).trimmed();
        if (l.startsWith(QLatin1String("Begin"))) {
            block = QStringList{l};
            who = -1;
        } else if (!block.isEmpty()) {
            const auto m = owner.match(l);
            if (m.hasMatch() && who < 0)
                who = m.captured(2).toInt();
            block << QString(l).replace(owner, QStringLiteral("\\1Owner=#"));
            if (l.startsWith(QLatin1String("End"))) {
                p.blocks << QString::number(who) + QLatin1Char('|') + block.join(QLatin1Char('/'));
                block.clear();
            }
        } else if (const auto m = reveal.match(l); m.hasMatch()) {
            for (const QString &t : m.captured(1).split(QLatin1Char(','), Qt::SkipEmptyParts))
                if (!p.teams.contains(t.toInt()))
                    p.teams << t.toInt();
        } else if (!l.contains(QLatin1String("river"), Qt::CaseInsensitive)) {
            p.others << l.toLatin1();
        }
    }
    std::sort(p.blocks.begin(), p.blocks.end());
    std::sort(p.teams.begin(), p.teams.end());
    return p;
}

int ownerOf(const QString &block) { return block.section(QLatin1Char('|'), 0, 0).toInt(); }
QString ownedBy(const QString &block, int owner) { return QString::number(owner) + block.mid(block.indexOf(QLatin1Char('|'))); }

QByteArray unitText(const char *type, int owner)
{
    QByteArray u = "BeginUnit\r\nUnitType=" + QByteArray(type);
    if (owner != -2)
        u += ", UnitOwner=" + QByteArray::number(owner);
    return u + "\r\nDamage=0\r\nEndUnit";
}

// A map like a played one. Team numbers 0 to 5 and 15 (a team of no one).
Document playedMap(QRandomGenerator &rng, bool *oddAxis)
{
    const int w = rng.bounded(2, 14), h = rng.bounded(2, 14), players = rng.bounded(2, 13);
    *oddAxis = w % 2 || h % 2;
    Document doc;
    doc.ResetDocument(w, h);
    doc.Header.wrapX = rng.bounded(2);
    doc.Header.wrapY = rng.bounded(3) == 0;
    const auto cell = [&]() { return QPoint(rng.bounded(w), rng.bounded(h)); }; // file plot
    QList<QList<QByteArray>> lines(w * h);
    const auto at = [&](QPoint p) -> QList<QByteArray> & { return lines[p.x() * h + p.y()]; };
    for (int i = 0; i < w * h; ++i)
        lines[i] << "Id=" + QByteArray::number(i) << (rng.bounded(2) ? "PlotType=1" : "PlotType=3");
    const int teamSize = rng.bounded(1, 4);
    for (int slot = 0; slot < players; ++slot) {
        QByteArray text = "Team=" + QByteArray::number(rng.bounded(8) ? slot / teamSize : rng.bounded(6));
        QPoint settler = cell();
        if (*oddAxis && rng.bounded(6) == 0) // on the middle column or row
            settler = w % 2 ? QPoint(w / 2, settler.y()) : QPoint(settler.x(), h / 2);
        const bool hasSettler = rng.bounded(5) > 0;
        if (hasSettler)
            at(settler) << unitText(rng.bounded(2) ? "UNIT_SETTLER" : "unit_settler", slot);
        if (const int line = rng.bounded(10); line < 3 || !hasSettler) // fresh, or a start line only
            text += "\r\nStartingX=" + QByteArray::number(settler.x()) + ", StartingY=" + QByteArray::number(settler.y());
        else if (line < 8) { // stale
            const QPoint p = cell();
            text += "\r\nStartingX=" + QByteArray::number(p.x()) + ", StartingY=" + QByteArray::number(p.y());
        }
        doc.PlayerTexts[slot] = text + "\r\nHandicap=HANDICAP_NOBLE";
    }
    static const char *const types[] = {"UNIT_WARRIOR", "UNIT_SCOUT", "UNIT_WOLF", "UNIT_SETTLER"};
    for (int i = 0; i < w * h; ++i) {
        const auto owner = [&] { return rng.bounded(6) == 0 ? 18 : rng.bounded(8) == 0 ? -2 : rng.bounded(players); };
        for (int n = rng.bounded(7) == 0 ? rng.bounded(1, 3) : 0; n > 0; --n)
            lines[i] << unitText(types[rng.bounded(rng.bounded(3) ? 3 : 4)], owner());
        if (rng.bounded(30) == 0)
            lines[i] << "BeginCity\r\nCityOwner=" + QByteArray::number(owner()) + "\r\nCityName=C" + QByteArray::number(i)
                    + "\r\nEndCity";
        if (rng.bounded(3) == 0) {
            QByteArray reveal = "TeamReveal=";
            for (int t : {0, 1, 2, 3, 4, 5, 15})
                if (rng.bounded(4) == 0)
                    reveal += QByteArray::number(t) + ',';
            lines[i] << (rng.bounded(20) ? reveal : "TeamReveal=some");
        }
        const int kinds = rng.bounded(6), f = rng.bounded(5);
        if (kinds & 1)
            lines[i].insert(rng.bounded(int(lines[i].size()) + 1), "isNOfRiver");
        if ((kinds & 1) && f < 4)
            lines[i] << "RiverWEDirection=" + QByteArray::number(f);
        if (kinds & 2)
            lines[i] << "isWOfRiver";
        if ((kinds & 2) && f < 4)
            lines[i] << "RiverNSDirection=" + QByteArray::number(3 - f);
    }
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            doc.PlotTexts.setText(x, h - 1 - y, at(QPoint(x, y)).join("\r\n"));
    for (int n = rng.bounded(4); n > 0; --n) {
        const QPoint p = cell();
        doc.SignTexts << "plotX=" + QByteArray::number(p.x()) + "\r\nplotY=" + QByteArray::number(p.y()) + "\r\nplayerType="
                + QByteArray::number(rng.bounded(-1, players)) + "\r\ncaption=S" + QByteArray::number(n);
    }
    return doc;
}

struct Counts
{
    QHash<int, int> units, settlers, revealed;
};

Counts countsOf(const Document &doc)
{
    Counts c;
    for (int col = 0; col < doc.columnCount(); ++col)
        for (int row = 0; row < doc.rowCount(); ++row) {
            const PlainPlot p = plainPlot(doc.PlotTexts.text(col, row));
            for (const QString &b : p.blocks)
                if (b.contains(QLatin1String("BeginUnit"))) {
                    ++c.units[ownerOf(b)];
                    c.settlers[ownerOf(b)] += b.contains(QLatin1String("settler"), Qt::CaseInsensitive);
                }
            for (int t : p.teams)
                ++c.revealed[t];
        }
    return c;
}

} // namespace

class TestSymmetry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void againstItsRulesOnPlayedMaps();
};

void TestSymmetry::againstItsRulesOnPlayedMaps()
{
    QRandomGenerator rng(33);
    int kept = 0, swappedTeams = 0, losses = 0;
    for (int round = 0; round < 240; ++round) {
        bool oddAxis = false;
        const Document crafted = playedMap(rng, &oddAxis);
        const int w = crafted.columnCount(), h = crafted.rowCount();
        const auto side = Symmetry::Side(round % 4);
        const auto mode = Symmetry::Mode(round / 4 % 2);
        MapDocument md;
        md.adopt(crafted.deepCopy());
        const Document &before = crafted;
        const Symmetry::Result result = Symmetry::makeSymmetric(md, side, mode);
        QVERIFY(result.ok);
        const Document &after = md.document();
        const QString where = QStringLiteral("round %1: ").arg(round);

        // The halves and the image, in file coordinates (y from the bottom).
        const bool across = side == Symmetry::Left || side == Symmetry::Right;
        const auto part = [&](QPoint p, bool source) {
            const int v = across ? p.x() : p.y(), size = across ? w : h, half = size / 2;
            const bool low = v < half, high = v > size - 1 - half;
            const bool sourceLow = side == Symmetry::Left || side == Symmetry::Bottom;
            return p.x() >= 0 && p.y() >= 0 && p.x() < w && p.y() < h && (source == sourceLow ? low : high);
        };
        const auto img = [&](QPoint p) {
            const QPoint turned(w - 1 - p.x(), h - 1 - p.y());
            return mode == Symmetry::HalfTurn ? turned : across ? QPoint(turned.x(), p.y()) : QPoint(p.x(), turned.y());
        };
        const auto textAt = [](const Document &d, QPoint p) { return d.PlotTexts.text(p.x(), d.rowCount() - 1 - p.y()); };
        const auto distance = [&](QPoint a, QPoint b) {
            int dx = qAbs(a.x() - b.x()), dy = qAbs(a.y() - b.y());
            if (before.Header.wrapX == 1)
                dx = qMin(dx, w - dx);
            if (before.Header.wrapY == 1)
                dy = qMin(dy, h - dy);
            return qMax(dx, dy);
        };

        // The pairs: the nearest of all the pairs left, again and again.
        QHash<int, QPoint> startOf;
        for (const PlayerStart &s : PlayerStarts::effective(before))
            startOf.insert(s.player, s.at);
        QHash<int, int> partner;
        for (;;) {
            std::optional<std::tuple<int, int, int>> best;
            for (auto s = startOf.cbegin(); s != startOf.cend(); ++s)
                for (auto d = startOf.cbegin(); d != startOf.cend(); ++d)
                    if (part(*s, true) && part(*d, false) && !partner.contains(s.key()) && !partner.contains(d.key())) {
                        const std::tuple<int, int, int> c(distance(img(*s), *d), s.key(), d.key());
                        if (!best || c < *best)
                            best = c;
                    }
            if (!best)
                break;
            partner.insert(std::get<1>(*best), std::get<2>(*best));
            partner.insert(std::get<2>(*best), std::get<1>(*best));
        }
        QList<int> keptPlayers;
        for (auto s = startOf.cbegin(); s != startOf.cend(); ++s)
            if (!partner.contains(s.key()))
                keptPlayers << s.key();
        std::sort(keptPlayers.begin(), keptPlayers.end());
        kept += int(keptPlayers.size());

        // The teams: two swap when they pair only with each other and all
        // their players are paired.
        const auto teamOf = [&](int player) {
            return before.PlayerTexts[player].split('\r').first().mid(5).toInt();
        };
        QHash<int, QSet<int>> teamPartners;
        QSet<int> teamsInUse, keptTeams;
        for (auto s = startOf.cbegin(); s != startOf.cend(); ++s) {
            teamsInUse << teamOf(s.key());
            if (partner.contains(s.key()))
                teamPartners[teamOf(s.key())] << teamOf(partner[s.key()]);
            else
                keptTeams << teamOf(s.key());
        }
        const auto teamInImage = [&](int t) -> std::optional<int> {
            const QSet<int> with = teamPartners.value(t);
            if (with.size() == 1 && *with.begin() != t && teamPartners.value(*with.begin()) == QSet<int>{t}
                && !keptTeams.contains(t) && !keptTeams.contains(*with.begin()))
                return *with.begin();
            if (teamsInUse.contains(t) && with.isEmpty())
                return std::nullopt;
            return t;
        };
        for (int t : teamsInUse)
            swappedTeams += teamInImage(t) != t && teamInImage(t).has_value();

        // Every plot: the other side holds images, the rest stays.
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y) {
                const QPoint p(x, y);
                const PlainPlot now = plainPlot(textAt(after, p)), old = plainPlot(textAt(before, p));
                PlainPlot expected = old;
                if (part(p, false)) {
                    const PlainPlot source = plainPlot(textAt(before, img(p)));
                    expected.others = source.others;
                    expected.blocks.clear();
                    expected.teams.clear();
                    for (const QString &b : source.blocks)
                        if (!keptPlayers.contains(ownerOf(b)))
                            expected.blocks << ownedBy(b, partner.value(ownerOf(b), ownerOf(b)));
                    for (const QString &b : old.blocks)
                        if (keptPlayers.contains(ownerOf(b)))
                            expected.blocks << b;
                    for (int t : source.teams)
                        if (const std::optional<int> to = teamInImage(t); to && !expected.teams.contains(*to))
                            expected.teams << *to;
                    for (int t : old.teams)
                        if (keptTeams.contains(t) && !expected.teams.contains(t))
                            expected.teams << t;
                    std::sort(expected.blocks.begin(), expected.blocks.end());
                    std::sort(expected.teams.begin(), expected.teams.end());
                }
                QVERIFY2(now.others == expected.others, qPrintable(where + QStringLiteral("lines at %1,%2").arg(x).arg(y)));
                QVERIFY2(now.blocks == expected.blocks,
                         qPrintable(where + QStringLiteral("blocks at %1,%2: %3 | %4").arg(x).arg(y)
                                        .arg(now.blocks.join(QLatin1Char(' ')), expected.blocks.join(QLatin1Char(' ')))));
                QVERIFY2(now.teams == expected.teams, qPrintable(where + QStringLiteral("teams at %1,%2").arg(x).arg(y)));
            }

        // Starts: each player of the other side at the image of its
        // partner's, the rest as they were.
        for (int slot = 0; slot < before.PlayerTexts.size(); ++slot) {
            const bool takes = partner.contains(slot) && part(startOf[slot], false);
            const auto line = MapMarks::startOf(after.PlayerTexts[slot]);
            QCOMPARE(line, takes ? std::optional(img(startOf[partner[slot]])) : MapMarks::startOf(before.PlayerTexts[slot]));
        }

        // Signs: those of this side come as images, owners swapped; those of
        // the other side go; players kept keep theirs and get no image.
        const auto signName = [](const QByteArray &sign) {
            const auto p = MapMarks::signPlot(sign);
            return QString::fromLatin1(sign.mid(sign.indexOf("caption="))) + QStringLiteral(" of %1 at %2,%3")
                .arg(*MapMarks::signOwner(sign)).arg(p->x()).arg(p->y());
        };
        QStringList signs, expectedSigns;
        for (const QByteArray &s : before.SignTexts)
            if (!part(*MapMarks::signPlot(s), false) || keptPlayers.contains(*MapMarks::signOwner(s)))
                expectedSigns << signName(s);
        for (const QByteArray &s : before.SignTexts)
            if (const QPoint p = *MapMarks::signPlot(s); part(p, true) && !keptPlayers.contains(*MapMarks::signOwner(s))) {
                const int owner = *MapMarks::signOwner(s);
                expectedSigns << QString::fromLatin1(s.mid(s.indexOf("caption=")))
                        + QStringLiteral(" of %1 at %2,%3").arg(partner.value(owner, owner)).arg(img(p).x()).arg(img(p).y());
            }
        for (const QByteArray &s : after.SignTexts)
            signs << signName(s);
        QCOMPARE(signs, expectedSigns);

        // Rivers: the edges away from the other side stay, those touching
        // this side come again at their images, flows turned.
        const auto edgeName = [&](QPoint a, QPoint b, const std::optional<QByteArray> &flow) {
            const QPoint first = a.y() > b.y() || a.x() < b.x() ? a : b; // north or west
            const QPoint second = first == a ? b : a;
            return QStringLiteral("%1,%2-%3,%4 %5").arg(first.x()).arg(first.y()).arg(second.x()).arg(second.y())
                .arg(flow ? QString::fromLatin1(*flow) : QStringLiteral("-"));
        };
        const auto fileOf = [&](QPoint cell) { return QPoint(cell.x(), h - 1 - cell.y()); };
        QStringList expectedEdges, edges;
        for (const PlotFacts::RiverEdge &e : PlotFacts::riverEdges(before.PlotTexts, QRect(0, 0, w, h))) {
            const QPoint a = fileOf(e.carrier), b = fileOf(e.neighbour());
            if (!part(a, false) && !part(b, false))
                expectedEdges << edgeName(a, b, e.flow);
            if (!part(a, true) && !part(b, true))
                continue;
            const QPoint ia = img(a), ib = img(b);
            const QPoint carrier(qMin(ia.x(), ib.x()), qMax(ia.y(), ib.y()));
            if (carrier.x() < 0 || carrier.y() < 0 || carrier.x() >= w || carrier.y() >= h)
                continue;
            std::optional<QByteArray> flow = e.flow;
            if (flow) {
                const int c = flow->toInt();
                flow = QByteArray::number(mode == Symmetry::HalfTurn || (c % 2 == 1) == across ? (c + 2) % 4 : c);
            }
            expectedEdges << edgeName(ia, ib, flow);
        }
        for (const PlotFacts::RiverEdge &e : PlotFacts::riverEdges(after.PlotTexts, QRect(0, 0, w, h)))
            edges << edgeName(fileOf(e.carrier), fileOf(e.neighbour()), e.flow);
        expectedEdges.sort();
        edges.sort();
        QCOMPARE(edges, expectedEdges);

        // The message: the pairs, the players kept, and every loss.
        QStringList pairs, lost;
        for (auto it = partner.cbegin(); it != partner.cend(); ++it)
            if (it.key() < *it)
                pairs << QStringLiteral("%1\u2194%2").arg(it.key()).arg(*it);
        const auto first = [](const QString &pair) { return pair.section(QChar(0x2194), 0, 0).toInt(); };
        std::sort(pairs.begin(), pairs.end(), [&](const QString &a, const QString &b) { return first(a) < first(b); });
        const Counts was = countsOf(before), is = countsOf(after);
        for (int player : startOf.keys()) {
            if (was.units.value(player) > 0 && is.units.value(player) == 0)
                lost << QStringLiteral("player %1 has no unit left").arg(player);
            else if (was.settlers.value(player) == 1 && is.settlers.value(player) == 0)
                lost << QStringLiteral("player %1 has no settler left").arg(player);
            if (is.settlers.value(player) > qMax(1, was.settlers.value(player)))
                lost << QStringLiteral("player %1 has %2 settlers").arg(player).arg(is.settlers.value(player));
        }
        QList<int> teams = teamsInUse.values();
        std::sort(teams.begin(), teams.end());
        for (int t : teams)
            if (was.revealed.value(t) > 0 && is.revealed.value(t) == 0)
                lost << QStringLiteral("team %1 has no revealed plot left").arg(t);
        std::sort(lost.begin(), lost.end(), [](const QString &a, const QString &b) {
            return a.startsWith(QLatin1String("player")) != b.startsWith(QLatin1String("player"))
                ? a.startsWith(QLatin1String("player"))
                : a.section(QLatin1Char(' '), 1, 1).toInt() < b.section(QLatin1Char(' '), 1, 1).toInt();
        });
        losses += int(lost.size());
        QString keptText;
        if (keptPlayers.size() == 1)
            keptText = QStringLiteral(", player %1 kept as it was").arg(keptPlayers[0]);
        else if (!keptPlayers.isEmpty()) {
            QStringList names;
            for (int k : keptPlayers)
                names << QString::number(k);
            const QString last = names.takeLast();
            keptText = QStringLiteral(", players %1 and %2 kept as they were").arg(names.join(QStringLiteral(", ")), last);
        }
        const int plots = across ? w / 2 * h : h / 2 * w;
        QVERIFY2(result.message.startsWith(QStringLiteral("Make symmetric from the %1 half (%2): %3 plot")
                                               .arg(Symmetry::sideName(side), mode == Symmetry::Mirror ? "mirror" : "half-turn")
                                               .arg(plots)),
                 qPrintable(result.message));
        QVERIFY2(result.message.contains(
                     (pairs.isEmpty() ? QStringLiteral("no pair of players")
                                      : QStringLiteral("%1 pair%2 of players (%3)")
                                            .arg(pairs.size()).arg(pairs.size() == 1 ? "" : "s").arg(pairs.join(QStringLiteral(", "))))
                     + keptText + QStringLiteral(", ")),
                 qPrintable(where + result.message + QStringLiteral(" | ") + pairs.join(QLatin1Char(' ')) + keptText));
        QCOMPARE(result.message.section(QStringLiteral("; "), -1) == lost.join(QStringLiteral(", ")), !lost.isEmpty());
        QCOMPARE(result.notable, !keptPlayers.isEmpty() || !lost.isEmpty());

        // One step, which undo takes back whole.
        QCOMPARE(md.undoStack()->count(), bytesOf(after) == bytesOf(before) ? 0 : 1);
        md.undoStack()->undo();
        QCOMPARE(bytesOf(md.document()), bytesOf(before));
    }
    // The maps reached every rule.
    QVERIFY(kept > 50 && swappedTeams > 50 && losses > 20);
}

QTEST_GUILESS_MAIN(TestSymmetry)
#include "tst_symmetry.moc"
