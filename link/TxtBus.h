#pragma once
// The module's text command protocol: the only place where command lines
// are built and replies judged.

#include <QString>

#include <optional>

// The payload of a reply line ("D", payload, CR) with the spaces around it
// trimmed; nullopt when the line is not a reply.
std::optional<QString> ReplyPayload(const QString &line);
bool ReplyCheck(QString &reply);
bool GroupCommand(int group, QString &reply);
bool ItemCommand(int item);
bool DataRead(int item, int index, QString &reply);
bool ParameterWrite(int item, const QString &value, QString &reply);

// Two-digit decimal, mask "00".
QString Fmt00(int n);
