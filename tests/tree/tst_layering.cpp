#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

// The folders form layers: a file includes only from its own layer and the ones below,
// and the include graph of the project's own files has no cycles.
class TestLayering : public QObject {
    Q_OBJECT

private slots:
    void includesRunDownwardWithoutCycles();
};

namespace {

const QString kSourceDir = QStringLiteral(FLASKBOOK_SOURCE_DIR);

// What each folder may include besides itself, most specific folder first.
struct Layer {
    QString folder;
    QStringList allowed;
};
const QList<Layer> kLayers = {
    {"core/", {}},
    {"app/records/", {"core/"}},
    {"controls/button/", {"core/"}},
    {"platform/", {"core/"}},
    {"chem/", {"core/"}},
    {"transfer/", {"app/records/", "chem/", "core/"}},
    {"search/", {"app/records/", "chem/", "core/"}},
    {"controls/", {"controls/button/", "platform/", "core/"}},
    {"windows/", {"controls/", "platform/", "core/"}},
    {"tools/", {"platform/", "core/"}},
    {"app/", {"app/records/", "chem/", "transfer/", "search/", "controls/", "platform/",
              "windows/", "core/"}},
};

const Layer* layerOf(const QString& file)
{
    for (const Layer& layer : kLayers)
        if (file.startsWith(layer.folder))
            return &layer;
    return nullptr;
}

// Project file (relative path) -> the project headers it includes.
QHash<QString, QStringList> includeGraph()
{
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""),
                                            QRegularExpression::MultilineOption);
    QHash<QString, QStringList> graph;
    for (const char* top : {"core", "chem", "transfer", "search", "app", "controls", "platform", "windows",
                            "tools"}) {
        QDirIterator it(kSourceDir + QLatin1Char('/') + QLatin1String(top), {"*.h", "*.cpp"},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            QStringList targets;
            for (auto match = include.globalMatch(QString::fromUtf8(file.readAll()));
                 match.hasNext();) {
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

} // namespace

void TestLayering::includesRunDownwardWithoutCycles()
{
    QHash<QString, QStringList> graph = includeGraph();
    QVERIFY(graph.contains(QStringLiteral("controls/textbox.h")));
    QStringList wrong;
    for (auto it = graph.cbegin(); it != graph.cend(); ++it) {
        const Layer* layer = layerOf(it.key());
        for (const QString& target : it.value()) {
            const auto below = [&](const QString& folder) { return target.startsWith(folder); };
            if (layer && layerOf(target) != layer &&
                std::none_of(layer->allowed.cbegin(), layer->allowed.cend(), below))
                wrong << it.key() + QStringLiteral(" includes ") + target;
        }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));

    // Files whose includes are all gone are taken away, round by round; what stays lies on
    // a cycle or includes one.
    for (qsizetype before = -1; before != graph.size();) {
        before = graph.size();
        graph.removeIf([&graph](const auto& file) {
            return std::none_of(file.value().cbegin(), file.value().cend(),
                                [&graph](const QString& target) { return graph.contains(target); });
        });
    }
    QVERIFY2(graph.isEmpty(), qPrintable("include cycle among: " + graph.keys().join(", ")));
}

QTEST_GUILESS_MAIN(TestLayering)
#include "tst_layering.moc"
