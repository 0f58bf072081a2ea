#pragma once
// The main window: owns the document, the pages (game rules, teams,
// players, the map, the title picture), the tool windows and the commands,
// and wires them together. What a command does lives in the page or the
// file actions it belongs to.

#include "DocumentWindow.h"
#include "MapDocument.h"

#include <QMainWindow>
#include <array>

class AboutBox;
class BalanceWindow;
class EditorActions;
class EditorContext;
class FileActions;
class HistoryWindow;
class MapContentsWindow;
class MapPage;
class MiniMapWindow;
class ProblemsPanel;
class QLabel;
class QMenu;
class QMimeData;
class QStackedWidget;
class QToolBar;
class RecentFiles;
class RegionActions;
class SectionPage;
class ShortcutsWindow;
class SymmetryActions;

class MainWindow : public QMainWindow, private DocumentWindow
{
    Q_OBJECT
public:
    enum Page { RulesPage = 0, TeamsPage = 1, PlayersPage = 2, MapEditorPage = 3, TitlePage = 4 };

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The document with its history; every change to it is an undoable step.
    vor4::MapDocument *document() { return &m_document; }
    // Its stores, read-only.
    const vor4::Document &stores() const { return m_document.document(); }
    EditorContext *context() const { return m_context; }
    // A command by its id ("save", "undo", "mapPage", "cut"...).
    QAction *action(const QString &id) const;
    FileActions *files() const { return m_files; }
    RecentFiles *recentFiles() const { return m_recent; }
    RegionActions *regions() const { return m_regions; }
    MapPage *mapPage() const { return m_mapPage; }
    // The page of a section; the map header's is on the map page.
    SectionPage *sectionPage(vor4::SectionKind kind) const;
    // The menus the region commands join.
    QMenu *editMenu() const { return m_editMenu; }
    QMenu *mapMenu() const { return m_mapMenu; }

    // The tool windows, created with this window and owned by it.
    MiniMapWindow *miniMapWindow() const { return m_miniMapWindow; }
    MapContentsWindow *mapContentsWindow() const { return m_contentsWindow; }
    HistoryWindow *historyWindow() const { return m_history; }
    AboutBox *aboutBox() const { return m_aboutBox; }
    BalanceWindow *balanceWindow() const { return m_balance; }
    ShortcutsWindow *shortcutsWindow() const { return m_shortcuts; }
    ProblemsPanel *problemsPanel() const { return m_problems; }

    int currentPage() const;
    void showPage(int index);
    // The caption without the modified mark's placeholder.
    QString caption() const;
    QString statusText(int panel) const;
    void setStatusText(int panel, const QString &text);
    bool isLoading() const;
    // Stores the text field being typed into as leaving it would, except
    // that Recall still brings back what it would have: tool buttons, menus,
    // keys, drops and other windows take no focus. False when it could not
    // be stored.
    bool storeFocusedMemo() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // DocumentWindow
    void clearTextFields() override;
    void showReadMap(bool whole) override;
    void renderMiniMap() override;
    void showMapPage() override;

    QToolBar *addCommandBar(const QString &name, const QStringList &ids);
    void addActions(QMenu *menu, const QList<QAction *> &actions);
    void chooseStyle(const QString &name);
    void buildMenus();
    void buildStatusBar();
    void connectCommands();
    void showLegend();
    void pageShown(int index, int old);
    void stepThroughHistory(bool forward);
    void documentReplaced();
    void showStores();
    void forgetMap();
    void setBusy(bool busy);
    void fitStatusPanel(int panel);
    void watchFileDrops();
    bool handleFileDrag(QEvent *event);

    vor4::MapDocument m_document;
    EditorContext *m_context = nullptr;
    EditorActions *m_actions = nullptr;
    FileActions *m_files = nullptr;
    RecentFiles *m_recent = nullptr;
    RegionActions *m_regions = nullptr;
    SymmetryActions *m_symmetry = nullptr;
    QStackedWidget *m_pages = nullptr;
    std::array<SectionPage *, 3> m_sectionPages{}; // rules, teams, players
    MapPage *m_mapPage = nullptr;
    QList<QToolBar *> m_commandBars;
    std::array<QLabel *, 3> m_statusPanels{};
    QMenu *m_editMenu = nullptr;
    QMenu *m_mapMenu = nullptr;
    HistoryWindow *m_history = nullptr;
    ShortcutsWindow *m_shortcuts = nullptr;
    MiniMapWindow *m_miniMapWindow = nullptr;
    MapContentsWindow *m_contentsWindow = nullptr;
    AboutBox *m_aboutBox = nullptr;
    BalanceWindow *m_balance = nullptr;
    ProblemsPanel *m_problems = nullptr;
};
