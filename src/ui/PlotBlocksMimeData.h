#pragma once
// The plots Copy puts on the clipboard. Inside this editor a paste takes
// the copied plots themselves; the text (the file's plot blocks, under the
// editor's own type and as plain text) is written only when another
// program or another editor asks for it, so Copy does not wait for 24 MB
// of text on a big region.

#include "PlotRegion.h"

#include <QMimeData>
#include <memory>

class PlotBlocksMimeData : public QMimeData
{
    Q_OBJECT
public:
    // The clipboard type of the plot blocks' bytes.
    static const QString MimeType;

    explicit PlotBlocksMimeData(std::shared_ptr<const vor4::PlotRegion> region);

    const std::shared_ptr<const vor4::PlotRegion> &region() const { return m_region; }
    QStringList formats() const override;
    bool hasFormat(const QString &mimeType) const override;

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    const QByteArray &text() const;

    std::shared_ptr<const vor4::PlotRegion> m_region;
    mutable QByteArray m_text; // written on the first request
};
