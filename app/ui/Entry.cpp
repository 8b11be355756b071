#include "app/ui/Entry.h"

#include "adjust/frmSetComp.h"
#include "adjust/frmZeroSpan.h"
#include "app/ui/EditorDialog.h"

// The editor windows not built yet do nothing when opened.
namespace Editors {
void TypeSet() {}
void CountSet() {}
void CntPreset() {}
void ModSet() {}
void BurnoutSet() {}
void FilterSet() {}
void LineNoiseSet() {}
void CJM() {}
void CounterOptions() {}
void ZeroSpan() { OpenEditor(&frmZeroSpan::ZeroSpan); }
void SetComp() { OpenEditor(&frmSetComp::SetComp); }
void AlarmSet() {}
}  // namespace Editors
