// The translations are compiled into the resources the program loads, and
// Qt's own come along.
#include "app/startup.h"
#include "model/parametertable.h"
#include "privatenetwork.h"

#include <QFile>
#include <QLibraryInfo>

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void compiledTranslationsLoad()
    {
        const QString zoom = QStringLiteral("Zvětšit okno");
        installTranslations(QLocale(QStringLiteral("cs")));
        QCOMPARE(QCoreApplication::translate("MainWindow", "Zoom Window"), zoom);
        QCOMPARE(QCoreApplication::translate("MessageBox", "Please Wait"),
                 QStringLiteral("Čekejte prosím"));
        // Table headers the model makes follow the language too.
        QCOMPARE(ParameterTable::axisItems().last().label(), QStringLiteral("Osa 7"));
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
