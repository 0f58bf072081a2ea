#pragma once
// Text that would break the file once written: a line the reader takes as a
// section keyword, a line that reads as a plot's coordinates inside a plot,
// a CR, LF or NUL inside what is meant as one line. Every way text enters
// the document asks here before anything changes.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace vor4 {

enum class TextPlace { Section, Plot };

// Why `line` cannot be one line of a text at `place`; empty when it can.
QString refusedLine(QByteArrayView line, TextPlace place);
// The same for each line of a text, split as the reader splits it; the
// reason for the first line refused.
QString refusedText(QByteArrayView text, TextPlace place);
QString refusedLines(const QList<QByteArray> &lines, TextPlace place);

// A value for a message: cut at 80 characters with "…", control bytes
// shown as \xNN, in double quotes.
QString quotedLine(QByteArrayView line);

} // namespace vor4
