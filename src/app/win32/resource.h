// Resource identifiers of zarvelo.exe, one name per control of the behaviour's forms.
//
// Numbering, so that new controls never collide:
//   IDD_*   100-199  dialog templates (pages of Form1, other windows)
//   IDI_*   200-209  icons (the images of IDI_Zarvelo are RT_ICON 201-203)
//   IDR_*   210-219  menus
//   IDM_*  1000-1099 menu items of Form1, named after the menu control
//   Form1 controls, numbered after the control's name:
//     IDC_CommandN 3000+N   IDC_LabelN 3100+N   IDC_OptionN 3200+N   IDC_ComboN 3300+N
//     IDC_FrameN   3400+N   Frame1 members: IDC_Frame1_<index> 3420+index, their captions 3430+index
//     other Form1 controls  3500-3599
//   Backup window 4000-4099, Restore window 4100-4199, frmAbout 4200-4299 (IDC_<Form>_<control>)
//   IDT_*  timers, per window
// No control takes 1 (IDOK), 2 (IDCANCEL) or 0xFFFF (the unnamed static).
#pragma once

// Dialog templates.
#define IDD_Frame1_0 100  // Automatic Optimization: adapter and connection type
#define IDD_Frame1_1 101  // Custom Optimization
#define IDD_Frame1_2 102  // Automatic Optimization: configuration option
#define IDD_Frame1_3 103  // Automatic Optimization: summary
#define IDD_Frame1_4 104
#define IDD_Frame1_5 105
#define IDD_Frame1_6 106  // System Settings Launcher

#define IDI_Zarvelo 200
#define IDR_Form1 210

// Menu of Form1.
#define IDM_mnuFile 1000
#define IDM_mnuApply 1001
#define IDM_mnuOptimize 1002
#define IDM_mnuLaunch 1003
#define IDM_mnuBar 1004
#define IDM_mnuBackup 1005
#define IDM_mnuRestore 1006
#define IDM_mnuFileBar0 1007
#define IDM_mnuExit 1008
#define IDM_mnuSettings 1010
#define IDM_mnuAuto 1011
#define IDM_mnuManual 1012
#define IDM_mnuLauncher 1013
#define IDM_mnuFileBar1 1014
#define IDM_mnuPulsiva 1015
#define IDM_mnuHelpp 1020
#define IDM_mnuIndex 1021
#define IDM_mnuContents 1022
#define IDM_mnuDash 1023
#define IDM_mnuAbout 1024

// Buttons of Form1's pages.
#define IDC_Command1 3001
#define IDC_Command2 3002
#define IDC_Command3 3003
#define IDC_Command4 3004
#define IDC_Command5 3005
#define IDC_Command6 3006
#define IDC_Command7 3007
#define IDC_Command8 3008
#define IDC_Command9 3009
#define IDC_Command10 3010
#define IDC_Command11 3011
#define IDC_Command12 3012
#define IDC_Command13 3013
#define IDC_Command14 3014

// Labels of Form1's pages.
#define IDC_Label1 3101
#define IDC_Label2 3102
#define IDC_Label38 3138
#define IDC_Label39 3139
#define IDC_Label40 3140
#define IDC_Label41 3141
#define IDC_Label42 3142
#define IDC_Label43 3143
#define IDC_Label44 3144
#define IDC_Label45 3145
#define IDC_Label46 3146
#define IDC_Label47 3147
#define IDC_Label48 3148
#define IDC_Label49 3149
#define IDC_Label50 3150
#define IDC_Label51 3151
#define IDC_Label52 3152
#define IDC_Label53 3153
#define IDC_Label54 3154
#define IDC_Label55 3155
#define IDC_Label56 3156
#define IDC_Label57 3157

// Option buttons of the wizard's configuration page.
#define IDC_Option8 3208
#define IDC_Option9 3209
#define IDC_Option10 3210
#define IDC_Option11 3211
#define IDC_Option12 3212

// Frames: areas of page 0 and the restart notice of page 3.
#define IDC_Frame2 3402
#define IDC_Frame3 3403
#define IDC_Frame8 3408

// Frame1 members (the page windows) and the captioned box each of them draws.
#define IDC_Frame1_0 3420
#define IDC_Frame1_1 3421
#define IDC_Frame1_2 3422
#define IDC_Frame1_3 3423
#define IDC_Frame1_4 3424
#define IDC_Frame1_5 3425
#define IDC_Frame1_6 3426
#define IDC_Frame1Caption_0 3430
#define IDC_Frame1Caption_1 3431
#define IDC_Frame1Caption_2 3432
#define IDC_Frame1Caption_3 3433
#define IDC_Frame1Caption_4 3434
#define IDC_Frame1Caption_5 3435
#define IDC_Frame1Caption_6 3436

// Other controls of Form1.
#define IDC_cmbAdapter 3500
#define IDC_cmbConnection 3501
#define IDC_Toolbar1 3510
#define IDC_StatusBar1 3511
#define IDC_ProgressBar1 3512
// Toolbar1's buttons 1 to 10 (4, 7 and 9 are separators).
#define IDC_Toolbar1_Button1 3521
#define IDC_Toolbar1_Button10 3530

// Timers of Form1.
#define IDT_Timer1 1

// The Backup and Restore windows (Backup 4000-4099, Restore 4100-4199).
#define IDD_Backup 140
#define IDD_Restore 141
#define IDC_Backup_Command1 4001
#define IDC_Backup_Command2 4002
#define IDC_Backup_Command3 4003
#define IDC_Backup_Command4 4004
#define IDC_Backup_Label1 4011
#define IDC_Backup_Label2 4012
#define IDC_Backup_Text1 4021
#define IDC_Backup_List1 4031
#define IDC_Backup_Frame1 4041
#define IDC_Backup_StatusBar1 4051
#define IDC_Backup_ProgressBar1 4052
#define IDC_Restore_Command1 4101
#define IDC_Restore_Command2 4102
#define IDC_Restore_Command3 4103
#define IDC_Restore_Command4 4104
#define IDC_Restore_Label1 4111
#define IDC_Restore_Label2 4112
#define IDC_Restore_Text1 4121
#define IDC_Restore_List1 4131
#define IDC_Restore_Frame1 4141
#define IDC_Restore_StatusBar1 4151
#define IDC_Restore_ProgressBar1 4152
// Each window's Timer1 (ids are per window).
#define IDT_Backup_Timer1 1
#define IDT_Restore_Timer1 1
