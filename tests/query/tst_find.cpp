// Find and replace in plot texts, held against plain loops over the plots
// that test each line on its own with QString and QRegularExpression; the
// sliced search against the synchronous one while the document changes.

#include "MapDocument.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "PlotQuery.h"
#include "PlotReplace.h"
#include "PlotSearch.h"
#include "ReplaceDocument.h"
#include "SetPlotTexts.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

using namespace vor4;

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QString Island = QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave");

struct Line
{
    QByteArray text;
    QByteArray end; // "\r\n", "\n", "\r" or nothing
};

QList<Line> linesOf(const QByteArray &text)
{
    QList<Line> lines;
    int i = 0;
    while (i < text.size()) {
        int j = i;
        while (j < text.size() && text[j] != '\r' && text[j] != '\n')
            ++j;
        QByteArray end;
        if (j + 1 < text.size() && text[j] == '\r' && text[j + 1] == '\n')
            end = "\r\n";
        else if (j < text.size())
            end = text.mid(j, 1);
        lines.append({text.mid(i, j - i), end});
        i = j + int(end.size());
    }
    return lines;
}

QString wide(const QByteArray &latin1) { return QString::fromLatin1(latin1); }

QRegularExpression plainRegex(const QString &pattern, const FindOptions &o)
{
    return QRegularExpression(o.wholeLine ? QRegularExpression::anchoredPattern(pattern) : pattern,
                              o.matchCase ? QRegularExpression::NoPatternOption
                                          : QRegularExpression::CaseInsensitiveOption);
}

// Whether one line, alone, matches: QString and QRegularExpression directly.
struct LineMatcher
{
    LineMatcher(const QString &p, const FindOptions &o) : pattern(p), options(o), regex(plainRegex(p, o)) {}

    bool operator()(const QString &line) const
    {
        if (pattern.isEmpty())
            return false;
        if (!options.regularExpression)
            return options.wholeLine ? line.compare(pattern, cs()) == 0 : line.contains(pattern, cs());
        return regex.match(line).hasMatch();
    }
    Qt::CaseSensitivity cs() const { return options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive; }

    QString pattern;
    FindOptions options;
    QRegularExpression regex;
};

// The first matching line of each matching cell, cells in reading order.
QList<QPair<QPoint, QByteArray>> plainFind(const PlotTable &plots, const LineMatcher &matches)
{
    QList<QPair<QPoint, QByteArray>> found;
    for (int row = 0; row < plots.rowCount(); ++row) {
        for (int col = 0; col < plots.columnCount(); ++col) {
            for (const Line &l : linesOf(plots.text(col, row))) {
                if (matches(wide(l.text))) {
                    found.append({QPoint(col, row), l.text});
                    break;
                }
            }
        }
    }
    return found;
}

QByteArray plainReplace(const QByteArray &text, const LineMatcher &matches, const QString &with)
{
    QByteArray out;
    for (const Line &l : linesOf(text)) {
        QString line = wide(l.text);
        if (!matches(line))
            out += l.text;
        else if (matches.options.regularExpression)
            out += line.replace(matches.regex, with).toLatin1();
        else if (matches.options.wholeLine)
            out += with.toLatin1();
        else
            out += line.replace(matches.pattern, with, matches.cs()).toLatin1();
        out += l.end;
    }
    return out;
}

QList<FindOptions> everyOption()
{
    QList<FindOptions> all;
    for (int bits = 0; bits < 8; ++bits)
        all.append({bool(bits & 1), bool(bits & 2), bool(bits & 4)});
    return all;
}

QByteArray describe(const QString &pattern, const FindOptions &o)
{
    return QStringLiteral("'%1' case=%2 line=%3 regex=%4")
        .arg(pattern)
        .arg(o.matchCase)
        .arg(o.wholeLine)
        .arg(o.regularExpression)
        .toUtf8();
}

// A map of awkward texts: every line end, empty lines, Latin-1 letters,
// blanks, keys in odd cases; each cell a random pick.
Document awkwardDocument(quint32 seed)
{
    static const char *const texts[] = {
        "TerrainType=TERRAIN_GRASS\r\nPlotType=2",
        "terraintype=terrain_grass\nBonusType=BONUS_GOLD",
        "A\rB\r\rC",
        "\xc4rger=\xc9T\xc9\r\nna\xefve=\xff",
        "",
        "\r\n",
        "x=1, y=2",
        "BonusType=bonus_gold,  extra\r\n",
        "  spaced  \r\n\tTabbed",
        "\xb5=\xb5\xb5",
        "PlotType=2 \r\nfoo\r\nfoo bar",
        "e\r\nBonus\r\nGRASS\r\nPlot",
        "TERRAIN_PLAINS\r\nPlotType=1\r\n\r\nBONUS_IRON",
        "ss\r\n\xdf",
        "aab\r\nab\r\nXXX",
        "x\x85" "Bonus\x85", // NEL is no line end here
    };
    Document doc;
    doc.ResetDocument(23, 17);
    QRandomGenerator rng(seed);
    for (int row = 0; row < 17; ++row)
        for (int col = 0; col < 23; ++col)
            doc.PlotTexts.setText(col, row, texts[rng.bounded(int(std::size(texts)))]);
    return doc;
}

const QStringList &patterns()
{
    static const QStringList list = {
        // plain text first; as regular expressions they mean something else
        "TerrainType", "terrain_grass", "BONUS_GOLD", "=", "PlotType=2", "2", QString::fromLatin1("\xe9"),
        QString::fromLatin1("\xc9T\xc9"), QString::fromLatin1("\xc4RGER"), QString::fromLatin1("\xb5"),
        QString::fromLatin1("\xff"), QString(QChar(0x178)), "  ", "\t", "x=1, y=2", "A", "C", QString(QChar(0x20ac)),
        QString::fromLatin1("\xdf"), "SS", "foo", "a\nb", "", "Plot",
        // patterns whose meaning as a regular expression is worth testing
        "BONUS_(\\w+)", "^Plot", "2$", "\\s*=\\s*", "[^=]*", "(?<=Type=)T", "\\AT", "^$", "e\\s+B",
        "TERRAIN_\\w+\\s+Plot", "[\\s\\S]+Plot", "foo(?!\\s)", "GRASS(?!\\s)", "(?i:bonus)_gold", "X*",
        "\\bPlot", "T.*S$", QString::fromLatin1("\xc9+"), "\\x{e9}", QString::fromLatin1("[\xe0-\xff]"),
        "\\d\\s*+$", "(?m)^B", "(?-m)^B", "(?x) B o n u s", "(a|b)+", "\\z", ".", "a\\Kb", "(?s)e.B",
        "(?<name>Bo)nus", "o\\Z", "(?>a+)b", "\\Gx", "\\R", "[^x]+?Bonus", "e\\s+\\KB", "(*CR)^B", "^Bonus", "Bonus$",
        "(?:e\\s(*SKIP)x|B)",
    };
    return list;
}

// Patterns for the real maps: what map makers look for, and the cases of the
// fast path (lines joined) against the line-by-line one.
const QStringList &mapPatterns()
{
    static const QStringList list = {
        "TerrainType", "terrain_grass", "BONUS_", "PlotType=3", "=", "FeatureType=FEATURE_ICE, FeatureVariety=0",
        "BONUS_(\\w+)", "^Plot", "3$", "TERRAIN_\\w+\\s+Plot", "[\\s\\S]+Plot", "(?<=Type=)T", "\\AT",
        "e\\s+\\KB", "GRASS(?!\\s)", "(?i:bonus)_\\w+$",
    };
    return list;
}

} // namespace

class TestFind : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void findMatchesPlainLoop_data();
    void findMatchesPlainLoop();
    void badPatternsAndEmptyText();
    void replaceMatchesPlainLoop();
    void replaceAllIsOneUndoableStep();
    void replaceIsRefusedBeforeAnythingChanges();
    void searchRunsInSlicesAndStartsOver();
    void searchFollowsEdits();
    void nextAndPreviousWrap();
};

void TestFind::findMatchesPlainLoop_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("patterns");
    QTest::newRow("awkward") << QString() << patterns();
    QTest::newRow("continents") << Continents << mapPatterns();
    QTest::newRow("island") << Island << mapPatterns();
}

void TestFind::findMatchesPlainLoop()
{
    QFETCH(QString, path);
    QFETCH(QStringList, patterns);
    Document doc = awkwardDocument(7);
    if (!path.isEmpty())
        QVERIFY(loadMapFile(path, doc).ok());
    const PlotTable &plots = doc.PlotTexts;
    const QList<QRect> areas = {QRect(), QRect(3, 2, 9, 11), QRect(-5, 10, 100, 1), QRect(200, 200, 4, 4)};
    int nonEmpty = 0;
    for (const QString &pattern : patterns) {
        for (const FindOptions &o : everyOption()) {
            QString error;
            const PlotQuery query = PlotQuery::compile(pattern, o, &error);
            QVERIFY2(error.isEmpty() == (!o.regularExpression || plainRegex(pattern, o).isValid()),
                     describe(pattern, o));
            const auto everywhere = plainFind(plots, LineMatcher(pattern, o));
            for (const QRect &area : areas) {
                auto expected = everywhere;
                expected.removeIf([&area](const auto &hit) { return !area.isNull() && !area.contains(hit.first); });
                const std::vector<qint32> cells = query.find(plots, area);
                QVERIFY2(cells.size() == std::size_t(expected.size()), describe(pattern, o) + " count");
                for (qsizetype i = 0; i < expected.size(); ++i) {
                    const QPoint cell = expected[i].first;
                    QVERIFY2(cells[std::size_t(i)] == cell.y() * plots.columnCount() + cell.x(), describe(pattern, o));
                    const auto line = query.firstMatchingLine(plots.view(cell.x(), cell.y()));
                    QVERIFY(line.has_value());
                    QCOMPARE(line->toByteArray(), expected[i].second);
                    QVERIFY(query.matches(plots.view(cell.x(), cell.y())));
                }
                nonEmpty += !expected.isEmpty();
            }
        }
    }
    QVERIFY(nonEmpty > 4 * patterns.size()); // the patterns do find things
}

void TestFind::badPatternsAndEmptyText()
{
    const Document doc = awkwardDocument(3);
    for (const char *bad : {"BONUS_(", "[a-", "*x", "(?<n>x)(?<n>y)", "x{2,1}"}) {
        QString error;
        const PlotQuery q = PlotQuery::compile(QLatin1String(bad), {true, false, true}, &error);
        QVERIFY2(error.startsWith(QLatin1String("The regular expression is not valid: ")), qPrintable(error));
        QVERIFY(error.contains(QLatin1String(" at position ")));
        QVERIFY(q.findsNothing());
        QVERIFY(q.find(doc.PlotTexts).empty());
        // As plain text the same characters are fine.
        QVERIFY(!PlotQuery::compile(QLatin1String(bad), {true, false, false}).findsNothing());
    }
    for (const FindOptions &o : everyOption()) {
        QString error = QStringLiteral("stale");
        QVERIFY(PlotQuery::compile(QString(), o, &error).findsNothing());
        QVERIFY(error.isEmpty());
    }
    QVERIFY(PlotQuery().find(doc.PlotTexts).empty());
    QVERIFY(!PlotQuery().matches("anything"));
}

void TestFind::replaceMatchesPlainLoop()
{
    struct Case
    {
        QString pattern, with;
        FindOptions options;
    };
    const QList<Case> cases = {
        {"TERRAIN_GRASS", "TERRAIN_PLAINS", {true, false, false}},
        {"bonus_gold", "BONUS_SILVER", {false, false, false}},
        {"a", "aa", {true, false, false}},
        {"PlotType=2", "PlotType=1", {true, true, false}},
        {"plottype=2 ", "x", {false, true, false}},
        {"BONUS_(\\w+)", "RES_\\1_X", {true, false, true}},
        {"(\\w+)=(\\w+)", "\\2=\\1", {false, false, true}},
        {"X*", "-", {true, false, true}},
        {"(Terrain)Type=(.*)", "\\2 \\1", {false, true, true}},
        {"\\s+", " ", {true, false, true}},
        {QString::fromLatin1("\xe9"), QString::fromLatin1("\xe8\xe8"), {false, false, false}},
        {"foo", "\\1", {true, false, false}},
        {"^$", "(empty)", {true, false, true}},
    };
    QList<int> changed(cases.size(), 0);
    for (const QString &path : {QString(), Continents}) {
        Document doc = awkwardDocument(11);
        if (!path.isEmpty())
            QVERIFY(loadMapFile(path, doc).ok());
        for (qsizetype i = 0; i < cases.size(); ++i) {
            const Case &c = cases[i];
            const PlotQuery q = PlotQuery::compile(c.pattern, c.options);
            const LineMatcher matcher(c.pattern, c.options);
            for (int row = 0; row < doc.rowCount(); ++row) {
                for (int col = 0; col < doc.columnCount(); ++col) {
                    const QByteArray text = doc.PlotTexts.text(col, row);
                    const QByteArray expected = plainReplace(text, matcher, c.with);
                    QCOMPARE(q.replaced(text, c.with), expected);
                    changed[i] += expected != text;
                }
            }
        }
    }
    for (qsizetype i = 0; i < cases.size(); ++i)
        QVERIFY2(changed[i] > 0, describe(cases[i].pattern, cases[i].options));
}

void TestFind::replaceAllIsOneUndoableStep()
{
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    const Document original = md.document();
    const QByteArray before = buildSaveFile(original);
    const QString pattern = QStringLiteral("(TERRAIN|BONUS)_(\\w+)");
    const QString with = QStringLiteral("\\1_NEW_\\2");
    const FindOptions o{true, false, true};
    const PlotQuery q = PlotQuery::compile(pattern, o);
    const QRegion area = QRegion(10, 5, 30, 6) | QRect(10, 5, 8, 20); // an L

    QSignalSpy changedSpy(&md, &MapDocument::plotsChanged);
    const ReplaceResult r = replaceInArea(&md, q, with, area);
    QVERIFY(r.ok());
    int expected = 0;
    for (int row = 0; row < 40; ++row) {
        for (int col = 0; col < 64; ++col) {
            const QByteArray old = original.PlotTexts.text(col, row);
            const QByteArray now = md.document().PlotTexts.text(col, row);
            if (area.contains(QPoint(col, row))) {
                QCOMPARE(now, plainReplace(old, LineMatcher(pattern, o), with));
                expected += now != old;
            } else {
                QCOMPARE(now, old);
            }
        }
    }
    QCOMPARE(r.plots, expected);
    QCOMPARE(md.undoStack()->count(), 1);
    QCOMPARE(md.undoStack()->text(0), QStringLiteral("Replace %1 plots").arg(expected));
    QCOMPARE(changedSpy.count(), 1);
    QVERIFY(area.boundingRect().contains(changedSpy[0][0].value<QRegion>().boundingRect()));
    const QByteArray after = buildSaveFile(md.document());

    md.undoStack()->undo();
    QCOMPARE(buildSaveFile(md.document()), before);
    QVERIFY(!md.isModified());
    md.undoStack()->redo();
    QCOMPARE(buildSaveFile(md.document()), after);

    // One plot: the count is named in the singular; a step that changes
    // nothing is not recorded.
    const int cols = md.document().columnCount();
    const std::vector<qint32> cells = PlotQuery::compile("TERRAIN_NEW_", {true, false, false}).find(md.document().PlotTexts);
    QVERIFY(!cells.empty());
    const ReplaceResult one = replaceInPlots(&md, PlotQuery::compile("NEW_", {true, false, false}), "", {cells[0]});
    QCOMPARE(one.plots, 1);
    QCOMPARE(md.undoStack()->text(1), QStringLiteral("Replace 1 plot"));
    QVERIFY(!md.document().PlotTexts.view(cells[0] % cols, cells[0] / cols).contains("NEW_"));
    const ReplaceResult none = replaceInArea(&md, PlotQuery::compile("no such text", {}), "x");
    QVERIFY(none.ok());
    QCOMPARE(none.plots, 0);
    QCOMPARE(md.undoStack()->count(), 2);

    // The count reads as people write it.
    QVERIFY(replaceInArea(&md, PlotQuery::compile("PlotType", {}), "PlotKind").ok());
    QCOMPARE(md.undoStack()->text(2), QStringLiteral("Replace 2,560 plots"));
}

void TestFind::replaceIsRefusedBeforeAnythingChanges()
{
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    const QByteArray before = buildSaveFile(md.document());
    const PlotQuery q = PlotQuery::compile("TerrainType", {});

    ReplaceResult r = replaceInArea(&md, q, QString(QChar(0x20ac)));
    QVERIFY(r.error.contains(QLatin1String("cannot hold")));
    r = replaceInArea(&md, q, QStringLiteral("a\nb"));
    QCOMPARE(r.error, QStringLiteral("The replacement must be a single line"));
    QCOMPARE(r.plots, 0);

    // 2,560 plots of 1.75 MiB each pass the plot texts' 4 GiB bound. Every
    // plot gets the same text, so the step under construction stays small.
    Document same;
    same.ResetDocument(64, 40);
    for (int row = 0; row < 40; ++row)
        for (int col = 0; col < 64; ++col)
            same.PlotTexts.setText(col, row, "A");
    QVERIFY(md.push(new ReplaceDocument(&md, std::move(same), QStringLiteral("New"))));
    const QByteArray plain = buildSaveFile(md.document());
    r = replaceInArea(&md, PlotQuery::compile("A", {true, false, false}), QString(1792 * 1024, QLatin1Char('b')));
    QVERIFY(r.error.contains(QLatin1String("too large")));
    QCOMPARE(r.plots, 0);
    QCOMPARE(md.undoStack()->count(), 1);
    QCOMPARE(buildSaveFile(md.document()), plain);
    md.undoStack()->undo();
    QCOMPARE(buildSaveFile(md.document()), before);
}

void TestFind::searchRunsInSlicesAndStartsOver()
{
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    PlotSearch search(&md);
    search.setSliceMilliseconds(0); // one band of columns a slice
    QSignalSpy finished(&search, &PlotSearch::finished);
    QSignalSpy changed(&search, &PlotSearch::matchesChanged);

    const PlotQuery ocean = PlotQuery::compile("TERRAIN_OCEAN", {});
    search.start(ocean);
    QVERIFY(search.isRunning());
    QCOMPARE(search.count(), 0); // nothing before the event loop runs
    QCoreApplication::processEvents();
    QVERIFY(search.isRunning());
    QVERIFY(search.count() > 0);

    // New typing: the old search is dropped, the new one runs to its end.
    const PlotQuery bonus = PlotQuery::compile("BONUS_(\\w+)", {false, false, true});
    search.start(bonus);
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished[0][0].toInt(), search.count());
    QVERIFY(search.matches() == bonus.find(md.document().PlotTexts));
    QVERIFY(changed.count() >= 8);

    // finish() completes at once; an area limits the search.
    const QRect area(10, 5, 20, 10);
    search.start(ocean, area);
    search.finish();
    QVERIFY(!search.isRunning());
    QCOMPARE(search.area(), area);
    QVERIFY(search.matches() == ocean.find(md.document().PlotTexts, area));
    for (qint32 i : search.matches())
        QVERIFY(area.contains(search.cellOf(i)));

    // An empty query clears the marks and is done at once.
    finished.clear();
    search.clear();
    QCOMPARE(search.count(), 0);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!search.isRunning());
}

void TestFind::searchFollowsEdits()
{
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    PlotSearch search(&md);
    search.setSliceMilliseconds(0);
    const PlotQuery q = PlotQuery::compile("TERRAIN_DESERT", {true, false, false});
    const auto fresh = [&] { return q.find(md.document().PlotTexts); };

    const auto paint = [&](QList<QPoint> cells, const QByteArray &text) {
        auto *step = new SetPlotTexts(&md, QStringLiteral("Paint"));
        for (const QPoint &c : cells)
            step->add(c.x(), c.y(), text);
        QVERIFY(md.push(step));
    };

    // Edits in rows searched already and rows still to come, mid-search.
    search.start(q);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    QVERIFY(search.isRunning());
    paint({QPoint(1, 1), QPoint(2, 38), QPoint(60, 0)}, "TerrainType=TERRAIN_DESERT");
    search.finish();
    QVERIFY(search.matches() == fresh());
    QVERIFY(search.contains(1, 1) && search.contains(2, 38) && search.contains(60, 0));

    // After the end: a match taken away, another added, undo, redo.
    const QPoint first = search.cellOf(search.matches()[std::size_t(search.count() / 2)]);
    QSignalSpy changed(&search, &PlotSearch::matchesChanged);
    paint({first, QPoint(5, 5)}, "TerrainType=TERRAIN_GRASS");
    QVERIFY(!search.contains(first.x(), first.y()));
    QVERIFY(search.matches() == fresh());
    QCOMPARE(changed.count(), 1);
    md.undoStack()->undo();
    QVERIFY(search.contains(first.x(), first.y()));
    QVERIFY(search.matches() == fresh());
    md.undoStack()->redo();
    QVERIFY(search.matches() == fresh());

    // A new document of another size starts the search over.
    Document small;
    small.ResetDocument(5, 3);
    small.PlotTexts.setText(4, 2, "TerrainType=TERRAIN_DESERT");
    QVERIFY(md.push(new ReplaceDocument(&md, std::move(small), QStringLiteral("New"))));
    search.finish();
    QCOMPARE(search.count(), 1);
    QCOMPARE(search.cellOf(search.matches()[0]), QPoint(4, 2));
    QVERIFY(md.load(Island).ok());
    search.finish();
    QVERIFY(search.matches() == fresh());
}

void TestFind::nextAndPreviousWrap()
{
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    PlotSearch search(&md);
    QVERIFY(!search.next(0, 0).has_value());
    search.start(PlotQuery::compile("BONUS_", {}));
    search.finish();
    const std::vector<qint32> &all = search.matches();
    QVERIFY(all.size() > 10);
    // Reading order: rows from the top, each from the left.
    for (std::size_t i = 1; i < all.size(); ++i) {
        const QPoint a = search.cellOf(all[i - 1]), b = search.cellOf(all[i]);
        QVERIFY(a.y() < b.y() || (a.y() == b.y() && a.x() < b.x()));
    }
    // Next from no cell is the first; stepping visits all and wraps.
    std::optional<QPoint> at = search.next(-1, -1);
    QCOMPARE(*at, search.cellOf(all.front()));
    for (std::size_t i = 1; i <= all.size(); ++i) {
        at = search.next(at->x(), at->y());
        QCOMPARE(*at, search.cellOf(all[i % all.size()]));
    }
    at = search.previous(-1, -1);
    QCOMPARE(*at, search.cellOf(all.back()));
    at = search.previous(at->x(), at->y());
    QCOMPARE(*at, search.cellOf(all[all.size() - 2]));
    at = search.previous(search.cellOf(all.front()).x(), search.cellOf(all.front()).y());
    QCOMPARE(*at, search.cellOf(all.back()));
    // From a cell that is no match: the nearest one on either side.
    bool gapSeen = false;
    for (std::size_t i = 1; i < all.size() && !gapSeen; ++i) {
        if (all[i] - all[i - 1] < 2)
            continue;
        const QPoint gap = search.cellOf(all[i] - 1);
        QCOMPARE(*search.next(gap.x(), gap.y()), search.cellOf(all[i]));
        QCOMPARE(*search.previous(gap.x(), gap.y()), search.cellOf(all[i - 1]));
        gapSeen = true;
    }
    QVERIFY(gapSeen);
}

QTEST_GUILESS_MAIN(TestFind)
#include "tst_find.moc"
