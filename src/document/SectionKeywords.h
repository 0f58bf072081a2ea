#pragma once
// The lines that structure a save file: the ten section keywords and the
// coordinate line of a plot block. The reader and the plot-block parser of
// copy and paste recognise them alike.

#include "TextUtil.h"

#include <QByteArrayView>

namespace vor4 {

enum class Keyword {
    None, BeginGame, EndGame, BeginTeam, EndTeam, BeginPlayer, EndPlayer,
    BeginMap, EndMap, BeginPlot, EndPlot
};

// Whether s (n bytes) equals lower, a lower-case ASCII word, in any case.
inline bool sameWord(const char *s, const char *lower, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i)
        if (asciiLower(s[i]) != lower[i])
            return false;
    return true;
}

inline Keyword keywordOf(QByteArrayView line)
{
    // Keywords are "Begin" or "End" and one of five names: the length and
    // the first letter settle most lines before any comparison.
    const qsizetype n = line.size();
    if (n < 6 || n > 11)
        return Keyword::None;
    const char *s = line.data();
    const char first = asciiLower(s[0]);
    if (first == 'b') {
        if (n < 8 || !sameWord(s, "begin", 5))
            return Keyword::None;
        const char *name = s + 5;
        switch (n) {
        case 8:
            return sameWord(name, "map", 3) ? Keyword::BeginMap : Keyword::None;
        case 9:
            if (sameWord(name, "plot", 4))
                return Keyword::BeginPlot;
            if (sameWord(name, "game", 4))
                return Keyword::BeginGame;
            return sameWord(name, "team", 4) ? Keyword::BeginTeam : Keyword::None;
        case 11:
            return sameWord(name, "player", 6) ? Keyword::BeginPlayer : Keyword::None;
        default:
            return Keyword::None;
        }
    }
    if (first == 'e') {
        if (n > 9 || !sameWord(s, "end", 3))
            return Keyword::None;
        const char *name = s + 3;
        switch (n) {
        case 6:
            return sameWord(name, "map", 3) ? Keyword::EndMap : Keyword::None;
        case 7:
            if (sameWord(name, "plot", 4))
                return Keyword::EndPlot;
            if (sameWord(name, "game", 4))
                return Keyword::EndGame;
            return sameWord(name, "team", 4) ? Keyword::EndTeam : Keyword::None;
        case 9:
            return sameWord(name, "player", 6) ? Keyword::EndPlayer : Keyword::None;
        default:
            return Keyword::None;
        }
    }
    return Keyword::None;
}

// containsCi(line, "x=") && containsCi(line, "y="), in one pass over the
// line: every plot line of the file goes through this test.
inline bool isCoordinateLine(QByteArrayView line)
{
    bool x = false, y = false;
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (line[i] != '=')
            continue;
        const char before = asciiLower(line[i - 1]);
        x = x || before == 'x';
        y = y || before == 'y';
    }
    return x && y;
}

} // namespace vor4
