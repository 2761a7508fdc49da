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

    void chunksAndProgress()
    {
        Request request({{0, 130}}, 60);
        QSignalSpy progress(&request, &Request::progress);
        QList<VarRange> chunks;
        for (VarRange c = request.NextChunk(); !c.isEmpty(); c = request.NextChunk()) {
            chunks.append(c);
            QCOMPARE(request.CurrentChunk(), c);
            request.AddProgress(c.length);
        }
        QCOMPARE(chunks, (QList<VarRange>{{0, 60}, {60, 60}, {120, 10}}));
        QCOMPARE(request.NextChunk(), VarRange{});
        QList<int> figures;
        for (const auto &args : progress)
            figures.append(args.at(0).toInt());
        QCOMPARE(figures, (QList<int>{46, 92, 100}));
        QCOMPARE(request.Transferred(), 130);
        QCOMPARE(request.Count(), 130);
    }

    void chunksAcrossRanges()
    {
        // Ranges are taken as given: not merged, each chunked on its own.
        Request request({{513, 1}, {515, 60}, {515, 2}}, 60);
        QCOMPARE(request.NextChunk(), (VarRange{513, 1}));
        QCOMPARE(request.NextChunk(), (VarRange{515, 60}));
        QCOMPARE(request.NextChunk(), (VarRange{515, 2}));
        QVERIFY(request.NextChunk().isEmpty());
        QCOMPARE(request.Count(), 63);
    }

    void unlimitedChunks()
    {
        Request request({{0, 1000}, {5000, 3}}, -1);
        QCOMPARE(request.NextChunk(), (VarRange{0, 1000}));
        QCOMPARE(request.NextChunk(), (VarRange{5000, 3}));
        QVERIFY(request.NextChunk().isEmpty());
    }

    void emptyRangeDoesNotEndIteration()
    {
        Request request({{10, 0}, {20, 2}}, 60);
        QCOMPARE(request.NextChunk(), (VarRange{20, 2}));
        QVERIFY(request.NextChunk().isEmpty());
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

    void valueBits()
    {
        QCOMPARE(ValueBits(Value{1.5f}), 0x3FC00000u);
        QCOMPARE(ValueBits(Value{-1}), 0xFFFFFFFFu);
        QCOMPARE(ValueBits(Value{-2.0f}), 0xC0000000u);
    }
};

QTEST_GUILESS_MAIN(TestRequests)
#include "tst_requests.moc"
