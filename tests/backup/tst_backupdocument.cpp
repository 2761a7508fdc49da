#include "backup/backupdocument.h"
#include "backup/backupfile.h"
#include "backupdata.h"
#include "model/parametergroup.h"
#include "model/tablemodel.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace BackupData;

class TestBackupDocument : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void stampOnly();
    void rejected_data();
    void rejected();
    void unknownKeysAndLetterCase();
    void roundTrip();
    void editsAndVersion();
    void importAnotherMachine();
    void exports();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestBackupDocument::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestBackupDocument::stampOnly()
{
    QVERIFY(write(path("in.vrk"), QJsonObject{{"_machine", "VrkA2"}, {"_version", 3}}));
    BackupDocument document;
    QSignalSpy titles(&document, &BackupDocument::titleChanged);
    QVERIFY(document.load(path("in.vrk")));
    QVERIFY(document.groupTags().isEmpty());
    QCOMPARE(document.version(), ModelVersion(VrkA2, 3));
    QCOMPARE(document.fileName(), path("in.vrk"));
    QVERIFY(!document.isUntouched());
    QVERIFY(!document.isDirty());
    QCOMPARE(titles.size(), 1);

    QVERIFY(document.save(path("out.vrk")));
    QCOMPARE(read(path("out.vrk")), QByteArray(R"({"_machine":"VrkA2","_version":3})"));
}

// Each file must be refused with a message that holds the text given, and a
// document that fails to load it stays as it was.
void TestBackupDocument::rejected_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    auto json = [](QJsonObject root) { return QJsonDocument(root).toJson(); };
    QJsonObject huge = full();
    huge.insert("tools", QJsonObject{{"T2", QJsonArray{1, 2, 3, 1e300, 5, 6, 7, 8}}});

    QTest::newRow("negative version")
        << json({{"_machine", "VrkC1"}, {"_version", -1}})
        << QStringLiteral("Validation error #1\ncontext: <root>[_version]\ndesc: ");
    QTest::newRow("no _machine") << json({{"_version", 2}})
                                 << QStringLiteral("desc: Missing required property '_machine'.");
    QTest::newRow("malformed") << QByteArray(R"({"_machine":"VrkC1",)")
                               << QStringLiteral("Error: unterminated object on position 20");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("on position 0");
    // Would be sent to the machine as infinity.
    QTest::newRow("beyond float") << json(huge)
                                  << QStringLiteral("Section tools holds the number 1e+300");
    QTest::newRow("too large") << QByteArray(BackupFile::MaxFileSize + 1, ' ')
                               << QStringLiteral("larger than 4194304 bytes");
}

void TestBackupDocument::rejected()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QVERIFY(write(path("bad.vrk"), bytes));

    BackupFile file(path("bad.vrk"));
    const auto loaded = file.load();
    QVERIFY(!loaded);
    QVERIFY2(loaded.error().contains(message), qPrintable(loaded.error()));
    QVERIFY(!file.machine().isValid());

    BackupDocument document;
    QVERIFY(!document.load(path("bad.vrk")));
    QVERIFY(!document.import(path("bad.vrk")));
    QCOMPARE(document.groupTags().size(), 5);
    QVERIFY(document.fileName().isEmpty());
    QVERIFY(document.isUntouched());
    QVERIFY(!document.isDirty());
}

void TestBackupDocument::unknownKeysAndLetterCase()
{
    QJsonObject root{{"_machine", "NoSuchMachine"}, {"_version", 4}, {"comment", "kept out"}};
    root.insert("TechParams", QJsonObject{{"values", numbers(256, 9.0)}});
    root.insert("RPARAMS", 12); // not an object: an empty section
    QVERIFY(write(path("in.vrk"), root));

    BackupFile file(path("in.vrk"));
    QVERIFY(file.load());
    QCOMPARE(file.machine(), ModelVersion(Unknown, 4));
    QVERIFY(file.hasSection(GroupTags::TechParams));
    QVERIFY(file.hasSection(GroupTags::RParams));
    QVERIFY(file.section(GroupTags::RParams).isEmpty());
    QVERIFY(!file.hasSection(GroupTags::Teeth));

    BackupDocument document;
    QVERIFY(document.load(path("in.vrk")));
    QCOMPARE(document.groupTags(), QList<int>({1, 2}));
    QCOMPARE(document.group(1)->value(255).value(), 9.0 + 255 * 0.25);
    QVERIFY(document.save(path("out.vrk")));
    const QJsonObject saved = QJsonDocument::fromJson(read(path("out.vrk"))).object();
    QCOMPARE(saved.keys(), QStringList({"_machine", "_version", "rparams", "techparams"}));
    QCOMPARE(saved.value("_machine").toString(), QStringLiteral("Unknown"));
}

void TestBackupDocument::roundTrip()
{
    const QJsonObject original = full(QStringLiteral("VrkE1"), 11);
    QVERIFY(write(path("in.vrk"), original));
    BackupDocument document;
    QVERIFY(document.load(path("in.vrk")));
    QCOMPARE(document.groupTags(), QList<int>({1, 2, 3, 4, 5}));
    QCOMPARE(document.group(GroupTags::Teeth)->value(8 * 640 + 9 * 64 + 63).value(),
             3.0 + 900 + 9 + 63 * 0.25);
    QVERIFY(!document.isDirty());

    QVERIFY(document.save(path("out.vrk")));
    const QByteArray bytes = read(path("out.vrk"));
    QVERIFY(!bytes.contains('\n') && !bytes.contains(' '));
    qsizetype last = -1;
    for (const char *key :
         {"_machine", "_version", "coordsys", "rparams", "techparams", "teeth", "tools"}) {
        const qsizetype at = bytes.indexOf(QByteArray("\"") + key + "\":");
        QVERIFY2(at > last, key);
        last = at;
    }

    BackupFile file(path("out.vrk"));
    QVERIFY(file.load());
    QCOMPARE(file.machine(), ModelVersion(VrkE1, 11));
    for (int tag = 1; tag <= 5; ++tag) {
        QVERIFY(file.hasSection(tag));
        // Tools row T0 is not written, so the file's section is the original.
        QCOMPARE(file.section(tag), original.value(ParameterGroup::groupName(tag)).toObject());
    }
}

void TestBackupDocument::editsAndVersion()
{
    BackupDocument document;
    QCOMPARE(document.version(), ModelVersion(VrkC1, 6));
    QVERIFY(document.isUntouched());
    QSignalSpy dirty(&document, &BackupDocument::dirtyChanged);
    QSignalSpy versions(&document, &BackupDocument::versionChanged);
    QSignalSpy titles(&document, &BackupDocument::titleChanged);

    TableModel *model = document.createModel(GroupTags::Tools);
    QCOMPARE(model->activeVersion(), ModelVersion(VrkC1, 6));
    document.setVersion(ModelVersion(VrkD1, 9));
    document.setVersion(ModelVersion(VrkD1, 9));
    QCOMPARE(versions.size(), 1);
    QCOMPARE(titles.size(), 1);
    QCOMPARE(model->activeVersion(), ModelVersion(VrkD1, 9));

    QVERIFY(model->setData(model->index(2, 3), 4.5, Qt::EditRole));
    QVERIFY(document.isDirty());
    QVERIFY(!document.isUntouched());
    QCOMPARE(dirty.size(), 1);
    QCOMPARE(dirty.at(0).at(0).toBool(), true);

    QVERIFY(document.save(path("edited.vrk")));
    QVERIFY(!document.isDirty());
    QCOMPARE(dirty.size(), 2);
    QCOMPARE(document.fileName(), path("edited.vrk"));
    BackupFile file(path("edited.vrk"));
    QVERIFY(file.load());
    QCOMPARE(file.machine(), ModelVersion(VrkD1, 9));
    QCOMPARE(file.section(GroupTags::Tools).value("T2").toArray().at(3).toDouble(), 4.5);

    // A dirty document that loads a file without sections is clean after.
    QVERIFY(model->setData(model->index(2, 3), 5.5, Qt::EditRole));
    QVERIFY(document.isDirty());
    QVERIFY(write(path("empty.vrk"), QJsonObject{{"_machine", "VrkB1"}, {"_version", 0}}));
    QVERIFY(document.load(path("empty.vrk")));
    QVERIFY(!document.isDirty());
    QVERIFY(document.addGroup(GroupTags::Coordsys));
    QVERIFY(!document.addGroup(GroupTags::Coordsys));
}

void TestBackupDocument::importAnotherMachine()
{
    QVERIFY(write(path("coordsys.vrk"), QJsonObject{{"_machine", "VrkC1"},
                                                    {"_version", 6},
                                                    {"coordsys", rows("G", 54, 59, 8, 0.0)}}));
    QVERIFY(write(path("zum.vrk"), full(QStringLiteral("ZumB1"), 2)));

    BackupDocument document;
    QVERIFY(document.load(path("coordsys.vrk")));
    QVERIFY(!document.isDirty());
    const QJsonObject zum = full(QStringLiteral("ZumB1"), 2);
    const auto mask = document.import(path("zum.vrk"));
    QVERIFY(mask);
    QCOMPARE(*mask, (1 << 1) | (1 << 2) | (1 << 4) | (1 << 5));
    QCOMPARE(document.version(), ModelVersion(VrkC1, 6));
    QCOMPARE(document.fileName(), path("coordsys.vrk"));
    QVERIFY(document.isDirty());
    // Imported numbers arrive as edits over what the document held.
    const ParameterValue &g55 = document.group(GroupTags::Coordsys)->value(1 * 8 + 2);
    QVERIFY(g55.isModified());
    QCOMPARE(g55.storedValue(), 55.0 + 2 * 0.25);
    QCOMPARE(g55.value(), 0.125 + 55 + 2 * 0.25);
    QCOMPARE(document.group(GroupTags::Tools)->value(9 * 8 + 7).value(), 10.0 + 9 + 7 * 0.25);
    QCOMPARE(document.group(GroupTags::Tools)->value(0).value(), 0.0);
}

void TestBackupDocument::exports()
{
    QVERIFY(write(path("in.vrk"), full(QStringLiteral("VrkA3"), 5)));
    BackupDocument document;
    QVERIFY(document.load(path("in.vrk")));
    TableModel *model = document.createModel(GroupTags::TechParams);
    QVERIFY(model->setData(model->index(3, 0), 77.0, Qt::EditRole));
    QVERIFY(document.isDirty());

    QVERIFY(document.exportWithoutTeeth(path("noteeth.vrk")));
    QVERIFY(document.exportGroup(GroupTags::Coordsys, path("coordsys.vrk")));
    QVERIFY(document.isDirty());
    QCOMPARE(document.fileName(), path("in.vrk"));

    BackupFile noTeeth(path("noteeth.vrk"));
    QVERIFY(noTeeth.load());
    QCOMPARE(noTeeth.machine(), ModelVersion(VrkA3, 5));
    QVERIFY(!noTeeth.hasSection(GroupTags::Teeth));
    for (int tag = 1; tag <= 4; ++tag)
        QVERIFY(noTeeth.hasSection(tag));
    QCOMPARE(noTeeth.section(GroupTags::TechParams).value("values").toArray().at(3).toDouble(),
             77.0);

    const QJsonObject coordsys = QJsonDocument::fromJson(read(path("coordsys.vrk"))).object();
    QCOMPARE(coordsys.keys(), QStringList({"_machine", "_version", "coordsys"}));
}

QTEST_GUILESS_MAIN(TestBackupDocument)
#include "tst_backupdocument.moc"
