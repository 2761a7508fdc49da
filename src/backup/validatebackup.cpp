#include "backup/validatebackup.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <valijson/adapters/qtjson_adapter.hpp>
#include <valijson/schema.hpp>
#include <valijson/schema_parser.hpp>
#include <valijson/validation_results.hpp>
#include <valijson/validator.hpp>

#include <exception>
#include <mutex>

void initBackupResources()
{
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(backup); });
}

namespace {

// The longest member name anywhere below value. Recursion is bounded by the
// JSON parser's nesting limit.
qsizetype longestMemberName(const QJsonValue &value)
{
    qsizetype longest = 0;
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            longest = std::max(longest, it.key().size());
            if (it->isObject() || it->isArray())
                longest = std::max(longest, longestMemberName(it.value()));
        }
    } else if (value.isArray()) {
        const QJsonArray array = value.toArray();
        for (const QJsonValue &item : array) {
            if (item.isObject() || item.isArray())
                longest = std::max(longest, longestMemberName(item));
        }
    }
    return longest;
}

QStringList errorLines(int number, const QString &context, const QString &description)
{
    return {QCoreApplication::translate("BackupFile", "Validation error #%1").arg(number),
            QCoreApplication::translate("BackupFile", "context: %1").arg(context),
            QCoreApplication::translate("BackupFile", "desc: %1").arg(description)};
}

} // namespace

std::expected<void, QStringList> validateBackup(const QJsonDocument &document)
{
    initBackupResources();

    const QJsonValue root =
        document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    if (const qsizetype longest = longestMemberName(root); longest > MaxBackupMemberName) {
        return std::unexpected(errorLines(
            1, QStringLiteral("<root>"),
            QCoreApplication::translate("BackupFile",
                                        "A member name is %1 characters long; backup files "
                                        "use at most %2, so the file was not validated.")
                .arg(longest)
                .arg(MaxBackupMemberName)));
    }

    QFile schemaFile(QStringLiteral(":/backup_schema.json"));
    schemaFile.open(QIODevice::ReadOnly);
    const QJsonDocument schemaDocument = QJsonDocument::fromJson(schemaFile.readAll());

    valijson::ValidationResults results;
    bool valid = false;
    try {
        valijson::Schema schema;
        valijson::SchemaParser parser;
        const QJsonValue schemaRoot(schemaDocument.object());
        parser.populateSchema(valijson::adapters::QtJsonAdapter(schemaRoot), schema);
        valijson::Validator validator;
        valid = validator.validate(schema, valijson::adapters::QtJsonAdapter(root), &results);
    } catch (const std::exception &error) {
        // A fault in the schema resource: no file can pass it.
        return std::unexpected(
            errorLines(1, QStringLiteral("<root>"), QString::fromUtf8(error.what())));
    }
    if (valid)
        return {};

    QStringList report;
    valijson::ValidationResults::Error error;
    int number = 0;
    while (results.popError(error)) {
        QString context;
        for (const std::string &element : error.context)
            context += QString::fromUtf8(element.data(), qsizetype(element.size()));
        report += errorLines(
            ++number, context,
            QString::fromUtf8(error.description.data(), qsizetype(error.description.size())));
    }
    return std::unexpected(report);
}
