#pragma once
// Public operations of the editor and adjustment windows, the way the main
// window and the monitor windows open them. Windows not built yet do
// nothing visible when opened.

namespace Editors {
void TypeSet();          // frmType: input type of channel SelChannel
void CountSet();         // frmCount: count setting of channel SelChannel
void CntPreset();        // frmCntPreset: count presets of the contact input module
void ModSet();           // frmModSet / frmModSetKx7 by model kind
void BurnoutSet();       // frmBurnout
void FilterSet();        // frmTimeCon
void LineNoiseSet();     // frmLineNoise
void CJM();              // frmCJM
void CounterOptions();   // frmCountSet: CountSet
void ZeroSpan();         // frmZeroSpan
void SetComp();          // frmSetComp
void AlarmSet();         // frmAlarm
}  // namespace Editors
