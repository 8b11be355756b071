#pragma once
// Display texts that the monitor windows and the workflows work out the
// same way from the state record.

#include <QString>

// Name of the input type of channel ch from its split type code; the table
// and the index rule depend on the model kind (1, 2 or 6). "" when the
// index falls outside the table or the kind has no type names.
QString TypeNameFor(int kind, int ch);

// The RTD module knows codes 48..67 only; anything else is read as 48.
int LimitRtdCode(int code);

// Cold-junction switch text of channel ch: "ON"/"OFF" for thermocouple
// types (code 16 and up) with a switch of 0 or 1, otherwise "".
QString CjcText(int ch);
