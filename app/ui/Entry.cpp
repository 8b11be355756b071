#include "app/ui/Entry.h"

// The editor windows come later; until then opening one does nothing.
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
void ZeroSpan() {}
void SetComp() {}
void AlarmSet() {}
}  // namespace Editors
