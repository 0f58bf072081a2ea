#include "MapFileType.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Continents = QStringLiteral(VOR4_FIXTURES_DIR "/continents-64x40.Vor4WorldBuilderSave");
const QString AppId = QStringLiteral(VOR4_APP_ID);
const QString MapType = QStringLiteral("application/x-vor4-worldbuilder-save");

struct Run
{
    int code = -1;
    QByteArray out, err;
};

Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(120000))
        p.kill();
    if (p.error() == QProcess::FailedToStart)
        return {-1, {}, program.toUtf8() + " cannot be started"};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The value of KEY in a desktop-style file's text; empty when missing.
QString entry(const QByteArray &text, const QString &key)
{
    const QRegularExpression re(QStringLiteral("^%1=(.*)$").arg(QRegularExpression::escape(key)),
                                QRegularExpression::MultilineOption);
    return re.match(QString::fromUtf8(text)).captured(1).trimmed();
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void installedFiles();
    void compressedDocuments();
    void desktopEntryAndMetainfo();
    void fileType();
    void thumbnailer();

private:
    QString share(const QString &path) const { return m_root.filePath(QStringLiteral("usr/share/") + path); }
    // A desktop that knows only the installed tree besides the system's.
    QProcessEnvironment desktopEnvironment() const;
    QString tool(const char *name);

    QTemporaryDir m_root;
    QTemporaryDir m_home;
};

void TestInstall::initTestCase()
{
    QVERIFY(m_root.isValid() && m_home.isValid());
    const Run r = run(QStringLiteral(VOR4_CMAKE_COMMAND),
                      {"--install", VOR4_BUILD_DIR, "--prefix", m_root.filePath("usr")});
    QVERIFY2(r.code == 0, r.err.constData());
}

QString TestInstall::tool(const char *name)
{
    // The packages come with scripts/install-deps.
    const QString path = QStandardPaths::findExecutable(QLatin1String(name));
    if (path.isEmpty())
        qWarning("%s is not installed: run scripts/install-deps", name);
    return path;
}

QProcessEnvironment TestInstall::desktopEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_DIRS"), m_root.filePath("usr/share") + QStringLiteral(":/usr/share"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath("data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath("config"));
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    env.insert(QStringLiteral("GIO_USE_VFS"), QStringLiteral("local"));
    return env;
}

void TestInstall::installedFiles()
{
    const QStringList files = {
        "usr/bin/vor4-map-editor",
        "usr/bin/vor4map",
        "usr/share/applications/" + AppId + ".desktop",
        "usr/share/metainfo/" + AppId + ".metainfo.xml",
        "usr/share/mime/packages/vor4-map-editor.xml",
        "usr/share/thumbnailers/vor4-map-editor.thumbnailer",
        "usr/share/icons/hicolor/scalable/apps/vor4-map-editor.svg",
        "usr/share/icons/hicolor/scalable/mimetypes/application-x-vor4-worldbuilder-save.svg",
        "usr/share/man/man1/vor4-map-editor.1.gz",
        "usr/share/man/man1/vor4map.1.gz",
        "usr/share/doc/vor4-map-editor/changelog.gz",
        "usr/share/doc/vor4-map-editor/copyright",
        "usr/share/doc/vor4-map-editor/README.md", // Help > User guide
    };
    for (const QString &f : files)
        QVERIFY2(QFileInfo(m_root.filePath(f)).isFile(), qPrintable(f));
    // The guide's pictures beside it.
    for (const auto &m : QRegularExpression("\\]\\((docs/[\\w-]+\\.png)\\)").globalMatch(QString::fromUtf8(readAll(share("doc/vor4-map-editor/README.md")))))
        QVERIFY2(QImage(share("doc/vor4-map-editor/" + m.captured(1))).width() > 0, qPrintable(m.captured(1)));
    // Nothing uncompressed beside the manuals.
    QVERIFY(!QFile::exists(share("man/man1/vor4map.1")));
    // The icons are pictures.
    for (const char *icon : {"apps/vor4-map-editor.svg", "mimetypes/application-x-vor4-worldbuilder-save.svg"})
        QVERIFY(readAll(share(QStringLiteral("icons/hicolor/scalable/") + QLatin1String(icon))).startsWith("<svg"));
    QVERIFY(readAll(share("doc/vor4-map-editor/copyright"))
                .startsWith("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"));
}

void TestInstall::compressedDocuments()
{
    const QString gzip = tool("gzip");
    QVERIFY(!gzip.isEmpty());
    const std::pair<const char *, QByteArray> docs[] = {
        {"man/man1/vor4map.1.gz", ".TH VOR4MAP 1 "},
        {"man/man1/vor4-map-editor.1.gz", ".TH VOR4-MAP-EDITOR 1 "},
        {"doc/vor4-map-editor/changelog.gz", "vor4-map-editor (" VOR4_VERSION ") unstable; urgency="},
    };
    for (const auto &[path, start] : docs) {
        const QByteArray bytes = readAll(share(QLatin1String(path)));
        // gzip without a name or a time stamp (-n), at the best compression (-9).
        QVERIFY2(bytes.startsWith("\x1f\x8b\x08"), path);
        QCOMPARE(bytes[3] & 0x08, 0);
        QCOMPARE(bytes.mid(4, 4), QByteArray(4, '\0'));
        QCOMPARE(quint8(bytes[8]), quint8(2));
        const Run r = run(gzip, {"-dc", share(QLatin1String(path))});
        QCOMPARE(r.code, 0);
        // The changelog's newest entry is this version.
        QVERIFY2(r.out.startsWith(start), r.out.left(80).constData());
    }
}

void TestInstall::desktopEntryAndMetainfo()
{
    const QString desktopPath = share("applications/" + AppId + ".desktop");
    const QByteArray desktop = readAll(desktopPath);
    QCOMPARE(entry(desktop, "Exec"), QStringLiteral("vor4-map-editor %f"));
    QVERIFY(entry(desktop, "MimeType").split(QLatin1Char(';')).contains(MapType));
    QCOMPARE(entry(desktop, "Icon"), QStringLiteral("vor4-map-editor"));

    const QString metainfoPath = share("metainfo/" + AppId + ".metainfo.xml");
    const QString metainfo = QString::fromUtf8(readAll(metainfoPath));
    QVERIFY(metainfo.contains(QStringLiteral("<id>%1</id>").arg(AppId)));
    QVERIFY(metainfo.contains(QStringLiteral("<launchable type=\"desktop-id\">%1.desktop</launchable>").arg(AppId)));
    QVERIFY(metainfo.contains(QStringLiteral("<mediatype>%1</mediatype>").arg(MapType)));
    QVERIFY(metainfo.contains(QStringLiteral("<release version=\"%1\"").arg(QLatin1String(VOR4_VERSION))));

    const QString validateDesktop = tool("desktop-file-validate");
    const QString appstream = tool("appstreamcli");
    QVERIFY(!validateDesktop.isEmpty() && !appstream.isEmpty());
    Run r = run(validateDesktop, {desktopPath});
    QVERIFY2(r.code == 0, r.out + r.err);
    QVERIFY2(!r.out.contains("error") && !r.out.contains("warning"), r.out.constData());
    r = run(appstream, {"validate", "--no-net", metainfoPath});
    QVERIFY2(r.code == 0, r.out + r.err);
    // With the desktop entry and icon beside it, as software centres read it.
    r = run(appstream, {"validate-tree", "--no-net", m_root.path()});
    QVERIFY2(r.code == 0, r.out + r.err);
}

void TestInstall::fileType()
{
    const QString updateMime = tool("update-mime-database");
    const QString updateDesktop = tool("update-desktop-database");
    const QString gio = tool("gio");
    const QString xdgMime = tool("xdg-mime");
    QVERIFY(!updateMime.isEmpty() && !updateDesktop.isEmpty() && !gio.isEmpty() && !xdgMime.isEmpty());
    // What the package's triggers run on the system's folders.
    Run r = run(updateMime, {share("mime")});
    QVERIFY2(r.code == 0, r.err.constData());
    QVERIFY(QFile::exists(share("mime/mime.cache")));
    r = run(updateDesktop, {share("applications")});
    QVERIFY2(r.code == 0, r.err.constData());
    QVERIFY(readAll(share("applications/mimeinfo.cache")).contains(MapType.toUtf8() + "=" + AppId.toUtf8() + ".desktop"));

    QTemporaryDir files;
    const QString renamed = files.filePath("my map");
    const QString upper = files.filePath("WORLD.VOR4WORLDBUILDERSAVE");
    const QString notes = files.filePath("notes");
    QVERIFY(QFile::copy(Continents, files.filePath("continents.Vor4WorldBuilderSave")));
    QVERIFY(QFile::copy(Continents, renamed));
    QVERIFY(QFile::copy(Continents, upper));
    QFile n(notes);
    QVERIFY(n.open(QIODevice::WriteOnly));
    n.write("Version=2\nThe next map has islands.\n");
    n.close();

    const QProcessEnvironment env = desktopEnvironment();
    const auto typeOf = [&](const QString &path) {
        const Run info = run(gio, {"info", "-a", "standard::content-type,standard::icon", path}, env);
        return QString::fromUtf8(info.out);
    };
    for (const QString &path : {files.filePath("continents.Vor4WorldBuilderSave"), renamed, upper}) {
        const QString info = typeOf(path);
        QVERIFY2(info.contains(QStringLiteral("standard::content-type: ") + MapType), qPrintable(path + info));
        QVERIFY(info.contains(QStringLiteral("application-x-vor4-worldbuilder-save")));
    }
    QVERIFY(typeOf(notes).contains(QStringLiteral("standard::content-type: text/plain")));

    // The desktop's rule for renamed files and the one the editor applies to
    // drops agree.
    const QByteArray heads[] = {
        "Version=11\r\nBeginGame\r\n", "Version=11\nBeginGame\n", "Version=1\rBeginGame\r",
        "Version=123456\r\nBeginGame\r\n", "Version=11\r\n\r\nBeginGame\r\n", "Version=1234567\r\nBeginGame\r\n",
        "Version=\nBeginGame\n", "version=11\r\nBeginGame\r\n", "Version=11\r\nbegingame\r\n",
        " Version=11\r\nBeginGame\r\n", "Version=11\r\nBeginMap\r\n", "BeginGame\r\n",
    };
    for (const QByteArray &head : heads) {
        const QString path = files.filePath(QStringLiteral("head"));
        QFile h(path);
        QVERIFY(h.open(QIODevice::WriteOnly | QIODevice::Truncate));
        h.write(head + "\tEra=ERA_ANCIENT\r\nEndGame\r\n");
        h.close();
        QCOMPARE(typeOf(path).contains(QStringLiteral("standard::content-type: ") + MapType),
                 vor4::startsLikeMapFile(head));
    }
    QVERIFY(vor4::startsLikeMapFile(heads[0]) && !vor4::startsLikeMapFile(heads[5]));

    // The same through xdg-mime, as file managers and scripts ask.
    r = run(xdgMime, {"query", "filetype", renamed}, env);
    QCOMPARE(r.out.trimmed(), MapType.toUtf8());
    r = run(xdgMime, {"query", "default", MapType}, env);
    QCOMPARE(r.out.trimmed(), AppId.toUtf8() + ".desktop");
}

void TestInstall::thumbnailer()
{
    // The command line a file manager makes from the Exec line.
    const QByteArray entryText = readAll(share("thumbnailers/vor4-map-editor.thumbnailer"));
    QVERIFY(entryText.startsWith("[Thumbnailer Entry]\n"));
    QCOMPARE(entry(entryText, "TryExec"), QStringLiteral("vor4map"));
    QCOMPARE(entry(entryText, "MimeType"), MapType + QLatin1Char(';'));
    const QString exec = entry(entryText, "Exec");
    QCOMPARE(exec, QStringLiteral("vor4map thumbnail %i %o --size %s"));
    QTemporaryDir out;
    QStringList args = exec.split(QLatin1Char(' '));
    const QString program = QStandardPaths::findExecutable(args.takeFirst(), {m_root.filePath("usr/bin")});
    QCOMPARE(program, m_root.filePath("usr/bin/vor4map"));
    args.replaceInStrings(QStringLiteral("%i"), Continents);
    args.replaceInStrings(QStringLiteral("%o"), out.filePath("thumb.png"));
    args.replaceInStrings(QStringLiteral("%s"), QStringLiteral("128"));
    const Run r = run(program, args);
    QVERIFY2(r.code == 0, r.err.constData());
    const QImage thumb(out.filePath("thumb.png"));
    QCOMPARE(thumb.size(), QSize(128, 80));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
