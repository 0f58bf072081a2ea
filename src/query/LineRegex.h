#pragma once
// A regular expression run by PCRE2 itself, compiled as QRegularExpression
// compiles it (UTF-16, Perl syntax), because QRegularExpression reports a
// match that gave up at the engine's limits as no match.

#include <QString>
#include <memory>

namespace vor4 {

class LineRegex
{
public:
    enum Outcome { NoMatch, Match, TooComplex };

    LineRegex() = default;
    // False when PCRE2 cannot compile the pattern.
    bool compile(const QString &pattern, bool caseless, bool multiline);
    bool isValid() const { return bool(m_code); }

    // Searches subject from offset; a match's bounds go to *start and *end.
    // Copies share the compiled code and are used on one thread.
    Outcome match(QStringView subject, qsizetype offset = 0, qsizetype *start = nullptr,
                  qsizetype *end = nullptr) const;

private:
    struct Code;
    std::shared_ptr<Code> m_code;
};

} // namespace vor4
