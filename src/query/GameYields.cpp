#include "GameYields.h"

#include "FileTarget.h"

#include <QFile>
#include <QXmlStreamReader>
#include <vector>

namespace vor4 {

namespace {

// The children of an entry that hold yields, up to three numbers each, in
// the order food, production, commerce.
enum List { Yields, Hills, River, Changes, NotAList };

List listOf(QStringView name)
{
    if (name == u"Yields")
        return Yields;
    if (name == u"HillsYieldChange")
        return Hills;
    if (name == u"RiverYieldChange")
        return River;
    if (name == u"YieldChanges")
        return Changes;
    return NotAList;
}

// The numbers of a yield list; the reader stands on its start and is left
// on its end. A missing or empty number is 0.
GameYields::Yield readList(QXmlStreamReader &xml)
{
    GameYields::Yield y{};
    std::size_t i = 0;
    while (xml.readNextStartElement()) {
        const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements);
        if (i < y.size() && (xml.name() == u"iYield" || xml.name() == u"iYieldChange"))
            y[i++] = text.trimmed().toInt();
    }
    return y;
}

} // namespace

bool GameYields::read(QIODevice &file, QString *error)
{
    struct Frame
    {
        QByteArray type;
        Entry entry;
    };
    std::vector<Frame> stack;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const List list = listOf(xml.name());
            if (list != NotAList && !stack.empty()) {
                const Yield y = readList(xml);
                Entry &e = stack.back().entry;
                (list == Yields ? e.yields : list == Hills ? e.hills : list == River ? e.river : e.changes) = y;
            } else if (xml.name() == u"Type" && !stack.empty()) {
                stack.back().type = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toLatin1();
            } else {
                stack.push_back({});
            }
        } else if (token == QXmlStreamReader::EndElement && !stack.empty()) {
            const Frame done = stack.back();
            stack.pop_back();
            if (!done.type.isEmpty() && !m_entries.contains(done.type))
                m_entries.insert(done.type, done.entry);
        }
    }
    if (xml.hasError()) {
        *error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
        return false;
    }
    return true;
}

bool GameYields::load(const QString &folder, QString *error)
{
    m_entries.clear();
    for (const char *name : {"VOR4TerrainInfos.xml", "VOR4FeatureInfos.xml", "VOR4BonusInfos.xml"}) {
        QFile file(folder + u'/' + QLatin1String(name));
        QString why;
        if (!file.open(QIODevice::ReadOnly))
            why = file.errorString();
        else if (!read(file, &why))
            why = QStringLiteral("not a data file: ") + why;
        if (!why.isEmpty()) {
            *error = QStringLiteral("%1: %2").arg(shownPath(file.fileName()), why);
            return false;
        }
    }
    return true;
}

GameYields::Yield GameYields::plotYield(QByteArrayView terrain, QByteArrayView feature, QByteArrayView bonus,
                                        bool peak, bool hills, bool river) const
{
    Yield y{};
    if (peak)
        return y;
    const auto add = [&y](const Yield &change) {
        for (std::size_t i = 0; i < y.size(); ++i)
            y[i] += change[i];
    };
    const auto entry = [this](QByteArrayView type) {
        const auto it = type.isEmpty() ? m_entries.cend() : m_entries.constFind(type.toByteArray());
        return it == m_entries.cend() ? nullptr : &*it;
    };
    if (const Entry *t = entry(terrain)) {
        add(t->yields);
        if (hills)
            add(t->hills);
        if (river)
            add(t->river);
    }
    for (QByteArrayView type : {feature, bonus})
        if (const Entry *e = entry(type))
            add(e->changes);
    for (int &v : y)
        v = qMax(0, v);
    return y;
}

} // namespace vor4
