#include "QueryCommands.h"

#include "BalanceReport.h"
#include "CommandFiles.h"
#include "Commands.h"
#include "FileTarget.h"
#include "GameLocation.h"
#include "GameYields.h"
#include "TypeCatalogue.h"
#include "MapDiff.h"
#include "LintFixes.h"
#include "MapDocument.h"
#include "MapLint.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "PiecesReport.h"
#include "PlotQuery.h"
#include "PlotStatistics.h"
#include "StatisticsReport.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>
#include <functional>

namespace vor4::tool {

namespace {

// The exit status of a query that could not be answered.
constexpr int Trouble = 2;

int trouble(const QString &message)
{
    const QByteArray text = message.toLocal8Bit() + '\n';
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stderr);
    std::fflush(stderr);
    return Trouble;
}

// Parses args with the parser's options; false and *reason set when the call
// is wrong or does not have `positional` arguments besides the options.
bool parse(QCommandLineParser &parser, const QStringList &args, int positional, QString *reason)
{
    if (!parser.parse(QStringList(QStringLiteral("vor4map")) + args)) {
        *reason = parser.errorText();
        return false;
    }
    if (parser.positionalArguments().size() != positional) {
        *reason = QStringLiteral("expected %1 arguments besides the options, got %2")
                      .arg(positional)
                      .arg(parser.positionalArguments().size());
        return false;
    }
    return true;
}

// Reads path into doc; false, with the failure told on standard error, when
// it cannot be read.
bool load(const QString &path, Document &doc)
{
    const LoadResult loaded = loadMapFile(path, doc);
    if (!loaded.ok())
        trouble(loadFailure(path, loaded));
    return loaded.ok();
}

} // namespace

int findCommand(const QStringList &args, QString *reason)
{
    QCommandLineParser parser;
    const QCommandLineOption regex(QStringLiteral("regex"));
    const QCommandLineOption ignoreCase(QStringLiteral("ignore-case"));
    const QCommandLineOption count(QStringLiteral("count"));
    parser.addOptions({regex, ignoreCase, count});
    if (!parse(parser, args, 2, reason))
        return WrongCall;
    const QStringList files = parser.positionalArguments();

    Document doc;
    if (!load(files[0], doc))
        return Trouble;
    FindOptions options;
    options.matchCase = !parser.isSet(ignoreCase);
    options.regularExpression = parser.isSet(regex);
    QString error;
    const PlotQuery query = PlotQuery::compile(files[1], options, &error);
    if (!error.isEmpty())
        return trouble(error);

    const PlotTable &plots = doc.PlotTexts;
    const std::vector<qint32> cells = query.find(plots);
    Output out;
    if (parser.isSet(count)) {
        out << QByteArray::number(qint64(cells.size())) << "\n";
    } else {
        const int columns = plots.columnCount();
        for (const qint32 cell : cells) {
            const int col = cell % columns;
            const int row = cell / columns;
            const QByteArrayView line = query.firstMatchingLine(plots.view(col, row)).value_or(QByteArrayView());
            out << QByteArray::number(col) << "," << QByteArray::number(plots.rowCount() - 1 - row) << ": " << line
                << "\n";
        }
    }
    const QString tooComplex = query.tooComplexMessage(plots.columnCount(), plots.rowCount());
    if (!tooComplex.isEmpty() && out.flush()) {
        // Some plots could not be searched: "not found" would be a guess.
        return trouble(tooComplex);
    }
    return out.finish(cells.empty() ? 1 : 0);
}

// FILE [--json]: the map read, then a report of it as text or JSON; the
// report's exit status.
int fileReport(const QStringList &args, QString *reason,
               const std::function<int(const Document &doc, bool json, Output &out)> &report)
{
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"));
    parser.addOption(json);
    if (!parse(parser, args, 1, reason))
        return WrongCall;

    Document doc;
    if (!load(parser.positionalArguments()[0], doc))
        return Trouble;
    Output out;
    const int status = report(doc, parser.isSet(json), out);
    return out.finish(status);
}

int statsCommand(const QStringList &args, QString *reason)
{
    return fileReport(args, reason, [](const Document &doc, bool json, Output &out) {
        PlotStatistics stats;
        stats.count(doc.PlotTexts);
        out << (json ? statisticsJson(stats, doc.columnCount(), doc.rowCount())
                     : statisticsText(stats, doc.columnCount(), doc.rowCount()));
        return 0;
    });
}

int piecesCommand(const QStringList &args, QString *reason)
{
    return fileReport(args, reason, [](const Document &doc, bool json, Output &out) {
        out << (json ? piecesJson(doc) : piecesText(doc));
        return 0;
    });
}

int balanceCommand(const QStringList &args, QString *reason)
{
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption data(QStringLiteral("data"), QString(), QStringLiteral("DIR"));
    parser.addOptions({json, data});
    if (!parse(parser, args, 1, reason))
        return WrongCall;

    Document doc;
    if (!load(parser.positionalArguments()[0], doc))
        return Trouble;
    // Yields come from the folder given, else from the game when it is
    // found, else from the standard values; a folder given that cannot be
    // read is trouble, the game's is told and the standard values used.
    GameYields yields;
    QString error;
    if (parser.isSet(data)) {
        if (!yields.load(parser.value(data), &error))
            return trouble(error);
    } else if (const QString installDir = LocateGame().InstallDir; !installDir.isEmpty()) {
        const QString folder = QFileInfo(TypeCatalogue(installDir).dataFilePath(0)).path();
        if (!yields.load(folder, &error))
            trouble(QStringLiteral("warning: %1; the standard yields are used").arg(error));
    }
    const Balance balance = BalanceReport::of(doc, yields);
    for (const QString &note : balance.notes())
        trouble(QStringLiteral("warning: ") + note);
    Output out;
    out << (parser.isSet(json) ? BalanceReport::json(balance) : BalanceReport::text(balance));
    return out.finish(0);
}

namespace {

// lint FILE --fix RULES --out OUT: every finding of the rules fixed, rule
// after rule, and the map written once, as edit writes it.
int lintFix(const QString &in, const QList<int> &rules, const QString &outPath, bool force)
{
    MapDocument doc;
    doc.setKeepsHistory(false);
    const LoadResult loaded = doc.load(in);
    if (!loaded.ok())
        return trouble(loadFailure(in, loaded));
    if (!writeDespiteDamage(in, mapDamage(doc.document(), loaded.stats), force))
        return 1;
    QStringList done;
    for (const int rule : rules) {
        // Each rule looks at the map as the fixes before it left it.
        MapLint lint;
        lint.scan(doc.document());
        if (lint.count(rule) == 0)
            continue;
        const LintFixes::Result r = LintFixes::fixAll(doc, lint, rule, &done);
        if (!r.ok) {
            trouble(QStringLiteral("vor4map lint: ") + r.message);
            return 1;
        }
    }
    if (done.isEmpty()) {
        trouble(QStringLiteral("vor4map lint: nothing to fix; %1 not written").arg(shownPath(outPath)));
        return 1;
    }
    const SaveResult saved = writeMapFile(outPath, buildSaveFile(doc.document()));
    if (!saved.ok) {
        trouble(saved.message);
        return 1;
    }
    Output out;
    for (const QString &line : std::as_const(done))
        out << line.toLatin1() << "\n";
    return out.finish(0);
}

} // namespace

int lintCommand(const QStringList &args, QString *reason)
{
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json")), all(QStringLiteral("all")), force(QStringLiteral("force"));
    const QCommandLineOption fix(QStringLiteral("fix"), QString(), QStringLiteral("RULES"));
    const QCommandLineOption out(QStringLiteral("out"), QString(), QStringLiteral("OUT"));
    parser.addOptions({json, all, fix, out, force});
    if (!parse(parser, args, 1, reason))
        return WrongCall;
    const QString path = parser.positionalArguments()[0];
    if (parser.isSet(fix) || parser.isSet(out) || parser.isSet(force)) {
        if (!parser.isSet(fix) || !parser.isSet(out)) {
            *reason = QStringLiteral("--fix RULE[,RULE...] and --out OUT go together");
            return WrongCall;
        }
        if (parser.isSet(json) || parser.isSet(all)) {
            *reason = QStringLiteral("--fix prints the fixes; --json and --all are for the report");
            return WrongCall;
        }
        QList<int> rules;
        for (const QString &name : parser.value(fix).split(QLatin1Char(','))) {
            const int rule = LintFinding::ruleNamed(name.trimmed().toLatin1());
            if (rule < 0 || !LintFixes::canFix(rule)) {
                *reason = rule < 0 ? QStringLiteral("\"%1\" is not a rule").arg(shownValue(name))
                                   : QStringLiteral("%1 has no automatic fix").arg(name.trimmed());
                return WrongCall;
            }
            if (!rules.contains(rule))
                rules << rule;
        }
        std::sort(rules.begin(), rules.end());
        return lintFix(path, rules, parser.value(out), parser.isSet(force));
    }

    Document doc;
    if (!load(path, doc))
        return Trouble;
    MapLint lint;
    lint.scan(doc);
    Output report;
    lint.write(doc, parser.isSet(json) ? MapLint::Format::Json : MapLint::Format::Text, parser.isSet(all),
               [&report](QByteArrayView piece) { report << piece; });
    return report.finish(lint.total() ? 1 : 0);
}

int diffCommand(const QStringList &args, QString *reason)
{
    QCommandLineParser parser;
    const QCommandLineOption statOnly(QStringLiteral("stat"));
    parser.addOption(statOnly);
    if (!parse(parser, args, 2, reason))
        return WrongCall;
    const QStringList files = parser.positionalArguments();

    Document a, b;
    if (!load(files[0], a) || !load(files[1], b))
        return Trouble;
    Output out;
    MapDiffStat stat;
    if (parser.isSet(statOnly)) {
        stat = MapDiff::compare(a, b);
        out << MapDiff::statText(stat);
    } else {
        stat = MapDiff::compare(a, b, [&out](QByteArrayView piece) { out << piece; });
    }
    return out.finish(stat.same() ? 0 : 1);
}

} // namespace vor4::tool
