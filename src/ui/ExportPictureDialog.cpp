#include "ExportPictureDialog.h"

#include "Dialogs.h"
#include "Document.h"
#include "EditorContext.h"
#include "MapToolBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString layersHidden(const vor4::MapPictureOptions &o)
{
    QStringList off;
    for (int i = 0; i < vor4::LayerSwitches::Count; ++i)
        if (!o.layers[i])
            off << QLatin1String(vor4::LayerSwitches::name(i));
    const char *const pieces[] = {"starts", "units", "signs", "rivers"};
    for (int i = 0; i < vor4::PieceLayers::Count; ++i)
        if (!o.pieceLayers[i])
            off << QLatin1String(pieces[i]);
    return off.isEmpty() ? QStringLiteral("every layer, as the grid shows them")
                         : QStringLiteral("as the grid shows them, without ") + off.join(QStringLiteral(", "));
}

} // namespace

ExportPictureDialog::ExportPictureDialog(const vor4::Document &doc, const vor4::MapPictureOptions &shown,
                                         const QRect &selection, QWidget *parent)
    : QDialog(parent)
    , m_doc(doc)
    , m_shown(shown)
    , m_selection(selection)
{
    setObjectName(QStringLiteral("ExportPictureDialog"));
    setWindowTitle(QStringLiteral("Export picture"));
    m_wholeMap = new QRadioButton(QStringLiteral("&Whole map (%1 x %2 plots)").arg(doc.columnCount()).arg(doc.rowCount()));
    m_wholeMap->setObjectName(QStringLiteral("ExportWholeMap"));
    m_selected = new QRadioButton(selection.isEmpty()
                                      ? QStringLiteral("&Selection (none)")
                                      : QStringLiteral("&Selection (%1 x %2 plots)").arg(selection.width()).arg(selection.height()));
    m_selected->setObjectName(QStringLiteral("ExportSelection"));
    m_selected->setEnabled(!selection.isEmpty());
    (selection.isEmpty() ? m_wholeMap : m_selected)->setChecked(true);

    m_cellSize = new QComboBox;
    m_cellSize->setObjectName(QStringLiteral("ExportCellSize"));
    m_cellSize->setToolTip(QStringLiteral("Pixels a plot, as the grid's sizes"));
    for (int size : MapToolBar::GridSizes)
        m_cellSize->addItem(QString::number(size), size);
    const int shownSize = m_cellSize->findData(shown.cellSize);
    m_cellSize->setCurrentIndex(shownSize >= 0 ? shownSize : MapToolBar::DefaultZoom);
    m_style = new QComboBox;
    m_style->setObjectName(QStringLiteral("ExportStyle"));
    m_style->addItems(vor4::MapStyle::names());
    m_style->setCurrentText(shown.style.name);
    m_gridLines = new QCheckBox(QStringLiteral("&Grid lines"));
    m_gridLines->setObjectName(QStringLiteral("ExportGridLines"));
    m_gridLines->setChecked(shown.gridLines);
    m_pieces = new QCheckBox(QStringLiteral("&Pieces: starts, units, signs and rivers"));
    m_pieces->setObjectName(QStringLiteral("ExportPieces"));
    m_pieces->setChecked(shown.pieces);
    auto *layers = new QLabel(layersHidden(shown));
    layers->setObjectName(QStringLiteral("ExportLayers"));
    layers->setWordWrap(true);
    m_size = new QLabel;
    m_size->setObjectName(QStringLiteral("ExportSize"));
    m_size->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Area:"), m_wholeMap);
    form->addRow(QString(), m_selected);
    form->addRow(QStringLiteral("&Cell size:"), m_cellSize);
    form->addRow(QStringLiteral("S&tyle:"), m_style);
    form->addRow(QString(), m_gridLines);
    form->addRow(QString(), m_pieces);
    form->addRow(QStringLiteral("Layers:"), layers);
    form->addRow(QStringLiteral("Picture:"), m_size);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Export..."));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_buttons);

    for (QRadioButton *b : {m_wholeMap, m_selected})
        connect(b, &QRadioButton::toggled, this, &ExportPictureDialog::update);
    for (QComboBox *b : {m_cellSize, m_style})
        connect(b, &QComboBox::currentIndexChanged, this, &ExportPictureDialog::update);
    for (QCheckBox *b : {m_gridLines, m_pieces})
        connect(b, &QCheckBox::toggled, this, &ExportPictureDialog::update);
    update();
}

vor4::MapPictureOptions ExportPictureDialog::options() const
{
    vor4::MapPictureOptions o = m_shown;
    const vor4::MapStyle *style = vor4::MapStyle::byName(m_style->currentText());
    o.style = style ? *style : m_shown.style;
    o.cellSize = m_cellSize->currentData().toInt();
    o.gridLines = m_gridLines->isChecked();
    o.pieces = m_pieces->isChecked();
    o.cells = m_selected->isChecked() ? m_selection : QRect();
    return o;
}

void ExportPictureDialog::update()
{
    const vor4::MapPicture picture(m_doc, options());
    const QString refusal = picture.refusal(false);
    const QLocale english(QLocale::English);
    m_size->setText(refusal.isEmpty() ? QStringLiteral("%1 x %2 pixels")
                                            .arg(english.toString(picture.width()), english.toString(picture.height()))
                                      : refusal);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(refusal.isEmpty());
}

void exportMapPicture(EditorContext *context, const vor4::MapPictureOptions &shown, const QRect &selection)
{
    QWidget *window = context->window();
    const vor4::Document &doc = context->stores();
    ExportPictureDialog dialog(doc, shown, selection, window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString mapName = doc.FileName.isEmpty() ? QStringLiteral("map") : QFileInfo(doc.FileName).completeBaseName();
    const QString folder = doc.FileName.isEmpty() ? QDir::homePath() : QFileInfo(doc.FileName).absolutePath();
    QString path = Dialogs::instance().saveFileName(window, folder, QDir(folder).filePath(mapName + QStringLiteral(".png")),
                                                    QStringLiteral("PNG pictures (*.png);;All files (*)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");

    vor4::MapPicture picture(doc, dialog.options());
    // The stores stay as they are while the bands are written: the window
    // waits behind the progress dialog, which only Cancel answers.
    QProgressDialog progress(QStringLiteral("Writing %1…").arg(QFileInfo(path).fileName()), QStringLiteral("Cancel"), 0,
                             1000, window);
    progress.setObjectName(QStringLiteral("ExportProgress"));
    progress.setWindowTitle(QStringLiteral("Export picture"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setValue(0);
    const vor4::MapPicture::Written written = picture.write(path, [&progress](qint64 rows, qint64 total) {
        progress.setValue(int(rows * 1000 / qMax<qint64>(1, total)));
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.reset();
    if (written.ok)
        context->say(QStringLiteral("Picture exported: %1 (%2 x %3 pixels)")
                         .arg(QDir::toNativeSeparators(path))
                         .arg(picture.width())
                         .arg(picture.height()));
    else if (written.cancelled)
        context->say(QStringLiteral("Export cancelled: no picture written"));
    else
        Dialogs::instance().error(window, written.error);
}
