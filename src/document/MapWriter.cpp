#include "MapWriter.h"

#include "TextUtil.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace vor4 {

namespace {

// Writes straight into one buffer: QByteArray::append per piece costs more
// than the copying itself for the millions of short lines of a big map.
class Out
{
public:
    explicit Out(qsizetype reserve) { grow(reserve); }

    Out &operator<<(QByteArrayView s)
    {
        put(s.data(), s.size());
        return *this;
    }
    template <std::size_t N>
    Out &operator<<(const char (&s)[N])
    {
        put(s, qsizetype(N - 1));
        return *this;
    }
    Out &operator<<(qint64 n)
    {
        char buf[24];
        char *p = buf + sizeof buf;
        const bool negative = n < 0;
        quint64 u = negative ? 0 - quint64(n) : quint64(n);
        do {
            *--p = char('0' + u % 10);
            u /= 10;
        } while (u);
        if (negative)
            *--p = '-';
        put(p, buf + sizeof buf - p);
        return *this;
    }
    void line(QByteArrayView s) { *this << s << "\r\n"; }
    void tabbedTrimmedLines(QByteArrayView text)
    {
        forEachLine(text, [this](QByteArrayView l) { *this << "\t" << trimmed(l) << "\r\n"; });
    }

    // One plot line: a tab, the inner tab if any, the line and CR LF.
    void plotLine(QByteArrayView l, bool inner)
    {
        const qsizetype n = l.size();
        ensure(n + 4);
        *m_p++ = '\t';
        if (inner)
            *m_p++ = '\t';
        if (n > 0)
            std::memcpy(m_p, l.data(), std::size_t(n));
        m_p += n;
        *m_p++ = '\r';
        *m_p++ = '\n';
    }

    QByteArray take()
    {
        m_bytes.resize(m_p - m_bytes.constData());
        return std::move(m_bytes);
    }

private:
    void ensure(qsizetype n)
    {
        if (m_end - m_p < n)
            grow(qMax(n, m_bytes.size()));
    }
    void grow(qsizetype extra)
    {
        const qsizetype used = m_bytes.isEmpty() ? 0 : m_p - m_bytes.constData();
        // Sized, not reserved: the bytes beyond what is written are never
        // touched, so they cost address space but no memory.
        m_bytes.resize(used + qMax<qsizetype>(extra, 256));
        m_p = m_bytes.data() + used;
        m_end = m_bytes.data() + m_bytes.size();
    }
    void put(const char *s, qsizetype n)
    {
        ensure(n);
        if (n > 0)
            std::memcpy(m_p, s, std::size_t(n));
        m_p += n;
    }

    QByteArray m_bytes;
    char *m_p = nullptr;
    char *m_end = nullptr;
};

bool isHeaderKey(QByteArrayView line)
{
    static const char *const keys[] = {"grid width=", "grid height=", "top latitude=",
                                       "bottom latitude=", "wrap X=", "wrap Y=",
                                       "num plots written="};
    for (const char *k : keys)
        if (containsCi(line, k))
            return true;
    return false;
}

} // namespace

QByteArray buildSaveFile(const Document &doc)
{
    const qint64 cols = doc.columnCount();
    const qint64 rows = doc.rowCount();
    // Plot lines grow by their tabs and line ends; blocks by their keywords.
    Out out(doc.PlotTexts.poolSize() * 5 / 4 + cols * rows * 48 + 65536);

    out.line("Version=11");
    out.line("BeginGame");
    for (const QByteArray &l : doc.GameLines)
        out << "\t" << trimmed(l) << "\r\n";
    out.line("EndGame");
    for (const QByteArray &text : doc.TeamTexts) {
        out.line("BeginTeam");
        out.tabbedTrimmedLines(text);
        out.line("EndTeam");
    }
    for (const QByteArray &text : doc.PlayerTexts) {
        out.line("BeginPlayer");
        out.tabbedTrimmedLines(text);
        out.line("EndPlayer");
    }
    out.line("BeginMap");
    out << "\tgrid width=" << cols << "\r\n";
    out << "\tgrid height=" << rows << "\r\n";
    out << "\ttop latitude=" << trimmed(doc.Header.topLatitude) << "\r\n";
    out << "\tbottom latitude=" << trimmed(doc.Header.bottomLatitude) << "\r\n";
    out << "\twrap X=" << qint64(doc.Header.wrapX) << "\r\n";
    out << "\twrap Y=" << qint64(doc.Header.wrapY) << "\r\n";
    for (const QByteArray &l : doc.MapLines)
        if (!isHeaderKey(l))
            out << "\t" << trimmed(l) << "\r\n";
    out << "\tnum plots written=" << cols * rows << "\r\n";
    out.line("EndMap");
    out.line("");
    out.line("### Plot Info ###");
    for (qint64 col = 0; col < cols; ++col) {
        for (qint64 r = rows - 1; r >= 0; --r) {
            out << "BeginPlot\r\n\tx=" << col << ",y=" << (rows - 1 - r) << "\r\n";
            bool inner = false;
            forEachLine(doc.PlotTexts.view(int(col), int(r)), [&](QByteArrayView l) {
                // The first letter rules out nearly every line before the
                // case-insensitive comparisons.
                const char first = l.isEmpty() ? 0 : asciiLower(l[0]);
                if (first == 'e' && startsWithCi(l, "End"))
                    inner = false;
                out.plotLine(l, inner);
                if (first == 'b' && startsWithCi(l, "Begin"))
                    inner = true;
            });
            out << "EndPlot\r\n";
        }
    }
    if (!doc.SignTexts.isEmpty()) {
        out.line("### Sign Info ###");
        for (const QByteArray &sign : doc.SignTexts) {
            out.line("BeginSign");
            out.tabbedTrimmedLines(sign);
            out.line("EndSign");
        }
    }
    return out.take();
}

SaveResult writeMapFile(const QString &path, const QByteArray &bytes)
{
    SaveResult result;
    const QFileInfo info(path);
    QSaveFile file(path);
    // A read-only file stays read-only: the atomic rename would replace it.
    if ((info.exists() && (!info.isFile() || !info.isWritable()))
        || !file.open(QIODevice::WriteOnly)) {
        result.ok = false;
        result.message = QStringLiteral("Cannot create file %1").arg(path);
        return result;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        file.cancelWriting();
        result.ok = false;
        result.message = QStringLiteral("Stream write error");
    }
    return result;
}

} // namespace vor4
