// Range normalisation, chunking and progress of requests: the arithmetic
// every transport relies on.
#include "acpu/request.h"
#include "acpu/varrange.h"

#include <QSignalSpy>
#include <QTest>

using namespace Acpu;

class TestRequests : public QObject
{
    Q_OBJECT
private slots:
    void normalize_data()
    {
        QTest::addColumn<VarRanges>("input");
        QTest::addColumn<VarRanges>("expected");
        QTest::newRow("empty") << VarRanges{} << VarRanges{};
        QTest::newRow("adjacent and unsorted")
            << VarRanges{{5, 2}, {7, 1}, {1, 2}} << VarRanges{{1, 2}, {5, 3}};
        QTest::newRow("contained") << VarRanges{{10, 5}, {12, 1}} << VarRanges{{10, 5}};
        QTest::newRow("gap of one stays apart")
            << VarRanges{{0, 2}, {3, 1}} << VarRanges{{0, 2}, {3, 1}};
        QTest::newRow("overlap extends") << VarRanges{{0, 4}, {2, 6}} << VarRanges{{0, 8}};
        QTest::newRow("panel") << VarRanges{{4111, 5}, {800, 1}, {4101, 5}, {4096, 5}, {4106, 5}}
                               << VarRanges{{800, 1}, {4096, 20}};
        QTest::newRow("duplicates merge") << VarRanges{{3, 1}, {3, 1}} << VarRanges{{3, 1}};
    }
    void normalize()
    {
        QFETCH(VarRanges, input);
        QFETCH(VarRanges, expected);
        QCOMPARE(NormalizeRanges(input), expected);
    }

    void chunks_data()
    {
        QTest::addColumn<VarRanges>("ranges");
        QTest::addColumn<qint64>("maximum");
        QTest::addColumn<QList<VarRange>>("expected");
        QTest::newRow("one range in 60s")
            << VarRanges{{0, 130}} << qint64(60) << QList<VarRange>{{0, 60}, {60, 60}, {120, 10}};
        // Ranges are taken as given: not merged, each chunked on its own.
        QTest::newRow("upload window") << VarRanges{{513, 1}, {515, 60}, {515, 2}} << qint64(60)
                                       << QList<VarRange>{{513, 1}, {515, 60}, {515, 2}};
        QTest::newRow("unlimited") << VarRanges{{0, 1000}, {5000, 3}} << qint64(-1)
                                   << QList<VarRange>{{0, 1000}, {5000, 3}};
        QTest::newRow("empty range skipped")
            << VarRanges{{10, 0}, {20, 2}} << qint64(60) << QList<VarRange>{{20, 2}};
    }
    void chunks()
    {
        QFETCH(VarRanges, ranges);
        QFETCH(qint64, maximum);
        QFETCH(QList<VarRange>, expected);
        Request request(ranges, maximum);
        QList<VarRange> chunks;
        for (VarRange c = request.NextChunk(); !c.isEmpty(); c = request.NextChunk()) {
            QCOMPARE(request.CurrentChunk(), c);
            chunks.append(c);
        }
        QCOMPARE(chunks, expected);
        QVERIFY(request.NextChunk().isEmpty());
    }

    void progressFigures()
    {
        Request request({{0, 130}}, 60);
        QSignalSpy progress(&request, &Request::progress);
        for (int n : {60, 60, 10})
            request.AddProgress(n);
        QList<int> figures;
        for (const auto &args : progress)
            figures.append(args.at(0).toInt());
        QCOMPARE(figures, (QList<int>{46, 92, 100}));
        QCOMPARE(request.Transferred(), 130);
    }

    void valuesFollowTheirChunks()
    {
        QList<Value> values;
        for (int i = 0; i < 125; ++i)
            values.append(Value{i});
        Request request({{100, 61}, {300, 64}}, 60, std::move(values));
        QCOMPARE(request.GetType(), Request::Write);
        QList<int> firsts, sizes;
        for (auto [chunk, chunkValues] = request.NextChunkWithValues(); !chunk.isEmpty();
             std::tie(chunk, chunkValues) = request.NextChunkWithValues()) {
            QCOMPARE(chunkValues.size(), chunk.length);
            firsts.append(std::get<int>(chunkValues.first()));
            sizes.append(static_cast<int>(chunk.length));
        }
        QCOMPARE(sizes, (QList<int>{60, 1, 60, 4}));
        QCOMPARE(firsts, (QList<int>{0, 60, 61, 121}));
    }

    void finishingDeletesOnlyWithAutoDelete()
    {
        QPointer<Request> kept = new Request({{0, 1}}, 60);
        kept->SetAutoDelete(false);
        QSignalSpy finished(kept.data(), &Request::finished);
        kept->SetFinished(true);
        QCOMPARE(finished.size(), 1);
        QVERIFY(kept->IsFinished());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(kept);
        kept->SetFinished(false);
        QVERIFY(!kept->IsFinished());
        delete kept;

        QPointer<Request> gone = new Request({{0, 1}}, 60);
        gone->SetFinished(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!gone);
    }
};

QTEST_GUILESS_MAIN(TestRequests)
#include "tst_requests.moc"
