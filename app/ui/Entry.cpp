#include "app/ui/Entry.h"

#include "app/ui/EditorDialog.h"
#include "config/SettingEditors.h"
#include "config/frmCJM.h"
#include "config/frmType.h"

// Windows not built yet do nothing when opened.
namespace Editors {
void TypeSet() { OpenEditor(&frmType::TypeSet); }
void CountSet() {}
void CntPreset() {}
void ModSet() {}
void BurnoutSet() { OpenEditor(&frmBurnout::BurnoutSet); }
void FilterSet() { OpenEditor(&frmTimeCon::FilterSet); }
void LineNoiseSet() { OpenEditor(&frmLineNoise::LineNoiseSet); }
void CJM() { OpenEditor(&frmCJM::CJM); }
void CounterOptions() {}
void ZeroSpan() {}
void SetComp() {}
void AlarmSet() { OpenEditor(&frmAlarm::AlarmSet); }
}  // namespace Editors
