// The find bar through the real widgets: typing finds as it goes, the marks
// on the grid and the minimap, stepping with keys and buttons, bad patterns,
// Replace and Replace all with their undo, and the keys left to the memos.

#include "CurrentCell.h"
#include "PlotEditor.h"
#include "MiniMapFeed.h"
#include "ChangeSelection.h"
#include "FakeDialogs.h"
#include "FindBar.h"
#include "CommandButtons.h"
#include "MapGrid.h"
#include "MapWriter.h"
#include "SectionMemo.h"
#include "SetPlotText.h"
#include "MainWindow.h"
#include "MapPage.h"
#include "SectionPage.h"
#include "MiniMapWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest>

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QRgb Mark = FindMarks::Colour;

// The matching cells in reading order, one line at a time: a substring
// without regard to case, or a regular expression with case.
QList<QPoint> plainFind(const vor4::Document &doc, const QString &text, bool regex = false, QRect area = {})
{
    const QRegularExpression re(text);
    QList<QPoint> found;
    for (int row = 0; row < doc.rowCount(); ++row)
        for (int col = 0; col < doc.columnCount(); ++col) {
            QByteArray t = doc.PlotTexts.text(col, row);
            for (const QByteArray &line : t.replace("\r\n", "\n").split('\n')) {
                const QString l = QString::fromLatin1(line);
                if ((area.isNull() || area.contains(col, row))
                    && (regex ? re.match(l).hasMatch() : l.contains(text, Qt::CaseInsensitive))) {
                    found << QPoint(col, row);
                    break;
                }
            }
        }
    return found;
}

QPoint nextAfter(const QList<QPoint> &matches, const QPoint &cell)
{
    for (const QPoint &m : matches)
        if (m.y() > cell.y() || (m.y() == cell.y() && m.x() > cell.x()))
            return m;
    return matches.first();
}

} // namespace

class TestFindBar : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void typingFindsAndMarks();
    void stepsWrapAndSelectAsAClick();
    void optionsBadPatternsAndEdits();
    void replaceOneByOne();
    void replaceAllIsOneStep();
    void keysStayWithTheMemos();
    void tooComplexIsSaid();

private:
    FindBar *bar() const { return w->mapPage()->findBar(); }
    void typeFind(const QString &text);
    void settle() { QTRY_VERIFY(!bar()->search().isRunning()); }
    QPoint selected() const { return QPoint(w->mapPage()->grid()->col(), w->mapPage()->grid()->row()); }
    QImage gridShot() const { return w->mapPage()->grid()->viewport()->grab().toImage(); }
    QByteArray bytes() const { return vor4::buildSaveFile(w->stores()); }
    QByteArray memoBytes() const
    {
        QByteArray b;
        w->mapPage()->plotEditor()->memo()->bytes(&b);
        return b;
    }
    void clickCell(const QPoint &c)
    {
        w->mapPage()->grid()->scrollIntoView(c.x(), c.y());
        QTest::mouseClick(w->mapPage()->grid()->viewport(), Qt::LeftButton, {}, w->mapPage()->grid()->cellRect(c.x(), c.y()).center());
    }
    MainWindow *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
};

void TestFindBar::init()
{
    dialogs = FakeDialogs::install();
    w = new MainWindow;
    w->resize(1000, 760);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    dialogs->openAnswers << Continents;
    w->action(QStringLiteral("open"))->trigger();
    w->action(QStringLiteral("mapPage"))->trigger();
    w->mapPage()->grid()->setFocus();
}

void TestFindBar::cleanup()
{
    delete w;
}

void TestFindBar::typeFind(const QString &text)
{
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar()->findField()->hasFocus());
    QTest::keyClicks(bar()->findField(), text);
    settle();
}

void TestFindBar::typingFindsAndMarks()
{
    // Slices of nothing: each letter typed starts over long before the old
    // search could end.
    bar()->search().setSliceMilliseconds(0);
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(bar()->findField(), "TERRAIN_");
    QVERIFY(bar()->search().isRunning());
    QVERIFY(bar()->countLabel()->text().endsWith(QStringLiteral("...")));
    QTest::keyClick(bar()->findField(), Qt::Key_A, Qt::ControlModifier);
    typeFind(QStringLiteral("bonus_"));
    const QList<QPoint> expected = plainFind(w->stores(), QStringLiteral("bonus_"));
    QList<QPoint> found;
    for (qint32 i : bar()->search().matches())
        found << bar()->search().cellOf(i);
    QCOMPARE(found, expected);
    QCOMPARE(bar()->countLabel()->text(), QStringLiteral("%1 plots").arg(expected.size()));

    // A frame on the grid marks each match; the cell inside stays as painted.
    const QImage shot = gridShot();
    for (int row = 0; row < w->mapPage()->grid()->visibleRowCount(); ++row)
        for (int col = 0; col < w->mapPage()->grid()->visibleColCount(); ++col) {
            const QRect r = w->mapPage()->grid()->cellRect(col, row);
            QCOMPARE(shot.pixel(r.topLeft()) == Mark, expected.contains(QPoint(col, row)));
            QCOMPARE(shot.pixel(r.bottomRight() - QPoint(1, 1)) == Mark, expected.contains(QPoint(col, row)));
            QVERIFY(shot.pixel(r.center()) != Mark);
        }
    // A ring on the minimap around each match's block, away from the view's
    // frame; the centre keeps the terrain's colour (start markers, which
    // cover blocks, switched off).
    w->action(QStringLiteral("layerStarts"))->trigger();
    w->action(QStringLiteral("miniMap"))->trigger();
    const QImage &picture = w->miniMapWindow()->picture();
    const vor4::FrameRect f = w->miniMapWindow()->viewFrame();
    for (int row = 0; row < w->stores().rowCount(); ++row)
        for (int col = 0; col < w->stores().columnCount(); ++col) {
            const int x = 3 * col, y = 3 * row;
            if (x + 2 >= f.left && x <= f.right && y + 2 >= f.top && y <= f.bottom)
                continue;
            QCOMPARE(picture.pixel(x, y) == Mark, expected.contains(QPoint(col, row)));
            QCOMPARE(picture.pixel(x + 2, y + 1) == Mark, expected.contains(QPoint(col, row)));
            QCOMPARE(picture.pixel(x + 1, y + 1), w->mapPage()->miniMap()->miniMapBitmap().pixel(x + 1, y + 1));
        }

    // Escape closes the bar and takes the marks away.
    QTest::keyClick(bar()->findField(), Qt::Key_Escape);
    QVERIFY(!bar()->isVisible());
    QVERIFY(w->mapPage()->grid()->hasFocus());
    const QPoint first = expected.first();
    QVERIFY(gridShot().pixel(w->mapPage()->grid()->cellRect(first.x(), first.y()).topLeft()) != Mark);
    QCOMPARE(w->miniMapWindow()->picture().pixel(3 * first.x(), 3 * first.y()),
             w->mapPage()->miniMap()->miniMapBitmap().pixel(3 * first.x(), 3 * first.y()));
}

void TestFindBar::stepsWrapAndSelectAsAClick()
{
    typeFind(QStringLiteral("BONUS_GOLD"));
    const QList<QPoint> gold = plainFind(w->stores(), QStringLiteral("BONUS_GOLD"));
    QVERIFY(gold.size() >= 4);
    // Enter in the field, from no selected plot: each match in turn,
    // selected as a click selects, in view, with a thicker frame.
    for (const QPoint &cell : gold) {
        QTest::keyClick(bar()->findField(), Qt::Key_Return);
        QCOMPARE(selected(), cell);
        QCOMPARE(w->mapPage()->grid()->currentCell()->chosenPlot(), cell);
        QCOMPARE(memoBytes(), w->stores().PlotTexts.text(cell.x(), cell.y()));
        QVERIFY(w->statusText(2).startsWith(QStringLiteral("Current cell = (%1 ,%2)").arg(cell.x()).arg(cell.y())));
        QVERIFY(bar()->findField()->hasFocus());
        const QImage shot = gridShot();
        for (const QPoint &m : gold) {
            const QRect r = w->mapPage()->grid()->cellRect(m.x(), m.y());
            QCOMPARE(w->mapPage()->grid()->viewport()->rect().contains(r) && shot.pixel(r.topLeft() + QPoint(3, 3)) == Mark,
                     m == cell);
        }
    }
    // Wrapping both ways, with Enter, Shift+Enter, F3 and Shift+F3.
    QTest::keyClick(bar()->findField(), Qt::Key_Return);
    QCOMPARE(selected(), gold.first());
    QTest::keyClick(bar()->findField(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(selected(), gold.last());
    QTest::keyClick(bar()->findField(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(selected(), gold[gold.size() - 2]);
    QTest::keyClick(bar()->findField(), Qt::Key_F3);
    QCOMPARE(selected(), gold.last());
    // F3 from the grid keeps its focus; the bar's buttons step too.
    w->mapPage()->grid()->setFocus();
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_F3);
    QCOMPARE(selected(), gold.first());
    QVERIFY(w->mapPage()->grid()->hasFocus());
    QTest::mouseClick(bar()->findNextButton(), Qt::LeftButton);
    QTest::mouseClick(bar()->findNextButton(), Qt::LeftButton);
    QTest::mouseClick(bar()->findPreviousButton(), Qt::LeftButton);
    QCOMPARE(selected(), gold[1]);
    // From a plot that is no match: the next one after it.
    const QPoint between(gold[1].x(), gold[1].y() + 1);
    clickCell(between);
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_F3);
    QCOMPARE(selected(), nextAfter(gold, between));

    // As a click: typing in the plot memo is stored in its plot first.
    const QPoint edited = selected();
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), Qt::Key_Return);
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "Typed=1");
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), Qt::Key_F3);
    QVERIFY(w->stores().PlotTexts.text(edited.x(), edited.y()).endsWith("\r\nTyped=1"));
    QCOMPARE(selected(), nextAfter(gold, edited));

    // From another page F3 comes back to the map page.
    w->action(QStringLiteral("rulesPage"))->trigger();
    QTest::keyClick(w, Qt::Key_F3);
    QCOMPARE(w->currentPage(), int(MainWindow::MapEditorPage));
}

void TestFindBar::optionsBadPatternsAndEdits()
{
    // Each box changes the search at once.
    typeFind(QStringLiteral("bonustype=bonus_wine"));
    const int wine = int(plainFind(w->stores(), QStringLiteral("BonusType=BONUS_WINE")).size());
    QCOMPARE(bar()->search().count(), wine);
    QTest::mouseClick(bar()->matchCaseBox(), Qt::LeftButton);
    settle();
    QCOMPARE(bar()->countLabel()->text(), QStringLiteral("0 plots"));
    bar()->findField()->setText(QStringLiteral("BonusType=BONUS_WIN"));
    settle();
    QCOMPARE(bar()->search().count(), wine);
    QTest::mouseClick(bar()->wholeLineBox(), Qt::LeftButton);
    settle();
    QCOMPARE(bar()->search().count(), 0);
    QTest::mouseClick(bar()->wholeLineBox(), Qt::LeftButton);
    QTest::mouseClick(bar()->regexBox(), Qt::LeftButton);
    bar()->findField()->setText(QStringLiteral("BONUS_(WINE|GOLD)$"));
    settle();
    QCOMPARE(bar()->search().count(), int(plainFind(w->stores(), bar()->findField()->text(), true).size()));

    // A bad pattern: said in the bar, in red, nothing found; F3 does nothing.
    bar()->findField()->setFocus();
    QTest::keyClick(bar()->findField(), Qt::Key_End);
    const int width = w->width(), least = bar()->minimumSizeHint().width();
    QTest::keyClicks(bar()->findField(), "(");
    QCOMPARE(bar()->search().count(), 0);
    QCoreApplication::processEvents();
    // The message never widens the window, nor what it can shrink to.
    QCOMPARE(w->width(), width);
    QCOMPARE(bar()->minimumSizeHint().width(), least);
    QCOMPARE(bar()->countLabel()->toolTip(), bar()->countLabel()->text());
    QVERIFY(bar()->countLabel()->text().startsWith(QStringLiteral("The regular expression is not valid")));
    QVERIFY(bar()->countLabel()->styleSheet().contains(QStringLiteral("192, 0, 0")));
    QTest::keyClick(bar()->findField(), Qt::Key_F3);
    QTest::keyClick(bar()->findField(), Qt::Key_Backspace);
    settle();
    QVERIFY(bar()->countLabel()->styleSheet().isEmpty());

    // The marks follow an edit and its undo; a newly opened map closes the
    // bar with the old map's marks.
    const int before = bar()->search().count();
    QPoint cell(0, 0);
    while (bar()->search().contains(cell.x(), cell.y()))
        cell.rx()++;
    clickCell(cell);
    w->mapPage()->plotEditor()->memo()->setText(QStringLiteral("TerrainType=TERRAIN_GRASS\nBonusType=BONUS_WINE"));
    w->action(QStringLiteral("plotApply"))->trigger();
    QCOMPARE(bar()->countLabel()->text(), QStringLiteral("%1 plots").arg(before + 1));
    const QPoint corner = w->mapPage()->grid()->cellRect(cell.x(), cell.y()).topLeft();
    QCOMPARE(gridShot().pixel(corner), Mark);
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(bar()->search().count(), before);
    QVERIFY(gridShot().pixel(corner) != Mark);
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_Y, Qt::ControlModifier);
    dialogs->saveChoices << Dialogs::SaveChoice::Discard;
    dialogs->openAnswers << Continents;
    w->action(QStringLiteral("open"))->trigger();
    settle();
    QVERIFY(bar()->isHidden());
    QCOMPARE(bar()->search().count(), 0);
}

void TestFindBar::replaceOneByOne()
{
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_H, Qt::ControlModifier);
    QVERIFY(bar()->replaceField()->isVisible());
    QVERIFY(bar()->findField()->hasFocus()); // nothing to find yet: that field first
    QTest::keyClicks(bar()->findField(), "BONUS_GOLD");
    const QList<QPoint> gold = plainFind(w->stores(), QStringLiteral("BONUS_GOLD"));
    bar()->replaceField()->setFocus();
    QTest::keyClicks(bar()->replaceField(), "BONUS_SILVER");

    // Nothing selected: Replace only goes to the first match.
    const QByteArray original = bytes();
    QTest::mouseClick(bar()->replaceButton(), Qt::LeftButton);
    QCOMPARE(selected(), gold[0]);
    QCOMPARE(bytes(), original);
    // Enter in the field replaces there and goes on.
    QByteArray text = w->stores().PlotTexts.text(gold[0].x(), gold[0].y());
    QTest::keyClick(bar()->replaceField(), Qt::Key_Return);
    QCOMPARE(w->stores().PlotTexts.text(gold[0].x(), gold[0].y()), text.replace("BONUS_GOLD", "BONUS_SILVER"));
    QCOMPARE(selected(), gold[1]);
    QCOMPARE(bar()->replaceResultLabel()->text(), QStringLiteral("Replaced in 1 plot"));
    QCOMPARE(w->document()->undoStack()->undoText(), QStringLiteral("Replace 1 plot"));
    QTest::keyClick(bar()->replaceField(), Qt::Key_R, Qt::AltModifier);
    QCOMPARE(bar()->search().count(), int(gold.size()) - 2);
    // The last one: nothing left to go to; the memo shows the new text, so
    // that leaving it stores nothing old.
    while (bar()->search().count() > 0)
        QTest::keyClick(bar()->replaceField(), Qt::Key_Return);
    QCOMPARE(selected(), gold.last());
    QCOMPARE(memoBytes(), w->stores().PlotTexts.text(gold.last().x(), gold.last().y()));
    QVERIFY(memoBytes().contains("BONUS_SILVER"));
    // One step each.
    for (int i = 0; i < gold.size(); ++i)
        w->document()->undoStack()->undo();
    QCOMPARE(bytes(), original);

    // A replacement no plot can hold: said, nothing changed.
    bar()->replaceField()->setText(QStringLiteral("BONUS_\u20ac"));
    QTest::mouseClick(bar()->replaceButton(), Qt::LeftButton);
    QVERIFY(bar()->replaceResultLabel()->text().contains(QStringLiteral("cannot hold")));
    QCOMPARE(bytes(), original);
    // Ctrl+H again hides the second field.
    QTest::keyClick(bar()->replaceField(), Qt::Key_H, Qt::ControlModifier);
    QVERIFY(!bar()->replaceField()->isVisible());
    QVERIFY(bar()->findField()->hasFocus());
}

void TestFindBar::replaceAllIsOneStep()
{
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_H, Qt::ControlModifier);
    QTest::mouseClick(bar()->regexBox(), Qt::LeftButton);
    QTest::mouseClick(bar()->matchCaseBox(), Qt::LeftButton);
    QTest::keyClicks(bar()->findField(), "BonusType=BONUS_(COAL|IRON)$");
    const QList<QPoint> all = plainFind(w->stores(), bar()->findField()->text(), true);
    bar()->replaceField()->setText(QStringLiteral("BonusType=BONUS_\\1_MINE"));
    const QByteArray original = bytes();

    // With captures, one step named with the count; the selected plot's
    // memo shows its new text.
    QTest::mouseClick(bar()->findNextButton(), Qt::LeftButton);
    const QPoint current = selected();
    QTest::mouseClick(bar()->replaceAllButton(), Qt::LeftButton);
    QCOMPARE(w->document()->undoStack()->undoText(), QStringLiteral("Replace %1 plots").arg(all.size()));
    QCOMPARE(bar()->replaceResultLabel()->text(), QStringLiteral("Replaced in %1 plots").arg(all.size()));
    QCOMPARE(memoBytes(), w->stores().PlotTexts.text(current.x(), current.y()));
    QCOMPARE(plainFind(w->stores(), QStringLiteral("BonusType=BONUS_(COAL|IRON)_MINE$"), true), all);
    // Undo gives back every byte and takes the note away.
    w->mapPage()->grid()->setFocus();
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(bytes(), original);
    QCOMPARE(bar()->replaceResultLabel()->text(), QString());

    // With a selected region, in it only.
    const QRect region(0, 0, 32, 20);
    w->document()->push(new vor4::ChangeSelection(w->document(), region));
    const QList<QPoint> inside = plainFind(w->stores(), bar()->findField()->text(), true, region);
    QVERIFY(!inside.isEmpty() && inside.size() < all.size());
    bar()->replaceField()->setFocus();
    QTest::keyClick(bar()->replaceField(), Qt::Key_A, Qt::AltModifier);
    QCOMPARE(bar()->replaceResultLabel()->text(),
             QStringLiteral("Replaced in %1 plots of the selected region").arg(inside.size()));
    QCOMPARE(plainFind(w->stores(), QStringLiteral("_MINE")), inside);
    w->action(QStringLiteral("undo"))->trigger();
    QCOMPARE(bytes(), original);
}

void TestFindBar::keysStayWithTheMemos()
{
    // Tool tips and menu entries name the keys.
    QVERIFY(w->action(QStringLiteral("find"))->toolTip().endsWith(QStringLiteral("(Ctrl+F)")));
    QVERIFY(bar()->findNextButton()->toolTip().endsWith(QStringLiteral("(F3)")));
    QVERIFY(bar()->findPreviousButton()->toolTip().endsWith(QStringLiteral("(Shift+F3)")));
    QVERIFY(bar()->replaceToggle()->toolTip().endsWith(QStringLiteral("(Ctrl+H)")));
    QVERIFY(bar()->replaceAllButton()->toolTip().endsWith(QStringLiteral("(Alt+A)")));
    QVERIFY(bar()->closeButton()->toolTip().endsWith(QStringLiteral("(Esc)")));
    QVERIFY(w->editMenu()->actions().contains(w->action(QStringLiteral("find"))));

    // Ctrl+F from a memo on another page: the map page and the field; the
    // memo keeps its text and stores it as leaving it always does.
    w->action(QStringLiteral("rulesPage"))->trigger();
    w->sectionPage(vor4::SectionKind::Game)->edit()->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(w->sectionPage(vor4::SectionKind::Game)->edit(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(w->sectionPage(vor4::SectionKind::Game)->edit(), Qt::Key_Return);
    QTest::keyClicks(w->sectionPage(vor4::SectionKind::Game)->edit(), "Rule=1");
    const QString rules = w->sectionPage(vor4::SectionKind::Game)->edit()->text();
    QTest::keyClick(w->sectionPage(vor4::SectionKind::Game)->edit(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(w->currentPage(), int(MainWindow::MapEditorPage));
    QVERIFY(bar()->findField()->hasFocus());
    QCOMPARE(w->sectionPage(vor4::SectionKind::Game)->edit()->text(), rules);
    QVERIFY(w->stores().GameLines.contains("Rule=1"));
    QTest::keyClicks(bar()->findField(), "TERRAIN_OCEAN");

    // In the plot memo, with the bar open, Enter, Escape and Ctrl+Z are the
    // memo's own.
    clickCell(QPoint(2, 2));
    w->mapPage()->plotEditor()->memo()->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), Qt::Key_Return);
    QTest::keyClicks(w->mapPage()->plotEditor()->memo(), "A=1");
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), Qt::Key_Escape);
    QVERIFY(bar()->isVisible());
    QCOMPARE(selected(), QPoint(2, 2));
    QVERIFY(w->mapPage()->plotEditor()->memo()->text().endsWith(QStringLiteral("\nA=1")));
    const int steps = w->document()->undoStack()->count();
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!w->mapPage()->plotEditor()->memo()->text().endsWith(QStringLiteral("\nA=1")));
    QCOMPARE(w->document()->undoStack()->count(), steps);

    // Ctrl+H from the memo: the replace field; Ctrl+F back to the find field
    // alone, its text selected for new typing.
    QTest::keyClick(w->mapPage()->plotEditor()->memo(), Qt::Key_H, Qt::ControlModifier);
    QVERIFY(bar()->replaceField()->hasFocus());
    QTest::keyClick(bar()->replaceField(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!bar()->replaceField()->isVisible());
    QCOMPARE(bar()->findField()->selectedText(), QStringLiteral("TERRAIN_OCEAN"));
}

void TestFindBar::tooComplexIsSaid()
{
    // A pattern the engine gives up on is not "0 plots": it names the plot.
    w->document()->push(new vor4::SetPlotText(w->document(), 3, 39, QByteArray(40, 'a') + "b", QStringLiteral("Edit plot")));
    QTest::keyClick(w->mapPage()->grid(), Qt::Key_F, Qt::ControlModifier);
    QTest::mouseClick(bar()->regexBox(), Qt::LeftButton);
    bar()->findField()->setText(QStringLiteral("(a+)+$"));
    settle();
    QCOMPARE(bar()->countLabel()->text(), QStringLiteral("pattern too complex at 3,0"));
}

QTEST_MAIN(TestFindBar)
#include "tst_findbar.moc"
