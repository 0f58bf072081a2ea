#pragma once
// The main window: owns the document, carries the command tool bars, the
// five work pages and the status bar.

#include "Document.h"
#include "MapCheck.h"
#include "MapContentsHost.h"
#include "MapDocument.h"
#include "MiniMapHost.h"

#include <QImage>
#include <QMainWindow>
#include <array>

class QComboBox;
class QMimeData;
class QLabel;
class QPlainTextEdit;
class QStackedWidget;
class QTimer;
class QToolBar;
class QToolButton;
class AboutBox;
class AutoRecovery;
class DropDownComboBox;
class FindBar;
class HintWindow;
class HistoryWindow;
class MainMenu;
class MapGrid;
class MapContentsWindow;
class MapToolBox;
class MiniMapWindow;
class RegionActions;
class QFrame;
class QPushButton;
class SectionMemo;
class ShortcutsWindow;
class SpinEdit;
class StatisticsWindow;

class MainWindow : public QMainWindow, public MapContentsHost, public MiniMapHost
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    enum Page { RulesPage = 0, TeamsPage = 1, PlayersPage = 2, MapPage = 3, TitlePage = 4 };

    // The document with its history; every change to it is an undoable step.
    vor4::MapDocument MapDoc;
    // The stores, read-only: windows change them only through MapDoc's steps.
    const vor4::Document &Doc;
    QImage MiniMapBitmap;
    QString InstallDir;
    QString MapsDir;
    QString RecallText;

    // Tool bars and their buttons.
    QToolBar *ToolBar1 = nullptr;
    QToolBar *ToolBar4 = nullptr;
    QToolBar *ToolBar10 = nullptr;
    QToolButton *NewBtn = nullptr;
    QToolButton *OpenBtn = nullptr;
    QToolButton *SaveBtn = nullptr;
    QToolButton *SaveAsBtn = nullptr;
    QToolButton *UndoBtn = nullptr;
    QToolButton *RedoBtn = nullptr;
    QToolButton *HistoryBtn = nullptr;
    QToolButton *AboutBtn = nullptr;
    QToolButton *RuleBtn = nullptr;
    QToolButton *TeamBtn = nullptr;
    QToolButton *PlayerBtn = nullptr;
    QToolButton *MapBtn = nullptr;
    QToolButton *AutoApplyBtn = nullptr;

    QStackedWidget *WorkPages = nullptr;
    std::array<QWidget *, 5> TabSheets{};
    SectionMemo *GMemo = nullptr;
    SectionMemo *DMemo = nullptr;
    SectionMemo *PMemo = nullptr;
    SectionMemo *MMemo = nullptr;
    SectionMemo *Memo = nullptr;
    QComboBox *TeamComboBox = nullptr;
    QComboBox *PlayerComboBox = nullptr;
    QToolButton *MapApplyBtn = nullptr;
    QToolButton *MapRecallBtn = nullptr;
    QToolButton *MapClearBtn = nullptr;
    QToolButton *MapHintBtn = nullptr;
    std::array<QLabel *, 3> StatusPanels{};
    QTimer *CatchMapTimer = nullptr;
    HintWindow *PlotHintWindow = nullptr;

    // Map page.
    QToolBar *ToolBar2 = nullptr;
    QToolBar *ToolBar8 = nullptr;
    QToolButton *CreateNewMapBtn = nullptr;
    DropDownComboBox *MapGridSizeComboBox = nullptr;
    QToolButton *ShowGridLineBtn = nullptr;
    QToolButton *MiniMapBtn = nullptr;
    std::array<QToolButton *, 12> ShowBtns{};
    MapGrid *DrawGrid = nullptr;
    MapToolBox *Tools = nullptr; // the paint tools of the map page
    QFrame *PromptPanel1 = nullptr;
    SpinEdit *SpinEdit1 = nullptr;
    SpinEdit *SpinEdit2 = nullptr;
    QPushButton *NewMapOKBtn = nullptr;
    QPushButton *NewMapCancelBtn = nullptr;

    // Page binding of the section editors.
    SectionMemo *ActiveMemo = nullptr;
    QList<QByteArray> vor4::Document::*ActiveTexts = nullptr;
    QComboBox *ActiveCombo = nullptr;
    QList<QByteArray> vor4::Document::*ActiveLines = nullptr;

    MainMenu *Menu = nullptr;
    RegionActions *Regions = nullptr;
    HistoryWindow *History = nullptr;
    AutoRecovery *Recovery = nullptr;
    ShortcutsWindow *Shortcuts = nullptr; // Help > Keyboard shortcuts

    // Find and statistics on the map page.
    QToolButton *FindBtn = nullptr;
    QToolButton *StatisticsBtn = nullptr;
    FindBar *MapFindBar = nullptr;
    StatisticsWindow *Statistics = nullptr;
    void FindBtnClick();
    void StatisticsBtnClick();
    void StatisticsFindRequested(const QString &pattern);

    // The tool windows, created with this window and owned by it.
    MiniMapWindow *miniMapWindow() const { return m_miniMapWindow; }
    MapContentsWindow *mapContentsWindow() const { return m_contentsWindow; }
    AboutBox *aboutBox() const { return m_aboutBox; }

    // The caption without the modified mark's placeholder.
    QString caption() const;
    QString statusText(int panel) const;
    void setStatusText(int panel, const QString &text);
    bool isLoading() const { return m_loading; }

    // Commands.
    void NewBtnClick();
    void OpenBtnClick();
    // Opens a map as Open does after its dialog, through the unsaved-changes
    // question; false when it was not opened.
    bool openMapFile(const QString &path);
    bool SaveBtnClick();   // false when nothing was written
    bool SaveAsBtnClick();
    // A file named on the command line: unlike a name chosen in the dialog,
    // one that names no file is reported.
    void openStartupFile(const QString &path);
    void AboutBtnClick();
    void UndoBtnClick();
    void RedoBtnClick();
    void HistoryBtnClick();
    void KeyboardShortcutsClick();
    void MainButtonClick(QToolButton *sender);
    void showPage(int index);
    // Asks "Save changes to NAME?" when the document is modified: true when
    // the caller may go on (saved or discarded), false to keep everything.
    bool maybeSave();
    // Offers a recovery file left by a run that ended with unsaved changes;
    // true when one was restored (as a modified document).
    bool offerRecovery();

    // Section editors.
    void GeneralComboBoxSelect();
    void GeneralApplyBtnClick();
    void GeneralRecallBtnClick();
    void GeneralClearBtnClick();
    void MemoExit();

    // Plot editor.
    void DrawGridSelectCell(int col, int row);
    bool MapApplyBtnClick();
    bool applyPlotMemo(const QString &what) override;
    void MapRecallBtnClick();
    void MapClearBtnClick();
    void MapMemoExit();
    void MapHintBtnClick();
    void RepaintMap();

    // Map grid view.
    static const int GridSizes[17];
    void MapGridSizeComboBoxSelect();
    void MapGridSizeComboBoxDropDown();
    void SelectGridSize(int index);
    void DrawGridMouseWheelUp();
    void DrawGridMouseWheelDown();
    void ShowBtnClick();
    void ShowGridLineBtnClick();
    void DrawGridTopLeftChanged();
    void TabSheet4Resize();
    void DrawGridMouseMove(const QPoint &pos);
    void CatchMapTimerTimer();
    void MiniMapBtnClick();
    void RenderMiniMap();

    // MiniMapHost
    bool ScrollMapTo(int col, int row, bool forced) override;
    int gridColCount() const override;
    int gridRowCount() const override;
    int gridLeftCol() const override;
    int gridTopRow() const override;
    const QImage &miniMapBitmap() const override { return MiniMapBitmap; }
    void setMiniMapBtnDown(bool down) override;

    // New map prompt.
    void CreateNewMapBtnClick();
    void NewMapOKBtnClick(QObject *sender);

    // MapContentsHost
    bool isMapPageActive() const override;
    SectionMemo *plotMemo() const override;
    void setRecallText(const QString &text) override { RecallText = text; }
    bool plotSelected() const override { return Doc.CurrentCol >= 0 && Doc.CurrentRow >= 0; }
    void setMapHintBtnDown(bool down) override;
    void mapContentsItemChosen(const QString &line) override;
    QStringList mapPlotLines() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void setUpHelp();
    bool isUntitled() const;
    void LocateGame();
    QWidget *buildRulesPage();
    QWidget *buildSectionPage(const char *label, QComboBox **combo, const char *hint,
                              SectionMemo **memo, const char *toolBarName);
    QWidget *buildMapPage();
    void buildFindAndStatistics();
    QWidget *buildTitlePage();
    MapGrid *createDrawGrid();
    void buildLayerButtons();
    void buildNewMapPrompt(QWidget *page);
    static QToolBar *newToolBar(const char *name, Qt::Orientation orientation = Qt::Horizontal);
    QToolButton *toolButton(QToolBar *bar, const char *name, const QIcon &icon, const QString &hint,
                            bool checkable = false);
    void addApplyRecallClear(QToolBar *bar, const char *applyName, const char *recallName,
                             const char *clearName);
    void TabSheetShow(int index);
    void TabSheet4Hide();
    void mapPageShown();
    void mapSizeChanged();
    void mapPageHidden();
    void documentReplaced();
    void plotsChanged(const QRect &cells, int count);
    void sectionChanged(vor4::SectionKind kind, int slot);
    void showStores();
    void updateCaption();
    void updateUndoHints();
    bool pushStep(vor4::EditCommand *step);
    void newDocument(int width, int height, const QString &stepName);
    void setPageBinding(int index);
    void clearPageBinding();
    void setBusy(bool busy);
    void listSlots();
    bool storeFocusedMemo();
    // Auto apply's half of leaving the plot memo: its text into the selected
    // plot, RecallText kept. False when the text cannot be stored.
    bool storePlotMemo();
    // Says "No plot selected" when there is none.
    bool hasSelectedPlot();
    // Open and New: what belonged to the map before goes with it.
    void forgetOldMap();
    void showLoadedSections();
    // After Open: one dialog naming every kind of damage found.
    void announceDamage(const vor4::MapDamage &damage);
    void miniMapStep();
    void hideHoverHint();
    void fitStatusPanel(int panel);
    void warnNotSingleByte();
    QPoint focusedCell() const;
    void watchFileDrops();
    bool handleFileDrag(QEvent *event);
    bool acceptsDrop(const QMimeData *data) const;

    MiniMapWindow *m_miniMapWindow = nullptr;
    MapContentsWindow *m_contentsWindow = nullptr;
    AboutBox *m_aboutBox = nullptr;
    std::array<QString, 3> m_statusTexts; // whole, as the panels may show them cut short
    QString m_openFolder;
    QString m_saveName;
    bool m_loading = false;
    // The open file was damaged: the first Save asks before writing it.
    bool m_confirmDamagedSave = false;
    // The last step pushed was refused: its text would break the file.
    bool m_stepRefused = false;
    // A memo is being left: a message box now would take the focus.
    bool m_leavingMemo = false;
    bool m_closeAfterLoad = false;
    QString m_captionName; // the file's name, "Untitled" after New, empty at start
    QRect m_miniMapCells;    // cells whose minimap blocks wait to be rendered
};

