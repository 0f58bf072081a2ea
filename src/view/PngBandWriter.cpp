#include "PngBandWriter.h"

#include "FileTarget.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSaveFile>
#include <csetjmp>
#include <cstring>

#ifdef VOR4_HAVE_LIBPNG
#include <png.h>
#endif

namespace vor4 {

struct PngBandWriter::Private
{
    QSaveFile file;
    int width = 0;
    int height = 0;
    int rowsWritten = 0;
    bool failed = false;
    bool writeFailed = false; // the file refused bytes (full disk, size limit)
    QString writeError;       // the system's reason
#ifdef VOR4_HAVE_LIBPNG
    png_structp png = nullptr;
    png_infop info = nullptr;
    QString pngError;
#else
    QImage whole;
#endif
};

#ifdef VOR4_HAVE_LIBPNG
namespace {

// libpng reports errors by longjmp; the functions that call into it hold no
// objects with destructors after their setjmp.
void onError(png_structp png, png_const_charp message)
{
    auto *d = static_cast<PngBandWriter::Private *>(png_get_error_ptr(png));
    d->pngError = QString::fromLocal8Bit(message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto *d = static_cast<PngBandWriter::Private *>(png_get_io_ptr(png));
    if (!writeAll(d->file, QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(length)), &d->writeError)) {
        d->writeFailed = true;
        png_error(png, "write failed");
    }
}

void onFlush(png_structp) {}

bool startPng(PngBandWriter::Private *d)
{
    if (setjmp(png_jmpbuf(d->png)))
        return false;
    png_set_user_limits(d->png, 0x7fffffffu, 0x7fffffffu);
    png_set_write_fn(d->png, d, onWrite, onFlush);
    png_set_IHDR(d->png, d->info, png_uint_32(d->width), png_uint_32(d->height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Map pictures are runs of flat colour: Sub and Up filters suit them and
    // a low level keeps big renders quick.
    png_set_filter(d->png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB | PNG_FILTER_UP);
    png_set_compression_level(d->png, 3);
    png_write_info(d->png, d->info);
    // 32-bit pixels are B, G, R, X in memory on little-endian machines and
    // X, R, G, B on big-endian ones.
    if (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        png_set_bgr(d->png);
        png_set_filler(d->png, 0, PNG_FILLER_AFTER);
    } else {
        png_set_filler(d->png, 0, PNG_FILLER_BEFORE);
    }
    return true;
}

bool writePngRow(PngBandWriter::Private *d, const uchar *row)
{
    if (setjmp(png_jmpbuf(d->png)))
        return false;
    png_write_row(d->png, const_cast<png_bytep>(row));
    return true;
}

bool endPng(PngBandWriter::Private *d)
{
    if (setjmp(png_jmpbuf(d->png)))
        return false;
    png_write_end(d->png, d->info);
    return true;
}

} // namespace
#endif

PngBandWriter::PngBandWriter() : d(std::make_unique<Private>()) {}

PngBandWriter::~PngBandWriter()
{
#ifdef VOR4_HAVE_LIBPNG
    if (d->png)
        png_destroy_write_struct(&d->png, &d->info);
#endif
}

QString PngBandWriter::failure() const
{
    return m_refusal.isEmpty() ? writeFailure(d->file.fileName(), m_error) : m_refusal;
}

bool PngBandWriter::streams()
{
#ifdef VOR4_HAVE_LIBPNG
    return true;
#else
    return false;
#endif
}

qint64 PngBandWriter::maxSide()
{
#ifdef VOR4_HAVE_LIBPNG
    return 0x7fffffff; // the format's limit
#else
    return 1000000; // the image writer's libpng keeps its default limits
#endif
}

bool PngBandWriter::open(const QString &path, int width, int height)
{
    if (width <= 0 || height <= 0 || width > maxSide() || height > maxSide()) {
        m_error = QStringLiteral("cannot write a picture of %1 x %2 pixels").arg(width).arg(height);
        return false;
    }
    d->width = width;
    d->height = height;
    d->file.setFileName(path);
    m_error = m_refusal = unwritableTarget(path);
    if (!m_error.isEmpty()) {
        d->failed = true;
        return false;
    }
    // Unbuffered: a write that fails at the last flush would otherwise
    // go unseen by commit(), which would put a cut file in place.
    if (!d->file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_error = d->file.errorString();
        return false;
    }
#ifdef VOR4_HAVE_LIBPNG
    d->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, d.get(), onError, onWarning);
    d->info = d->png ? png_create_info_struct(d->png) : nullptr;
    if (!d->png || !d->info || !startPng(d.get())) {
        m_error = d->pngError.isEmpty() ? QStringLiteral("cannot start the PNG file") : d->pngError;
        d->failed = true;
        return false;
    }
#else
    d->whole = QImage(width, height, QImage::Format_RGB32);
    if (d->whole.isNull()) {
        m_error = QStringLiteral("not enough memory for a picture of %1 x %2 pixels").arg(width).arg(height);
        d->failed = true;
        return false;
    }
#endif
    return true;
}

bool PngBandWriter::writeBand(const QImage &band)
{
    if (d->failed)
        return false;
    if (band.width() != d->width || band.depth() != 32 || d->rowsWritten + band.height() > d->height) {
        m_error = QStringLiteral("band does not fit the picture");
        d->failed = true;
        return false;
    }
    for (int y = 0; y < band.height(); ++y) {
#ifdef VOR4_HAVE_LIBPNG
        if (!writePngRow(d.get(), band.constScanLine(y))) {
            m_error = d->writeFailed ? d->writeError : d->pngError;
            d->failed = true;
            return false;
        }
#else
        std::memcpy(d->whole.scanLine(d->rowsWritten + y), band.constScanLine(y), std::size_t(d->width) * 4);
#endif
    }
    d->rowsWritten += band.height();
    return true;
}

bool PngBandWriter::finish()
{
    if (d->failed)
        return false;
    if (d->rowsWritten != d->height) {
        m_error = QStringLiteral("picture incomplete");
        return false;
    }
#ifdef VOR4_HAVE_LIBPNG
    if (!endPng(d.get())) {
        m_error = d->writeFailed ? d->writeError : d->pngError;
        d->failed = true;
        return false;
    }
#else
    // Encoded whole, then written: the device's reason for a failure is kept.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(d->whole)) {
        m_error = writer.errorString();
        d->failed = true;
        return false;
    }
    if (!writeAll(d->file, png, &m_error)) {
        d->failed = true;
        return false;
    }
#endif
    if (!d->file.commit()) {
        m_error = d->file.errorString();
        d->failed = true;
        return false;
    }
    return true;
}

} // namespace vor4
