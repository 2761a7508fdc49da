#pragma once

#include <QJsonDocument>
#include <QStringList>

#include <expected>

// Backup files use short member names ("techparams", "G54", "T0"); anything far
// longer is hostile: the schema's name patterns run std::regex over every
// member name, and libstdc++ recurses once per character.
constexpr qsizetype MaxBackupMemberName = 256;

// Checks a backup file's document against the schema resource
// ":/backup_schema.json". On failure the report holds three lines per error:
// its number, its context path and the validator's description. A member name
// longer than MaxBackupMemberName fails before the schema is applied.
std::expected<void, QStringList> validateBackup(const QJsonDocument &document);

// Registers the schema resource. vrk6core is a static library, so its
// resources are linked in only through this call; validateBackup makes it.
void initBackupResources();
