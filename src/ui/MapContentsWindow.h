#pragma once
// The map contents window: lists the game's values by key, one tab a key,
// and puts the chosen value into the main window's plot memo, or takes the
// key out of it, then presses the plot editor's Apply. It never touches the
// document itself.

#include "TypeCatalogue.h"

#include <QWidget>
#include <functional>

class MapContentsHost;
class QLabel;
class QListWidget;
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

    // The game's folder; the data files are read below it.
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

    // One tab a key ("Terrains" ... "PlotType"); the list of the selected
    // key's values; the bar with Change and Clear; why the lists hold the
    // map's own values when the game cannot be read.
    SideTabBar *keyTabs() const { return m_keyTabs; }
    QListWidget *valueList() const { return m_valueList; }
    QToolBar *changeBar() const { return m_changeBar; }
    QToolButton *changeButton() const { return m_changeButton; }
    QToolButton *clearButton() const { return m_clearButton; }
    QLabel *noGameLabel() const { return m_noGameLabel; }

    // Change: the selected value into the plot memo, then Apply.
    void changeClicked();
    // Clear: the selected tab's key out of the plot memo, then Apply.
    void clearClicked();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Fills the list with the selected tab's values.
    void tabChanged();
    void listDoubleClicked();
    SectionMemo *activeMemo() const; // the plot memo, when the map page is shown
    QString currentKey() const;         // "TerrainType", ... for the selected tab
    QString selectedLine() const;       // what Change puts in, or empty
    void itemSelected();
    // The active plot field, or null; with no plot selected it says so.
    SectionMemo *editablePlot();
    // The plot's text rewritten and stored as one step named `stepName`;
    // refused, the field shows the plot again and the panel says so.
    bool rewritePlot(SectionMemo *memo, const QString &key, const QString &stepName,
                     const std::function<QByteArray(const QByteArray &)> &rewrite);
    void setPanel(int panel, const QString &text);

    MapContentsHost *m_host = nullptr;
    vor4::TypeCatalogue m_catalogue;
    SideTabBar *m_keyTabs = nullptr;
    QListWidget *m_valueList = nullptr;
    QToolBar *m_changeBar = nullptr;
    QToolButton *m_changeButton = nullptr;
    QToolButton *m_clearButton = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_noGameLabel = nullptr;
    QLabel *m_panels[2] = {nullptr, nullptr};
};

