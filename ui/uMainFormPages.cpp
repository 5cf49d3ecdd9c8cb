// Page flow of the main window.

#include "ui/uMainForm.h"

#include "toolkit/ComCtrls.h"
#include "toolkit/Grids.h"

void TMainForm::CreatePages()
{
    PgControl = new TPageControl(this);
    PgControl->SetBounds(15, 96, 720, 380);
    TabSheet1 = new TTabSheet(PgControl, "Clean");
    TabSheet3 = new TTabSheet(PgControl, "FreeScans");
    TabSheet8 = new TTabSheet(PgControl, "Settings");
    CleanPgControl = new TPageControl(TabSheet1);
    CleanPgControl->SetBounds(0, 0, 720, 380);
    TabSheet4 = new TTabSheet(CleanPgControl, "Summary");
    TabSheet5 = new TTabSheet(CleanPgControl, "ScanProg");
    TabSheet6 = new TTabSheet(CleanPgControl, "ScanResult");
    TabSheet7 = new TTabSheet(CleanPgControl, "FixProg");

    // The drive list: one 326-pixel column of 61-pixel rows, no grid lines.
    ts4SGDriveList = new TStringGrid(TabSheet4);
    ts4SGDriveList->SetBounds(17, 47, 326, 301);
    ts4SGDriveList->SetColCount(1);
    ts4SGDriveList->SetDefaultColWidth(326);
    ts4SGDriveList->SetDefaultRowHeight(61);
    ts4SGDriveList->SetGridLineWidth(0);
    // One row until the start-up sequence knows the drives.
    ts4SGDriveList->SetRowCount(1);
}

void TMainForm::ShowPage(int page, int state, bool refreshSettings)
{
    // The pages themselves are built on this state; until they exist the
    // window shows its frame only.
    ActivePage = page;
    DefragState = state;
    (void)refreshSettings;
}
