#pragma once

// Identifiers of the dialog templates and their controls, shared by the .rc scripts and the windows.
// Each window owns a block of a hundred numbers: its template takes the first number of the block and
// its controls the numbers after it, so an id tells which window it belongs to. Numbers below 1000
// stay free for icons and the other resources.
//   1000  frmResults
// The next window takes 1100.

#define IDD_frmResults 1000
#define IDC_frmResults_Label1 1001
#define IDC_frmResults_lblStatus 1002
#define IDC_frmResults_lstStatus 1003
#define IDC_frmResults_ProgressBar1 1004
#define IDC_frmResults_cmdClose 1005
