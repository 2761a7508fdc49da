#include "convertcommand.h"

#include "backup/backupfile.h"
#include "backup/backupimport.h"
#include "model/groupfactory.h"
#include "model/parametergroup.h"

#include <QFileInfo>
#include <QJsonArray>

#include <memory>

ConvertCommand::ConvertCommand(QObject *parent) : Command(QStringLiteral("convert"), Files, parent)
{
}

QString ConvertCommand::summary() const
{
    return QStringLiteral(
        "Converts a version 5 backup into a new backup file for the machine type and data-model "
        "version given. Only the technological parameters are taken over; those that could not "
        "be are listed and must be checked; the file holds no number for them, so a restore "
        "leaves them as the machine has them.");
}

void ConvertCommand::addOptions(QCommandLineParser &parser)
{
    parser.addOptions(
        {{{QStringLiteral("o"), QStringLiteral("output")},
          QStringLiteral("The new backup file (.vrk)."),
          QStringLiteral("FILE")},
         {QStringLiteral("type"),
          QStringLiteral("Machine type: VrkA1, VrkB1, VrkA2, VrkB2, VrkA3, VrkC1, ZumB1, VrkD1 "
                         "or VrkE1."),
          QStringLiteral("TYPE")},
         {QStringLiteral("model-version"), QStringLiteral("Data-model version."),
          QStringLiteral("N")},
         {QStringLiteral("overwrite"), QStringLiteral("Replace an existing output file.")}});
}

Result<void> ConvertCommand::take(const QCommandLineParser &parser)
{
    const QStringList args = parser.positionalArguments();
    if (args.size() != 1)
        return std::unexpected(QStringLiteral("name one version 5 backup file"));
    m_source = args.first();
    m_target = parser.value(QStringLiteral("output"));
    if (m_target.isEmpty())
        return std::unexpected(QStringLiteral("give the new file with -o FILE"));
    const MachineType type =
        MachineDescription::machineTypeFromName(parser.value(QStringLiteral("type")));
    if (!(machineBit(type) & MachineMasks::Selectable))
        return std::unexpected(QStringLiteral("--type: give a machine type such as VrkC1"));
    bool ok = false;
    const uint version = parser.value(QStringLiteral("model-version")).toUInt(&ok);
    if (!ok)
        return std::unexpected(
            QStringLiteral("--model-version: give the data-model version, a number"));
    m_version = ModelVersion(type, version);
    m_overwrite = parser.isSet(QStringLiteral("overwrite"));
    return {};
}

void ConvertCommand::start()
{
    QJsonObject json{{QStringLiteral("file"), m_source}, {QStringLiteral("output"), m_target}};
    auto fail = [&](const QString &subject, const QString &message) {
        json.insert(QStringLiteral("error"), message);
        m_out.result(json);
        m_out.failure(subject, message);
        done();
    };
    if (!m_overwrite && QFileInfo::exists(m_target))
        return fail(m_target, QStringLiteral("exists; give --overwrite to replace it"));
    BackupImport import(m_source);
    if (const auto loaded = import.load(); !loaded)
        return fail(m_source, loaded.error());
    if (!import.selectMapping())
        return fail(m_source, QStringLiteral("unsupported backup data (%1, data level %2)")
                                  .arg(BackupImport::familyName(import.family()))
                                  .arg(import.dataLevel()));
    if (const auto parsed = import.parseSections(); !parsed)
        return fail(m_source, parsed.error());
    std::unique_ptr<ParameterGroup> group(GroupFactory::create(GroupTags::TechParams));
    // What the old file does not give stays without a number.
    group->clear();
    const QList<qsizetype> missed = import.importTechParams(group.get(), m_version);
    // A backup without a single value would pass for a converted machine.
    if (group->definedValues().isEmpty())
        return fail(m_source, QStringLiteral("holds no technological parameter that could be "
                                             "taken over; nothing was written"));

    BackupFile file(m_target);
    file.setMachine(m_version);
    QJsonObject section;
    group->toJson(section);
    file.setSection(GroupTags::TechParams, section);
    if (const auto saved = file.save(); !saved)
        return fail(m_target, saved.error());

    QJsonArray check;
    // One arg() call: a file name may itself hold "%3".
    m_out.text(QStringLiteral("%1 written for %2. Values to check (not imported): %3")
                   .arg(m_target, m_version.toString(), QString::number(missed.size())));
    for (qsizetype index : missed) {
        const QString label = group->valueLabel(index, m_version);
        check.append(QJsonObject{{QStringLiteral("index"), qint64(index)},
                                 {QStringLiteral("variable"), group->firstVariable() + int(index)},
                                 {QStringLiteral("label"), label}});
        m_out.text(QStringLiteral("  ") + label);
    }
    json.insert(QStringLiteral("machine"), MachineDescription::machineTypeName(m_version.type()));
    json.insert(QStringLiteral("modelVersion"), qint64(m_version.version()));
    json.insert(QStringLiteral("check"), check);
    m_out.result(json);
    done();
}
