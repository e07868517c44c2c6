// Where each record id sits in a keyset, and record ids in order, for ids of any spread.

#include "app/records/keypositions.h"

#include <QTest>

#include <limits>

using Ids = QList<qint64>;
Q_DECLARE_METATYPE(Ids)

namespace {

constexpr qint64 kLargest = std::numeric_limits<qint64>::max();
constexpr qint64 kSmallest = std::numeric_limits<qint64>::min();
constexpr qint64 k2To40 = qint64(1) << 40;

} // namespace

class TestKeyPositions : public QObject {
    Q_OBJECT

private slots:
    void positionsFollowTheKeyset_data();
    void positionsFollowTheKeyset();
};

void TestKeyPositions::positionsFollowTheKeyset_data()
{
    QTest::addColumn<Ids>("keyset");
    QTest::addColumn<Ids>("sorted");
    // An id appended after the others (0 for none), then the keyset place erased (-1 for none).
    QTest::addColumn<qint64>("appended");
    QTest::addColumn<int>("erasedAt");
    QTest::newRow("empty, then one") << Ids{} << Ids{} << qint64(7) << 0;
    QTest::newRow("close together") << Ids{3, 1, 2, 5} << Ids{1, 2, 3, 5} << qint64(6) << 1;
    QTest::newRow("negative") << Ids{-2, -7, -1, -40} << Ids{-40, -7, -2, -1} << qint64(9) << 0;
    QTest::newRow("sparse") << Ids{1, k2To40, 7} << Ids{1, 7, k2To40} << k2To40 + 1 << 1;
    QTest::newRow("close together past 2^40")
        << Ids{k2To40 + 2, k2To40, k2To40 + 1} << Ids{k2To40, k2To40 + 1, k2To40 + 2} << k2To40 + 3
        << 3;
    QTest::newRow("far one appended") << Ids{2, 1, 3} << Ids{1, 2, 3} << k2To40 << 0;
    QTest::newRow("largest appended") << Ids{-5, 4} << Ids{-5, 4} << kLargest << 2;
    QTest::newRow("close below the largest")
        << Ids{kLargest, kLargest - 2, kLargest - 1} << Ids{kLargest - 2, kLargest - 1, kLargest}
        << qint64(0) << 0;
    QTest::newRow("both ends") << Ids{kLargest, 0, kSmallest} << Ids{kSmallest, 0, kLargest}
                               << qint64(0) << 2;
}

void TestKeyPositions::positionsFollowTheKeyset()
{
    QFETCH(Ids, keyset);
    QFETCH(Ids, sorted);
    QFETCH(qint64, appended);
    QFETCH(int, erasedAt);

    std::vector<long long> ids(keyset.begin(), keyset.end());
    sortIds(ids);
    QCOMPARE(Ids(ids.begin(), ids.end()), sorted);

    KeyPositions positions;
    const auto check = [&positions, &keyset](const char* when) {
        for (int i = 0; i < keyset.size(); ++i)
            QVERIFY2(positions.find(keyset[i]) == i, when);
        // Neighbours of every id, and both ends of the range, are found only when held.
        Ids probes{kSmallest, 0, kLargest};
        for (const qint64 id : keyset)
            probes << (id == kSmallest ? id : id - 1) << (id == kLargest ? id : id + 1);
        for (const qint64 probe : probes)
            QVERIFY2(positions.find(probe) == keyset.indexOf(probe), when);
    };
    positions.build(std::vector<long long>(keyset.begin(), keyset.end()));
    check("built");
    if (appended != 0) {
        positions.appended(appended, int(keyset.size()));
        keyset.append(appended);
        check("appended");
    }
    if (erasedAt >= 0) {
        positions.erased(keyset[erasedAt], erasedAt);
        keyset.removeAt(erasedAt);
        check("erased");
    }
}

QTEST_GUILESS_MAIN(TestKeyPositions)
#include "tst_keypositions.moc"
