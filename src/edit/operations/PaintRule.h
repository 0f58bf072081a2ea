#pragma once
// The rule by which a plot line goes into a plot text or a kind of line comes
// out of it, shared by the map contents window, the paint tools and
// vor4map edit. A brush value is one plot line such as
// "TerrainType=TERRAIN_GRASS"; its key is the text before the first "=".
// A line holds a key when the text before its first "=", trimmed, is the key
// (ASCII case ignored) and it is not inside a sub-block (BeginUnit ...
// EndUnit): "Level=1, Experience=0" holds neither "X" nor "Experience".

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace vor4 {

class PaintRule
{
public:
    // 1 when the line opens a sub-block ("Begin..." without "="), -1 when
    // it closes one ("End..." without "="), else 0.
    static int subBlockLine(QByteArrayView line);
    // The text before the first "=", trimmed; empty when there is no "=".
    static QByteArrayView keyOf(QByteArrayView line);
    // Index of the first line of text that holds key, or -1. Lines split as
    // the reader splits them.
    static qsizetype lineWithKey(QByteArrayView text, QByteArrayView key);
    // Change: the first line that holds key becomes line; without such a
    // line, line is appended, or put in front of a sub-block that has no
    // "End" (which runs to the plot's end). The result's lines are joined by CR LF with
    // no break after the last, as the plot memo gives them back.
    static QByteArray putLine(QByteArrayView text, QByteArrayView key, QByteArrayView line);
    // Clear: the first line that holds key is deleted. *found says
    // whether there was one; the lines are joined again either way.
    static QByteArray takeKey(QByteArrayView text, QByteArrayView key, bool *found = nullptr);
    // The same written into out, which has room(text, line) bytes; they
    // return the result's length. With `held`, putLineTo writes nothing and
    // sets *held when the text already holds the line (see holds()).
    static qsizetype room(QByteArrayView text, QByteArrayView line)
    {
        // A one-byte line end becomes two: twice the text, the line and one
        // more line end are always enough.
        return 2 * text.size() + line.size() + 2;
    }
    static qsizetype putLineTo(char *out, QByteArrayView text, QByteArrayView key, QByteArrayView line,
                               bool *held = nullptr);
    static qsizetype takeKeyTo(char *out, QByteArrayView text, QByteArrayView key, bool *found);
    // The value Fill compares and the picker takes: the first line that
    // holds key, trimmed; empty when there is none.
    static QByteArrayView valueOf(QByteArrayView text, QByteArrayView key);
    // valueOf(putLine(text, putKey, line), key), without writing the text.
    static QByteArrayView valueAfterPut(QByteArrayView text, QByteArrayView key, QByteArrayView putKey,
                                        QByteArrayView line);

    PaintRule() = default;
    // A brush value from a typed or listed line (trimmed). Invalid, with
    // *error set, when it has no "=", an empty key, or more than one line.
    static PaintRule fromLine(QByteArrayView line, QString *error = nullptr);
    // Only a key, for erasing. Invalid when it is empty after trimming.
    static PaintRule fromKey(QByteArrayView key, QString *error = nullptr);

    bool isValid() const { return !m_key.isEmpty(); }
    bool canPaint() const { return isValid() && !m_line.isEmpty(); }
    const QByteArray &line() const { return m_line; }
    const QByteArray &key() const { return m_key; }

    // Whether the plot already holds the line as its value for the key.
    bool holds(QByteArrayView text) const { return valueOf(text, m_key) == m_line; }
    // The text with the line put in; nothing when it already holds it.
    std::optional<QByteArray> paint(QByteArrayView text) const;
    // The text without its first line of the key; nothing when it has none.
    std::optional<QByteArray> erase(QByteArrayView text) const;

private:
    QByteArray m_line;
    QByteArray m_key;
};

} // namespace vor4
