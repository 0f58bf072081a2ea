#include "Commands.h"

#include "CatalogueCommands.h"
#include "CommandFiles.h"
#include "MapCheck.h"
#include "EditMapCommand.h"
#include "EditScript.h"
#include "FileTarget.h"
#include "QueryCommands.h"
#include "MapReader.h"
#include "MapWriter.h"
#include "NewMapCommand.h"
#include "RenderCommand.h"
#include "ThumbnailCommand.h"

#include <QTextStream>
#include <algorithm>

namespace vor4::tool {

namespace {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

QString usage()
{
    return QStringLiteral("Usage: vor4map check FILE\n"
                          "       vor4map normalize IN OUT [--force]\n"
                          "       vor4map edit IN OUT [--force] OPERATION...\n")
        + EditScript::synopsis(QStringLiteral("              OPERATION: "), QStringLiteral("                         "))
        + QStringLiteral("       vor4map locate\n"
                         "       vor4map catalogue terrain|bonus|feature|improvement|plottype\n"
                         "       vor4map render FILE OUT.png [--cell N] [--no-grid-lines]\n"
                         "                      [--style classic|terrain] [--pieces]\n"
                         "                      [--hide LAYER,...] [--minimap MINI.png]\n"
                         "       vor4map thumbnail IN OUT.png [--size N]\n"
                         "       vor4map find FILE PATTERN [--regex] [--ignore-case] [--count]\n"
                         "       vor4map stats FILE [--json]\n"
                         "       vor4map pieces FILE [--json]\n"
                         "       vor4map balance FILE [--data DIR] [--json]\n"
                         "       vor4map lint FILE [--json] [--all]\n"
                         "       vor4map lint FILE --fix RULE[,RULE...] --out OUT [--force]\n"
                         "       vor4map diff A B [--stat]\n"
                         "       vor4map new OUT --size W,H [--wrap none|x|y|both]\n"
                         "                   [--base ocean|grass|empty] [--players N]\n"
                         "                   [--land none|continents|pangaea|islands]\n"
                         "                   [--seed S] [--land-share PCT] [--hills PCT]\n"
                         "                   [--peaks PCT] [--latitudes TOP,BOTTOM]\n"
                         "       vor4map --help | --version\n");
}

QString help()
{
    return QStringLiteral(
               "vor4map reads world-builder save files (.Vor4WorldBuilderSave) of\n"
               "Orwendel's Vorland 4 exactly as the Vor4 Map Editor opens them.\n"
               "\n"
               "Commands:\n"
               "  check FILE          read FILE; print the map size, the filled team and\n"
               "                      player slots and the plots that hold text; warn on\n"
               "                      standard error about plot and sign counts that\n"
               "                      disagree with the header, plots outside the grid or\n"
               "                      read twice, blocks left open, lines outside every\n"
               "                      section, starts and signs off the map and units\n"
               "                      without EndUnit (read to their plot's end)\n"
               "  normalize IN OUT    read IN and write OUT exactly as the editor saves it;\n"
               "                      IN and OUT may be the same file; OUT is replaced\n"
               "                      atomically and left untouched on any error.\n"
               "                      Damage found in IN (a NUL byte, plots outside the\n"
               "                      grid, read twice or missing, counts that disagree,\n"
               "                      a file cut inside a section or after EndMap,\n"
               "                      blocks left open, lines outside every section) is\n"
               "                      told on standard error with its line; when writing\n"
               "                      would drop data or hide the damage, nothing is\n"
               "                      written and the exit status is 1. OUT is never\n"
               "                      a device, a pipe or a folder\n"
               "    --force           write all the same\n"
               "  edit IN OUT OPERATION...\n"
               "                      read IN, run the operations in the order given and\n"
               "                      write OUT once, as normalize does; print one line\n"
               "                      per operation. On any error OUT is not written.\n"
               "                      Damage in IN is told and refused as for normalize,\n"
               "                      unless --force is given.\n"
               "                      Plots are named as the file names them, X,Y: x from\n"
               "                      the left, y from the bottom, both from 0. An AREA\n"
               "                      is X,Y, X1,Y1:X2,Y2 (the rectangle between two\n"
               "                      corners, both included) or all. Texts are taken\n"
               "                      one byte a character (Latin-1). Operations:\n")
        + EditScript::help(QStringLiteral("    "), QStringLiteral("                      "))
        + QStringLiteral(
               "                      Start positions and signs move with their plots in\n"
               "                      --flip, --rotate, --resize and --crop; one whose plot\n"
               "                      leaves the map is removed, and standard error says\n"
               "                      how many. --flip and --rotate turn river edges too:\n"
               "                      an edge moves between the images of its two plots,\n"
               "                      its flow turned, and one whose carrying plot would\n"
               "                      be off the map is removed and counted. --resize,\n"
               "                      --crop, --copy and --paste move plots only.\n"
               "  locate              print InstallDir= and MapsDir= as the editor finds\n"
               "                      the game's installation\n"
               "  catalogue KIND      print the items of one map contents tab, one a line;\n"
               "                      KIND is terrain, bonus, feature, improvement or plottype;\n"
               "                      both exit with 1 when the game was not found (plottype\n"
               "                      needs no game)\n"
               "  render FILE OUT.png paint the whole map as the editor's grid paints it\n"
               "                      (white cell background) and write it as PNG\n"
               "    --cell N          cell size: 4 5 6 7 8 9 10 12 14 16 (default) 20 24\n"
               "                      32 40 48 56 64\n"
               "    --no-grid-lines   no line after each cell\n"
               "    --style STYLE     classic (default: pure colours, symbols and hatches)\n"
               "                      or terrain (muted colours, shading, corner icons)\n"
               "    --pieces          also draw the starts, units, signs and rivers\n"
               "    --hide LAYER,...  layers to leave out: terrain bonus feature\n"
               "                      improvement team forest jungle ice flood oasis\n"
               "                      mountain hill\n"
               "    --minimap MINI.png  also write the minimap image, 3 x 3 per plot, in\n"
               "                      the style\n"
               "  thumbnail IN OUT.png  write a small picture of the whole map, coloured as\n"
               "                      the minimap, for file managers; OUT is left untouched\n"
               "                      when IN is not a map\n"
               "    --size N          pixels on the longer side, 1 to 4096 (default 256)\n"
               "  find FILE PATTERN   print each plot with a line that contains PATTERN as\n"
               "                      X,Y: and its first such line; X,Y are the file's\n"
               "                      coordinates (y counts from the bottom row); plots\n"
               "                      come row by row from the top, each row from the left\n"
               "    --regex           PATTERN is a regular expression (Perl syntax)\n"
               "    --ignore-case     letter case does not matter\n"
               "    --count           print only the number of plots found\n"
               "  stats FILE          print the map size, the plots with text, the land\n"
               "                      plots and, for TerrainType, BonusType, FeatureType,\n"
               "                      ImprovementType and PlotType, the plots of each value\n"
               "                      with its share of the land plots\n"
               "    --json            print the counts as one JSON object instead\n"
               "  pieces FILE         print the pieces on the map: \"start PLAYER X,Y\" per\n"
               "                      player start, \"unit X,Y OWNER TYPE\" per unit (owner\n"
               "                      -1 when missing), \"sign X,Y CAPTION\" per sign,\n"
               "                      \"river edges N\" and \"revealed to team T N plots\"\n"
               "                      per team a TeamReveal line names\n"
               "    --json            print them as one JSON object instead\n"
               "  balance FILE        judge the players' starts, a column per player in\n"
               "                      use: where it starts (its first settler, else its\n"
               "                      start line), a score (the best start 100), its\n"
               "                      territory (the land nearest to it, the part across\n"
               "                      water and its share), its first ring (food, fresh\n"
               "                      water, coast, hill, river), the yields and plots of\n"
               "                      its 21-plot work area and the nearest other start;\n"
               "                      last the worst start's score over the best's\n"
               "    --data DIR        read the yields from the data files in DIR (else\n"
               "                      the game's, else the standard values)\n"
               "    --json            print the report as one JSON object instead\n"
               "  lint FILE           print what the game would handle badly, one finding a\n"
               "                      line as \"X,Y: RULE: explanation\", by rule, then x,\n"
               "                      then y; a rule with more than 100 findings is one\n"
               "                      line, \"RULE: N plots, first at X,Y\"; rules: no-terrain,\n"
               "                      no-plot-type, water-mismatch, duplicate-key,\n"
               "                      peak-with-feature, river-on-water,\n"
               "                      floodplains-off-river, feature-on-wrong-terrain,\n"
               "                      bonus-on-wrong-plot, unit-on-water, unit-not-closed,\n"
               "                      start-off-map, start-on-water, start-on-peak,\n"
               "                      start-shared, start-apart-from-settler,\n"
               "                      sign-off-map; exits with 1 when there are findings\n"
               "    --all             every finding on its own line\n"
               "    --json            print them as a JSON list of {x, y, rule, message}\n"
               "                      (a grouped rule with its number of plots)\n"
               "    --fix RULES --out OUT  fix every finding of the rules (comma-separated:\n"
               "                      peak-with-feature, river-on-water,\n"
               "                      floodplains-off-river, feature-on-wrong-terrain,\n"
               "                      bonus-on-wrong-plot, unit-not-closed,\n"
               "                      start-apart-from-settler), write the map to OUT as\n"
               "                      edit does and print one line per fix; nothing is\n"
               "                      written and the exit status is 1 when nothing is\n"
               "                      fixed; --force writes a damaged map all the same\n"
               "  diff A B            print what differs between two maps as the editor\n"
               "                      reads them: sections under @@ game, @@ team N,\n"
               "                      @@ player N, @@ map, @@ signs and plots under\n"
               "                      @@ plot X,Y, lines of A after -, lines of B after +\n"
               "    --stat            print only the counts\n"
               "  new OUT             write a new map to OUT, replaced atomically, and print\n"
               "                      the seed used: game rules, 18 team and player slots\n"
               "                      (more for more players) and every plot\n"
               "    --size W,H        columns and rows, each 1 to 1000 (needed)\n"
               "    --wrap AXES       none, x (east-west, the default), y or both\n"
               "    --base PLOTS      ocean (default), grass or empty: the plots of a map\n"
               "                      without generated land\n"
               "    --players N       0 (default) to 64 players, each with a start on flat\n"
               "                      or hill land, spread as far apart as the map allows,\n"
               "                      and a settler there\n"
               "    --land KIND       none (default), continents (2 to 6 landmasses),\n"
               "                      pangaea (one) or islands (many small), in the ocean\n"
               "    --seed S          0 to 4294967295; the same seed and options give the\n"
               "                      same file; a random one without\n"
               "    --land-share PCT  land in percent of the map, 10 to 90 (default 35)\n"
               "    --hills PCT       hills in percent of the land (default 18)\n"
               "    --peaks PCT       peaks in percent of the land (default 4); hills and\n"
               "                      peaks together at most 100\n"
               "    --latitudes TOP,BOTTOM  the latitudes of the north and south edges,\n"
               "                      -90 to 90 each (default 90,-90)\n"
               "  --help              show this text\n"
               "  --version           show the version\n"
               "\n"
               "Exit status: 0 success, 1 the file could not be read or written or an\n"
               "operation could not be done, 2 wrong call. find and diff answer as grep\n"
               "and diff do: 0 found or the same, 1 nothing found or different; find,\n"
               "stats, pieces, balance, lint and diff exit with 2 on a wrong call or a\n"
               "file that does not load, and with 1 when standard output cannot be\n"
               "written. new exits with 1 on any error and writes nothing.\n");
}

int usageError()
{
    err() << usage();
    err().flush();
    return 2;
}

int fail(const QString &message)
{
    err() << message << "\n";
    err().flush();
    return 1;
}

int check(const QString &path)
{
    Document doc;
    const LoadResult result = loadMapFile(path, doc);
    if (!result.ok())
        return fail(loadFailure(path, result));
    const auto filled = [](const auto &slots) {
        return std::count_if(slots.begin(), slots.end(), [](const QByteArray &t) { return !t.isEmpty(); });
    };
    Output report;
    report << QStringLiteral("Map size: %1 x %2\nTeam slots filled: %3\nPlayer slots filled: %4\nPlots with text: %5\n")
                  .arg(doc.columnCount())
                  .arg(doc.rowCount())
                  .arg(filled(doc.TeamTexts))
                  .arg(filled(doc.PlayerTexts))
                  .arg(doc.PlotTexts.filledCount())
                  .toLatin1();
    const int status = report.finish(0);
    // Damage the load survived: told, but the map is still readable.
    for (const QString &warning : mapWarnings(doc, result.stats))
        err() << warning << "\n";
    err().flush();
    return status;
}

int normalize(const QString &in, const QString &outPath, bool force)
{
    Document doc;
    const LoadResult result = loadMapFile(in, doc);
    if (!result.ok())
        return fail(loadFailure(in, result));
    if (!writeDespiteDamage(in, mapDamage(doc, result.stats), force))
        return 1;
    const SaveResult saved = writeMapFile(outPath, buildSaveFile(doc));
    return saved.ok ? 0 : fail(saved.message);
}

} // namespace

bool writeDespiteDamage(const QString &in, const MapDamage &damage, bool force)
{
    const QString shown = shownPath(in);
    for (const QString &finding : damage.findings)
        err() << shown << ": " << finding << "\n";
    const bool refused = damage.needsGoAhead() && !force;
    if (refused)
        err() << shown << ": nothing written: writing would " << damage.consequences()
              << "; --force writes it all the same\n";
    err().flush();
    return !refused;
}

int run(const QStringList &args)
{
    if (args.size() == 1 && args[0] == QLatin1String("--help")) {
        out() << help();
        out().flush();
        return 0;
    }
    if (args.size() == 1 && args[0] == QLatin1String("--version")) {
        out() << "vor4map " << VOR4_VERSION << "\n";
        out().flush();
        return 0;
    }
    if (args.size() == 2 && args[0] == QLatin1String("check"))
        return check(args[1]);
    if (!args.isEmpty() && args[0] == QLatin1String("normalize")) {
        QStringList files = args.mid(1);
        const bool force = files.removeAll(QStringLiteral("--force")) > 0;
        if (files.size() == 2)
            return normalize(files[0], files[1], force);
    }
    if (!args.isEmpty() && args[0] == QLatin1String("edit")) {
        const int code = editCommand(args.mid(1));
        return code == 2 ? usageError() : code;
    }
    if (!args.isEmpty() && args[0] == QLatin1String("new"))
        return newMapCommand(args.mid(1));
    if (args.size() == 1 && args[0] == QLatin1String("locate"))
        return locateCommand();
    if (args.size() == 2 && args[0] == QLatin1String("catalogue") && isCatalogueKind(args[1]))
        return catalogueCommand(args[1]);
    using Query = int (*)(const QStringList &, QString *);
    const std::pair<const char *, Query> queries[] = {
        {"find", findCommand}, {"stats", statsCommand}, {"pieces", piecesCommand}, {"balance", balanceCommand},
        {"lint", lintCommand},
        {"diff", diffCommand}};
    for (const auto &[name, command] : queries) {
        if (args.isEmpty() || args[0] != QLatin1String(name))
            continue;
        QString reason;
        const int code = command(args.mid(1), &reason);
        if (code != WrongCall)
            return code;
        err() << "vor4map " << name << ": " << reason << "\n";
        return usageError();
    }
    if (!args.isEmpty() && args[0] == QLatin1String("render")) {
        RenderOptions options;
        QString reason;
        if (parseRenderArgs(args.mid(1), options, &reason))
            return renderCommand(options);
        err() << "vor4map render: " << reason << "\n";
        return usageError();
    }
    if (!args.isEmpty() && args[0] == QLatin1String("thumbnail")) {
        ThumbnailOptions options;
        QString reason;
        if (parseThumbnailArgs(args.mid(1), options, &reason))
            return thumbnailCommand(options);
        err() << "vor4map thumbnail: " << reason << "\n";
        return usageError();
    }
    return usageError();
}

} // namespace vor4::tool
