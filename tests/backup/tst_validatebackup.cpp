#include "backup/validatebackup.h"
#include "backupdata.h"

#include <QResource>
#include <QTest>

using namespace BackupData;

class TestValidateBackup : public QObject
{
    Q_OBJECT
private slots:
    void schemaResource();
    void documents_data();
    void documents();
    void reportOfTwoErrors();
    void longMemberName();
};

void TestValidateBackup::schemaResource()
{
    initBackupResources();
    const QResource resource(QStringLiteral(":/backup_schema.json"));
    QVERIFY(resource.isValid());
    QVERIFY(resource.compressionAlgorithm() != QResource::NoCompression);
    const QJsonObject schema = QJsonDocument::fromJson(resource.uncompressedData()).object();
    QCOMPARE(schema.value("$schema").toString(),
             QStringLiteral("http://json-schema.org/draft-06/schema#"));
    QCOMPARE(schema.value("$ref").toString(), QStringLiteral("#/definitions/VrkBackupFile"));
}

// valid: whether the document passes; context: what the first error's
// context line must hold (empty when valid).
void TestValidateBackup::documents_data()
{
    QTest::addColumn<QJsonDocument>("document");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("context");

    const QJsonObject stamp{{"_machine", "VrkC1"}, {"_version", 8}};
    auto with = [&stamp](const QString &key, const QJsonValue &value) {
        QJsonObject root = stamp;
        root.insert(key, value);
        return QJsonDocument(root);
    };

    QTest::newRow("full") << QJsonDocument(full()) << true << QString();
    QTest::newRow("stamp only") << QJsonDocument(stamp) << true << QString();
    QTest::newRow("root array") << QJsonDocument(QJsonArray{stamp}) << false
                                << QStringLiteral("context: <root>");
    QTest::newRow("255 techparams")
        << with("techparams", QJsonObject{{"values", numbers(255)}}) << false
        << QStringLiteral("context: <root>[techparams][values]");
    QTest::newRow("257 rparams") << with("rparams", QJsonObject{{"values", numbers(257)}}) << false
                                 << QStringLiteral("[rparams][values]");
    QTest::newRow("techparams without values")
        << with("techparams", QJsonObject{}) << false << QStringLiteral("[techparams]");
    // No "type" on these two: another JSON type passes and reads as empty.
    QTest::newRow("techparams as number") << with("techparams", 5) << true << QString();
    QTest::newRow("text among numbers")
        << with("coordsys", QJsonObject{{"G54", QJsonArray{1, 2, 3, 4, "5", 6, 7, 8}}}) << false
        << QStringLiteral("[coordsys][G54][4]");
    QTest::newRow("G53") << with("coordsys", QJsonObject{{"G53", numbers(8)}}) << false
                         << QStringLiteral("[coordsys]");
    QTest::newRow("G54-G59") << with("coordsys", rows("G", 54, 59, 8, 0.0)) << true << QString();
    QTest::newRow("G55 of 7") << with("coordsys", QJsonObject{{"G55", numbers(7)}}) << false
                              << QStringLiteral("[coordsys][G55]");
    QTest::newRow("T10") << with("tools", QJsonObject{{"T10", numbers(8)}}) << false
                         << QStringLiteral("[tools]");
    QTest::newRow("T0") << with("tools", QJsonObject{{"T0", numbers(8)}}) << false
                        << QStringLiteral("[tools]");
    QTest::newRow("T1-T9") << with("tools", rows("T", 1, 9, 8, 0.0)) << true << QString();
    QTest::newRow("tooth T123") << with("teeth",
                                        QJsonObject{{"L9", QJsonObject{{"T123", numbers(64)}}}})
                                << true << QString();
    QTest::newRow("tooth X1") << with("teeth",
                                      QJsonObject{{"L1", QJsonObject{{"X1", numbers(64)}}}})
                              << false << QStringLiteral("[teeth][L1]");
    QTest::newRow("shape L0") << with("teeth", QJsonObject{{"L0", QJsonObject{}}}) << false
                              << QStringLiteral("[teeth]");
    QTest::newRow("tooth of 63") << with("teeth",
                                         QJsonObject{{"L2", QJsonObject{{"T1", numbers(63)}}}})
                                 << false << QStringLiteral("[teeth][L2][T1]");
    QTest::newRow("_version -1") << with("_version", -1) << false << QStringLiteral("[_version]");
    QTest::newRow("_version 0") << with("_version", 0) << true << QString();
    QTest::newRow("_version 1.5") << with("_version", 1.5) << false << QStringLiteral("[_version]");
    QTest::newRow("_machine number")
        << with("_machine", 7) << false << QStringLiteral("[_machine]");
    QTest::newRow("no _machine") << QJsonDocument(QJsonObject{{"_version", 1}}) << false
                                 << QStringLiteral("context: <root>");
    QTest::newRow("other keys") << with("comment", QJsonArray{QJsonObject{{"x", 1}}}) << true
                                << QString();
    // Only the lower-case names are constrained.
    QTest::newRow("TECHPARAMS") << with("TECHPARAMS", QJsonObject{{"values", numbers(3)}}) << true
                                << QString();
}

void TestValidateBackup::documents()
{
    QFETCH(QJsonDocument, document);
    QFETCH(bool, valid);
    QFETCH(QString, context);

    const auto result = validateBackup(document);
    QCOMPARE(result.has_value(), valid);
    if (valid)
        return;
    const QStringList report = result.error();
    QVERIFY2(report.size() >= 3 && report.size() % 3 == 0, qPrintable(report.join('\n')));
    QCOMPARE(report.at(0), QStringLiteral("Validation error #1"));
    QVERIFY2(report.at(1).startsWith(QLatin1String("context: <root>")) &&
                 report.at(1).contains(context),
             qPrintable(report.join('\n')));
    QVERIFY(report.at(2).startsWith(QLatin1String("desc: ")));
    QVERIFY(report.at(2).size() > 6);
}

void TestValidateBackup::reportOfTwoErrors()
{
    // Both stamp members missing: one error each.
    const auto result = validateBackup(QJsonDocument(QJsonObject{{"comment", "x"}}));
    QVERIFY(!result);
    const QStringList expected{
        "Validation error #1", "context: <root>", "desc: Missing required property '_machine'.",
        "Validation error #2", "context: <root>", "desc: Missing required property '_version'.",
    };
    QCOMPARE(result.error(), expected);
}

// The schema runs std::regex over member names inside the sections, which
// recurses once per character: a long name must be refused before that.
void TestValidateBackup::longMemberName()
{
    QJsonObject root = full();
    QJsonObject teeth = root.value("teeth").toObject();
    QJsonObject shape = teeth.value("L1").toObject();
    // "T" and digits matches the tooth pattern, the worst case for the regex.
    const QString hostile = QLatin1Char('T') + QString(199999, QLatin1Char('7'));
    shape.insert(hostile, numbers(64));
    teeth.insert("L1", shape);
    root.insert("teeth", teeth);

    const auto result = validateBackup(QJsonDocument(root));
    QVERIFY(!result);
    QCOMPARE(result.error().size(), 3);
    QVERIFY2(result.error().at(2).contains(QLatin1String("200000")),
             qPrintable(result.error().join('\n')));

    // The longest allowed name is still validated by the schema.
    shape.remove(hostile);
    shape.insert(QLatin1Char('T') + QString(MaxBackupMemberName - 1, QLatin1Char('7')),
                 numbers(64));
    teeth.insert("L1", shape);
    root.insert("teeth", teeth);
    QVERIFY(validateBackup(QJsonDocument(root)));
}

QTEST_GUILESS_MAIN(TestValidateBackup)
#include "tst_validatebackup.moc"
