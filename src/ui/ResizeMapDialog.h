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

    QSpinBox *widthBox = nullptr;
    QSpinBox *heightBox = nullptr;
    QButtonGroup *anchors = nullptr;
    QComboBox *newPlotsBox = nullptr; // "Ocean", "Empty"
    ResizePreview *preview = nullptr;
    QLabel *summary = nullptr;

private:
    void refresh();

    QSize m_current;
};
