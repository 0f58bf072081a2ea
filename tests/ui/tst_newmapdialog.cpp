// File > New map...: what the dialog's fields ask of the generator, the
// picture it shows being the map Create makes, and Cancel changing nothing.

#include "EditorSettings.h"
#include "FakeDialogs.h"
#include "MainWindow.h"
#include "MapWriter.h"
#include "NewMap.h"
#include "NewMapDialog.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QtTest>

using namespace vor4;

class TestNewMapDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void createsTheMapItShows();
};

void TestNewMapDialog::createsTheMapItShows()
{
    QStandardPaths::setTestModeEnabled(true);
    editorSettings().remove(QStringLiteral("newMap"));
    FakeDialogs::install();
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QAction *newMap = w.action(QStringLiteral("newGeneratedMap"));
    QVERIFY(newMap->toolTip().contains(QStringLiteral("Ctrl+Shift+N")));

    NewMapSettings asked;
    QImage shown;
    QTimer::singleShot(0, this, [&] {
        auto *d = qobject_cast<NewMapDialog *>(QApplication::activeModalWidget());
        QVERIFY(d);
        d->widthBox()->setValue(50);
        d->heightBox()->setValue(30);
        d->playersBox()->setValue(5);
        d->landBox()->setCurrentIndex(int(NewMapSettings::Land::None));
        d->baseBox()->setCurrentIndex(int(NewMapSettings::Base::Grass));
        // Land lies in the ocean; the grass comes back without land.
        for (const NewMapSettings::Land land : {NewMapSettings::Land::Islands, NewMapSettings::Land::None})
            d->landBox()->setCurrentIndex(int(land));
        QVERIFY(d->settings().base == NewMapSettings::Base::Grass);
        d->landBox()->setCurrentIndex(int(NewMapSettings::Land::Pangaea));
        QVERIFY(!d->baseBox()->isEnabled() && d->settings().base == NewMapSettings::Base::Ocean);
        d->seedEdit()->setText(QStringLiteral("77"));
        QTRY_VERIFY(d->previewReady());
        const QImage before = d->previewImage();
        QTest::mouseClick(d->newSeedButton(), Qt::LeftButton);
        QVERIFY(d->seedEdit()->text() != QLatin1String("77"));
        QTRY_VERIFY(d->previewReady());
        QVERIFY(d->previewImage() != before);
        asked = d->settings();
        shown = d->previewImage();
        d->accept();
    });
    newMap->trigger();
    QCOMPARE(asked.width, 50);
    QCOMPARE(asked.height, 30);
    QCOMPARE(asked.players, 5);
    QVERIFY(asked.land == NewMapSettings::Land::Pangaea);
    QCOMPARE(buildSaveFile(w.stores()), buildSaveFile(NewMap::make(asked)));
    QCOMPARE(NewMapDialog::pictureOf(w.stores()), shown);
    QVERIFY(w.document()->undoStack()->canUndo());
    // The next run offers the same, with a seed of its own.
    NewMapSettings next = NewMapDialog::remembered();
    QVERIFY(next.seed != asked.seed);
    next.seed = asked.seed;
    QVERIFY(next == asked);

    // Shown again with the last settings; cancelled, nothing changes.
    const QByteArray before = buildSaveFile(w.stores());
    QTimer::singleShot(0, this, [&] {
        auto *d = qobject_cast<NewMapDialog *>(QApplication::activeModalWidget());
        QVERIFY(d && d->settings() == asked);
        // Hills and peaks over the whole land: nothing to create.
        d->findChild<QSpinBox *>(QStringLiteral("NewMapHills"))->setValue(97);
        QVERIFY(!d->settings().problem().isEmpty());
        QVERIFY(!d->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled());
        d->reject();
    });
    newMap->trigger();
    QCOMPARE(buildSaveFile(w.stores()), before);
}

QTEST_MAIN(TestNewMapDialog)
#include "tst_newmapdialog.moc"
