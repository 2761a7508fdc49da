#include "backup/backupdocument.h"
#include "backup/backupimport.h"
#include "backupdata.h"
#include "model/parametergroup.h"
#include "model/techparameters.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace BackupData;

namespace {

using Filled = QMap<qsizetype, qsizetype>; // current index <- old index

// Ranges {first, last, oldFirst} paired element by element.
Filled ranges(std::initializer_list<std::array<qsizetype, 3>> list)
{
    Filled filled;
    for (const auto &[first, last, oldFirst] : list) {
        for (qsizetype i = first; i <= last; ++i)
            filled.insert(i, oldFirst + i - first);
    }
    return filled;
}

QList<qsizetype> span(qsizetype first, qsizetype last)
{
    QList<qsizetype> list;
    for (qsizetype i = first; i <= last; ++i)
        list.append(i);
    return list;
}

// Old value k is 100 + k, so every taken value tells where it came from.
QJsonArray oldValues(qsizetype count)
{
    return numbers(count, 100.0, 1.0);
}

const Filled CvrkLevel1 = ranges({{0, 12, 0},
                                  {15, 25, 13},
                                  {28, 28, 25},
                                  {29, 29, 27},
                                  {30, 30, 28},
                                  {31, 32, 30},
                                  {33, 52, 33}});

} // namespace

class TestBackupImport : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void imports_data();
    void imports();
    void refused_data();
    void refused();
    void notNumbers();
    void tellsTheDocument();

private:
    QString write(const QJsonObject &root);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestBackupImport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestBackupImport::write(const QJsonObject &root)
{
    const QString path = m_dir->filePath(QStringLiteral("old.cvrk"));
    if (!BackupData::write(path, root))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestBackupImport::imports_data()
{
    QTest::addColumn<QJsonObject>("root");
    QTest::addColumn<ModelVersion>("version");
    QTest::addColumn<BackupFamily>("family");
    QTest::addColumn<int>("level");
    QTest::addColumn<Filled>("filled");
    QTest::addColumn<QList<qsizetype>>("missed");

    // VrkD1 v8 has rows 0-59, 76 and 77; VrkC1 lacks 13, 14, 19, 24, 26, 27.
    const ModelVersion d1(VrkD1, 8);
    const QList<qsizetype> level1Missed =
        QList<qsizetype>{13, 14, 26, 27} + span(53, 59) + QList<qsizetype>{76, 77};
    Filled c1Level1 = CvrkLevel1;
    c1Level1.remove(19);
    c1Level1.remove(24);
    Filled level2 = CvrkLevel1;
    level2.insert(53, 32);
    Filled level5 = level2;
    level5.insert(57, 29);

    QTest::newRow("CVRK 1") << QJsonObject{{"machine", "CVRK"},
                                           {"dataLevel", 1},
                                           {"techparams", oldValues(53)},
                                           {"rparams", oldValues(2)}}
                            << d1 << BackupFamily::Cvrk << 1 << CvrkLevel1 << level1Missed;
    QTest::newRow("CVRK 1 on VrkC1")
        << QJsonObject{{"dataLevel", 1}, {"techparams", oldValues(53)}} << ModelVersion(VrkC1, 8)
        << BackupFamily::Cvrk << 1 << c1Level1 << span(53, 59) + QList<qsizetype>{76, 77};
    QTest::newRow("CVRK 5") << QJsonObject{{"machine", "CVRK"},
                                           {"dataLevel", 5},
                                           {"techparams", oldValues(53)}}
                            << d1 << BackupFamily::Cvrk << 5 << level5
                            << QList<qsizetype>{13, 14, 26, 27, 54, 55, 56, 58, 59, 76, 77};
    // Too short an old array: what lies past its end is not imported.
    QTest::newRow("CVRK 3 short")
        << QJsonObject{{"machine", "CVRK"}, {"dataLevel", 3}, {"techparams", oldValues(20)}} << d1
        << BackupFamily::Cvrk << 3 << ranges({{0, 12, 0}, {15, 21, 13}})
        << QList<qsizetype>{13, 14} + span(22, 59) + QList<qsizetype>{76, 77};
    QTest::newRow("VRK 3") << QJsonObject{{"machine", "VRK"},
                                          {"dataLevel", 3},
                                          {"type", "global"},
                                          {"techparams", oldValues(60)}}
                           << d1 << BackupFamily::Vrk << 3 << ranges({{0, 56, 0}})
                           << QList<qsizetype>{57, 58, 59, 76, 77};
    // Family texts compare exactly; anything else counts as CVRK.
    QTest::newRow("single section, other family text")
        << QJsonObject{{"machine", "vrk"},
                       {"dataLevel", 2},
                       {"type", "TECHPARAMS"},
                       {"values", oldValues(53)}}
        << d1 << BackupFamily::Cvrk << 2 << level2
        << QList<qsizetype>{13, 14, 26, 27} + span(54, 59) + QList<qsizetype>{76, 77};
    // No techparams at all: every active parameter is listed.
    QTest::newRow("only tools") << QJsonObject{{"type", "Tools"}, {"values", oldValues(3)}} << d1
                                << BackupFamily::Cvrk << 1 << Filled()
                                << span(0, 59) + QList<qsizetype>{76, 77};
}

void TestBackupImport::imports()
{
    QFETCH(QJsonObject, root);
    QFETCH(ModelVersion, version);
    QFETCH(BackupFamily, family);
    QFETCH(int, level);
    QFETCH(Filled, filled);
    QFETCH(QList<qsizetype>, missed);

    BackupImport import(write(root));
    QVERIFY(import.load());
    QCOMPARE(import.family(), family);
    QCOMPARE(import.dataLevel(), level);
    QVERIFY(import.selectMapping());
    QVERIFY(import.parseSections());

    TechParameters group;
    for (qsizetype i = 0; i < group.valueCount(); ++i)
        group.value(i).reset(-1.0);
    QCOMPARE(import.importTechParams(&group, version), missed);
    for (qsizetype i = 0; i < group.valueCount(); ++i) {
        const double expected = filled.contains(i) ? 100.0 + filled.value(i) : -1.0;
        QVERIFY2(group.value(i).value() == expected, qPrintable(QString::number(i)));
        QCOMPARE(group.value(i).isModified(), filled.contains(i));
    }
}

// message: empty when the file is refused by selectMapping, else the text
// of load() or parseSections().
void TestBackupImport::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    auto json = [](const QJsonObject &root) { return QJsonDocument(root).toJson(); };
    QTest::newRow("VRK 1") << json({{"machine", "VRK"}, {"dataLevel", 1}, {"techparams", {}}})
                           << QString();
    QTest::newRow("ZUM") << json({{"machine", "ZUM"}, {"dataLevel", 2}}) << QString();
    QTest::newRow("CVRK 6") << json({{"dataLevel", 6}}) << QString();
    QTest::newRow("type Global") << json({{"type", "Global"}, {"values", QJsonArray{1}}})
                                 << QStringLiteral("Section Global unknown.");
    QTest::newRow("notes") << json({{"notes", "x"}, {"techparams", QJsonArray{1}}})
                           << QStringLiteral("Section notes is not an array.");
    QTest::newRow("unknown array") << json({{"techparams", QJsonArray{1}}, {"axes", QJsonArray{}}})
                                   << QStringLiteral("Section axes unknown.");
    QTest::newRow("no values") << json({{"type", "rparams"}, {"value", QJsonArray{}}})
                               << QStringLiteral("Section values missing or is not an array.");
    QTest::newRow("values not array")
        << json({{"type", "rparams"}, {"values", 3}})
        << QStringLiteral("Section values missing or is not an array.");
    QTest::newRow("malformed") << QByteArray("{\"machine\": \"CVRK\"")
                               << QStringLiteral("Error: unterminated string on position 18");
}

void TestBackupImport::refused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString path = m_dir->filePath(QStringLiteral("bad.cvrk"));
    QVERIFY(BackupData::write(path, bytes));

    BackupImport import(path);
    const auto loaded = import.load();
    if (!loaded) {
        QCOMPARE(loaded.error(), message);
        return;
    }
    if (message.isEmpty()) {
        QVERIFY(!import.selectMapping());
        return;
    }
    QVERIFY(import.selectMapping());
    const auto parsed = import.parseSections();
    QVERIFY(!parsed);
    QCOMPARE(parsed.error(), message);
}

// Null, text and numbers no 32-bit float holds leave the value as it was.
void TestBackupImport::notNumbers()
{
    QJsonArray old = oldValues(53);
    old[0] = QJsonValue::Null;
    old[1] = QStringLiteral("12");
    old[2] = true;
    old[3] = 1e300;
    old[4] = -1e39;
    old[5] = 3.4e38;
    BackupImport import(write({{"machine", "CVRK"}, {"dataLevel", 2}, {"techparams", old}}));
    QVERIFY(import.load());
    QVERIFY(import.selectMapping());
    QVERIFY(import.parseSections());
    TechParameters group;
    const auto missed = import.importTechParams(&group, ModelVersion(VrkC1, 8));
    QCOMPARE(missed.mid(0, 5), QList<qsizetype>({0, 1, 2, 3, 4}));
    for (qsizetype i = 0; i < 5; ++i) {
        QCOMPARE(group.value(i).value(), 0.0);
        QVERIFY(!group.value(i).isModified());
    }
    QCOMPARE(group.value(5).value(), 3.4e38);
}

// The import changes values behind the group's back; unless the group tells,
// the document stays clean and could be closed without the save question.
void TestBackupImport::tellsTheDocument()
{
    BackupDocument document;
    ParameterGroup *group = document.group(GroupTags::TechParams);
    QSignalSpy whole(group, &ParameterGroup::DataChangedPrivate);
    QSignalSpy dirty(&document, &BackupDocument::dirtyChanged);

    BackupImport empty(write({{"dataLevel", 1}, {"techparams", QJsonArray{}}}));
    QVERIFY(empty.load() && empty.selectMapping() && empty.parseSections());
    empty.importTechParams(group, document.version());
    QCOMPARE(whole.size(), 0);
    QVERIFY(!document.isDirty());

    BackupImport import(write({{"dataLevel", 1}, {"techparams", oldValues(53)}}));
    QVERIFY(import.load() && import.selectMapping() && import.parseSections());
    import.importTechParams(group, document.version());
    QCOMPARE(whole.size(), 1);
    QVERIFY(document.isDirty());
    QCOMPARE(dirty.size(), 1);
    QVERIFY(!document.isUntouched());
}

QTEST_GUILESS_MAIN(TestBackupImport)
#include "tst_backupimport.moc"
