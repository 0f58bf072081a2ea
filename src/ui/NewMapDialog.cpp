#include "NewMapDialog.h"

#include "EditorSettings.h"
#include "NewMap.h"
#include "Thumbnail.h"
#include "WaitCursor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr QSize PictureSize(360, 240);

QSpinBox *spinBox(const char *name, int low, int high, int value, const QString &tip, const QString &suffix = {})
{
    auto *box = new QSpinBox;
    box->setObjectName(QLatin1String(name));
    box->setRange(low, high);
    box->setValue(qBound(low, value, high));
    box->setToolTip(tip);
    box->setSuffix(suffix);
    return box;
}

} // namespace

NewMapDialog::NewMapDialog(const vor4::NewMapSettings &s, QWidget *parent)
    : QDialog(parent)
{
    using vor4::NewMapSettings;
    setObjectName(QStringLiteral("NewMapDialog"));
    setWindowTitle(QStringLiteral("New map"));
    m_width = spinBox("NewMapWidth", 1, NewMapSettings::MaxSide, s.width, QStringLiteral("Columns of the map"));
    m_height = spinBox("NewMapHeight", 1, NewMapSettings::MaxSide, s.height, QStringLiteral("Rows of the map"));
    m_wrapX = new QCheckBox(QStringLiteral("East–&west"));
    m_wrapX->setChecked(s.wrapX);
    m_wrapX->setToolTip(QStringLiteral("The map wraps from its east edge to its west edge (wrap X=1)"));
    m_wrapY = new QCheckBox(QStringLiteral("North–sou&th"));
    m_wrapY->setChecked(s.wrapY);
    m_wrapY->setToolTip(QStringLiteral("The map wraps from its north edge to its south edge (wrap Y=1)"));
    m_top = spinBox("NewMapTopLatitude", -90, 90, s.topLatitude, QStringLiteral("Latitude of the north edge"), QStringLiteral("°"));
    m_bottom = spinBox("NewMapBottomLatitude", -90, 90, s.bottomLatitude, QStringLiteral("Latitude of the south edge"),
                       QStringLiteral("°"));
    m_base = new QComboBox;
    m_base->setObjectName(QStringLiteral("NewMapBase"));
    m_base->addItems({QStringLiteral("Ocean"), QStringLiteral("Grassland"), QStringLiteral("Empty")});
    m_base->setCurrentIndex(int(s.base));
    m_chosenBase = int(s.base);
    m_base->setToolTip(QStringLiteral("The plots of a map without generated land: ocean (TerrainType=TERRAIN_OCEAN, "
                                      "PlotType=3), grassland (TerrainType=TERRAIN_GRASS, PlotType=2) or nothing"));
    m_players = spinBox("NewMapPlayers", 0, NewMapSettings::MaxPlayers, s.players,
                        QStringLiteral("Players, each with a team, a start and a settler; beyond 18 the slots grow"));
    m_land = new QComboBox;
    m_land->setObjectName(QStringLiteral("NewMapLand"));
    m_land->addItems({QStringLiteral("None"), QStringLiteral("Continents"), QStringLiteral("Pangaea"),
                      QStringLiteral("Islands")});
    m_land->setCurrentIndex(int(s.land));
    m_land->setToolTip(QStringLiteral("Land generated in the ocean: 2 to 6 continents, one pangaea or many islands"));
    m_seed = new QLineEdit(QString::number(s.seed));
    m_seed->setObjectName(QStringLiteral("NewMapSeed"));
    m_seed->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{1,10}")), m_seed));
    m_seed->setToolTip(QStringLiteral("The same seed and settings make the same map"));
    m_newSeed = new QPushButton(QStringLiteral("New seed"));
    m_newSeed->setObjectName(QStringLiteral("NewMapNewSeed"));
    m_newSeed->setToolTip(QStringLiteral("Pick a seed at random"));
    m_landShare = spinBox("NewMapLandShare", 10, 90, s.landShare, QStringLiteral("Land in percent of the map"),
                          QStringLiteral(" %"));
    m_hills = spinBox("NewMapHills", 0, 100, s.hillShare, QStringLiteral("Hills in percent of the land"), QStringLiteral(" %"));
    m_peaks = spinBox("NewMapPeaks", 0, 100, s.peakShare, QStringLiteral("Peaks in percent of the land"), QStringLiteral(" %"));

    auto *size = new QHBoxLayout;
    size->addWidget(m_width);
    size->addWidget(new QLabel(QStringLiteral("x")));
    size->addWidget(m_height);
    auto *wrap = new QHBoxLayout;
    wrap->addWidget(m_wrapX);
    wrap->addWidget(m_wrapY);
    auto *latitudes = new QHBoxLayout;
    latitudes->addWidget(m_top);
    latitudes->addWidget(new QLabel(QStringLiteral("to")));
    latitudes->addWidget(m_bottom);
    auto *seed = new QHBoxLayout;
    seed->addWidget(m_seed, 1);
    seed->addWidget(m_newSeed);
    auto *relief = new QHBoxLayout;
    relief->addWidget(m_hills);
    relief->addWidget(new QLabel(QStringLiteral("peaks")));
    relief->addWidget(m_peaks);

    auto *form = new QFormLayout;
    // A label's key goes to the first field of its row.
    const auto row = [form](const QString &text, QWidget *buddy, auto *field) {
        auto *label = new QLabel(text);
        label->setBuddy(buddy);
        form->addRow(label, field);
    };
    row(QStringLiteral("&Size:"), m_width, size);
    row(QStringLiteral("Wraps:"), m_wrapX, wrap);
    row(QStringLiteral("&Latitudes:"), m_top, latitudes);
    row(QStringLiteral("&Base plots:"), m_base, m_base);
    row(QStringLiteral("&Players:"), m_players, m_players);
    row(QStringLiteral("L&and:"), m_land, m_land);
    row(QStringLiteral("S&eed:"), m_seed, seed);
    row(QStringLiteral("Land s&hare:"), m_landShare, m_landShare);
    row(QStringLiteral("H&ills:"), m_hills, relief);

    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("NewMapPreview"));
    m_picture->setFixedSize(PictureSize);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_notes = new QLabel;
    m_notes->setObjectName(QStringLiteral("NewMapNotes"));
    m_notes->setWordWrap(true);
    auto *right = new QVBoxLayout;
    right->addWidget(m_picture);
    right->addWidget(m_notes);
    right->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addLayout(form);
    top->addLayout(right, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_create = buttons->button(QDialogButtonBox::Ok);
    m_create->setText(QStringLiteral("Create"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    // One picture after a burst of typing, not one per key.
    m_delay.setSingleShot(true);
    m_delay.setInterval(40);
    connect(&m_delay, &QTimer::timeout, this, &NewMapDialog::startPreview);
    m_worker.setMaxThreadCount(1);
    for (QSpinBox *box : {m_width, m_height, m_top, m_bottom, m_players, m_landShare, m_hills, m_peaks})
        connect(box, &QSpinBox::valueChanged, this, &NewMapDialog::settingsChanged);
    for (QCheckBox *box : {m_wrapX, m_wrapY})
        connect(box, &QCheckBox::toggled, this, &NewMapDialog::settingsChanged);
    connect(m_base, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_base->isEnabled())
            m_chosenBase = index;
    });
    for (QComboBox *box : {m_base, m_land})
        connect(box, &QComboBox::currentIndexChanged, this, &NewMapDialog::settingsChanged);
    connect(m_seed, &QLineEdit::textChanged, this, &NewMapDialog::settingsChanged);
    connect(m_newSeed, &QPushButton::clicked, this,
            [this] { m_seed->setText(QString::number(QRandomGenerator::global()->generate())); });
    settingsChanged();
}

NewMapDialog::~NewMapDialog()
{
    // A picture being made finishes first: it works on its own copies.
    m_generation = -1;
    m_worker.waitForDone();
}

namespace {
// Each setting with its key; the seed is new in every run.
struct Remembered
{
    const char *key;
    int vor4::NewMapSettings::*value;
};
const Remembered RememberedInts[] = {
    {"width", &vor4::NewMapSettings::width},         {"height", &vor4::NewMapSettings::height},
    {"topLatitude", &vor4::NewMapSettings::topLatitude}, {"bottomLatitude", &vor4::NewMapSettings::bottomLatitude},
    {"players", &vor4::NewMapSettings::players},     {"landShare", &vor4::NewMapSettings::landShare},
    {"hills", &vor4::NewMapSettings::hillShare},     {"peaks", &vor4::NewMapSettings::peakShare}};
} // namespace

vor4::NewMapSettings NewMapDialog::remembered()
{
    vor4::NewMapSettings first;
    first.land = vor4::NewMapSettings::Land::Continents;
    first.players = 4;
    first.seed = QRandomGenerator::global()->generate();
    vor4::NewMapSettings s = first;
    QSettings kept = editorSettings();
    kept.beginGroup(QStringLiteral("newMap"));
    for (const Remembered &r : RememberedInts)
        s.*r.value = kept.value(QLatin1String(r.key), s.*r.value).toInt();
    s.wrapX = kept.value(QStringLiteral("wrapX"), s.wrapX).toBool();
    s.wrapY = kept.value(QStringLiteral("wrapY"), s.wrapY).toBool();
    s.base = vor4::NewMapSettings::Base(qBound(0, kept.value(QStringLiteral("base"), int(s.base)).toInt(), 2));
    s.land = vor4::NewMapSettings::Land(qBound(0, kept.value(QStringLiteral("land"), int(s.land)).toInt(), 3));
    // A damaged file gives the first settings again.
    return s.problem().isEmpty() ? s : first;
}

void NewMapDialog::remember(const vor4::NewMapSettings &s)
{
    QSettings kept = editorSettings();
    kept.beginGroup(QStringLiteral("newMap"));
    for (const Remembered &r : RememberedInts)
        kept.setValue(QLatin1String(r.key), s.*r.value);
    kept.setValue(QStringLiteral("wrapX"), s.wrapX);
    kept.setValue(QStringLiteral("wrapY"), s.wrapY);
    kept.setValue(QStringLiteral("base"), int(s.base));
    kept.setValue(QStringLiteral("land"), int(s.land));
}

vor4::NewMapSettings NewMapDialog::settings() const
{
    vor4::NewMapSettings s;
    s.width = m_width->value();
    s.height = m_height->value();
    s.wrapX = m_wrapX->isChecked();
    s.wrapY = m_wrapY->isChecked();
    s.topLatitude = m_top->value();
    s.bottomLatitude = m_bottom->value();
    s.land = vor4::NewMapSettings::Land(m_land->currentIndex());
    s.base = vor4::NewMapSettings::Base(m_base->currentIndex());
    s.players = m_players->value();
    bool ok = false;
    s.seed = m_seed->text().toUInt(&ok);
    s.landShare = m_landShare->value();
    s.hillShare = m_hills->value();
    s.peakShare = m_peaks->value();
    if (!ok)
        s.seed = 0;
    return s;
}

void NewMapDialog::settingsChanged()
{
    const bool land = m_land->currentIndex() != int(vor4::NewMapSettings::Land::None);
    m_base->setEnabled(!land);
    {
        // Generated land lies in the ocean: the box says so, and shows the
        // plots chosen for a map without land again when land is none.
        const QSignalBlocker quiet(m_base);
        m_base->setCurrentIndex(land ? int(vor4::NewMapSettings::Base::Ocean) : m_chosenBase);
    }
    for (QWidget *w : std::initializer_list<QWidget *>{m_seed, m_newSeed, m_landShare, m_hills, m_peaks})
        w->setEnabled(land);
    const QString problem = settings().problem();
    m_create->setEnabled(problem.isEmpty());
    m_notes->setText(problem);
    m_shown = false;
    ++m_generation;
    if (problem.isEmpty())
        m_delay.start();
}

std::shared_ptr<NewMapDialog::Result> NewMapDialog::generate(const vor4::NewMapSettings &settings)
{
    auto r = std::make_shared<Result>();
    r->settings = settings;
    r->document = vor4::NewMap::make(settings, &r->notes);
    r->picture = pictureOf(r->document);
    return r;
}

QImage NewMapDialog::pictureOf(const vor4::Document &doc)
{
    return vor4::mapPreview(doc, PictureSize);
}

void NewMapDialog::startPreview()
{
    const int generation = m_generation;
    const vor4::NewMapSettings s = settings();
    m_worker.start([this, s, generation] {
        if (m_generation != generation)
            return;
        const std::shared_ptr<Result> result = generate(s);
        QMetaObject::invokeMethod(this, [this, result, generation] { showResult(result, generation); },
                                  Qt::QueuedConnection);
    });
}

void NewMapDialog::showResult(const std::shared_ptr<Result> &result, int generation)
{
    if (generation != m_generation)
        return;
    m_result = result;
    m_preview = result->picture;
    m_picture->setPixmap(QPixmap::fromImage(m_preview));
    m_notes->setText(result->notes.join(QLatin1Char('\n')));
    m_shown = true;
    Q_EMIT previewShown();
}

vor4::Document NewMapDialog::takeDocument(QStringList *notes)
{
    const vor4::NewMapSettings s = settings();
    if (!m_result || m_result->settings != s) {
        WaitCursor wait;
        m_result = generate(s);
    }
    if (notes)
        *notes = m_result->notes;
    vor4::Document doc = std::move(m_result->document);
    m_result.reset();
    return doc;
}
