#include "ResizeMapDialog.h"

#include "MapTransform.h"
#include "PaintRule.h"
#include "ResizePreview.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const char *const ArrowNames[9] = {"\u2196", "\u2191", "\u2197", "\u2190", "\u25CF", "\u2192", "\u2199", "\u2193", "\u2198"};
const char *const AnchorHints[9] = {"Top left", "Top", "Top right", "Left", "Centre", "Right",
                                    "Bottom left", "Bottom", "Bottom right"};
} // namespace

ResizeMapDialog::ResizeMapDialog(QSize current, QWidget *parent)
    : QDialog(parent)
    , m_current(current)
{
    setObjectName(QStringLiteral("ResizeMapDialog"));
    setWindowTitle(QStringLiteral("Resize map"));
    m_widthBox = new QSpinBox;
    m_widthBox->setObjectName(QStringLiteral("ResizeWidth"));
    m_heightBox = new QSpinBox;
    m_heightBox->setObjectName(QStringLiteral("ResizeHeight"));
    for (QSpinBox *box : {m_widthBox, m_heightBox})
        box->setRange(1, vor4::MapTransform::MaxSide);
    m_widthBox->setValue(qBound(1, current.width(), vor4::MapTransform::MaxSide));
    m_heightBox->setValue(qBound(1, current.height(), vor4::MapTransform::MaxSide));

    auto *anchorGrid = new QGridLayout;
    anchorGrid->setSpacing(2);
    m_anchorButtons = new QButtonGroup(this);
    for (int i = 0; i < 9; ++i) {
        auto *b = new QToolButton;
        b->setObjectName(QStringLiteral("Anchor%1").arg(i));
        b->setText(QString::fromUtf8(ArrowNames[i]));
        b->setToolTip(QStringLiteral("Keep the old map at the %1").arg(QString::fromLatin1(AnchorHints[i]).toLower()));
        b->setCheckable(true);
        b->setFixedSize(28, 28);
        m_anchorButtons->addButton(b, i);
        anchorGrid->addWidget(b, i / 3, i % 3);
    }
    m_anchorButtons->button(0)->setChecked(true);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Width:"), m_widthBox);
    form->addRow(QStringLiteral("&Height:"), m_heightBox);
    form->addRow(QStringLiteral("Old map at:"), anchorGrid);
    m_newPlotsBox = new QComboBox;
    m_newPlotsBox->setObjectName(QStringLiteral("NewPlotsBox"));
    m_newPlotsBox->addItem(QStringLiteral("Ocean"));
    m_newPlotsBox->addItem(QStringLiteral("Empty"));
    m_newPlotsBox->setToolTip(QStringLiteral("What the added plots hold: ocean (TerrainType=TERRAIN_OCEAN, "
                                           "PlotType=3) or nothing"));
    form->addRow(QStringLiteral("&New plots:"), m_newPlotsBox);
    m_summaryLabel = new QLabel;
    m_summaryLabel->setObjectName(QStringLiteral("ResizeSummary"));
    m_summaryLabel->setWordWrap(true);

    m_preview = new ResizePreview;
    m_preview->setObjectName(QStringLiteral("ResizePreview"));
    auto *top = new QHBoxLayout;
    top->addLayout(form);
    top->addWidget(m_preview, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Resize"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_summaryLabel);
    layout->addWidget(buttons);

    connect(m_widthBox, &QSpinBox::valueChanged, this, &ResizeMapDialog::refresh);
    connect(m_heightBox, &QSpinBox::valueChanged, this, &ResizeMapDialog::refresh);
    connect(m_anchorButtons, &QButtonGroup::idClicked, this, &ResizeMapDialog::refresh);
    connect(m_newPlotsBox, &QComboBox::currentIndexChanged, this, &ResizeMapDialog::refresh);
    refresh();
}

QSize ResizeMapDialog::newSize() const { return QSize(m_widthBox->value(), m_heightBox->value()); }

int ResizeMapDialog::anchor() const { return qMax(0, m_anchorButtons->checkedId()); }

void ResizeMapDialog::setAnchor(int anchor)
{
    if (QAbstractButton *b = m_anchorButtons->button(anchor)) {
        b->setChecked(true);
        refresh();
    }
}

QByteArray ResizeMapDialog::oceanPlotText()
{
    return vor4::PaintRule::putLine(vor4::PaintRule::putLine(QByteArray(), "TerrainType", "TerrainType=TERRAIN_OCEAN"),
                                    "PlotType", "PlotType=3");
}

QByteArray ResizeMapDialog::newPlotText() const
{
    return m_newPlotsBox->currentIndex() == 0 ? oceanPlotText() : QByteArray();
}

QPoint ResizeMapDialog::fileOffset(QSize from, QSize to, int anchor)
{
    const int dw = to.width() - from.width(), dh = to.height() - from.height();
    const int column = anchor % 3, row = anchor / 3;
    // y counts upwards: an old map held at the top rises by all the rows added.
    const int dx = column == 0 ? 0 : column == 1 ? dw / 2 : dw;
    const int dy = row == 2 ? 0 : row == 1 ? dh / 2 : dh;
    return QPoint(dx, dy);
}

void ResizeMapDialog::refresh()
{
    const QSize size = newSize();
    const QPoint offset = fileOffset();
    // As seen: the old top row goes from y = old height - 1 to that plus dy.
    const QPoint topLeft(offset.x(), size.height() - m_current.height() - offset.y());
    m_preview->setMaps(m_current, size, topLeft);
    m_preview->setOceanFill(m_newPlotsBox->currentIndex() == 0);
    const QLocale english(QLocale::English);
    const qint64 plots = qint64(size.width()) * size.height();
    QString text = QStringLiteral("%1 x %2 becomes %3 x %4: %5 plots")
                       .arg(m_current.width())
                       .arg(m_current.height())
                       .arg(size.width())
                       .arg(size.height())
                       .arg(english.toString(plots));
    const QRect kept = QRect(topLeft, m_current) & QRect(QPoint(0, 0), size);
    const qint64 dropped = qint64(m_current.width()) * m_current.height() - qint64(kept.width()) * kept.height();
    if (dropped > 0)
        text += QStringLiteral(", %1 of the old plots are dropped").arg(english.toString(dropped));
    m_summaryLabel->setText(text + QLatin1Char('.'));
}
