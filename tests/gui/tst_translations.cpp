// The Czech translation keeps its placeholders and accelerators, and is
// compiled into the resources the program loads.
#include "app/startup.h"
#include "privatenetwork.h"

#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void placeholdersAndAcceleratorsKept()
    {
        static const QRegularExpression placeholder(QStringLiteral("%(\\d+|N)"));
        const auto marks = [](const QString &text) {
            QStringList found{QString::number(text.count(QLatin1Char('&')))};
            for (const auto &match : placeholder.globalMatch(text))
                found.append(match.captured());
            found.sort();
            return found;
        };
        QFile file(QStringLiteral(VRK6_SOURCE_DIR "/src/resources/translations/tavix_cs.ts"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString source;
        int checked = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText();
            } else if (xml.name() == QLatin1String("translation")) {
                QVERIFY2(marks(source) == marks(xml.readElementText()), qPrintable(source));
                ++checked;
            }
        }
        QVERIFY(!xml.hasError());
        QVERIFY(checked > 50);
    }

    void compiledTranslationsLoad()
    {
        const QString zoom = QStringLiteral("Zvětšit okno");
        installTranslations(QLocale(QStringLiteral("cs")));
        QCOMPARE(QCoreApplication::translate("MainWindow", "Zoom Window"), zoom);
        QCOMPARE(QCoreApplication::translate("MessageBox", "Please Wait"),
                 QStringLiteral("Čekejte prosím"));
        // Qt's own texts come along where the system has them.
        if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                          QStringLiteral("/qtbase_cs.qm")))
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                     QStringLiteral("Zrušit"));
        // A language without files changes nothing and breaks nothing.
        installTranslations(QLocale(QStringLiteral("xx")));
        QCOMPARE(QCoreApplication::translate("MainWindow", "Zoom Window"), zoom);
    }
};

VRK6_GUI_TEST_MAIN(TestTranslations, false)
#include "tst_translations.moc"
