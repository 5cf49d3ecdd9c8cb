#pragma once
// The main window: a borderless, skinned 750 x 550 window holding the pages.
// Its member functions are grouped by concern: the frame (creation, showing,
// hiding, ending the program) in app/uMainFormFrame.cpp, the page flow in
// ui/uMainFormPages.cpp. It owns the settings record, the folders, the
// architecture text and the page state. Main thread only.

#include "core/uOSInfo.h"
#include "core/uSettings.h"
#include "core/uSysVars.h"
#include "engine/uTypes.h"
#include "toolkit/ImageList.h"
#include "toolkit/Form.h"

class TImage;
class TPageControl;
class TSplashForm;
class TStringGrid;
class TTabSheet;
struct TMainFormTestAccess;

class TMainForm : public TForm {
public:
    TMainForm();
    ~TMainForm() override;

    TImage* ImBgMain = nullptr;
    TImageList ilDriveIcons32{32, 32};
    TImageList ilDriveIcons48{48, 48};

    // Pages: the top-level pages and, on the first, the defrag states.
    TPageControl* PgControl = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TTabSheet* TabSheet3 = nullptr;
    TTabSheet* TabSheet8 = nullptr;
    TPageControl* CleanPgControl = nullptr;
    TTabSheet* TabSheet4 = nullptr;
    TTabSheet* TabSheet5 = nullptr;
    TTabSheet* TabSheet6 = nullptr;
    TTabSheet* TabSheet7 = nullptr;
    TStringGrid* ts4SGDriveList = nullptr;

    // Frame.
    void FormCreate(QObject* Sender);
    void FormShow(QObject* Sender);
    void FormDestroy(QObject* Sender);
    void ImBtnCloseClick(QObject* Sender);
    void TrayMenuExitClick(QObject* Sender);
    void ShowMainWindow();
    void HideMainWindow();

    // Builds the page controls and their controls (called by the constructor).
    void CreatePages();
    // Page flow: shows page `page` in state `state`.
    void ShowPage(int page, int state, bool refreshSettings);

private:
    friend class TSplashForm;
    friend struct TMainFormTestAccess;

    TSysVars SysVars;
    TSettings Settings;
    TSettingsOrigin SettingsOrigin;
    TWindowsTypeEx WindowsType;
    TDriveList DriveList;
    int32_t DriveCount = 0;
    int ActivePage = 0;
    int DefragState = 0;
    bool Busy = false;
};

extern TMainForm* MainForm;
