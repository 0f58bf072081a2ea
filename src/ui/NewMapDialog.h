#pragma once
// New map: size, wrap and latitudes, the base plots, players and generated
// land, with a picture of the map as it will be. The picture is made on a
// worker thread, so that typing stays quick on the largest maps; the map
// it shows is the one Create makes.

#include "Document.h"
#include "NewMapSettings.h"

#include <QDialog>
#include <QImage>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class NewMapDialog : public QDialog
{
    Q_OBJECT
public:
    explicit NewMapDialog(const vor4::NewMapSettings &settings, QWidget *parent = nullptr);
    ~NewMapDialog() override;

    vor4::NewMapSettings settings() const;
    // The settings last created from, kept between runs, with a new seed;
    // continents for four players the first time.
    static vor4::NewMapSettings remembered();
    static void remember(const vor4::NewMapSettings &settings);
    // The map of the present settings, made now unless the picture shows it
    // already; notes say what could not be done as asked.
    vor4::Document takeDocument(QStringList *notes);

    // The picture shown: the minimap image of the map, starts marked; null
    // while it is being made.
    QImage previewImage() const { return m_shown ? m_preview : QImage(); }
    bool previewReady() const { return m_shown; }
    // The picture of a map: its minimap image, fitted to the dialog, with
    // a disc at each start.
    static QImage pictureOf(const vor4::Document &doc);

    QSpinBox *widthBox() const { return m_width; }
    QSpinBox *heightBox() const { return m_height; }
    QSpinBox *playersBox() const { return m_players; }
    QComboBox *landBox() const { return m_land; }
    QComboBox *baseBox() const { return m_base; }
    QLineEdit *seedEdit() const { return m_seed; }
    QPushButton *newSeedButton() const { return m_newSeed; }
    QSpinBox *landShareBox() const { return m_landShare; }

Q_SIGNALS:
    void previewShown();

private:
    struct Result
    {
        vor4::NewMapSettings settings;
        vor4::Document document;
        QStringList notes;
        QImage picture;
    };
    static std::shared_ptr<Result> generate(const vor4::NewMapSettings &settings);
    void settingsChanged();
    void startPreview();
    void showResult(const std::shared_ptr<Result> &result, int generation);

    QSpinBox *m_width, *m_height, *m_top, *m_bottom, *m_players, *m_landShare, *m_hills, *m_peaks;
    QCheckBox *m_wrapX, *m_wrapY;
    QComboBox *m_base, *m_land;
    int m_chosenBase = 0; // the base plots asked for a map without land
    QLineEdit *m_seed;
    QPushButton *m_newSeed, *m_create;
    QLabel *m_picture, *m_notes;
    QTimer m_delay;
    QThreadPool m_worker;
    std::atomic_int m_generation{0};
    std::shared_ptr<Result> m_result;
    QImage m_preview;
    bool m_shown = false;
};
