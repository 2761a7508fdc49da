#include "relaycommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

using Error = std::unexpected<QString>;

// JSON numbers are doubles: an integer is one without a fraction, in range.
std::optional<qint64> integer(const QJsonObject &object, const char *name, qint64 min, qint64 max)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number ||
        number < static_cast<double>(min) || number > static_cast<double>(max))
        return std::nullopt;
    return static_cast<qint64>(number);
}

Error missing(const char *name, const char *what)
{
    return Error(QStringLiteral("\"%1\" must be %2").arg(QLatin1String(name), QLatin1String(what)));
}

constexpr qint64 IntMin = std::numeric_limits<qint32>::min();
constexpr qint64 IntMax = std::numeric_limits<qint32>::max();

} // namespace

Result<RelayCommand> RelayCommand::parse(const QByteArray &utf8)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(utf8, &error);
    if (document.isNull())
        return Error(QStringLiteral("not JSON: %1").arg(error.errorString()));
    if (!document.isObject())
        return Error(QStringLiteral("not a JSON object"));
    const QJsonObject object = document.object();
    const QJsonValue verbValue = object.value(QLatin1String("verb"));
    if (!verbValue.isString())
        return missing("verb", "a string");
    const QString verb = verbValue.toString();

    RelayCommand command;
    if (verb == QLatin1String("refresh")) {
        command.verb = Refresh;
        return command;
    }
    if (verb == QLatin1String("key")) {
        const auto key = integer(object, "key", 0, 255);
        if (!key)
            return missing("key", "an integer from 0 to 255");
        command.verb = Key;
        command.key = static_cast<int>(*key);
        return command;
    }
    if (verb != QLatin1String("get_vars") && verb != QLatin1String("set_vars"))
        return Error(QStringLiteral("unknown verb \"%1\"").arg(verb.left(40)));

    const auto tid = integer(object, "tid", IntMin, IntMax);
    if (!tid)
        return missing("tid", "a 32-bit integer");
    command.tid = static_cast<int>(*tid);

    if (verb == QLatin1String("get_vars")) {
        // Only raw 32-bit integers are served.
        if (object.value(QLatin1String("use_int")) != QJsonValue(true))
            return missing("use_int", "true");
        const auto start = integer(object, "start_index", 0, VariableCount - 1);
        if (!start)
            return missing("start_index", "a variable index");
        const auto length = integer(object, "length", 1, MaxValues);
        if (!length)
            return missing("length", "an integer from 1 to 60");
        if (*start + *length > VariableCount)
            return Error(QStringLiteral("variables beyond %1").arg(VariableCount - 1));
        command.verb = GetVars;
        command.range = Acpu::VarRange{static_cast<qint32>(*start), *length};
        return command;
    }

    if (object.value(QLatin1String("is_float")) != QJsonValue(false))
        return missing("is_float", "false");
    const QJsonValue itemsValue = object.value(QLatin1String("values"));
    if (!itemsValue.isArray())
        return missing("values", "an array");
    const QJsonArray items = itemsValue.toArray();
    if (items.isEmpty() || items.size() > MaxValues)
        return missing("values", "an array of 1 to 60 objects");
    command.verb = SetVars;
    for (const QJsonValue &item : items) {
        if (!item.isObject())
            return missing("values", "an array of objects");
        const auto key = integer(item.toObject(), "key", 0, VariableCount - 1);
        const auto value = integer(item.toObject(), "value", IntMin, IntMax);
        if (!key || !value)
            return Error(QStringLiteral("each value needs an integer \"key\" (a variable "
                                        "index) and a 32-bit integer \"value\""));
        command.values.append({static_cast<int>(*key), static_cast<int>(*value)});
    }
    std::sort(command.values.begin(), command.values.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    const auto duplicate =
        std::adjacent_find(command.values.begin(), command.values.end(),
                           [](const auto &a, const auto &b) { return a.first == b.first; });
    if (duplicate != command.values.end())
        return Error(QStringLiteral("variable %1 is written twice").arg(duplicate->first));
    return command;
}
