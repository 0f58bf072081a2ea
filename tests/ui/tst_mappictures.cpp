// The map's pictures from the window: View > Map style sets the look of
// the grid, the minimap and the legend and is kept between runs; File >
// Export picture... hands the view layer the picture its dialog chose.

#include "ChangeSelection.h"
#include "Document.h"
#include "ExportPictureDialog.h"
#include "FakeDialogs.h"
#include "Legend.h"
#include "MainWindow.h"
#include "MapGrid.h"
#include "MapPage.h"
#include "MapPieces.h"
#include "MiniMapFeed.h"
#include "PieceActions.h"
#include "PiecesOverlay.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace vor4;

namespace {

const QString Multiplayer = QStringLiteral(VOR4_FIXTURES_DIR "/multiplayer-9-52x52.Vor4WorldBuilderSave");

std::unique_ptr<MainWindow> openWindow(FakeDialogs::State *dialogs)
{
    auto w = std::make_unique<MainWindow>();
    w->show();
    dialogs->openAnswers << Multiplayer;
    w->action(QStringLiteral("open"))->trigger();
    w->action(QStringLiteral("mapPage"))->trigger();
    return w;
}

// The first plot with nothing on it but this terrain, no piece included.
QPoint plainPlot(const Document &doc, TerrainIndex terrain)
{
    const MapPieces pieces(&doc);
    for (int row = 0; row < doc.rowCount(); ++row)
        for (int col = 0; col < doc.columnCount(); ++col) {
            const PlotClass c = classifyPlot(doc.PlotTexts.view(col, row));
            if (c.terrain == terrain && !c.bonus && c.feature == Feature::None && !c.improvement && !c.mountain
                && !c.hill && c.teamLabel.isEmpty() && pieces.factsAt(col, row) == 0
                && pieces.startAt(QPoint(col, row)) < 0 && !pieces.hasSign(QPoint(col, row)))
                return QPoint(col, row);
        }
    return QPoint(-1, -1);
}

} // namespace

class TestMapPictures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void styleShownAndKept();
    void exportHandsOverTheChosenPicture();
    void exportRefusesTooLarge();

private:
    FakeDialogs::State *m_dialogs = nullptr;
    QTemporaryDir m_dir;
};

void TestMapPictures::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/settings.conf"),
              QSettings::IniFormat)
        .remove(QStringLiteral("mapStyle"));
    m_dialogs = FakeDialogs::install();
    QVERIFY(m_dir.isValid());
}

void TestMapPictures::styleShownAndKept()
{
    std::unique_ptr<MainWindow> w = openWindow(m_dialogs);
    MapGrid *grid = w->mapPage()->grid();
    QAction *classic = w->action(QStringLiteral("styleClassic"));
    QAction *terrain = w->action(QStringLiteral("styleTerrain"));
    QVERIFY(classic->isChecked() && !terrain->isChecked());
    QCOMPARE(grid->style(), MapStyle::classic());
    auto *menu = w->menuBar()->findChild<QMenu *>(QStringLiteral("mapStyleMenu"));
    QVERIFY(menu && menu->actions().contains(terrain));

    const QPoint grass = plainPlot(w->stores(), TerrainGrass);
    QVERIFY(grass.x() >= 0);
    grid->scrollIntoView(grass.x(), grass.y());
    w->action(QStringLiteral("legend"))->trigger();
    auto *legend = w->findChild<QDialog *>(QStringLiteral("LegendWindow"));
    QVERIFY(legend);
    terrain->trigger();
    QVERIFY(terrain->isChecked() && !classic->isChecked());
    // The grid, its overlays, the minimap's picture and the legend.
    QCOMPARE(grid->style(), MapStyle::terrain());
    const QRgb green = MapStyle::terrain().fill[TerrainGrass];
    QCOMPARE(grid->viewport()->grab().toImage().pixel(grid->cellRect(grass.x(), grass.y()).center()), green);
    const QImage &mini = w->mapPage()->miniMap()->miniMapBitmap();
    QCOMPARE(mini.pixel(3 * grass.x() + 1, 3 * grass.y() + 2), green);
    QCOMPARE(legend->findChild<QLabel *>()->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
             legendImage(LayerSwitches(), PieceLayers(), MapStyle::terrain()));
    QCOMPARE(w->mapPage()->pictureAsShown().style, MapStyle::terrain());

    // The next run starts with it, and with Classic once that is chosen.
    std::unique_ptr<MainWindow> next = openWindow(m_dialogs);
    QCOMPARE(next->mapPage()->grid()->style(), MapStyle::terrain());
    QVERIFY(next->action(QStringLiteral("styleTerrain"))->isChecked());
    next->action(QStringLiteral("styleClassic"))->trigger();
    QCOMPARE(next->mapPage()->miniMap()->miniMapBitmap().pixel(3 * grass.x(), 3 * grass.y()), qRgb(0, 128, 0));
    next.reset();
    w.reset();
    QCOMPARE(openWindow(m_dialogs)->mapPage()->grid()->style(), MapStyle::classic());
}

// The dialog offers the selection and the grid's look first; what it hands
// over is the picture written: the selected cells at the chosen size, in
// the chosen style, with the layers switched on in the window.
void TestMapPictures::exportHandsOverTheChosenPicture()
{
    std::unique_ptr<MainWindow> w = openWindow(m_dialogs);
    w->action(QStringLiteral("styleTerrain"))->trigger();
    w->action(QStringLiteral("layerForest"))->trigger();
    w->action(QStringLiteral("layerRivers"))->trigger();
    w->document()->push(new ChangeSelection(w->document(), QRegion(5, 6, 10, 7) | QRect(20, 6, 2, 2)));
    QVERIFY(w->action(QStringLiteral("exportPicture"))->toolTip().contains(QStringLiteral("Ctrl+Shift+E")));

    m_dialogs->saveAnswers << m_dir.filePath(QStringLiteral("part"));
    QStringList offered;
    QTimer::singleShot(0, w.get(), [&offered] {
        auto *dialog = qobject_cast<ExportPictureDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        const auto box = [dialog](const char *name) { return dialog->findChild<QWidget *>(QLatin1String(name)); };
        offered << QString::number(static_cast<QRadioButton *>(box("ExportSelection"))->isChecked())
                << static_cast<QComboBox *>(box("ExportStyle"))->currentText()
                << static_cast<QComboBox *>(box("ExportCellSize"))->currentText()
                << QString::number(static_cast<QCheckBox *>(box("ExportGridLines"))->isChecked())
                << static_cast<QLabel *>(box("ExportSize"))->text();
        static_cast<QComboBox *>(box("ExportCellSize"))->setCurrentText(QStringLiteral("8"));
        offered << static_cast<QLabel *>(box("ExportSize"))->text();
        static_cast<QCheckBox *>(box("ExportGridLines"))->setChecked(false);
        offered << static_cast<QLabel *>(box("ExportSize"))->text() << static_cast<QLabel *>(box("ExportLayers"))->text();
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    w->action(QStringLiteral("exportPicture"))->trigger();
    QCOMPARE(offered, QStringList({"1", "Terrain", "16", "1", "289 x 119 pixels", "153 x 63 pixels", "136 x 56 pixels",
                                   "as the grid shows them, without forest, rivers"}));
    QCOMPARE(m_dialogs->lastSaveProposal, QFileInfo(Multiplayer).absolutePath() + "/multiplayer-9-52x52.png");

    MapPictureOptions expected;
    expected.style = MapStyle::terrain();
    expected.cellSize = 8;
    expected.gridLines = false;
    expected.layers.forest = false;
    expected.pieces = true;
    expected.pieceLayers.rivers = false;
    expected.cells = QRect(5, 6, 17, 7);
    const QString path = m_dir.filePath(QStringLiteral("part.png"));
    QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), MapPicture(w->stores(), expected).image());
    QCOMPARE(w->statusText(0), QStringLiteral("Picture exported: %1 (136 x 56 pixels)").arg(QDir::toNativeSeparators(path)));

    // No file chosen: nothing written, the picture before kept.
    const QDateTime written = QFileInfo(path).lastModified();
    QTimer::singleShot(0, w.get(), [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    w->action(QStringLiteral("exportPicture"))->trigger();
    QCOMPARE(QFileInfo(path).lastModified(), written);
}

void TestMapPictures::exportRefusesTooLarge()
{
    Document wide;
    wide.ResetDocument(300000, 2);
    MapPictureOptions shown;
    shown.cellSize = 64;
    ExportPictureDialog dialog(wide, shown, QRect(0, 0, 10, 2));
    const auto *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    auto *size = dialog.findChild<QLabel *>(QStringLiteral("ExportSize"));
    QVERIFY(ok->isEnabled()); // the selection is offered first
    dialog.findChild<QRadioButton *>(QStringLiteral("ExportWholeMap"))->setChecked(true);
    QVERIFY(!ok->isEnabled());
    QVERIFY(size->text().startsWith(QStringLiteral("The picture would be 19500000 x 130 pixels")));
    dialog.findChild<QComboBox *>(QStringLiteral("ExportCellSize"))->setCurrentText(QStringLiteral("4"));
    QVERIFY(ok->isEnabled());
    QCOMPARE(size->text(), QStringLiteral("1,500,000 x 10 pixels"));
}

QTEST_MAIN(TestMapPictures)
#include "tst_mappictures.moc"
