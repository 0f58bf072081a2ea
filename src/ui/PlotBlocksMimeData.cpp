#include "PlotBlocksMimeData.h"

const QString PlotBlocksMimeData::MimeType = QStringLiteral("application/x-vor4-plot-blocks");

PlotBlocksMimeData::PlotBlocksMimeData(std::shared_ptr<const vor4::PlotRegion> region)
    : m_region(std::move(region))
{
}

QStringList PlotBlocksMimeData::formats() const { return {MimeType, QStringLiteral("text/plain")}; }

bool PlotBlocksMimeData::hasFormat(const QString &mimeType) const { return formats().contains(mimeType); }

const QByteArray &PlotBlocksMimeData::text() const
{
    if (m_text.isEmpty() && m_region)
        m_text = m_region->toText();
    return m_text;
}

QVariant PlotBlocksMimeData::retrieveData(const QString &mimeType, QMetaType type) const
{
    if (mimeType == MimeType)
        return text();
    if (mimeType == QLatin1String("text/plain")) {
        // Plot texts are single bytes, one character each.
        const QString plain = QString::fromLatin1(text());
        return type.id() == QMetaType::QByteArray ? QVariant(plain.toUtf8()) : QVariant(plain);
    }
    return QMimeData::retrieveData(mimeType, type);
}
