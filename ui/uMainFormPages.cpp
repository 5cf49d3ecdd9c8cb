// Page flow of the main window.

#include "ui/uMainForm.h"

void TMainForm::ShowPage(int page, int state, bool refreshSettings)
{
    // The pages themselves are built on this state; until they exist the
    // window shows its frame only.
    ActivePage = page;
    DefragState = state;
    (void)refreshSettings;
}
