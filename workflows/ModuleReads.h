#pragma once
// Reads that connecting, the monitoring cycle and the upload share: one
// item from the module into the state and the window of the model kind.
// Each returns false when the read fails or its payload is not usable.

class AnalogMonitor;
struct ModuleSettings;

namespace ModuleReads {

// CommForm set to the main window, then the link opened and checked; the
// failure has been shown when it returns false.
bool LinkUp();

// Item 5 of channel ch: type code, its split and the type name.
bool Type(int kind, AnalogMonitor *w, int ch);
// Item 25 of channel ch: cold-junction switch and its text.
bool Cjc(AnalogMonitor *w, int ch);
// After the channels of the analog kinds: contact input, burnout, filter
// (kind 6 also alarm output and line noise), in the order of the kind.
bool AnalogTail(int kind, AnalogMonitor *w);
// One channel of the pulse counter: items 6, 7, 8, 9, 13.
bool CounterChannel(int ch);
// Contact ch of the discrete output (item 7) or input (item 6) module.
bool Contact(int kind, int ch);

// The monitor window of an analog kind (1, 2, 6), loaded on first use;
// nullptr for the other kinds.
AnalogMonitor *AnalogWindow(int kind);
// The display operation of the kind's monitor window.
void ShowKindWindow(int kind);
// The monitor window of the configuration's kind, if loaded, shows again
// the settings of the state that differ from `was`.
void ShowSettings(const ModuleSettings &was);
// Identity row 1..6 of the main window from items 90..95.
bool IdentityRow(int row);
// Option bits of a kind-6 module (item 2, index 00) into HwOption10/20.
bool OptionBits();
// Empties the live value labels of the kind's window after disconnecting;
// false when no model is known.
bool ClearLiveValues(int kind);

// Every setting of the kind, as connecting and the upload read them.
// Shows the progress in the main window's status bar.
bool Settings(int kind);

}  // namespace ModuleReads
