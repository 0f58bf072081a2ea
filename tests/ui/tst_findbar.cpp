// The find bar through the real widgets: typing finds as it goes, the marks
// on the grid and the minimap, stepping through the matches with keys and
// buttons, bad patterns, Replace and Replace all with their undo, and which
// keys the bar takes and which it leaves to the memos.

#include "FakeDialogs.h"
#include "FindBar.h"
#include "MainMenu.h"
#include "MapGrid.h"
#include "MapWriter.h"
#include "SectionMemo.h"
#include "ZedMain.h"
#include "ZedMiniMap.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest>

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QRgb Mark = FindMarks::Colour;

QByteArray bytesOf(const TForm1 *w) { return vor4::buildSaveFile(w->Doc); }

QList<QByteArray> linesOf(const QByteArray &text)
{
    QByteArray t = text;
    t.replace("\r\n", "\n").replace('\r', '\n');
    QList<QByteArray> lines = t.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The matching cells in reading order, one line at a time: a substring
// without regard to case, or a regular expression with case.
QList<QPoint> plainFind(const vor4::Document &doc, const QString &text, bool regex = false,
                        const QRect &area = QRect())
{
    const QRegularExpression re(text);
    QList<QPoint> found;
    for (int row = 0; row < doc.PlotTexts.rowCount(); ++row)
        for (int col = 0; col < doc.PlotTexts.columnCount(); ++col) {
            if (!area.isNull() && !area.contains(col, row))
                continue;
            for (const QByteArray &line : linesOf(doc.PlotTexts.text(col, row))) {
                const QString l = QString::fromLatin1(line);
                if (regex ? re.match(l).hasMatch() : l.contains(text, Qt::CaseInsensitive)) {
                    found << QPoint(col, row);
                    break;
                }
            }
        }
    return found;
}

// The match after a cell in reading order, the first after the last.
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
    void optionsAndBadPatterns();
    void marksFollowEditsAndUndo();
    void replaceOneByOne();
    void replaceAllIsOneStep();
    void keysStayWithTheMemos();

private:
    FindBar *bar() const { return w->MapFindBar; }
    void typeFind(const QString &text);
    void waitForSearch() { QTRY_VERIFY(!bar()->search().isRunning()); }
    QPoint selected() const { return QPoint(w->DrawGrid->col(), w->DrawGrid->row()); }
    QImage gridShot() const { return w->DrawGrid->viewport()->grab().toImage(); }
    QByteArray memoBytes() const
    {
        QByteArray b;
        w->Memo->bytes(&b);
        return b;
    }
    TForm1 *w = nullptr;
    FakeDialogs::State *dialogs = nullptr;
};

void TestFindBar::init()
{
    dialogs = FakeDialogs::install();
    w = new TForm1;
    Form1 = w;
    Form2 = new TForm2(w, w);
    w->resize(1000, 760);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    dialogs->openAnswers << Continents;
    QTest::mouseClick(w->OpenBtn, Qt::LeftButton);
    QTest::mouseClick(w->MapBtn, Qt::LeftButton);
    w->DrawGrid->setFocus();
}

void TestFindBar::cleanup()
{
    delete w;
    w = nullptr;
    Form1 = nullptr;
    Form2 = nullptr;
}

void TestFindBar::typeFind(const QString &text)
{
    QTest::keyClick(w->DrawGrid, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar()->isVisible());
    QVERIFY(bar()->FindEdit->hasFocus());
    QTest::keyClicks(bar()->FindEdit, text);
    waitForSearch();
}

void TestFindBar::typingFindsAndMarks()
{
    QVERIFY(!bar()->isVisible());
    // Slices of nothing: every letter typed starts over while the old
    // search is far from done.
    bar()->search().setSliceMilliseconds(0);
    QTest::keyClick(w->DrawGrid, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar()->FindEdit->hasFocus());
    QTest::keyClicks(bar()->FindEdit, "TERRAIN_");
    QVERIFY(bar()->search().isRunning());
    QVERIFY(bar()->CountLabel->text().endsWith(QStringLiteral("...")));
    QTest::keyClick(bar()->FindEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(bar()->FindEdit, "bonus_");
    waitForSearch();
    const QList<QPoint> expected = plainFind(w->Doc, QStringLiteral("bonus_"));
    QVERIFY(expected.size() > 100);
    QList<QPoint> found;
    for (qint32 i : bar()->search().matches())
        found << bar()->search().cellOf(i);
    QCOMPARE(found, expected);
    QCOMPARE(bar()->CountLabel->text(), QStringLiteral("%1 plots").arg(expected.size()));

    // On the grid a frame marks each match; the cell inside stays as painted.
    QCoreApplication::processEvents();
    const QImage shot = gridShot();
    int marked = 0;
    for (int row = 0; row < w->DrawGrid->visibleRowCount(); ++row)
        for (int col = 0; col < w->DrawGrid->visibleColCount(); ++col) {
            const QRect r = w->DrawGrid->cellRect(col, row);
            const bool match = expected.contains(QPoint(col, row));
            QCOMPARE(shot.pixel(r.topLeft()) == Mark, match);
            QCOMPARE(shot.pixel(r.bottomRight() - QPoint(1, 1)) == Mark, match);
            QVERIFY(shot.pixel(r.center()) != Mark);
            marked += match;
        }
    QVERIFY(marked > 0);

    // On the minimap a ring around each matching plot's block; its centre
    // keeps the terrain's colour.
    QTest::mouseClick(w->MiniMapBtn, Qt::LeftButton);
    QVERIFY(Form2->isVisible());
    const QImage &picture = Form2->picture();
    const vor4::FrameRect frame = Form2->ViewRect;
    const auto nearFrame = [&frame](int x, int y) {
        return x + 2 >= frame.left && x <= frame.right && y + 2 >= frame.top && y <= frame.bottom
            && (x <= frame.left || x + 2 >= frame.right - 1 || y <= frame.top || y + 2 >= frame.bottom - 1);
    };
    for (int row = 0; row < w->Doc.rowCount(); ++row)
        for (int col = 0; col < w->Doc.columnCount(); ++col) {
            if (nearFrame(3 * col, 3 * row))
                continue; // under the view's white frame
            const bool match = expected.contains(QPoint(col, row));
            const int x = 3 * col, y = 3 * row;
            QCOMPARE(picture.pixel(x, y) == Mark, match);
            QCOMPARE(picture.pixel(x + 2, y + 1) == Mark, match);
            if (match)
                QCOMPARE(picture.pixel(x + 1, y + 1), w->MiniMapBitmap.pixel(x + 1, y + 1));
        }

    // Closing the bar takes the marks away.
    QTest::keyClick(bar()->FindEdit, Qt::Key_Escape);
    QVERIFY(!bar()->isVisible());
    QVERIFY(w->DrawGrid->hasFocus());
    QCoreApplication::processEvents();
    const QRect first = w->DrawGrid->cellRect(expected.first().x(), expected.first().y());
    QVERIFY(gridShot().pixel(first.topLeft()) != Mark);
    QCOMPARE(Form2->picture().pixel(3 * expected.first().x(), 3 * expected.first().y()),
             w->MiniMapBitmap.pixel(3 * expected.first().x(), 3 * expected.first().y()));
}

void TestFindBar::stepsWrapAndSelectAsAClick()
{
    typeFind(QStringLiteral("BONUS_GOLD"));
    const QList<QPoint> expected = plainFind(w->Doc, QStringLiteral("BONUS_GOLD"));
    QVERIFY(expected.size() >= 3);
    QCOMPARE(bar()->CountLabel->text(), QStringLiteral("%1 plots").arg(expected.size()));

    // Enter in the field: from no selected plot to the first, then on;
    // each selected as a click selects, in view, its text in the memo.
    QCOMPARE(w->Doc.CurrentCol, -1);
    for (const QPoint &cell : expected) {
        QTest::keyClick(bar()->FindEdit, Qt::Key_Return);
        QCOMPARE(selected(), cell);
        QCOMPARE(QPoint(w->Doc.CurrentCol, w->Doc.CurrentRow), cell);
        QCOMPARE(memoBytes(), w->Doc.PlotTexts.text(cell.x(), cell.y()));
        QVERIFY(w->statusText(2).startsWith(QStringLiteral("Current cell = (%1 ,%2)").arg(cell.x()).arg(cell.y())));
        QVERIFY(w->DrawGrid->viewport()->rect().contains(w->DrawGrid->cellRect(cell.x(), cell.y())));
        QVERIFY(bar()->FindEdit->hasFocus());
        // The selected match wears a thicker frame than the others.
        const QImage shot = gridShot();
        for (const QPoint &m : expected) {
            const QRect r = w->DrawGrid->cellRect(m.x(), m.y());
            if (w->DrawGrid->viewport()->rect().contains(r))
                QCOMPARE(shot.pixel(r.topLeft() + QPoint(3, 3)) == Mark, m == cell);
        }
    }
    // Past the last match: the first again. Shift+Enter and Shift+F3 go back
    // over the start to the last.
    QTest::keyClick(bar()->FindEdit, Qt::Key_Return);
    QCOMPARE(selected(), expected.first());
    QTest::keyClick(bar()->FindEdit, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(selected(), expected.last());
    QTest::keyClick(bar()->FindEdit, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(selected(), expected[expected.size() - 2]);
    QTest::keyClick(bar()->FindEdit, Qt::Key_F3);
    QCOMPARE(selected(), expected.last());

    // F3 from the grid, and the bar's buttons.
    w->DrawGrid->setFocus();
    QTest::keyClick(w->DrawGrid, Qt::Key_F3);
    QCOMPARE(selected(), expected.first());
    QVERIFY(w->DrawGrid->hasFocus());
    QTest::mouseClick(bar()->FindNextBtn, Qt::LeftButton);
    QCOMPARE(selected(), expected[1]);
    QTest::mouseClick(bar()->FindPreviousBtn, Qt::LeftButton);
    QCOMPARE(selected(), expected.first());

    // From a plot between two matches, the next one after it.
    const QPoint between(expected[1].x(), expected[1].y() + 1);
    w->DrawGrid->scrollIntoView(between.x(), between.y());
    QTest::mouseClick(w->DrawGrid->viewport(), Qt::LeftButton, {},
                      w->DrawGrid->cellRect(between.x(), between.y()).center());
    QCOMPARE(selected(), between);
    QTest::keyClick(w->DrawGrid, Qt::Key_F3);
    QCOMPARE(selected(), nextAfter(expected, between));

    // As a click: typing in the plot memo is applied to its plot before the
    // next match is selected.
    const QPoint edited = selected();
    w->Memo->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(w->Memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(w->Memo, Qt::Key_Return);
    QTest::keyClicks(w->Memo, "Typed=1");
    QTest::keyClick(w->Memo, Qt::Key_F3);
    QVERIFY(w->Doc.PlotTexts.text(edited.x(), edited.y()).endsWith("\r\nTyped=1"));
    QCOMPARE(selected(), nextAfter(expected, edited));
    QVERIFY(w->DrawGrid->hasFocus());

    // From another page F3 comes back to the map page.
    QTest::mouseClick(w->RuleBtn, Qt::LeftButton);
    QTest::keyClick(w, Qt::Key_F3);
    QCOMPARE(w->WorkPages->currentIndex(), int(TForm1::MapPage));
    QVERIFY(bar()->isVisible());
}

void TestFindBar::optionsAndBadPatterns()
{
    typeFind(QStringLiteral("bonustype=bonus_gold"));
    const int gold = int(plainFind(w->Doc, QStringLiteral("BonusType=BONUS_GOLD")).size());
    QCOMPARE(bar()->search().count(), gold);
    QTest::mouseClick(bar()->MatchCaseBox, Qt::LeftButton);
    waitForSearch();
    QCOMPARE(bar()->search().count(), 0);
    QCOMPARE(bar()->CountLabel->text(), QStringLiteral("0 plots"));

    // A whole line: the file's lines are read without their indentation.
    bar()->FindEdit->setText(QStringLiteral("BonusType=BONUS_GOL"));
    waitForSearch();
    QCOMPARE(bar()->search().count(), gold);
    QTest::mouseClick(bar()->WholeLineBox, Qt::LeftButton);
    waitForSearch();
    QCOMPARE(bar()->search().count(), 0);
    bar()->FindEdit->setText(QStringLiteral("BonusType=BONUS_GOLD"));
    waitForSearch();
    QCOMPARE(bar()->search().count(), gold);

    // A regular expression, and a bad one: the message in the bar, in red,
    // no marks; mending it finds again.
    QTest::mouseClick(bar()->WholeLineBox, Qt::LeftButton);
    QTest::mouseClick(bar()->RegexBox, Qt::LeftButton);
    bar()->FindEdit->setText(QStringLiteral("BONUS_(GOLD|SILVER)$"));
    waitForSearch();
    QCOMPARE(bar()->search().count(), int(plainFind(w->Doc, bar()->FindEdit->text(), true).size()));
    QVERIFY(bar()->search().count() > gold);
    bar()->FindEdit->setFocus();
    QTest::keyClick(bar()->FindEdit, Qt::Key_End);
    QTest::keyClicks(bar()->FindEdit, "(");
    waitForSearch();
    QCOMPARE(bar()->search().count(), 0);
    QVERIFY(bar()->CountLabel->text().startsWith(QStringLiteral("The regular expression is not valid")));
    QVERIFY(bar()->CountLabel->styleSheet().contains(QStringLiteral("192, 0, 0")));
    QTest::keyClick(bar()->FindEdit, Qt::Key_F3); // nothing to go to, nothing breaks
    QTest::keyClick(bar()->FindEdit, Qt::Key_Backspace);
    waitForSearch();
    QCOMPARE(bar()->CountLabel->text(), QStringLiteral("%1 plots").arg(bar()->search().count()));
    QVERIFY(bar()->CountLabel->styleSheet().isEmpty());
    // An empty field finds nothing and says nothing.
    bar()->FindEdit->clear();
    waitForSearch();
    QCOMPARE(bar()->CountLabel->text(), QString());
}

void TestFindBar::marksFollowEditsAndUndo()
{
    typeFind(QStringLiteral("BONUS_WINE"));
    const int before = bar()->search().count();
    QPoint cell(0, 0);
    while (bar()->search().contains(cell.x(), cell.y()))
        cell.rx()++;
    QTest::mouseClick(w->DrawGrid->viewport(), Qt::LeftButton, {}, w->DrawGrid->cellRect(cell.x(), cell.y()).center());
    w->Memo->setText(QStringLiteral("TerrainType=TERRAIN_GRASS\nBonusType=BONUS_WINE"));
    QTest::mouseClick(w->MapApplyBtn, Qt::LeftButton);
    QCOMPARE(bar()->search().count(), before + 1);
    QCOMPARE(bar()->CountLabel->text(), QStringLiteral("%1 plots").arg(before + 1));
    QCoreApplication::processEvents();
    const QPoint corner = w->DrawGrid->cellRect(cell.x(), cell.y()).topLeft();
    QCOMPARE(gridShot().pixel(corner), Mark);

    QTest::keyClick(w->DrawGrid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(bar()->search().count(), before);
    QCoreApplication::processEvents();
    QVERIFY(gridShot().pixel(corner) != Mark);
    QTest::keyClick(w->DrawGrid, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(bar()->search().count(), before + 1);

    // A newly opened map is searched anew.
    dialogs->saveChoices << Dialogs::SaveChoice::Discard;
    dialogs->openAnswers << Continents;
    QTest::mouseClick(w->OpenBtn, Qt::LeftButton);
    waitForSearch();
    QCOMPARE(bar()->search().count(), before);
}

void TestFindBar::replaceOneByOne()
{
    QTest::keyClick(w->DrawGrid, Qt::Key_H, Qt::ControlModifier);
    QVERIFY(bar()->isVisible());
    QVERIFY(bar()->ReplaceEdit->isVisible());
    QVERIFY(bar()->FindEdit->hasFocus()); // nothing to find yet: that field first
    QTest::keyClicks(bar()->FindEdit, "BONUS_GOLD");
    waitForSearch();
    const QList<QPoint> gold = plainFind(w->Doc, QStringLiteral("BONUS_GOLD"));
    bar()->ReplaceEdit->setFocus();
    QTest::keyClicks(bar()->ReplaceEdit, "BONUS_SILVER");

    // Nothing selected: Replace goes to the first match first.
    const QByteArray original = bytesOf(w);
    QTest::mouseClick(bar()->ReplaceBtn, Qt::LeftButton);
    QCOMPARE(selected(), gold[0]);
    QCOMPARE(bytesOf(w), original);
    // Then Enter in the field replaces there and goes on.
    QByteArray text = w->Doc.PlotTexts.text(gold[0].x(), gold[0].y());
    QTest::keyClick(bar()->ReplaceEdit, Qt::Key_Return);
    QCOMPARE(w->Doc.PlotTexts.text(gold[0].x(), gold[0].y()), text.replace("BONUS_GOLD", "BONUS_SILVER"));
    QCOMPARE(selected(), gold[1]);
    QCOMPARE(memoBytes(), w->Doc.PlotTexts.text(gold[1].x(), gold[1].y()));
    QCOMPARE(bar()->search().count(), int(gold.size()) - 1);
    QCOMPARE(bar()->ReplaceLabel->text(), QStringLiteral("Replaced in 1 plot"));
    QCOMPARE(w->MapDoc.undoStack()->undoText(), QStringLiteral("Replace 1 plot"));
    QTest::keyClick(bar()->ReplaceEdit, Qt::Key_R, Qt::AltModifier);
    QCOMPARE(bar()->search().count(), int(gold.size()) - 2);

    // The last one: replaced, nothing left to go to; the memo shows the
    // new text, so that leaving it stores nothing old.
    while (bar()->search().count() > 1)
        QTest::keyClick(bar()->ReplaceEdit, Qt::Key_Return);
    const QPoint last = gold.last();
    QCOMPARE(selected(), last);
    QTest::keyClick(bar()->ReplaceEdit, Qt::Key_Return);
    QCOMPARE(bar()->search().count(), 0);
    QCOMPARE(memoBytes(), w->Doc.PlotTexts.text(last.x(), last.y()));
    QVERIFY(memoBytes().contains("BONUS_SILVER"));

    // Each was a step of its own.
    for (int i = 0; i < gold.size(); ++i)
        w->MapDoc.undoStack()->undo();
    QCOMPARE(bytesOf(w), original);

    // A replacement no plot can hold: said, nothing changed.
    QTest::mouseClick(bar()->FindNextBtn, Qt::LeftButton);
    bar()->ReplaceEdit->setText(QStringLiteral("BONUS_\u20ac"));
    QTest::mouseClick(bar()->ReplaceBtn, Qt::LeftButton);
    QVERIFY(bar()->ReplaceLabel->text().contains(QStringLiteral("cannot hold")));
    QCOMPARE(bytesOf(w), original);

    // Ctrl+H again hides the second field.
    QTest::keyClick(bar()->ReplaceEdit, Qt::Key_H, Qt::ControlModifier);
    QVERIFY(!bar()->ReplaceEdit->isVisible());
    QVERIFY(bar()->FindEdit->hasFocus());
}

void TestFindBar::replaceAllIsOneStep()
{
    QTest::keyClick(w->DrawGrid, Qt::Key_H, Qt::ControlModifier);
    QTest::mouseClick(bar()->RegexBox, Qt::LeftButton);
    QTest::mouseClick(bar()->MatchCaseBox, Qt::LeftButton);
    QTest::keyClicks(bar()->FindEdit, "BonusType=BONUS_(COAL|IRON)$");
    waitForSearch();
    const QString pattern = bar()->FindEdit->text();
    const QList<QPoint> all = plainFind(w->Doc, pattern, true);
    QCOMPARE(bar()->search().count(), int(all.size()));
    bar()->ReplaceEdit->setText(QStringLiteral("BonusType=BONUS_\\1_MINE"));
    const QByteArray original = bytesOf(w);
    const int steps = w->MapDoc.undoStack()->count();

    // The selected plot is one of them: its memo shows the new text.
    QTest::mouseClick(bar()->FindNextBtn, Qt::LeftButton);
    const QPoint current = selected();
    QTest::mouseClick(bar()->ReplaceAllBtn, Qt::LeftButton);
    QCOMPARE(w->MapDoc.undoStack()->count(), steps + 1);
    QCOMPARE(w->MapDoc.undoStack()->undoText(), QStringLiteral("Replace %1 plots").arg(all.size()));
    QCOMPARE(bar()->ReplaceLabel->text(), QStringLiteral("Replaced in %1 plots").arg(all.size()));
    QCOMPARE(bar()->search().count(), 0);
    QCOMPARE(memoBytes(), w->Doc.PlotTexts.text(current.x(), current.y()));
    for (const QPoint &cell : all) {
        const QByteArray t = w->Doc.PlotTexts.text(cell.x(), cell.y());
        QVERIFY(t.contains("BonusType=BONUS_COAL_MINE") || t.contains("BonusType=BONUS_IRON_MINE"));
    }
    QCOMPARE(plainFind(w->Doc, QStringLiteral("_MINE")), all);

    // Undo gives back every byte.
    w->DrawGrid->setFocus();
    QTest::keyClick(w->DrawGrid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(bytesOf(w), original);
    QCOMPARE(bar()->search().count(), int(all.size()));
    QCOMPARE(bar()->ReplaceLabel->text(), QString());

    // In the selected region only.
    const QRect region(0, 0, 32, 20);
    w->MapDoc.selection().setArea(region, QSize(w->Doc.columnCount(), w->Doc.rowCount()));
    const QList<QPoint> inside = plainFind(w->Doc, pattern, true, region);
    QVERIFY(!inside.isEmpty() && inside.size() < all.size());
    bar()->ReplaceEdit->setFocus();
    QTest::keyClick(bar()->ReplaceEdit, Qt::Key_A, Qt::AltModifier);
    QCOMPARE(w->MapDoc.undoStack()->undoText(), QStringLiteral("Replace %1 plots").arg(inside.size()));
    QCOMPARE(bar()->ReplaceLabel->text(),
             QStringLiteral("Replaced in %1 plots of the selected region").arg(inside.size()));
    QCOMPARE(plainFind(w->Doc, QStringLiteral("_MINE")), inside);
    QTest::mouseClick(w->UndoBtn, Qt::LeftButton);
    QCOMPARE(bytesOf(w), original);
}

void TestFindBar::keysStayWithTheMemos()
{
    // The tool tips and the menu name the keys.
    QVERIFY(w->FindBtn->toolTip().endsWith(QStringLiteral("(Ctrl+F)")));
    QVERIFY(bar()->FindNextBtn->toolTip().endsWith(QStringLiteral("(F3)")));
    QVERIFY(bar()->FindPreviousBtn->toolTip().endsWith(QStringLiteral("(Shift+F3)")));
    QVERIFY(bar()->ReplaceToggleBtn->toolTip().endsWith(QStringLiteral("(Ctrl+H)")));
    QVERIFY(bar()->ReplaceBtn->toolTip().endsWith(QStringLiteral("(Alt+R)")));
    QVERIFY(bar()->CloseBtn->toolTip().endsWith(QStringLiteral("(Esc)")));
    QAction *find = w->Menu->actionFor(w->FindBtn);
    QVERIFY(find && w->Menu->editMenu->actions().contains(find));
    QCOMPARE(find->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    QVERIFY(w->Menu->actionFor(w->StatisticsBtn));

    // Ctrl+F from a memo on another page: the map page, the field; the memo
    // keeps its text and stores it as leaving it always does.
    QTest::mouseClick(w->RuleBtn, Qt::LeftButton);
    w->GMemo->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(w->GMemo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(w->GMemo, Qt::Key_Return);
    QTest::keyClicks(w->GMemo, "Rule=1");
    const QString rules = w->GMemo->text();
    QTest::keyClick(w->GMemo, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(w->WorkPages->currentIndex(), int(TForm1::MapPage));
    QVERIFY(bar()->FindEdit->hasFocus());
    QCOMPARE(w->GMemo->text(), rules);
    QVERIFY(w->Doc.GameLines.contains("Rule=1"));
    QTest::keyClicks(bar()->FindEdit, "TERRAIN_OCEAN");
    waitForSearch();

    // In the plot memo, Enter and Escape are the memo's own, with the bar open.
    QTest::mouseClick(w->DrawGrid->viewport(), Qt::LeftButton, {}, w->DrawGrid->cellRect(2, 2).center());
    w->Memo->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(w->Memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(w->Memo, Qt::Key_Return);
    QTest::keyClicks(w->Memo, "A=1");
    QTest::keyClick(w->Memo, Qt::Key_Escape);
    QVERIFY(bar()->isVisible());
    QVERIFY(w->Memo->hasFocus());
    QCOMPARE(selected(), QPoint(2, 2));
    QVERIFY(w->Memo->text().endsWith(QStringLiteral("\nA=1")));
    // Ctrl+Z in the memo undoes the typing, not a stored change.
    const int steps = w->MapDoc.undoStack()->count();
    QTest::keyClick(w->Memo, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!w->Memo->text().endsWith(QStringLiteral("\nA=1")));
    QCOMPARE(w->MapDoc.undoStack()->count(), steps);

    // Ctrl+H from the plot memo opens the replace field with what is found.
    QTest::keyClick(w->Memo, Qt::Key_H, Qt::ControlModifier);
    QVERIFY(bar()->ReplaceEdit->hasFocus());
    QCOMPARE(bar()->FindEdit->text(), QStringLiteral("TERRAIN_OCEAN"));
    // Ctrl+F returns to the find field alone, its text selected for new typing.
    QTest::keyClick(bar()->ReplaceEdit, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!bar()->ReplaceEdit->isVisible());
    QVERIFY(bar()->FindEdit->hasFocus());
    QCOMPARE(bar()->FindEdit->selectedText(), QStringLiteral("TERRAIN_OCEAN"));
}

QTEST_MAIN(TestFindBar)
#include "tst_findbar.moc"
