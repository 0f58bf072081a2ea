#pragma once
// The plot editor under the map grid: the chosen plot's text in a field
// with Apply, Recall and Clear, and the button of the map contents window,
// which edits the same field. It stores into the plot of the grid's
// current cell, shows the chosen plot as it changes, and stores what is
// typed before another plot is chosen.

#include "MapContentsHost.h"

#include <QPoint>
#include <QString>
#include <QWidget>

class CurrentCell;
class EditorActions;
class EditorContext;
class MapToolBox;
class QRegion;
class SectionMemo;

class PlotEditor : public QWidget, public MapContentsHost
{
    Q_OBJECT
public:
    PlotEditor(EditorContext *context, EditorActions *actions, CurrentCell *current, MapToolBox *tools,
               QWidget *parent = nullptr);

    SectionMemo *memo() const { return m_memo; }
    // Whether the map page is the one shown.
    void setPageActive(bool active) { m_active = active; }

    // The commands: store the field, bring back the text before the last
    // Clear or change, empty the plot. Each says why when no plot is chosen.
    bool applyPlot();
    void recallPlot();
    void clearPlot();
    // Auto apply's half of leaving the field: stored, Recall's text kept.
    // False when it could not be stored.
    bool storeTyping();
    // The field shows the chosen plot's store, or nothing.
    void showStore();

    // What Recall gives back before the plot's store: the text before the
    // last Clear, or before the map contents window's last change.
    QString recallText() const { return m_recallText; }

    // MapContentsHost
    bool isMapPageActive() const override { return m_active; }
    SectionMemo *plotMemo() const override { return m_memo; }
    void setRecallText(const QString &text) override { m_recallText = text; }
    bool plotSelected() const override;
    bool applyPlotMemo(const QString &what) override;
    void setMapContentsButtonDown(bool down) override;
    void mapContentsItemChosen(const QString &line) override;
    QStringList mapPlotLines() override;

private:
    void leaving(QPoint plot);
    void chosen(QPoint before, QPoint now);
    void plotsChanged(const QRegion &plots);
    bool hasChosenPlot();

    EditorContext *m_context;
    EditorActions *m_actions;
    CurrentCell *m_current;
    MapToolBox *m_tools;
    SectionMemo *m_memo;
    QString m_recallText;
    bool m_active = false;
};
