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
