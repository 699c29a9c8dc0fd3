// The branches of the sixteen code positions of the pattern and duration
// triggers: the chosen letter is stored in the code of the trigger type in
// force (element 16 - k for channel Dk), its node (21, 20 - k) rewritten, and
// the whole code sent. An edge read back from the instrument ("RISING") counts
// as an edge like the one chosen here ("Rising").

#include "editors/applybranches.h"

#include "app/appstate.h"
#include "texts/stringres.h"
#include "transfer/triggerlines.h"

ApplyEnd ApplyTriggerCode(ApplyStep &step, int k)
{
    CtrlSettings &s = step.settings();
    const QString chosen = step.choice();
    CtrlSettings::LAArray &code = s.TrigMethod == word(Word::WordPattern) ? s.PatCode : s.DurCode;
    code[16 - k] = chosen;
    const Word label = static_cast<Word>(static_cast<int>(Word::ItemD15) + 15 - k);
    step.node(21, 20 - k, label, chosen);
    step.sendBy([k] { SendPatternTrigger(k); });
    return ApplyEnd::Close;
}
