#pragma once
// What find looks for in plot texts: a text or a regular expression, matched
// against each line of a plot on its own, never across a line break. Plot
// texts are bytes; as characters they are Latin-1, one byte one character.

#include "LineRegex.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QRect>
#include <QRegularExpression>
#include <QString>
#include <optional>
#include <vector>

namespace vor4 {

class PlotTable;

struct FindOptions
{
    bool matchCase = false;
    bool wholeLine = false;
    bool regularExpression = false;
};

class PlotQuery
{
public:
    PlotQuery() = default; // finds nothing

    // An empty text finds nothing. A bad regular expression gives a query that
    // finds nothing and a message in *error.
    static PlotQuery compile(const QString &text, const FindOptions &options, QString *error = nullptr);

    bool findsNothing() const { return m_mode == Mode::Nothing; }
    const QString &text() const { return m_text; }
    const FindOptions &options() const { return m_options; }

    bool matchesLine(QByteArrayView line) const;
    // The first line of a plot text that matches, if any.
    std::optional<QByteArrayView> firstMatchingLine(QByteArrayView text) const;
    bool matches(QByteArrayView text) const;

    // The matching cells of area (clipped to the table; a null area is the
    // whole table) as row * columnCount + column, in reading order: rows from
    // the top, each from the left. Appended to cells.
    void collect(const PlotTable &plots, const QRect &area, std::vector<qint32> &cells) const;
    std::vector<qint32> find(const PlotTable &plots, const QRect &area = QRect()) const;
    // The first cell, in reading order, whose lines the regular expression
    // engine gave up on (its match limit): a match there is not known.
    // -1 when there is none; set by collect and find.
    qint32 tooComplexCell() const { return m_tooComplexCell; }
    void forgetTooComplex() { m_tooComplexCell = -1; }
    // "pattern too complex at X,Y" in the file's coordinates; empty when none.
    QString tooComplexMessage(int columns, int rows) const;

    // Why the replacement cannot go into a plot text; empty when it can.
    static QString replacementError(const QString &replacement);
    // The text with every match in each line replaced, left to right and not
    // overlapping; line ends stay as they were. With a regular expression,
    // \1 to \99 in the replacement stand for the captures.
    QByteArray replaced(QByteArrayView text, const QString &replacement) const;

private:
    enum class Mode { Nothing, Text, Line, Pattern };

    qsizetype indexIn(QByteArrayView hay) const;
    bool equalsNeedle(const char *s) const;
    // Subjects are made from Latin-1 bytes: always valid UTF-16, never checked.
    bool patternMatchesLine(QStringView line) const
    {
        const LineRegex::Outcome outcome = m_line.match(line);
        m_gaveUp = m_gaveUp || outcome == LineRegex::TooComplex;
        return outcome == LineRegex::Match;
    }
    void noteGaveUp(qint32 cell) const;
    qsizetype lineIn(QByteArrayView text) const;
    void collectColumnOfPattern(const PlotTable &plots, int col, int top, int bottom,
                                std::vector<qint32> &cells) const;

    Mode m_mode = Mode::Nothing;
    QString m_text;
    FindOptions m_options;
    QByteArray m_needle;     // Text and Line: the text in bytes, folded unless matching case
    char m_first[2] = {};    // the bytes a match can begin with
    QRegularExpression m_regex;   // one line alone is the subject (replace)
    LineRegex m_line;             // m_regex, run so that a give-up is seen
    LineRegex m_joinedLine;       // m_joined likewise
    mutable bool m_gaveUp = false;
    mutable qint32 m_tooComplexCell = -1;
    QRegularExpression m_joined;  // many lines joined by "\n" are the subject
    bool m_joinedExact = false;   // whether m_joined finds exactly the lines m_regex does
};

} // namespace vor4
