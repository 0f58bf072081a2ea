#include "EditorCommandLine.h"

#include <cstdio>

EditorCommandLine::EditorCommandLine(const QStringList &arguments)
{
    m_parser.setApplicationDescription(
        QStringLiteral("Edits world-builder maps (.Vor4WorldBuilderSave) of Orwendel's Vorland 4."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help."));
    m_parser.addOption(help);
    const QCommandLineOption version = m_parser.addVersionOption();
    m_parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The map file to open."),
                                   QStringLiteral("[FILE]"));
    if (!m_parser.parse(arguments)) {
        m_request = WrongCall;
        m_error = m_parser.errorText();
    } else if (m_parser.isSet(help)) {
        m_request = ShowHelp;
    } else if (m_parser.isSet(version)) {
        m_request = ShowVersion;
    } else if (m_parser.positionalArguments().size() > 1) {
        m_request = WrongCall;
        m_error = QStringLiteral("Only one file can be opened.");
    } else {
        m_file = m_parser.positionalArguments().value(0);
    }
}

int EditorCommandLine::answer()
{
    switch (m_request) {
    case StartEditor:
        return 0;
    case ShowHelp:
        std::fputs(qPrintable(m_parser.helpText()), stdout);
        return 0;
    case ShowVersion:
        std::printf("vor4-map-editor %s\n", VOR4_VERSION);
        return 0;
    case WrongCall:
        break;
    }
    std::fprintf(stderr, "vor4-map-editor: %s\n\n%s", qPrintable(m_error), qPrintable(m_parser.helpText()));
    return 2;
}
