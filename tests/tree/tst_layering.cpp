#include <algorithm>
#include <functional>

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTest>

// The folders form layers: a file includes only from its own layer and the ones below.
// The include graph of the project's own files has no cycles.
class TestLayering : public QObject {
    Q_OBJECT

private slots:
    void includesRunDownward();
    void noIncludeCycles();

private:
    // Project file (relative path) -> the project headers it includes.
    QHash<QString, QStringList> includeGraph() const;
};

namespace {

const QString kSourceDir = QStringLiteral(FLASKBOOK_SOURCE_DIR);

// What each folder may include besides itself, most specific folder first.
struct Layer {
    QString folder;
    QStringList allowed;
};
const QList<Layer> kLayers = {
    {QStringLiteral("app/records/"), {}},
    {QStringLiteral("controls/button/"), {}},
    {QStringLiteral("platform/"), {}},
    {QStringLiteral("controls/"),
     {QStringLiteral("controls/button/"), QStringLiteral("platform/")}},
    {QStringLiteral("windows/"), {QStringLiteral("controls/"), QStringLiteral("platform/")}},
    {QStringLiteral("tools/"), {QStringLiteral("platform/")}},
    {QStringLiteral("app/"),
     {QStringLiteral("app/records/"), QStringLiteral("controls/"), QStringLiteral("platform/"),
      QStringLiteral("windows/")}},
};

const Layer* layerOf(const QString& file)
{
    for (const Layer& layer : kLayers)
        if (file.startsWith(layer.folder))
            return &layer;
    return nullptr;
}

} // namespace

QHash<QString, QStringList> TestLayering::includeGraph() const
{
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""),
                                            QRegularExpression::MultilineOption);
    QHash<QString, QStringList> graph;
    for (const QString& top :
         {QStringLiteral("app"), QStringLiteral("controls"), QStringLiteral("platform"),
          QStringLiteral("windows"), QStringLiteral("tools")}) {
        QDirIterator it(kSourceDir + QLatin1Char('/') + top,
                        {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(file.readAll());
            QStringList targets;
            for (auto match = include.globalMatch(text); match.hasNext();) {
                const QString target = match.next().captured(1);
                // Generated headers (ui_*.h) and files of other projects are not ours.
                if (QFile::exists(kSourceDir + QLatin1Char('/') + target))
                    targets << target;
            }
            graph.insert(path.mid(kSourceDir.size() + 1), targets);
        }
    }
    return graph;
}

void TestLayering::includesRunDownward()
{
    const QHash<QString, QStringList> graph = includeGraph();
    QVERIFY(graph.contains(QStringLiteral("controls/textbox.h")));
    QStringList wrong;
    for (auto it = graph.cbegin(); it != graph.cend(); ++it) {
        const Layer* layer = layerOf(it.key());
        if (!layer)
            continue;
        for (const QString& target : it.value()) {
            const bool allowed = target.startsWith(layer->folder) && layerOf(target) == layer;
            const bool below = std::any_of(layer->allowed.cbegin(), layer->allowed.cend(),
                                           [&](const QString& f) { return target.startsWith(f); });
            if (!allowed && !below)
                wrong << it.key() + QStringLiteral(" includes ") + target;
        }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
}

void TestLayering::noIncludeCycles()
{
    const QHash<QString, QStringList> graph = includeGraph();
    enum Mark { Unvisited, OnPath, Done };
    QHash<QString, Mark> marks;
    QStringList path;
    QString cycle;
    std::function<bool(const QString&)> visit = [&](const QString& file) {
        marks[file] = OnPath;
        path << file;
        for (const QString& target : graph.value(file)) {
            if (marks.value(target) == OnPath) {
                cycle = path.mid(path.indexOf(target)).join(QStringLiteral(" -> ")) +
                        QStringLiteral(" -> ") + target;
                return false;
            }
            if (marks.value(target) == Unvisited && !visit(target))
                return false;
        }
        path.removeLast();
        marks[file] = Done;
        return true;
    };
    for (auto it = graph.cbegin(); it != graph.cend(); ++it)
        if (marks.value(it.key()) == Unvisited)
            QVERIFY2(visit(it.key()), qPrintable(cycle));
}

QTEST_GUILESS_MAIN(TestLayering)
#include "tst_layering.moc"
