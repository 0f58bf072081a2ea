#include "EditMapCommand.h"

#include "CommandFiles.h"
#include "Commands.h"
#include "EditScript.h"
#include "MapDocument.h"
#include "MapWriter.h"

#include <QTextStream>

namespace vor4::tool {

int editCommand(const QStringList &given)
{
    QStringList args = given;
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    QTextStream out(stdout);
    QTextStream err(stderr);
    EditScript script;
    QString error;
    if (args.size() < 3) {
        err << "vor4map edit: IN, OUT and at least one operation are needed\n";
        return 2;
    }
    if (!script.parse(args.mid(2), &error)) {
        err << "vor4map edit: " << error << "\n";
        return 2;
    }
    MapDocument doc;
    // The steps of a command line are never undone.
    doc.setKeepsHistory(false);
    const LoadResult loaded = doc.load(args[0]);
    if (!loaded.ok()) {
        err << loadFailure(args[0], loaded) << "\n";
        return 1;
    }
    err.flush();
    if (!writeDespiteDamage(args[0], mapDamage(doc.document(), loaded.stats), force))
        return 1;
    QStringList log;
    QStringList notes;
    if (!script.run(doc, &log, &error, &notes)) {
        err << "vor4map edit: " << error << "\n";
        return 1;
    }
    const SaveResult saved = writeMapFile(args[1], buildSaveFile(doc.document()));
    if (!saved.ok) {
        err << saved.message << "\n";
        return 1;
    }
    for (const QString &line : log)
        out << line << "\n";
    for (const QString &note : notes)
        err << "vor4map edit: " << note << "\n";
    return 0;
}

} // namespace vor4::tool
