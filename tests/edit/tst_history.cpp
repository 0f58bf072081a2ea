// The edit history: every kind of step undone and redone byte for byte, long
// random runs against a plain replay of the surviving edits, the history's
// byte budget and its saved state.

#include "MapDocument.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "ReplaceDocument.h"
#include "SetPlotText.h"
#include "SetPlotTexts.h"
#include "SetSectionLines.h"
#include "SetSlotText.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

using namespace vor4;

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QString Island = QStringLiteral(VOR4_FIXTURES_DIR "/island-15x15.Vor4WorldBuilderSave");

QByteArray bytesOf(const Document &doc) { return buildSaveFile(doc); }

// One edit as plain data, and its plain application to a document: the
// reference the commands are held against.
struct Edit
{
    enum Kind { Plots, Game, Map, Team, Player, Replace } kind = Plots;
    QList<QPoint> cells;
    QList<QByteArray> texts; // per cell; or the section lines
    int slot = 0;
    QByteArray text;
    int width = 1, height = 1;

    void applyPlainly(Document &doc) const
    {
        switch (kind) {
        case Plots:
            for (int i = 0; i < cells.size(); ++i)
                doc.PlotTexts.setText(cells[i].x(), cells[i].y(), texts[i]);
            break;
        case Game: doc.GameLines = texts; break;
        case Map: doc.MapLines = texts; break;
        case Team: doc.TeamTexts[slot] = text; break;
        case Player: doc.PlayerTexts[slot] = text; break;
        case Replace: {
            const QString name = doc.FileName;
            doc.ResetDocument(width, height);
            doc.FileName = name;
            break;
        }
        }
    }

    EditCommand *command(MapDocument *md) const
    {
        switch (kind) {
        case Plots: {
            if (cells.size() == 1)
                return new SetPlotText(md, cells[0].x(), cells[0].y(), texts[0], QStringLiteral("Edit plot"));
            auto *c = new SetPlotTexts(md, QStringLiteral("Paint on %1 plots"));
            for (int i = 0; i < cells.size(); ++i)
                c->add(cells[i].x(), cells[i].y(), texts[i]);
            return c;
        }
        case Game: return new SetSectionLines(md, SectionKind::Game, texts, QStringLiteral("Game"));
        case Map: return new SetSectionLines(md, SectionKind::Map, texts, QStringLiteral("Map"));
        case Team: return new SetSlotText(md, SectionKind::Team, slot, text, QStringLiteral("Team"));
        case Player: return new SetSlotText(md, SectionKind::Player, slot, text, QStringLiteral("Player"));
        case Replace: {
            Document fresh;
            fresh.ResetDocument(width, height);
            fresh.FileName = md->document().FileName;
            return new ReplaceDocument(md, std::move(fresh), QStringLiteral("New"));
        }
        }
        return nullptr;
    }
};

QByteArray randomText(QRandomGenerator &rng)
{
    static const char *const lines[] = {"TerrainType=TERRAIN_GRASS", "TerrainType=TERRAIN_OCEAN", "PlotType=1",
                                        "BonusType=BONUS_GOLD", "FeatureType=FEATURE_FOREST, FeatureVariety=0",
                                        "BeginUnit", "\tUnitType=UNIT_WARRIOR", "EndUnit", "", "  x  "};
    QByteArray text;
    const int n = rng.bounded(4);
    for (int i = 0; i < n; ++i) {
        if (i)
            text += "\r\n";
        text += lines[rng.bounded(10)];
    }
    return text;
}

Edit randomEdit(QRandomGenerator &rng, const Document &doc)
{
    Edit e;
    const int pick = rng.bounded(20);
    if (pick < 12) {
        e.kind = Edit::Plots;
        const int n = pick < 8 ? 1 : 1 + rng.bounded(40);
        QSet<quint64> seen;
        for (int i = 0; i < n; ++i) {
            const QPoint p(rng.bounded(doc.columnCount()), rng.bounded(doc.rowCount()));
            if (seen.contains(quint64(p.x()) << 32 | quint32(p.y())))
                continue;
            seen.insert(quint64(p.x()) << 32 | quint32(p.y()));
            e.cells << p;
            e.texts << randomText(rng);
        }
    } else if (pick < 14) {
        e.kind = pick == 12 ? Edit::Game : Edit::Map;
        for (int i = rng.bounded(5); i > 0; --i)
            e.texts << randomText(rng);
    } else if (pick < 18) {
        e.kind = pick < 16 ? Edit::Team : Edit::Player;
        e.slot = rng.bounded(Document::SlotCount);
        e.text = randomText(rng);
    } else {
        e.kind = Edit::Replace;
        e.width = 1 + rng.bounded(30);
        e.height = 1 + rng.bounded(30);
    }
    return e;
}

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void eachStepUndoesAndRedoesByteForByte();
    void randomRunsMatchPlainReplay_data();
    void randomRunsMatchPlainReplay();
    void strokesMergeIntoOneStep();
    void stepsThatChangeNothingAreNotRecorded();
    void signalsNameWhatChanged();
    void plotEditNamesShareTheirText();
    void budgetDropsOldestSteps();
    void savedStateFollowsTrimming();
    void loadEmptiesTheHistory();
    void groupsAreOneStep_data();
    void groupsAreOneStep();
};

void TestHistory::eachStepUndoesAndRedoesByteForByte()
{
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    QVERIFY(!md.isModified());
    const QByteArray original = bytesOf(md.document());

    QList<EditCommand *> steps;
    auto *plots = new SetPlotTexts(&md, QStringLiteral("Edit"));
    plots->add(3, 5, "TerrainType=TERRAIN_SNOW");
    plots->add(63, 39, "");
    plots->add(0, 0, md.document().PlotTexts.view(0, 0)); // unchanged: skipped
    QCOMPARE(plots->cellCount(), 2);
    steps << plots;
    steps << new SetPlotText(&md, 10, 20, "TerrainType=TERRAIN_SNOW\r\nPlotType=3", QStringLiteral("Edit plot"));
    steps << new SetPlotText(&md, 10, 20, "TerrainType=TERRAIN_OCEAN\r\nPlotType=3", QStringLiteral("Edit plot"));
    steps << new SetPlotText(&md, 10, 20, "", QStringLiteral("Clear plot"));
    steps << new SetSectionLines(&md, SectionKind::Game, {"A=1", "", "  B=2"}, QStringLiteral("Game"));
    steps << new SetSectionLines(&md, SectionKind::Map, {}, QStringLiteral("Map"));
    steps << new SetSlotText(&md, SectionKind::Team, 17, "TeamID=17\r\n", QStringLiteral("Team"));
    steps << new SetSlotText(&md, SectionKind::Player, 0, "", QStringLiteral("Player"));
    Document fresh;
    fresh.ResetDocument(7, 3);
    steps << new ReplaceDocument(&md, std::move(fresh), QStringLiteral("New"));

    QList<QByteArray> after;
    for (EditCommand *step : steps) {
        const QByteArray before = bytesOf(md.document());
        QVERIFY(md.push(step));
        QVERIFY(md.isModified());
        after << bytesOf(md.document());
        QVERIFY(after.last() != before);
        md.undoStack()->undo();
        QCOMPARE(bytesOf(md.document()), before);
        md.undoStack()->redo();
        QCOMPARE(bytesOf(md.document()), after.last());
    }
    QCOMPARE(md.document().columnCount(), 7);
    QCOMPARE(md.document().FileName, QString()); // the replacement had none

    // All the way back, and forward again.
    md.undoStack()->setIndex(0);
    QCOMPARE(bytesOf(md.document()), original);
    QCOMPARE(md.document().FileName, Continents);
    QVERIFY(!md.isModified());
    md.undoStack()->setIndex(md.undoStack()->count());
    QCOMPARE(bytesOf(md.document()), after.last());
}

void TestHistory::randomRunsMatchPlainReplay_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<qint64>("budget");
    QTest::newRow("island") << Island << 1u << MapDocument::DefaultHistoryBudget;
    QTest::newRow("continents") << Continents << 2u << MapDocument::DefaultHistoryBudget;
    QTest::newRow("continents, small budget") << Continents << 3u << qint64(200000);
}

void TestHistory::randomRunsMatchPlainReplay()
{
    QFETCH(QString, path);
    QFETCH(quint32, seed);
    QFETCH(qint64, budget);
    MapDocument md;
    md.setHistoryBudget(budget);
    QVERIFY(md.load(path).ok());
    Document reference;
    QVERIFY(loadMapFile(path, reference).ok());

    // The history as plain data: the edits, and how many of them are done.
    QList<Edit> edits;
    int done = 0;
    QRandomGenerator rng(seed);
    for (int step = 0; step < 1500; ++step) {
        const int action = rng.bounded(10);
        if (action < 6) {
            Edit e = randomEdit(rng, md.document());
            if (!md.push(e.command(&md)))
                continue; // nothing would change
            edits.erase(edits.begin() + done, edits.end());
            edits << e;
            done = edits.size();
        } else if (action < 8) {
            if (md.undoStack()->canUndo()) {
                md.undoStack()->undo();
                --done;
            }
        } else if (md.undoStack()->canRedo()) {
            md.undoStack()->redo();
            ++done;
        }
        // Steps the budget dropped can no longer be undone: the reference
        // applies them for good.
        const int dropped = edits.size() - md.undoStack()->count();
        QVERIFY(dropped >= 0);
        for (int i = 0; i < dropped; ++i)
            edits.takeFirst().applyPlainly(reference);
        done -= dropped;
        QCOMPARE(md.undoStack()->index(), done);
    }
    Document replay = reference;
    for (int i = 0; i < done; ++i)
        edits[i].applyPlainly(replay);
    QCOMPARE(bytesOf(md.document()), bytesOf(replay));
    if (budget != MapDocument::DefaultHistoryBudget) {
        QVERIFY(md.historyBytes() <= budget || md.undoStack()->count() == 1);
        QVERIFY(md.undoStack()->count() < 1000);
    }
    // Undoing what is left reaches the reference itself.
    md.undoStack()->setIndex(0);
    QCOMPARE(bytesOf(md.document()), bytesOf(reference));
}

void TestHistory::strokesMergeIntoOneStep()
{
    MapDocument md;
    md.reset(10, 10);
    auto paint = [&](bool mergeable, QList<QPoint> cells, const QByteArray &text) {
        auto *c = new SetPlotTexts(&md, QStringLiteral("Paint on %1 plots"));
        for (const QPoint &p : cells)
            c->add(p.x(), p.y(), text);
        c->setMergeable(mergeable);
        return md.push(c);
    };
    QVERIFY(paint(false, {{0, 0}}, "A"));
    QVERIFY(paint(false, {{1, 1}, {2, 2}}, "B")); // a second stroke
    QVERIFY(paint(true, {{2, 2}, {3, 3}}, "C"));
    QVERIFY(paint(true, {{1, 1}, {4, 4}, {2, 2}}, "D"));
    QCOMPARE(md.undoStack()->count(), 2);
    QCOMPARE(md.undoStack()->text(1), QStringLiteral("Paint on 4 plots"));
    QCOMPARE(md.document().PlotTexts.text(2, 2), QByteArray("D"));
    QCOMPARE(md.document().PlotTexts.text(3, 3), QByteArray("C"));
    md.undoStack()->undo(); // the whole second stroke, back to before it began
    for (const QPoint &p : {QPoint(1, 1), QPoint(2, 2), QPoint(3, 3), QPoint(4, 4)})
        QVERIFY(md.document().PlotTexts.isEmpty(p.x(), p.y()));
    QCOMPARE(md.document().PlotTexts.text(0, 0), QByteArray("A"));
    md.undoStack()->redo();
    QCOMPARE(md.document().PlotTexts.text(1, 1), QByteArray("D"));
    QCOMPARE(md.document().PlotTexts.text(3, 3), QByteArray("C"));

    // A stroke begun right after a save does not reach into the saved step.
    md.setClean();
    QVERIFY(paint(true, {{5, 5}}, "E"));
    QCOMPARE(md.undoStack()->count(), 3);
}

void TestHistory::stepsThatChangeNothingAreNotRecorded()
{
    MapDocument md;
    QVERIFY(md.load(Island).ok());
    QVERIFY(!md.push(new SetPlotTexts(&md, QStringLiteral("Nothing"))));
    QVERIFY(!md.push(new SetPlotText(&md, 2, 2, md.document().PlotTexts.view(2, 2), QStringLiteral("Edit plot"))));
    QVERIFY(!md.push(new SetPlotText(&md, 15, 0, "outside", QStringLiteral("Edit plot"))));
    QVERIFY(!md.push(new SetSectionLines(&md, SectionKind::Game, md.document().GameLines, QStringLiteral("x"))));
    QVERIFY(!md.push(new SetSlotText(&md, SectionKind::Team, 0, md.document().TeamTexts[0], QStringLiteral("x"))));
    QVERIFY(!md.push(new SetSlotText(&md, SectionKind::Team, 99, "no such slot", QStringLiteral("x"))));
    auto *outside = new SetPlotTexts(&md, QStringLiteral("x"));
    outside->add(-1, 0, "a");
    outside->add(0, 15, "a");
    QVERIFY(!md.push(outside));
    QCOMPARE(md.undoStack()->count(), 0);
    QVERIFY(!md.isModified());
}

void TestHistory::signalsNameWhatChanged()
{
    MapDocument md;
    md.reset(20, 10);
    QSignalSpy plots(&md, &MapDocument::plotsChanged);
    QSignalSpy sections(&md, &MapDocument::sectionChanged);
    QSignalSpy replaced(&md, &MapDocument::documentReplaced);
    QSignalSpy modified(&md, &MapDocument::modifiedChanged);
    QList<bool> recording;
    connect(&md, &MapDocument::plotsChanged, this, [&] { recording << md.isRecording(); });

    auto *c = new SetPlotTexts(&md, QStringLiteral("x"));
    c->add(4, 2, "a");
    c->add(9, 7, "b");
    c->add(5, 2, "c");
    md.push(c);
    const QRegion cells = QRegion(4, 2, 2, 1) + QRegion(9, 7, 1, 1);
    QCOMPARE(plots.count(), 1);
    QCOMPARE(plots.last().at(0).value<QRegion>(), cells);
    QCOMPARE(modified.count(), 1);
    QCOMPARE(modified.last().at(0).toBool(), true);
    md.undoStack()->undo();
    QCOMPARE(recording, (QList<bool>{true, false}));
    QCOMPARE(plots.last().at(0).value<QRegion>(), cells);
    QCOMPARE(modified.last().at(0).toBool(), false);

    md.push(new SetSlotText(&md, SectionKind::Player, 3, "P", QStringLiteral("x")));
    QCOMPARE(sections.last().at(0).value<SectionKind>(), SectionKind::Player);
    QCOMPARE(sections.last().at(1).toInt(), 3);
    md.push(new ReplaceDocument(&md, Document(), QStringLiteral("New")));
    QCOMPARE(replaced.count(), 1);
    md.undoStack()->undo();
    QCOMPARE(replaced.count(), 2);
    QCOMPARE(md.document().columnCount(), 20);
}

void TestHistory::plotEditNamesShareTheirText()
{
    MapDocument md;
    md.reset(30, 30);
    md.push(new SetPlotText(&md, 20, 10, "TerrainType=TERRAIN_GRASS", QStringLiteral("TerrainType changed")));
    md.push(new SetPlotText(&md, 3, 4, "TerrainType=TERRAIN_SNOW", QStringLiteral("TerrainType changed")));
    const auto *a = static_cast<const EditCommand *>(md.undoStack()->command(0));
    const auto *b = static_cast<const EditCommand *>(md.undoStack()->command(1));
    QCOMPARE(a->name(), QStringLiteral("TerrainType changed at (20, 10)"));
    QCOMPARE(b->name(), QStringLiteral("TerrainType changed at (3, 4)"));
    // One string for every step of the kind, however long the history.
    QCOMPARE(a->text().constData(), b->text().constData());
    // Only the differing middle of a text is kept.
    md.push(new SetPlotText(&md, 3, 4, "TerrainType=TERRAIN_SNOW\r\nBonusType=BONUS_GOLD", QStringLiteral("x")));
    const auto *c = static_cast<const EditCommand *>(md.undoStack()->command(2));
    QVERIFY(c->byteCost() < b->byteCost() + 24);
    md.undoStack()->undo();
    QCOMPARE(md.document().PlotTexts.text(3, 4), QByteArray("TerrainType=TERRAIN_SNOW"));
}

void TestHistory::budgetDropsOldestSteps()
{
    MapDocument md;
    md.reset(100, 100);
    // The history keeps the texts a step replaced: big texts, replaced.
    const QByteArray big(10000, 'x');
    auto *fill = new SetPlotTexts(&md, QStringLiteral("fill"));
    for (int i = 0; i < 50; ++i)
        fill->add(i, 0, big);
    md.push(fill);
    for (int i = 0; i < 50; ++i) {
        auto *c = new SetPlotTexts(&md, QStringLiteral("x"));
        c->add(i, 0, "small");
        md.push(c);
    }
    const qint64 all = md.historyBytes();
    QVERIFY(all > 50 * 10000);
    md.setHistoryBudget(all / 5);
    QVERIFY(md.historyBytes() <= all / 5);
    const int kept = md.undoStack()->count();
    QVERIFY(kept >= 8 && kept <= 10);
    // The newest steps are the ones kept, and they still undo.
    md.undoStack()->setIndex(0);
    for (int i = 0; i < 50; ++i)
        QCOMPARE(md.document().PlotTexts.text(i, 0), i < 50 - kept ? QByteArray("small") : big);
    md.undoStack()->setIndex(kept);
    // A budget smaller than one step still keeps the newest.
    md.setHistoryBudget(1);
    QCOMPARE(md.undoStack()->count(), 1);
    QVERIFY(md.undoStack()->canUndo());
}

void TestHistory::savedStateFollowsTrimming()
{
    auto edit = [](MapDocument &md, int i) {
        auto *c = new SetPlotTexts(&md, QStringLiteral("x"));
        c->add(i, 0, QByteArray(1000, char('a' + i % 26)));
        md.push(c);
    };
    // The saved state survives: undoing back to it is unmodified again.
    MapDocument kept;
    kept.reset(40, 1);
    for (int i = 0; i < 10; ++i)
        edit(kept, i);
    kept.setClean();
    const QByteArray saved = bytesOf(kept.document());
    for (int i = 10; i < 14; ++i)
        edit(kept, i);
    kept.setHistoryBudget(kept.historyBytes() * 8 / 14);
    QVERIFY(kept.undoStack()->count() < 14);
    QVERIFY(kept.isModified());
    kept.undoStack()->setIndex(kept.undoStack()->count() - 4);
    QVERIFY(!kept.isModified());
    QCOMPARE(bytesOf(kept.document()), saved);

    // The saved state is dropped: no state of the history is unmodified.
    MapDocument lost;
    lost.reset(40, 1);
    edit(lost, 0);
    lost.setClean();
    for (int i = 1; i < 10; ++i)
        edit(lost, i);
    QSignalSpy modified(&lost, &MapDocument::modifiedChanged);
    lost.setHistoryBudget(lost.historyBytes() / 3);
    QCOMPARE(modified.count(), 0); // modified before and after
    for (int i = lost.undoStack()->count(); i >= 0; --i) {
        lost.undoStack()->setIndex(i);
        QVERIFY(lost.isModified());
    }
}

void TestHistory::loadEmptiesTheHistory()
{
    MapDocument md;
    md.reset(5, 5);
    md.push(new SetSlotText(&md, SectionKind::Team, 0, "T", QStringLiteral("x")));
    QSignalSpy replaced(&md, &MapDocument::documentReplaced);
    QVERIFY(md.load(Island).ok());
    QCOMPARE(md.undoStack()->count(), 0);
    QVERIFY(!md.isModified());
    QCOMPARE(replaced.count(), 1);
    QCOMPARE(md.document().FileName, Island);
    // A failed load also leaves an empty history behind.
    md.push(new SetSlotText(&md, SectionKind::Team, 0, "T", QStringLiteral("x")));
    QVERIFY(!md.load(QStringLiteral("/nonexistent/map")).ok());
    QCOMPARE(md.undoStack()->count(), 0);
}

void TestHistory::groupsAreOneStep_data()
{
    // Pushes inside a group "Outer": P plots, S a player text, N one that
    // changes nothing, R one refused, ( ) an inner group, X cancels (and
    // closes) the innermost group.
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("keepsHistory");
    QTest::addColumn<int>("steps"); // recorded by the outer group
    QTest::newRow("several kinds") << "PSP" << true << 1;
    QTest::newRow("empty") << "" << true << 0;
    QTest::newRow("nothing changes") << "NN" << true << 0;
    QTest::newRow("refused inside") << "PRS" << true << 1;
    QTest::newRow("inner joins the outer") << "P(SP)S" << true << 1;
    QTest::newRow("inner cancelled") << "P(SPXS" << true << 1;
    QTest::newRow("only an inner cancelled") << "(SPX" << true << 0;
    QTest::newRow("outer cancelled") << "PS(P)X" << true << 0;
    QTest::newRow("without a history") << "PSP" << false << 1;
}

void TestHistory::groupsAreOneStep()
{
    QFETCH(QString, script);
    QFETCH(bool, keepsHistory);
    QFETCH(int, steps);
    MapDocument md;
    QVERIFY(md.load(Continents).ok());
    md.setKeepsHistory(keepsHistory);
    // A step before the group, which it must not join.
    QVERIFY(md.push(new SetPlotText(&md, 1, 1, "TerrainType=TERRAIN_SNOW", QStringLiteral("Edit plot"))));
    const QByteArray original = bytesOf(md.document());
    Document expected = md.document().deepCopy(); // the plain model, and a copy at each begin
    QList<Document> marks;
    QSignalSpy plots(&md, &MapDocument::plotsChanged);
    md.beginGroup(QStringLiteral("Outer"));
    marks << expected.deepCopy();
    for (int i = 0; i < script.size(); ++i) {
        Edit e;
        QString error;
        switch (script[i].toLatin1()) {
        case 'P': e = Edit{Edit::Plots, {QPoint(i, 2), QPoint(63, 39)}, {"A=" + QByteArray::number(i), "PlotType=1"}, 0, {}}; break;
        case 'S': e = Edit{Edit::Player, {}, {}, i % Document::SlotCount, "Team=" + QByteArray::number(i)}; break;
        case 'N': QVERIFY(!md.push(new SetSlotText(&md, SectionKind::Team, 0, md.document().TeamTexts[0], "x"))); continue;
        case 'R':
            QVERIFY(!md.push(new SetSlotText(&md, SectionKind::Player, 2, "EndPlayer", "x"), &error) && !error.isEmpty());
            continue;
        case '(': md.beginGroup(QStringLiteral("Inner")); marks << expected.deepCopy(); continue;
        case ')': QVERIFY(!md.endGroup()); marks.removeLast(); continue; // only the outermost records
        case 'X': md.cancelGroup(); expected = marks.takeLast().deepCopy(); continue;
        }
        const qsizetype heard = plots.count();
        QVERIFY(md.push(e.command(&md)));
        e.applyPlainly(expected);
        // Done at once, the windows hearing of it, and nothing recorded yet.
        QCOMPARE(bytesOf(md.document()), bytesOf(expected));
        QCOMPARE(plots.count() > heard, e.kind == Edit::Plots);
        QCOMPARE(md.undoStack()->count(), keepsHistory ? 1 : 0);
    }
    if (!marks.isEmpty())
        QCOMPARE(md.endGroup(), steps == 1);
    QVERIFY(!md.isGrouping());
    const QByteArray after = bytesOf(md.document());
    QCOMPARE(after, steps ? bytesOf(expected) : original);
    QCOMPARE(md.undoStack()->count(), keepsHistory ? 1 + steps : 0);
    if (!keepsHistory || !steps)
        return;
    QCOMPARE(md.undoStack()->undoText(), QStringLiteral("Outer"));
    md.undoStack()->undo();
    QCOMPARE(bytesOf(md.document()), original);
    md.setHistoryBudget(md.historyBytes() - 1); // the step before goes, the group stays whole
    QCOMPARE(md.undoStack()->count(), 1);
    for (int round = 0; round < 2; ++round) {
        md.undoStack()->redo();
        QCOMPARE(bytesOf(md.document()), after);
        md.undoStack()->undo();
        QCOMPARE(bytesOf(md.document()), original);
    }
    md.undoStack()->redo();
    // A group for a scope ends with it, unless cancelled.
    md.setHistoryBudget(MapDocument::DefaultHistoryBudget);
    for (const bool cancel : {true, false}) {
        MapDocument::Group group(md, QStringLiteral("Guarded"));
        QVERIFY(md.push(new SetPlotText(&md, 2, 2, "A", QStringLiteral("Edit plot"))));
        if (cancel)
            group.cancel();
    }
    QCOMPARE(md.undoStack()->count(), 2);
    QCOMPARE(md.undoStack()->undoText(), QStringLiteral("Guarded"));
    md.undoStack()->undo();
    QCOMPARE(bytesOf(md.document()), after);
}

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
