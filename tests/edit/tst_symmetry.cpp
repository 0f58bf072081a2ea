// Make symmetric against its rules for players written plainly here, on
// generated maps like played multiplayer maps: 2 to 12 players, some
// sharing teams, start lines stale, fresh or missing, players on the
// middle, odd counts, units and cities of players, barbarians and nobody,
// "TeamReveal=" lines, owned signs, wrapped and unwrapped edges. (Rivers
// and the plots themselves: tst_transforms.)

#include "MapDocument.h"
#include "MapMarks.h"
#include "MapWriter.h"
#include "PlayerStarts.h"
#include "Symmetry.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

using namespace vor4;

namespace {

// A plot read plainly: its owned blocks as "owner|lines, the owner as #",
// the teams it is revealed to, and its other lines.
struct PlainPlot
{
    QStringList blocks;
    QList<int> teams;
    QStringList others;
    bool operator==(const PlainPlot &o) const { return blocks == o.blocks && teams == o.teams && others == o.others; }
};

PlainPlot plainPlot(const QByteArray &text)
{
    static const QRegularExpression owner(QStringLiteral("(Unit|City)Owner=(-?\\d+)"));
    static const QRegularExpression reveal(QStringLiteral("^TeamReveal=((\\d+,)*)$"));
    PlainPlot p;
    QStringList block;
    int who = -1;
    for (const QString &l : QString::fromLatin1(text).split(QStringLiteral("\r\n"))) {
        if (l.startsWith(QLatin1String("Begin")) || !block.isEmpty()) {
            if (const auto m = owner.match(l); m.hasMatch() && who < 0)
                who = m.captured(2).toInt();
            block << QString(l).replace(owner, QStringLiteral("\\1Owner=#"));
            if (l.startsWith(QLatin1String("End"))) {
                p.blocks << QString::number(who) + QLatin1Char('|') + block.join(QLatin1Char('/'));
                block.clear();
                who = -1;
            }
        } else if (const auto m = reveal.match(l); m.hasMatch()) {
            for (const QString &t : m.captured(1).split(QLatin1Char(','), Qt::SkipEmptyParts))
                if (!p.teams.contains(t.toInt()))
                    p.teams << t.toInt();
        } else if (!l.contains(QLatin1String("River"))) { // rivers: tst_transforms
            p.others << l;
        }
    }
    std::sort(p.blocks.begin(), p.blocks.end());
    std::sort(p.teams.begin(), p.teams.end());
    return p;
}

int ownerOf(const QString &block) { return block.section(QLatin1Char('|'), 0, 0).toInt(); }

// A map like a played one; teams 0 to 5, and 15 of no one.
Document playedMap(QRandomGenerator &rng)
{
    const int w = rng.bounded(2, 14), h = rng.bounded(2, 14), players = rng.bounded(2, 13);
    Document doc;
    doc.ResetDocument(w, h);
    doc.Header.wrapX = rng.bounded(2);
    doc.Header.wrapY = rng.bounded(3) == 0;
    QList<QByteArrayList> lines(w * h); // by file plot, x * h + y
    const auto unit = [](const char *type, int owner) {
        return "BeginUnit\r\nUnitType=" + QByteArray(type) + (owner < -1 ? "" : ", UnitOwner=" + QByteArray::number(owner))
            + "\r\nEndUnit";
    };
    for (int i = 0; i < w * h; ++i)
        lines[i] << "Id=" + QByteArray::number(i);
    const int teamSize = rng.bounded(1, 4);
    for (int slot = 0; slot < players; ++slot) {
        int x = rng.bounded(w), y = rng.bounded(h);
        if (rng.bounded(6) == 0) // on the middle column or row, when there is one
            (w % 2 ? x : y) = (w % 2 ? w : h) / 2;
        const bool settler = rng.bounded(5) > 0;
        if (settler)
            lines[x * h + y] << unit(rng.bounded(2) ? "UNIT_SETTLER" : "unit_settler", slot);
        const int start = rng.bounded(10); // fresh, stale or none
        if (start >= 3 && start < 8) {
            x = rng.bounded(w);
            y = rng.bounded(h);
        }
        doc.PlayerTexts[slot] = "Team=" + QByteArray::number(rng.bounded(8) ? slot / teamSize : rng.bounded(6))
            + (start < 8 || !settler ? "\r\nStartingX=" + QByteArray::number(x) + ", StartingY=" + QByteArray::number(y) : "");
    }
    static const char *const types[] = {"UNIT_WARRIOR", "UNIT_WOLF", "UNIT_SETTLER"};
    for (int i = 0; i < w * h; ++i) {
        const auto owner = [&] { return rng.bounded(6) == 0 ? 18 : rng.bounded(8) == 0 ? -2 : rng.bounded(players); };
        for (int n = rng.bounded(7) == 0 ? rng.bounded(1, 3) : 0; n > 0; --n)
            lines[i] << unit(types[rng.bounded(rng.bounded(3) ? 2 : 3)], owner());
        if (rng.bounded(30) == 0)
            lines[i] << "BeginCity\r\nCityOwner=" + QByteArray::number(owner()) + "\r\nEndCity";
        QByteArray reveal = "TeamReveal=";
        for (int t : {0, 1, 2, 3, 4, 5, 15})
            if (rng.bounded(12) == 0)
                reveal += QByteArray::number(t) + ',';
        lines[i] << (rng.bounded(20) ? reveal : "TeamReveal=some");
        if (rng.bounded(4) == 0)
            lines[i].insert(rng.bounded(int(lines[i].size()) + 1), "isNOfRiver");
    }
    for (int i = 0; i < w * h; ++i)
        doc.PlotTexts.setText(i / h, h - 1 - i % h, lines[i].join("\r\n"));
    for (int n = rng.bounded(4); n > 0; --n)
        doc.SignTexts << "plotX=" + QByteArray::number(rng.bounded(w)) + "\r\nplotY=" + QByteArray::number(rng.bounded(h))
                + "\r\nplayerType=" + QByteArray::number(rng.bounded(-1, players)) + "\r\ncaption=S" + QByteArray::number(n);
    return doc;
}

} // namespace

class TestSymmetry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void playersAgainstTheirRules();
};

void TestSymmetry::playersAgainstTheirRules()
{
    QRandomGenerator rng(33);
    int kept = 0, swappedTeams = 0, losses = 0;
    for (int round = 0; round < 240; ++round) {
        const Document before = playedMap(rng);
        const int w = before.columnCount(), h = before.rowCount();
        const auto side = Symmetry::Side(round % 4);
        const auto mode = Symmetry::Mode(round / 4 % 2);
        MapDocument md;
        md.adopt(before.deepCopy());
        const Symmetry::Result result = Symmetry::makeSymmetric(md, side, mode);
        QVERIFY(result.ok);
        const Document &after = md.document();

        // The halves and the image, in file coordinates (y from the bottom).
        const bool across = side == Symmetry::Left || side == Symmetry::Right;
        const auto part = [&](QPoint p, bool source) {
            const int v = across ? p.x() : p.y(), size = across ? w : h;
            return (source == (side == Symmetry::Left || side == Symmetry::Bottom)) ? v < size / 2 : v > size - 1 - size / 2;
        };
        const auto img = [&](QPoint p) {
            const QPoint turned(w - 1 - p.x(), h - 1 - p.y());
            return mode == Symmetry::HalfTurn ? turned : across ? QPoint(turned.x(), p.y()) : QPoint(p.x(), turned.y());
        };
        const auto distance = [&](QPoint a, QPoint b) {
            const int dx = qAbs(a.x() - b.x()), dy = qAbs(a.y() - b.y());
            return qMax(before.Header.wrapX ? qMin(dx, w - dx) : dx, before.Header.wrapY ? qMin(dy, h - dy) : dy);
        };

        // The pairs: the nearest of all the pairs left, again and again.
        QMap<int, QPoint> startOf;
        for (const PlayerStart &s : PlayerStarts::effective(before))
            startOf.insert(s.player, s.at);
        QMap<int, int> partner;
        for (;;) {
            std::optional<std::tuple<int, int, int>> best;
            for (auto s = startOf.cbegin(); s != startOf.cend(); ++s)
                for (auto d = startOf.cbegin(); d != startOf.cend(); ++d)
                    if (part(*s, true) && part(*d, false) && !partner.contains(s.key()) && !partner.contains(d.key()))
                        best = std::min(best.value_or(std::tuple(INT_MAX, 0, 0)), std::tuple(distance(img(*s), *d), s.key(), d.key()));
            if (!best)
                break;
            partner[std::get<1>(*best)] = std::get<2>(*best);
            partner[std::get<2>(*best)] = std::get<1>(*best);
        }
        QList<int> keptPlayers;
        for (int p : startOf.keys())
            if (!partner.contains(p))
                keptPlayers << p;
        kept += int(keptPlayers.size());

        // Teams swap when they pair only with each other and all their
        // players are paired; a team of only kept players gets no image.
        const auto teamOf = [&](int player) { return before.PlayerTexts[player].mid(5, before.PlayerTexts[player].indexOf('\r') - 5).toInt(); };
        QMap<int, QSet<int>> pairsOf;
        QSet<int> teamsInUse, keptTeams;
        for (int p : startOf.keys()) {
            teamsInUse << teamOf(p);
            if (partner.contains(p))
                pairsOf[teamOf(p)] << teamOf(partner[p]);
            else
                keptTeams << teamOf(p);
        }
        const auto teamInImage = [&](int t) -> std::optional<int> {
            const QSet<int> with = pairsOf.value(t);
            const int other = with.isEmpty() ? -1 : *with.begin();
            if (with.size() == 1 && other != t && pairsOf.value(other) == QSet<int>{t} && !keptTeams.contains(t)
                && !keptTeams.contains(other))
                return other;
            return teamsInUse.contains(t) && with.isEmpty() ? std::nullopt : std::optional(t);
        };
        for (int t : teamsInUse)
            swappedTeams += teamInImage(t) && *teamInImage(t) != t;

        // The other side holds images, owners and teams swapped, plus what
        // the kept players had there; the rest stays.
        QMap<int, int> unitsBefore, unitsAfter, settlersBefore, settlersAfter, revealedBefore, revealedAfter;
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y) {
                const QPoint p(x, y);
                const auto at = [&](const Document &d, QPoint q) { return plainPlot(d.PlotTexts.text(q.x(), h - 1 - q.y())); };
                const PlainPlot now = at(after, p), old = at(before, p);
                PlainPlot expected = old;
                if (part(p, false)) {
                    const PlainPlot source = at(before, img(p));
                    expected = PlainPlot{{}, {}, source.others};
                    for (const QString &b : source.blocks)
                        if (!keptPlayers.contains(ownerOf(b)))
                            expected.blocks << QString::number(partner.value(ownerOf(b), ownerOf(b))) + b.mid(b.indexOf('|'));
                    for (const QString &b : old.blocks)
                        if (keptPlayers.contains(ownerOf(b)))
                            expected.blocks << b;
                    for (int t : source.teams + old.teams) {
                        const std::optional<int> to = source.teams.contains(t) ? teamInImage(t) : std::nullopt;
                        if (to && !expected.teams.contains(*to))
                            expected.teams << *to;
                        if (old.teams.contains(t) && keptTeams.contains(t) && !expected.teams.contains(t))
                            expected.teams << t;
                    }
                    std::sort(expected.blocks.begin(), expected.blocks.end());
                    std::sort(expected.teams.begin(), expected.teams.end());
                }
                QVERIFY2(now == expected, qPrintable(QStringLiteral("round %1, plot %2,%3: %4 | %5").arg(round).arg(x).arg(y)
                                                         .arg(now.blocks.join(' '), expected.blocks.join(' '))));
                for (const auto &[plot, units, settlers, revealed] :
                     {std::tuple(old, &unitsBefore, &settlersBefore, &revealedBefore), std::tuple(now, &unitsAfter, &settlersAfter, &revealedAfter)}) {
                    for (const QString &b : plot.blocks)
                        if (b.contains(QLatin1String("Unit"))) {
                            ++(*units)[ownerOf(b)];
                            (*settlers)[ownerOf(b)] += b.contains(QLatin1String("settler"), Qt::CaseInsensitive);
                        }
                    for (int t : plot.teams)
                        ++(*revealed)[t];
                }
            }

        // Starts: each player of the other side at the image of its
        // partner's; signs: this side's come as images, owners swapped,
        // those of the other side go, the kept players' stay.
        for (int slot = 0; slot < before.PlayerTexts.size(); ++slot)
            QCOMPARE(MapMarks::startOf(after.PlayerTexts[slot]), partner.contains(slot) && part(startOf[slot], false)
                         ? std::optional(img(startOf[partner[slot]])) : MapMarks::startOf(before.PlayerTexts[slot]));
        const auto sign = [](int owner, QPoint p, const QByteArray &caption) {
            return QStringLiteral("%1 of %2 at %3,%4").arg(QString::fromLatin1(caption)).arg(owner).arg(p.x()).arg(p.y());
        };
        QStringList signs, expectedSigns;
        for (int copies = 0; copies < 2; ++copies)
            for (const QByteArray &s : before.SignTexts) {
                const QPoint p = *MapMarks::signPlot(s);
                const int owner = *MapMarks::signOwner(s);
                if (!copies && (!part(p, false) || keptPlayers.contains(owner)))
                    expectedSigns << sign(owner, p, s.right(2));
                else if (copies && part(p, true) && !keptPlayers.contains(owner))
                    expectedSigns << sign(partner.value(owner, owner), img(p), s.right(2));
            }
        for (const QByteArray &s : after.SignTexts)
            signs << sign(*MapMarks::signOwner(s), *MapMarks::signPlot(s), s.right(2));
        QCOMPARE(signs, expectedSigns);

        // The message: the pairs, the players kept, and every loss the
        // counts show.
        QStringList pairs, names, lost;
        for (auto it = partner.cbegin(); it != partner.cend(); ++it)
            if (it.key() < *it)
                pairs << QStringLiteral("%1\u2194%2").arg(it.key()).arg(*it);
        for (int k : keptPlayers)
            names << QString::number(k);
        for (int p : startOf.keys()) {
            if (unitsBefore.value(p) > 0 && unitsAfter.value(p) == 0)
                lost << QStringLiteral("player %1 has no unit left").arg(p);
            else if (settlersBefore.value(p) == 1 && settlersAfter.value(p) == 0)
                lost << QStringLiteral("player %1 has no settler left").arg(p);
            if (settlersAfter.value(p) > qMax(1, settlersBefore.value(p)))
                lost << QStringLiteral("player %1 has %2 settlers").arg(p).arg(settlersAfter.value(p));
        }
        QList<int> teams = teamsInUse.values();
        std::sort(teams.begin(), teams.end());
        for (int t : teams)
            if (revealedBefore.value(t) > 0 && revealedAfter.value(t) == 0)
                lost << QStringLiteral("team %1 has no revealed plot left").arg(t);
        losses += int(lost.size());
        const QString last = names.isEmpty() ? QString() : names.takeLast();
        const QString expected = QStringLiteral("Make symmetric from the %1 half (%2): %3 plot")
                                     .arg(Symmetry::sideName(side), mode == Symmetry::Mirror ? "mirror" : "half-turn")
                                     .arg(across ? w / 2 * h : h / 2 * w)
            + QLatin1String(pairs.isEmpty() ? ", no pair of players" : pairs.size() == 1 ? ", 1 pair of players (" : ", ")
            + (pairs.size() > 1 ? QStringLiteral("%1 pairs of players (").arg(pairs.size()) : QString())
            + pairs.join(QStringLiteral(", ")) + (pairs.isEmpty() ? "" : ")")
            + (last.isEmpty() ? QString() : names.isEmpty() ? QStringLiteral(", player %1 kept as it was").arg(last)
                              : QStringLiteral(", players %1 and %2 kept as they were").arg(names.join(QStringLiteral(", ")), last));
        QVERIFY2(result.message.contains(expected.section(QLatin1String(" plot"), 1)), qPrintable(result.message + " | " + expected));
        QVERIFY(result.message.startsWith(expected.section(QLatin1String(" plot"), 0, 0)));
        static const QRegularExpression rivers(QStringLiteral("; \\d+ river edges? fell off the map"));
        QCOMPARE(QString(result.message).remove(rivers).section(QStringLiteral("; "), 1), lost.join(QStringLiteral(", ")));
        QCOMPARE(result.notable, !keptPlayers.isEmpty() || !lost.isEmpty());

        // One step, which undo takes back whole.
        QCOMPARE(md.undoStack()->count(), 1);
        md.undoStack()->undo();
        QCOMPARE(buildSaveFile(md.document()), buildSaveFile(before));
    }
    // The maps reached every rule.
    QVERIFY(kept > 50 && swappedTeams > 50 && losses > 20);
}

QTEST_GUILESS_MAIN(TestSymmetry)
#include "tst_symmetry.moc"
