#include "parameterset.h"

#include "backup/backupfile.h"
#include "model/groupfactory.h"

#include <cmath>

namespace {
std::shared_ptr<ParameterGroup> makeGroup(int tag)
{
    return std::shared_ptr<ParameterGroup>(GroupFactory::create(tag));
}

void fill(ParameterGroup &group, double value)
{
    for (qsizetype i = 0; i < group.valueCount(); ++i)
        group.value(i).reset(value);
}

bool sameOnMachine(double a, double b)
{
    const float fa = static_cast<float>(a), fb = static_cast<float>(b);
    return fa == fb || (std::isnan(fa) && std::isnan(fb));
}
} // namespace

void ParameterSet::takeFile(const BackupFile &file)
{
    version = file.machine();
    for (int tag = GroupTags::TechParams; tag <= GroupTags::Teeth; ++tag) {
        if (!file.hasSection(tag))
            continue;
        // Which values a section holds is the groups' own rule (absent rows
        // keep what they had, T0 never travels): read it over two different
        // fills, and a value that does not follow the fill is held.
        auto group = makeGroup(tag);
        auto probe = makeGroup(tag);
        fill(*group, 0.0);
        fill(*probe, 1.0);
        group->fromJson(file.section(tag), true);
        probe->fromJson(file.section(tag), true);
        QList<bool> carried(group->valueCount());
        for (qsizetype i = 0; i < group->valueCount(); ++i)
            carried[i] = sameOnMachine(group->value(i).value(), probe->value(i).value());
        m_groups.insert(tag, group);
        m_carried.insert(tag, carried);
    }
}

void ParameterSet::takeGroups(const QList<ParameterGroup *> &groups)
{
    for (const ParameterGroup *source : groups) {
        auto group = makeGroup(source->type());
        for (qsizetype i = 0; i < group->valueCount(); ++i)
            group->value(i).reset(source->value(i).value());
        m_carried.insert(group->type(), QList<bool>(group->valueCount(), true));
        m_groups.insert(group->type(), group);
    }
}

int ParameterSet::tagOfVariable(int variable)
{
    static const QMap<int, Acpu::VarRange> ranges = [] {
        QMap<int, Acpu::VarRange> map;
        for (int tag = GroupTags::TechParams; tag <= GroupTags::Teeth; ++tag)
            map.insert(tag, makeGroup(tag)->variableRange());
        return map;
    }();
    for (auto it = ranges.cbegin(); it != ranges.cend(); ++it) {
        if (variable >= it->start && variable <= it->last())
            return it.key();
    }
    return GroupTags::None;
}

ParameterGroup *ParameterSet::group(int tag) const
{
    return m_groups.value(tag).get();
}

bool ParameterSet::carries(int tag, qsizetype index) const
{
    return m_carried.value(tag).value(index, false);
}

QList<ParameterSet::Difference> ParameterSet::compare(const ParameterSet &a, const ParameterSet &b)
{
    QList<Difference> found;
    for (int tag : a.tags()) {
        const ParameterGroup *ga = a.group(tag);
        const ParameterGroup *gb = b.group(tag);
        if (!gb)
            continue;
        for (qsizetype i = 0; i < ga->valueCount(); ++i) {
            if (!a.carries(tag, i) || !b.carries(tag, i))
                continue;
            const double va = ga->value(i).value(), vb = gb->value(i).value();
            if (sameOnMachine(va, vb))
                continue;
            found.append({tag, ga->title(), ga->valueLabel(i, a.version),
                          ga->firstVariable() + static_cast<int>(i), va, vb});
        }
    }
    return found;
}
