// The Czech translation: complete, its placeholders and accelerators intact,
// and compiled into the resources the program loads.
#include "app/startup.h"
#include "privatenetwork.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {
struct Message
{
    QString context, source, translation, type;
};

QList<Message> ReadTs(const QString &path)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            current = Message{context, xml.readElementText(), {}, {}};
        } else if (xml.name() == QLatin1String("translation")) {
            current.type = xml.attributes().value(QLatin1String("type")).toString();
            current.translation = xml.readElementText();
            messages.append(current);
        }
    }
    return messages;
}

QStringList Placeholders(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("%(\\d+|N)"));
    QStringList found;
    for (const auto &match : pattern.globalMatch(text))
        found.append(match.captured());
    found.sort();
    return found;
}
} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void czechIsComplete();
    void compiledTranslationsLoad();
};

void TestTranslations::czechIsComplete()
{
    const QList<Message> messages =
        ReadTs(QStringLiteral(VRK6_SOURCE_DIR "/src/resources/translations/tavix_cs.ts"));
    QVERIFY(messages.size() > 50);
    for (const Message &m : messages) {
        const QString where = m.context + QStringLiteral(": ") + m.source;
        QVERIFY2(m.type.isEmpty() && !m.translation.isEmpty(), qPrintable(where));
        QVERIFY2(Placeholders(m.source) == Placeholders(m.translation), qPrintable(where));
        QVERIFY2(m.source.count(QLatin1Char('&')) == m.translation.count(QLatin1Char('&')),
                 qPrintable(where));
    }
}

void TestTranslations::compiledTranslationsLoad()
{
    installTranslations(QLocale(QStringLiteral("cs")));
    QCOMPARE(QCoreApplication::translate("MainWindow", "Zoom Window"),
             QStringLiteral("Zvětšit okno"));
    QCOMPARE(QCoreApplication::translate("MessageBox", "Please Wait"),
             QStringLiteral("Čekejte prosím"));
    // Qt's own texts come along where the system has them.
    if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                      QStringLiteral("/qtbase_cs.qm")))
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Zrušit"));
    // A language without files changes nothing and breaks nothing.
    installTranslations(QLocale(QStringLiteral("xx")));
    QCOMPARE(QCoreApplication::translate("MainWindow", "Zoom Window"),
             QStringLiteral("Zvětšit okno"));
}

VRK6_GUI_TEST_MAIN(TestTranslations)
#include "tst_translations.moc"
