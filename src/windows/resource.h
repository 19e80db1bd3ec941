#pragma once

// Identifiers of the dialog templates and their controls, shared by the .rc scripts and the windows.
// Each window owns a block of a hundred numbers: its template takes the first number of the block and
// its controls the numbers after it, so an id tells which window it belongs to. Tools outside the
// program find controls by these numbers: an id, once given, stays. Numbers below 1000 stay free for
// icons and pictures.
//   1000  frmResults    1100  frmMain    1200  frmPass    1300  frmSplash
//   1400  Form8         1500  frmAbout   1600  frmWebsite
// The next window takes 1700.

// The program's icon groups, the same picture: "AAA" by name (the .rc script names it AAA) and 1 by
// number.
#define IDI_AAA "AAA"
#define IDI_1 1

#define IDB_frmSplash_Image1 201
#define IDB_frmAbout_Picture1 202

// The plugin browser's button pictures.
#define IDI_frmPlugins_Command3 210
#define IDI_frmPlugins_Command4 211
#define IDI_frmPlugins_Command5 212
#define IDI_frmPlugins_Command6 213
#define IDI_frmPlugins_Command7 214

#define IDD_frmResults 1000
#define IDC_frmResults_Label1 1001
#define IDC_frmResults_lblStatus 1002
#define IDC_frmResults_lstStatus 1003
#define IDC_frmResults_ProgressBar1 1004
#define IDC_frmResults_cmdClose 1005

#define IDD_frmMain 1100
#define IDC_frmMain_cmdStart 1101
#define IDC_frmMain_cmdSetup 1102
#define IDC_frmMain_cmdVisit 1103
#define IDC_frmMain_Frame1 1104
#define IDC_frmMain_Frame2 1105
#define IDC_frmMain_Frame3 1106
#define IDC_frmMain_chkCookies 1107
#define IDC_frmMain_chkDocuments 1108
#define IDC_frmMain_chkHistory 1109
#define IDC_frmMain_chkIntTemp 1110
#define IDC_frmMain_chkMedia 1111
#define IDC_frmMain_chkRecycle 1112
#define IDC_frmMain_chkRunSearch 1113
#define IDC_frmMain_chkTyped 1114
#define IDC_frmMain_chkWinTemp 1115
#define IDC_frmMain_lstPlugs 1116
#define IDC_frmMain_Command1 1117
#define IDC_frmMain_cmdPlugs 1118
#define IDM_frmMain_mnuFileItem0 1150
#define IDM_frmMain_mnuFileItem1 1151
#define IDM_frmMain_mnuFileItem2 1152
#define IDM_frmMain_mnuPluginsItem0 1153
#define IDM_frmMain_mnuHelpItem 1154
#define IDM_frmMain_mnuAboutItem 1155
#define IDR_frmMain_menu 1199

#define IDD_frmPass 1200
#define IDC_frmPass_Label1 1201
#define IDC_frmPass_Text1 1202
#define IDC_frmPass_Command1 1203
#define IDC_frmPass_Command2 1204

#define IDD_frmSplash 1300
#define IDC_frmSplash_Image1 1301
#define IDC_frmSplash_Label3 1302
#define IDC_frmSplash_Timer2 1303

#define IDD_Form8 1400
#define IDC_Form8_rtf1 1401
#define IDC_Form8_Check1 1402

#define IDD_frmAbout 1500
#define IDC_frmAbout_Picture1 1501
#define IDC_frmAbout_Label1 1502
#define IDC_frmAbout_Label2 1503
#define IDC_frmAbout_Label3 1504
#define IDC_frmAbout_Label4 1505
#define IDC_frmAbout_lblVersion 1506
#define IDC_frmAbout_lblCompany 1507
#define IDC_frmAbout_lblWebsite 1508
#define IDC_frmAbout_Label5 1509

#define IDD_frmWebsite 1600
#define IDC_frmWebsite_Timer1 1601

// The plugin download browser takes the block at 2000. WebBrowser1 is the embedded browser's own
// window, made by the browser's host rather than by the template; lblNoBrowser stands in its place
// where no browser can be shown in the window.
#define IDD_frmPlugins 2000
#define IDC_frmPlugins_frmBrowser 2001
#define IDC_frmPlugins_Label5 2002
#define IDC_frmPlugins_Text1 2003
#define IDC_frmPlugins_Command3 2004
#define IDC_frmPlugins_Command4 2005
#define IDC_frmPlugins_Command5 2006
#define IDC_frmPlugins_Command6 2007
#define IDC_frmPlugins_Command7 2008
#define IDC_frmPlugins_WebBrowser1 2009
#define IDC_frmPlugins_StatusBar1 2010
#define IDC_frmPlugins_lblNoBrowser 2011
