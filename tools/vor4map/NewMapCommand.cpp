#include "NewMapCommand.h"

#include "CommandFiles.h"
#include "FileTarget.h"
#include "MapWriter.h"
#include "NewMap.h"

#include <QCommandLineParser>
#include <QRandomGenerator>
#include <QTextStream>

namespace vor4::tool {

namespace {

// The index of value among names, or -1.
int choice(const QString &value, std::initializer_list<const char *> names)
{
    int i = 0;
    for (const char *name : names) {
        if (value == QLatin1String(name))
            return i;
        ++i;
    }
    return -1;
}

bool number(const QString &text, int low, int high, int *value)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok && n >= low && n <= high)
        *value = n;
    return ok && n >= low && n <= high;
}

// The settings of the command line, or why there are none.
QString parse(const QStringList &args, NewMapSettings &s, QString *out)
{
    QCommandLineParser p;
    const QCommandLineOption size(QStringLiteral("size"), {}, QStringLiteral("W,H"));
    const QCommandLineOption wrap(QStringLiteral("wrap"), {}, QStringLiteral("none|x|y|both"));
    const QCommandLineOption base(QStringLiteral("base"), {}, QStringLiteral("ocean|grass|empty"));
    const QCommandLineOption players(QStringLiteral("players"), {}, QStringLiteral("N"));
    const QCommandLineOption land(QStringLiteral("land"), {}, QStringLiteral("KIND"));
    const QCommandLineOption seed(QStringLiteral("seed"), {}, QStringLiteral("S"));
    const QCommandLineOption share(QStringLiteral("land-share"), {}, QStringLiteral("PCT"));
    const QCommandLineOption hills(QStringLiteral("hills"), {}, QStringLiteral("PCT"));
    const QCommandLineOption peaks(QStringLiteral("peaks"), {}, QStringLiteral("PCT"));
    const QCommandLineOption latitudes(QStringLiteral("latitudes"), {}, QStringLiteral("TOP,BOTTOM"));
    p.addOptions({size, wrap, base, players, land, seed, share, hills, peaks, latitudes});
    p.addPositionalArgument(QStringLiteral("OUT"), {});
    if (!p.parse(QStringList{QStringLiteral("vor4map new")} + args))
        return p.errorText().chopped(p.errorText().endsWith(QLatin1Char('.')) ? 1 : 0);
    if (p.positionalArguments().size() != 1)
        return QStringLiteral("needs one OUT file");
    *out = p.positionalArguments().constFirst();
    const QStringList wh = p.value(size).split(QLatin1Char(','));
    if (!p.isSet(size) || wh.size() != 2 || !number(wh[0], 1, NewMapSettings::MaxSide, &s.width)
        || !number(wh[1], 1, NewMapSettings::MaxSide, &s.height))
        return QStringLiteral("--size needs W,H, each 1 to %1").arg(NewMapSettings::MaxSide);
    if (p.isSet(wrap)) {
        const int w = choice(p.value(wrap), {"none", "x", "y", "both"});
        if (w < 0)
            return QStringLiteral("--wrap is none, x, y or both, not '%1'").arg(shownValue(p.value(wrap)));
        s.wrapX = w & 1;
        s.wrapY = w & 2;
    }
    if (p.isSet(base)) {
        const int b = choice(p.value(base), {"ocean", "grass", "empty"});
        if (b < 0)
            return QStringLiteral("--base is ocean, grass or empty, not '%1'").arg(shownValue(p.value(base)));
        s.base = NewMapSettings::Base(b);
    }
    if (p.isSet(land)) {
        const int l = choice(p.value(land), {"none", "continents", "pangaea", "islands"});
        if (l < 0)
            return QStringLiteral("--land is none, continents, pangaea or islands, not '%1'").arg(shownValue(p.value(land)));
        s.land = NewMapSettings::Land(l);
    }
    if (p.isSet(players) && !number(p.value(players), 0, NewMapSettings::MaxPlayers, &s.players))
        return QStringLiteral("--players is 0 to %1").arg(NewMapSettings::MaxPlayers);
    if (p.isSet(share) && !number(p.value(share), 10, 90, &s.landShare))
        return QStringLiteral("--land-share is 10 to 90");
    if ((p.isSet(hills) && !number(p.value(hills), 0, 100, &s.hillShare))
        || (p.isSet(peaks) && !number(p.value(peaks), 0, 100, &s.peakShare)))
        return QStringLiteral("--hills and --peaks are 0 to 100");
    const QStringList tb = p.value(latitudes).split(QLatin1Char(','));
    if (p.isSet(latitudes)
        && (tb.size() != 2 || !number(tb[0], -90, 90, &s.topLatitude) || !number(tb[1], -90, 90, &s.bottomLatitude)))
        return QStringLiteral("--latitudes needs TOP,BOTTOM, each -90 to 90");
    if (p.isSet(seed)) {
        bool ok = false;
        s.seed = p.value(seed).toUInt(&ok);
        if (!ok)
            return QStringLiteral("--seed is a number 0 to 4294967295, not '%1'").arg(shownValue(p.value(seed)));
    } else {
        s.seed = QRandomGenerator::global()->generate();
    }
    return s.problem();
}

} // namespace

int newMapCommand(const QStringList &args)
{
    QTextStream out(stdout), err(stderr);
    NewMapSettings settings;
    QString path;
    const QString problem = parse(args, settings, &path);
    const QString refused = problem.isEmpty() ? outputRefusal(path, {}) : QString();
    if (!problem.isEmpty() || !refused.isEmpty()) {
        err << "vor4map new: " << (problem.isEmpty() ? refused : problem)
            << (refused.endsWith(QLatin1String("nothing written")) ? "\n" : "; nothing written\n");
        return 1;
    }
    QStringList notes;
    const Document doc = NewMap::make(settings, &notes);
    const SaveResult saved = writeMapFile(path, buildSaveFile(doc));
    if (!saved.ok) {
        err << "vor4map new: " << saved.message << "\n";
        return 1;
    }
    for (const QString &note : notes)
        err << path << ": " << note << "\n";
    out << "seed " << settings.seed << "\n";
    return 0;
}

} // namespace vor4::tool
