#pragma once
// Resize map: the new width and height and where the old map lies in it,
// one of nine anchors (its corners, the middles of its sides, its centre),
// with a picture of the result.

#include <QDialog>
#include <QPoint>
#include <QSize>

class QButtonGroup;
class QComboBox;
class QLabel;
class QSpinBox;
class ResizePreview;

class ResizeMapDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ResizeMapDialog(QSize current, QWidget *parent = nullptr);

    QSize newSize() const;
    // Anchors count row by row from the top left, 0 to 8; 0 keeps the top
    // left corner where it is.
    int anchor() const;
    void setAnchor(int anchor);
    // How far the plots move in the file's coordinates (x to the right,
    // y upwards) for a resize from `from` to `to` held at `anchor`.
    static QPoint fileOffset(QSize from, QSize to, int anchor);
    QPoint fileOffset() const { return fileOffset(m_current, newSize(), anchor()); }
    // The text the plots a resize adds get: ocean (the default) or nothing.
    QByteArray newPlotText() const;
    static QByteArray oceanPlotText();

    QSpinBox *widthBox() const { return m_widthBox; }
    QSpinBox *heightBox() const { return m_heightBox; }
    // The nine anchor buttons, their ids the anchors.
    QButtonGroup *anchorButtons() const { return m_anchorButtons; }
    QComboBox *newPlotsBox() const { return m_newPlotsBox; } // "Ocean", "Empty"
    ResizePreview *preview() const { return m_preview; }
    // What the resize makes of the map, in words.
    QLabel *summaryLabel() const { return m_summaryLabel; }

private:
    void refresh();

    QSpinBox *m_widthBox = nullptr;
    QSpinBox *m_heightBox = nullptr;
    QButtonGroup *m_anchorButtons = nullptr;
    QComboBox *m_newPlotsBox = nullptr;
    ResizePreview *m_preview = nullptr;
    QLabel *m_summaryLabel = nullptr;

    QSize m_current;
};
