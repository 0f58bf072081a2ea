#pragma once
// Writes an RGB PNG file band by band, so that a picture larger than any
// one image in memory can still be written. OUT is replaced only by finish().

#include <QImage>
#include <QString>
#include <memory>

namespace vor4 {

class PngBandWriter
{
public:
    PngBandWriter();
    ~PngBandWriter();
    PngBandWriter(const PngBandWriter &) = delete;
    PngBandWriter &operator=(const PngBandWriter &) = delete;

    // Whether bands are streamed; without it the whole picture is kept in
    // memory until finish().
    static bool streams();
    // Largest width and height the file format and the writer accept.
    static qint64 maxSide();

    bool open(const QString &path, int width, int height);
    // Rows of a 32-bit band (RGB32 or ARGB32), as wide as the picture, in
    // order from the top; the alpha channel is dropped.
    bool writeBand(const QImage &band);
    // Checks that every row came and puts the file in place.
    bool finish();
    QString errorString() const { return m_error; }
    // The message for the user after a failure: why the file may not be
    // replaced, or "Cannot write PATH: REASON".
    QString failure() const;

    struct Private;

private:
    std::unique_ptr<Private> d;
    QString m_error;
    QString m_refusal; // the output may not be replaced at all
};

} // namespace vor4
