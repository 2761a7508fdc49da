#include "validatecommand.h"

#include "backup/backupfile.h"
#include "model/parametergroup.h"

#include <QJsonArray>

ValidateCommand::ValidateCommand(QObject *parent)
    : Command(QStringLiteral("validate"), Files, parent)
{
}

QString ValidateCommand::summary() const
{
    return QStringLiteral("Checks backup files as the program loads them (JSON form, schema, "
                          "value range) and prints the numbered report of each broken one.");
}

Result<void> ValidateCommand::take(const QCommandLineParser &parser)
{
    m_files = parser.positionalArguments();
    if (m_files.isEmpty())
        return std::unexpected(QStringLiteral("name at least one backup file"));
    return {};
}

void ValidateCommand::start()
{
    for (const QString &name : m_files) {
        BackupFile file(name);
        const auto loaded = file.load();
        QJsonObject json{{QStringLiteral("file"), name}, {QStringLiteral("ok"), bool(loaded)}};
        if (!loaded) {
            const QStringList report = loaded.error().split(QLatin1Char('\n'));
            json.insert(QStringLiteral("report"), QJsonArray::fromStringList(report));
            m_out.failure(name, QStringLiteral("invalid"));
            for (const QString &line : report)
                m_out.text(name + QStringLiteral(": ") + line);
        } else {
            QStringList sections;
            for (int tag = GroupTags::TechParams; tag <= GroupTags::Teeth; ++tag) {
                if (file.hasSection(tag))
                    sections.append(ParameterGroup::groupName(tag));
            }
            json.insert(QStringLiteral("machine"),
                        MachineDescription::machineTypeName(file.machine().type()));
            json.insert(QStringLiteral("modelVersion"), qint64(file.machine().version()));
            json.insert(QStringLiteral("sections"), QJsonArray::fromStringList(sections));
            m_out.text(QStringLiteral("%1: valid, %2, sections: %3")
                           .arg(name, file.machine().toString(),
                                sections.isEmpty() ? QStringLiteral("none")
                                                   : sections.join(QStringLiteral(", "))));
        }
        m_out.result(json);
    }
    done();
}
