#pragma once

#include "model/modelversion.h"
#include "model/parametergroup.h"

#include <QList>
#include <QMap>
#include <QString>

#include <memory>

class BackupFile;

// The parameter values of one side of a comparison: the sections of a backup
// file or the groups read from a machine, with the machine stamp they are for.
class ParameterSet
{
public:
    struct Difference
    {
        int tag;
        QString group; // the group's title
        QString label; // the value's row (and column) labels
        int variable;
        double a;
        double b;
    };

    ModelVersion version;

    // The file's sections; each value is marked as carried when the section holds it.
    void takeFile(const BackupFile &file);
    // Copies of groups holding a machine's values: every value is carried.
    void takeGroups(const QList<ParameterGroup *> &groups);
    // The tag of the group that holds a machine variable, 0 for none.
    static int tagOfVariable(int variable);

    QList<int> tags() const { return m_groups.keys(); }
    ParameterGroup *group(int tag) const;
    // Whether the source holds value i of the group (a backup never holds the tool row T0).
    bool carries(int tag, qsizetype index) const;

    // Values both sides hold that differ as the machine would store them
    // (32-bit floats; two non-numbers are equal). Labels follow a's version.
    static QList<Difference> compare(const ParameterSet &a, const ParameterSet &b);

private:
    QMap<int, std::shared_ptr<ParameterGroup>> m_groups;
    QMap<int, QList<bool>> m_carried;
};
