#pragma once
// Start-up tables and the screen-text table.

#include <QString>

// Fills the catalogs and resets the state record completely. The main-window
// steps (Timer1, toolbar and menu enabling) are done by the main window
// right after calling it.
void InitData();

enum class TextLanguage { English, Japanese };

// The display language; follows the system locale until set.
TextLanguage textLanguage();
void setTextLanguage(TextLanguage lang);
TextLanguage languageOfSystem();

// Text of a string-table id in the display language; nullptr-like empty
// QString when the id is not in the table.
QString LoadResString(int id);
bool HasResString(int id);
// Every id of the table, ascending.
QList<int> ResStringIds();
QString ResStringIn(int id, TextLanguage lang);

// The program's own texts that the string table does not hold (messages
// and captions beyond it): the English text is the key, and the Japanese
// text comes from resources/texts-own.tsv when the display language is
// Japanese. A text not in that table stays English.
QString Tr(const char *english);
QString Tr(const QString &english);
