#pragma once

// Identifiers of the dialog templates and their controls, shared by the .rc scripts and the windows.
// Each window owns a block of a hundred numbers: its template takes the first number of the block and
// its controls the numbers after it, so an id tells which window it belongs to. Tools outside the
// program find controls by these numbers: an id, once given, stays. Numbers below 1000 stay free for
// icons and pictures.
//   1000  frmResults    1100  frmMain    1200  frmPass    1300  frmSplash
//   1400  Form8         1500  frmAbout   1600  frmWebsite  1700  frmSetup (to 1999)
//   2000  frmPlugins    2100  frmRules   2200  frmRulesUpdate
// The next window takes 2300.

// The program's icon groups, the same picture: "AAA" by name (the .rc script names it AAA) and 1 by
// number.
#define IDI_AAA "AAA"
#define IDI_1 1

#define IDB_frmSplash_Image1 201
#define IDB_frmAbout_Picture1 202
// The same pictures drawn for 144 dots per inch.
#define IDB_frmSplash_Image1_144 203
#define IDB_frmAbout_Picture1_144 204

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
#define IDM_frmMain_mnuPluginsItem1 1156
#define IDM_frmMain_mnuPluginsItem2 1157
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

// The setup wizard: its eight page frames and everything on them are controls of the one window.
#define IDD_frmSetup 1700
#define IDC_frmSetup_cmdBack 1701
#define IDC_frmSetup_cmdNext 1702
#define IDC_frmSetup_cmdCancel 1703
#define IDC_frmSetup_Frame0 1710
#define IDC_frmSetup_Frame1 1711
#define IDC_frmSetup_Frame2 1712
#define IDC_frmSetup_Frame3 1713
#define IDC_frmSetup_Frame4 1714
#define IDC_frmSetup_Frame5 1715
#define IDC_frmSetup_Frame6 1716
#define IDC_frmSetup_Frame7 1717
#define IDC_frmSetup_Label1 1720
#define IDC_frmSetup_Label2 1721
#define IDC_frmSetup_Label3 1722
#define IDC_frmSetup_Label4 1723
#define IDC_frmSetup_Label5 1724
#define IDC_frmSetup_Label6 1725
#define IDC_frmSetup_Label7 1726
#define IDC_frmSetup_lstSites0 1730
#define IDC_frmSetup_lstSites1 1731
#define IDC_frmSetup_lstSites2 1732
#define IDC_frmSetup_lstSites3 1733
#define IDC_frmSetup_txtSite 1734
#define IDC_frmSetup_Text1 1735
#define IDC_frmSetup_cmdAdd0 1736
#define IDC_frmSetup_cmdAdd1 1737
#define IDC_frmSetup_cmdAdd20 1738
#define IDC_frmSetup_cmdAdd21 1739
#define IDC_frmSetup_cmdDel0 1740
#define IDC_frmSetup_cmdDel1 1741
#define IDC_frmSetup_Label8 1742
#define IDC_frmSetup_Label9 1743
#define IDC_frmSetup_Label10 1744
#define IDC_frmSetup_Label11 1745
#define IDC_frmSetup_Label12 1746
#define IDC_frmSetup_Label13 1747
#define IDC_frmSetup_Label14 1748
#define IDC_frmSetup_Label15 1749
#define IDC_frmSetup_Drive1 1750
#define IDC_frmSetup_Dir1 1751
#define IDC_frmSetup_File1 1752
#define IDC_frmSetup_lstFiles 1753
#define IDC_frmSetup_lstPaths 1754
#define IDC_frmSetup_cmdAddFile 1755
#define IDC_frmSetup_cmdDelFile 1756
#define IDC_frmSetup_Label16 1757
#define IDC_frmSetup_Label17 1758
#define IDC_frmSetup_Label18 1759
#define IDC_frmSetup_lstDoc 1760
#define IDC_frmSetup_txtDoc 1761
#define IDC_frmSetup_lstMedia 1762
#define IDC_frmSetup_txtMedia 1763
#define IDC_frmSetup_cmdAddDoc 1764
#define IDC_frmSetup_cmdAddMedia 1765
#define IDC_frmSetup_cmdDelDoc 1766
#define IDC_frmSetup_cmdDelMedia 1767
#define IDC_frmSetup_cmdDefaultDoc 1768
#define IDC_frmSetup_cmdDefaultMedia 1769
#define IDC_frmSetup_Label19 1770
#define IDC_frmSetup_Label20 1771
#define IDC_frmSetup_Label21 1772
#define IDC_frmSetup_txtSetting0 1775
#define IDC_frmSetup_txtSetting2 1776
#define IDC_frmSetup_txtSetting3 1777
#define IDC_frmSetup_Label22 1778
#define IDC_frmSetup_Label23 1779
#define IDC_frmSetup_Label24 1780
#define IDC_frmSetup_Label25 1781
#define IDC_frmSetup_Label26 1785
#define IDC_frmSetup_frmPassword 1786
#define IDC_frmSetup_chkPassword 1787
#define IDC_frmSetup_Label27 1788
#define IDC_frmSetup_txtPass1 1789
#define IDC_frmSetup_Label28 1790
#define IDC_frmSetup_txtPass2 1791
#define IDC_frmSetup_Label29 1792
#define IDC_frmSetup_frmEncrypt 1793
#define IDC_frmSetup_chkencrypt 1794
#define IDC_frmSetup_txtCrypt 1795
#define IDC_frmSetup_Command1 1796
#define IDC_frmSetup_Label30 1797
#define IDC_frmSetup_frmStartup 1798
#define IDC_frmSetup_chkRunAtStart 1799
#define IDC_frmSetup_chkStealthMode 1800
#define IDC_frmSetup_Label31 1801
#define IDC_frmSetup_frmHotkey 1802
#define IDC_frmSetup_chkHotKey 1803
#define IDC_frmSetup_Label32 1805
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

// The community rules report and the update of the rules.
#define IDD_frmRules 2100
#define IDC_frmRules_txtReport 2101
#define IDD_frmRulesUpdate 2200
#define IDC_frmRulesUpdate_lblStatus 2201
#define IDC_frmRulesUpdate_ProgressBar1 2202
#define IDC_frmRulesUpdate_cmdCancel 2203
