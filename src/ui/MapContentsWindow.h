#pragma once
// Map contents window: lists the game's types by kind and puts the chosen one
// into the plot memo of the main window, or takes a kind out of it, then
// presses the plot editor's Apply. It never touches the document itself.

#include "TypeCatalogue.h"

#include <QWidget>

class MapContentsHost;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QStatusBar;
class QToolBar;
class QToolButton;
class SectionMemo;
class SideTabBar;

class MapContentsWindow : public QWidget
{
    Q_OBJECT
public:
    // host: the main window; may be given later with setHost. Without a host
    // Change and Clear act as if the map page were not shown.
    explicit MapContentsWindow(MapContentsHost *host = nullptr, QWidget *parent = nullptr);
    ~MapContentsWindow() override;

    void setHost(MapContentsHost *host);
    MapContentsHost *host() const { return m_host; }

    // InstallDir as LocateGame found it; the data files are read below it.
    void setInstallDir(const QString &installDir);
    QString installDir() const { return m_catalogue.installDir(); }

    // The Change/Clear tool bar: shown while the main window's map page is.
    void setToolBarVisible(bool visible);
    bool isToolBarVisible() const;

    // Text of status panel 0 (outcome of Change/Clear) or 1 (item count).
    QString panelText(int panel) const;

    const vor4::TypeCatalogue &catalogue() const { return m_catalogue; }
    // Every line the tabs would put into a plot, each tab built if it is not
    // yet; tabs whose data file cannot be read give their common lines.
    QStringList paintLines();

    SideTabBar *TabControl1 = nullptr;
    QListWidget *ListBox1 = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QToolButton *ChangeBtn = nullptr;
    QToolButton *ClearBtn = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *NoGameLabel = nullptr; // why the lists hold the map's own values
    QPlainTextEdit *Memo2 = nullptr; // hidden; the fixed plot-type list

public Q_SLOTS:
    void TabControl1Change();
    void ToolButton1Click(); // ChangeBtn
    void ClearBtnClick();
    void ListBox1DblClick();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void FormHide();
    SectionMemo *activeMemo() const; // the plot memo, when the map page is shown
    QString currentKey() const;         // "TerrainType", ... for the selected tab
    QString selectedLine() const;       // what Change puts in, or empty
    void itemSelected();
    void setPanel(int panel, const QString &text);

    MapContentsHost *m_host = nullptr;
    vor4::TypeCatalogue m_catalogue;
    QLabel *m_panels[2] = {nullptr, nullptr};
};

