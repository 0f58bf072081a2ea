#pragma once
// File > Export picture…: the choices of a picture of the map (the whole
// map or the selection, the cell size, the style, grid lines, the pieces;
// the layers as the grid shows them), the size they give, and the writing
// of the PNG file band by band with a progress bar and Cancel.

#include "MapPicture.h"

#include <QDialog>
#include <QRect>

class EditorContext;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QRadioButton;

namespace vor4 {
class Document;
}

class ExportPictureDialog : public QDialog
{
    Q_OBJECT
public:
    // `shown` as the grid shows the map: its style, cell size, grid lines
    // and layers are the choices offered first; `selection` the selected
    // cells' bounding rectangle, empty for none.
    ExportPictureDialog(const vor4::Document &doc, const vor4::MapPictureOptions &shown, const QRect &selection,
                        QWidget *parent = nullptr);

    // The picture chosen.
    vor4::MapPictureOptions options() const;

private:
    void update();

    const vor4::Document &m_doc;
    vor4::MapPictureOptions m_shown;
    QRect m_selection;
    QRadioButton *m_wholeMap;
    QRadioButton *m_selected;
    QComboBox *m_cellSize;
    QComboBox *m_style;
    QCheckBox *m_gridLines;
    QCheckBox *m_pieces;
    QLabel *m_size;
    QDialogButtonBox *m_buttons;
};

// Asks for the picture and its file, then writes it with a progress bar;
// says in the status bar what came of it.
void exportMapPicture(EditorContext *context, const vor4::MapPictureOptions &shown, const QRect &selection);
