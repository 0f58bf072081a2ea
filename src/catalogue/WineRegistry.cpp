#include "WineRegistry.h"

#include "TextUtil.h"

#include <QDir>
#include <QFile>
#include <QList>

namespace vor4 {

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

QStringView skipSpaces(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i].isSpace())
        ++i;
    return s.sliced(i);
}

// Text of UTF-16LE data up to its first NUL.
QString utf16Text(const QByteArray &bytes)
{
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t u = char16_t(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8));
        if (u == 0)
            break;
        text.append(QChar(u));
    }
    return text;
}

// Comma-separated hex bytes, as Wine writes hex:, hex(N): and their
// continuation lines (already joined). Nullopt on anything else.
std::optional<QByteArray> parseHexBytes(QStringView s)
{
    QByteArray bytes;
    qsizetype i = 0;
    while (i < s.size()) {
        if (s[i].isSpace() || s[i] == u',') {
            ++i;
            continue;
        }
        const int hi = hexDigit(s[i]);
        if (hi < 0)
            return std::nullopt;
        int b = hi;
        ++i;
        if (i < s.size() && hexDigit(s[i]) >= 0)
            b = b * 16 + hexDigit(s[i++]);
        bytes.append(char(b));
    }
    return bytes;
}

struct ValueLine
{
    QString name; // empty for the default value "@"
    RegistryValue value;
};

// One value line of system.reg (continuations joined); nullopt when Wine
// itself would reject it.
std::optional<ValueLine> parseValueLine(QStringView line)
{
    ValueLine v;
    QStringView rest;
    if (line.startsWith(u'@')) {
        rest = line.sliced(1);
    } else {
        qsizetype used = -1;
        v.name = WineRegistry::unescape(line.sliced(1), u'"', &used);
        if (used < 0)
            return std::nullopt;
        rest = line.sliced(1 + used + 1);
    }
    rest = skipSpaces(rest);
    if (!rest.startsWith(u'='))
        return std::nullopt;
    rest = skipSpaces(rest.sliced(1));

    quint32 type = RegSz;
    bool isString = false;
    if (rest.startsWith(u'"')) {
        isString = true;
        rest = rest.sliced(1);
    } else if (rest.startsWith(u"str:\"")) {
        isString = true;
        rest = rest.sliced(5);
    } else if (rest.startsWith(u"dword:")) {
        bool ok = false;
        (void)rest.sliced(6).trimmed().toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        v.value.type = RegDword;
        v.value.dataSize = 4;
        return v;
    } else if (rest.startsWith(u"hex:")) {
        type = RegBinary;
        rest = rest.sliced(4);
    } else if (rest.startsWith(u"str(") || rest.startsWith(u"hex(")) {
        isString = rest.startsWith(u"str(");
        const qsizetype close = rest.indexOf(u"):");
        if (close < 5)
            return std::nullopt;
        bool ok = false;
        type = rest.sliced(4, close - 4).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        rest = rest.sliced(close + 2);
        if (isString) {
            if (!rest.startsWith(u'"'))
                return std::nullopt;
            rest = rest.sliced(1);
        }
    } else {
        return std::nullopt;
    }

    v.value.type = type;
    if (isString) {
        qsizetype used = -1;
        const QString data = WineRegistry::unescape(rest, u'"', &used);
        if (used < 0)
            return std::nullopt;
        // Wine keeps the terminating NUL with string data.
        v.value.dataSize = (data.size() + 1) * 2;
        const qsizetype nul = data.indexOf(QChar(0));
        if (type == RegSz || type == RegExpandSz)
            v.value.text = nul < 0 ? data : data.left(nul);
        return v;
    }
    const std::optional<QByteArray> bytes = parseHexBytes(rest);
    if (!bytes)
        return std::nullopt;
    v.value.dataSize = bytes->size();
    if (type == RegSz || type == RegExpandSz)
        v.value.text = utf16Text(*bytes);
    return v;
}

class WineKey final : public RegistryKey
{
public:
    explicit WineKey(QList<ValueLine> values) : m_values(std::move(values)) {}

    std::optional<RegistryValue> queryValue(const QString &name) const override
    {
        // A name given twice: the later line wins, as when Wine loads the file.
        for (qsizetype i = m_values.size() - 1; i >= 0; --i)
            if (m_values[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return m_values[i].value;
        return std::nullopt;
    }

private:
    QList<ValueLine> m_values;
};

// Whether the data of a value line is written in hex ("hex:", "hex(N):").
bool isHexData(QStringView line)
{
    QStringView rest;
    if (line.startsWith(u'@')) {
        rest = line.sliced(1);
    } else {
        qsizetype used = -1;
        WineRegistry::unescape(line.sliced(1), u'"', &used);
        if (used < 0)
            return false;
        rest = line.sliced(1 + used + 1);
    }
    rest = skipSpaces(rest);
    return rest.startsWith(u'=') && skipSpaces(rest.sliced(1)).startsWith(u"hex");
}

bool endsWithContinuation(QStringView s)
{
    s = s.trimmed();
    return s.endsWith(u'\\');
}

} // namespace

WineRegistry::WineRegistry(const QString &prefix)
    : m_prefix(prefix)
{
    while (m_prefix.size() > 1 && m_prefix.endsWith(u'/'))
        m_prefix.chop(1);
}

QString WineRegistry::defaultPrefix()
{
    const QString env = qEnvironmentVariable("WINEPREFIX");
    return env.isEmpty() ? QDir::homePath() + QStringLiteral("/.wine") : env;
}

QString WineRegistry::unescape(QStringView s, QChar end, qsizetype *used)
{
    QString out;
    out.reserve(s.size());
    qsizetype i = 0;
    *used = -1;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == end) {
            *used = i;
            return out;
        }
        if (c != u'\\' || i + 1 >= s.size()) {
            out.append(c);
            ++i;
            continue;
        }
        const QChar e = s[++i];
        switch (e.unicode()) {
        case 'a': out.append(QChar(7)); ++i; continue;
        case 'b': out.append(QChar(8)); ++i; continue;
        case 'e': out.append(QChar(27)); ++i; continue;
        case 'f': out.append(QChar(12)); ++i; continue;
        case 'n': out.append(QChar(10)); ++i; continue;
        case 'r': out.append(QChar(13)); ++i; continue;
        case 't': out.append(QChar(9)); ++i; continue;
        case 'v': out.append(QChar(11)); ++i; continue;
        case 'x': {
            ++i;
            if (i >= s.size() || hexDigit(s[i]) < 0) {
                out.append(u'x');
                continue;
            }
            char16_t u = 0;
            for (int n = 0; n < 4 && i < s.size() && hexDigit(s[i]) >= 0; ++n)
                u = char16_t(u * 16 + hexDigit(s[i++]));
            out.append(QChar(u));
            continue;
        }
        default:
            break;
        }
        if (e >= u'0' && e <= u'7') {
            char16_t u = 0;
            for (int n = 0; n < 3 && i < s.size() && s[i] >= u'0' && s[i] <= u'7'; ++n)
                u = char16_t(u * 8 + (s[i++].unicode() - '0'));
            out.append(QChar(u));
            continue;
        }
        // "\\", "\"", "\]" and any other escaped character stand for themselves.
        out.append(e);
        ++i;
    }
    return out;
}

std::unique_ptr<RegistryKey> WineRegistry::openLocalMachineKey(const QString &path) const
{
    if (m_prefix.isEmpty() || path.isEmpty())
        return nullptr;
    QFile file(m_prefix + QStringLiteral("/system.reg"));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return nullptr;

    const QString below = path + u'\\';
    bool found = false;
    bool inKey = false;
    QList<ValueLine> values;
    const QList<QByteArray> lines = splitLines(bytes);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView raw = trimmed(lines[i]);
        if (raw.isEmpty())
            continue;
        const char first = raw[0];
        if (first == '[') {
            qsizetype used = -1;
            const QString name = unescape(QString::fromUtf8(raw.sliced(1)), u']', &used);
            inKey = used >= 0 && name.compare(path, Qt::CaseInsensitive) == 0;
            // A key that only has subkeys gets no section of its own.
            if (inKey || (used >= 0 && name.startsWith(below, Qt::CaseInsensitive)))
                found = true;
            continue;
        }
        if (!inKey || (first != '"' && first != '@'))
            continue;
        QString line = QString::fromUtf8(raw);
        // Hex data goes on over further lines while a line ends in a backslash;
        // a quoted string always ends in its closing quote.
        if (isHexData(line)) {
            while (endsWithContinuation(line) && i + 1 < lines.size()) {
                line = line.trimmed();
                line.chop(1);
                line += QString::fromUtf8(trimmed(lines[++i]));
            }
        }
        if (std::optional<ValueLine> v = parseValueLine(line))
            values.append(std::move(*v));
    }
    if (!found)
        return nullptr;
    return std::make_unique<WineKey>(std::move(values));
}

QString WineRegistry::toHostPath(const QString &registryPath) const
{
    if (registryPath.isEmpty())
        return QString();
    QString root;
    QString rest;
    const QString &p = registryPath;
    if (p.size() >= 2 && p[1] == u':' && p[0].unicode() < 128 && p[0].isLetter()) {
        root = m_prefix + QStringLiteral("/dosdevices/") + p[0].toLower() + u':';
        rest = p.mid(2);
        if (!rest.startsWith(u'\\') && !rest.startsWith(u'/'))
            rest.prepend(u'\\');
    } else if (p.startsWith(QStringLiteral("\\\\"))) {
        root = m_prefix + QStringLiteral("/dosdevices/unc");
        rest = p.mid(1);
    } else {
        return QString(p).replace(u'\\', u'/');
    }
    // Resolve "." and ".." the way Windows does, never above the drive's
    // root, so the path cannot leave the drive's folder; everything else,
    // doubled or trailing separators included, stays as the registry has it.
    const QStringList parts = rest.replace(u'/', u'\\').split(u'\\');
    QStringList kept;
    for (const QString &part : parts) {
        if (part == QStringLiteral(".")) {
            continue;
        } else if (part == QStringLiteral("..")) {
            while (kept.size() > 1 && kept.last().isEmpty())
                kept.removeLast();
            if (kept.size() > 1)
                kept.removeLast();
        } else {
            kept.append(part);
        }
    }
    return root + kept.join(u'/');
}

} // namespace vor4
