#include "app/ui/Entry.h"

#include "app/Globals.h"
#include "app/ui/EditorDialog.h"
#include "config/frmModSet.h"
#include "config/frmModSetKx7.h"
#include "counting/frmCntPreset.h"
#include "counting/frmCount.h"
#include "counting/frmCountSet.h"

// The editor windows come later; until then opening one does nothing.
namespace Editors {
void TypeSet() {}
void CountSet() { OpenEditor(&frmCount::CountSet); }
void CntPreset() { OpenEditor(&frmCntPreset::CntPreset); }
void ModSet()
{
    if (orZero(G().ModelKind) == 6)
        OpenEditor<frmModSetKx7>(&frmModSetKx7::ModSet);
    else
        OpenEditor<frmModSet>(&frmModSet::ModSet);
}
void BurnoutSet() {}
void FilterSet() {}
void LineNoiseSet() {}
void CJM() {}
void CounterOptions() { OpenEditor(&frmCountSet::CountSet); }
void ZeroSpan() {}
void SetComp() {}
void AlarmSet() {}
}  // namespace Editors
