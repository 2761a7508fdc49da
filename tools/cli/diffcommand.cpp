#include "diffcommand.h"

#include "backup/backupfile.h"
#include "backup/backupreader.h"

#include <QFileInfo>
#include <QJsonArray>

DiffCommand::DiffCommand(QObject *parent) : Command(QStringLiteral("diff"), Machines, parent) {}

QString DiffCommand::summary() const
{
    return QStringLiteral(
        "Lists every parameter that differs between A and B, with its group, label and both "
        "values. A and B are each a backup file or, when no such file exists, a machine: its "
        "current values of the sections the other side holds (two machines: the four backup "
        "groups, with --with-teeth also the teeth).");
}

void DiffCommand::addOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("with-teeth"),
                      QStringLiteral("Two machines: compare the teeth parameters too.")});
}

Result<void> DiffCommand::take(const QCommandLineParser &parser)
{
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2)
        return std::unexpected(QStringLiteral("name two backup files or machines"));
    for (int i = 0; i < 2; ++i) {
        m_sides[i].name = args.at(i);
        // Whatever exists under that name is meant: a directory or a pipe is
        // refused by the loader for what it is, not looked up as a host.
        m_sides[i].isFile = QFileInfo::exists(args.at(i));
        if (!m_sides[i].isFile) {
            if (const auto host = checkHosts({args.at(i)}); !host)
                return std::unexpected(QStringLiteral("no such file, and %1").arg(host.error()));
        }
    }
    m_machineTags = BackupReader::backupTags();
    if (parser.isSet(QStringLiteral("with-teeth")))
        m_machineTags.append(GroupTags::Teeth);
    return {};
}

void DiffCommand::start()
{
    for (Side &side : m_sides) {
        if (!side.isFile)
            continue;
        BackupFile file(side.name);
        if (const auto loaded = file.load(); !loaded) {
            m_out.failure(side.name, loaded.error());
            return done();
        }
        side.set.takeFile(file);
        // A machine is compared over what the file holds.
        m_machineTags = side.set.tags();
    }
    readMachine(0);
}

void DiffCommand::readMachine(int index)
{
    if (index == 2)
        return compare();
    Side &side = m_sides[index];
    if (side.isFile)
        return readMachine(index + 1);
    auto *link = new MachineLink(side.name, m_linkOptions, this);
    auto failed = [this, link](const QString &error) {
        m_out.failure(link->host(), error);
        link->deleteLater();
        done();
    };
    m_out.progress(side.name, QStringLiteral("connecting"));
    link->open([=, this, &side](const QString &error) {
        if (!error.isEmpty())
            return failed(error);
        auto *reader = new BackupReader(&link->machine(), link);
        follow(reader, *link, QStringLiteral("reading"), failed);
        connect(reader, &BackupReader::done, this, [=, this, &side] {
            link->unwatch();
            side.set.version = link->machine().modelVersion();
            side.set.takeGroups(reader->groups());
            link->deleteLater();
            readMachine(index + 1);
        });
        startOrEnd(reader->start(m_machineTags), *link, failed);
    });
}

void DiffCommand::compare()
{
    const ParameterSet &a = m_sides[0].set, &b = m_sides[1].set;
    QJsonObject json{{QStringLiteral("a"), m_sides[0].name},
                     {QStringLiteral("b"), m_sides[1].name}};
    if (a.version != b.version) {
        m_out.text(
            QStringLiteral("machine: %1 | %2").arg(a.version.toString(), b.version.toString()));
        json.insert(QStringLiteral("machineA"), a.version.toString());
        json.insert(QStringLiteral("machineB"), b.version.toString());
    }
    // A section that one side lacks is a difference of its own.
    const auto onlyIn = [this](const ParameterSet &x, const ParameterSet &y, const QString &which) {
        QJsonArray names;
        for (int tag : x.tags()) {
            if (!y.group(tag)) {
                names.append(ParameterGroup::groupName(tag));
                m_out.text(QStringLiteral("section %1: only in %2")
                               .arg(ParameterGroup::groupName(tag), which));
            }
        }
        return names;
    };
    json.insert(QStringLiteral("onlyInA"), onlyIn(a, b, QStringLiteral("A")));
    json.insert(QStringLiteral("onlyInB"), onlyIn(b, a, QStringLiteral("B")));
    QJsonArray differences;
    for (const ParameterSet::Difference &d : ParameterSet::compare(a, b)) {
        m_out.text(QStringLiteral("%1 | %2 | %3 | %4")
                       .arg(d.group, d.label, Output::floatText(d.a), Output::floatText(d.b)));
        differences.append(QJsonObject{{QStringLiteral("group"), ParameterGroup::groupName(d.tag)},
                                       {QStringLiteral("title"), d.group},
                                       {QStringLiteral("label"), d.label},
                                       {QStringLiteral("variable"), d.variable},
                                       {QStringLiteral("a"), Output::number(d.a)},
                                       {QStringLiteral("b"), Output::number(d.b)}});
    }
    json.insert(QStringLiteral("differences"), differences);
    m_out.result(json);
    done();
}
