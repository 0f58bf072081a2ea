#include "BenchmarkWindow.h"

#include "AnswerDialogs.h"
#include "MapGenerator.h"
#include "MapGrid.h"
#include "MainWindow.h"
#include "FileActions.h"
#include "MapPage.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QToolButton>

MainWindow *benchmarkWindow()
{
    static MainWindow *w = [] {
        Dialogs::setInstance(std::make_unique<AnswerDialogs>(benchmarkMapPath(1000, 1000)));
        auto *form = new MainWindow;
        form->resize(1920, 1080);
        form->show();
        form->files()->open();
        form->action(QStringLiteral("mapPage"))->trigger();
        form->mapPage()->selectZoom(0); // cell size 4
        // The grid's view itself 1920 x 1080, whatever the bars around it take.
        const QSize view = form->mapPage()->grid()->viewport()->size();
        form->resize(form->size() + QSize(1920, 1080) - view);
        form->mapPage()->grid()->setFocus();
        QCoreApplication::processEvents();
        return form;
    }();
    return w;
}

bool requireBenchmarkMap(benchmark::State &state)
{
    if (benchmarkWindow()->stores().columnCount() == 1000)
        return true;
    state.SkipWithError("benchmark map could not be loaded");
    return false;
}

int runWindowBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
