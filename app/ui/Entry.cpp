#include "app/ui/Entry.h"

#include "adjust/frmSetComp.h"
#include "adjust/frmZeroSpan.h"
#include "app/Globals.h"
#include "app/ui/EditorDialog.h"
#include "config/SettingEditors.h"
#include "config/frmCJM.h"
#include "config/frmModSet.h"
#include "config/frmModSetKx7.h"
#include "config/frmType.h"
#include "counting/frmCntPreset.h"
#include "counting/frmCount.h"
#include "counting/frmCountSet.h"

namespace Editors {
void TypeSet() { OpenEditor(&frmType::TypeSet); }
void CountSet() { OpenEditor(&frmCount::CountSet); }
void CntPreset() { OpenEditor(&frmCntPreset::CntPreset); }
void ModSet()
{
    if (orZero(G().ModelKind) == 6)
        OpenEditor<frmModSetKx7>(&frmModSetKx7::ModSet);
    else
        OpenEditor<frmModSet>(&frmModSet::ModSet);
}
void BurnoutSet() { OpenEditor(&frmBurnout::BurnoutSet); }
void FilterSet() { OpenEditor(&frmTimeCon::FilterSet); }
void LineNoiseSet() { OpenEditor(&frmLineNoise::LineNoiseSet); }
void CJM() { OpenEditor(&frmCJM::CJM); }
void CounterOptions() { OpenEditor(&frmCountSet::CountSet); }
void ZeroSpan() { OpenEditor(&frmZeroSpan::ZeroSpan); }
void SetComp() { OpenEditor(&frmSetComp::SetComp); }
void AlarmSet() { OpenEditor(&frmAlarm::AlarmSet); }
}  // namespace Editors
