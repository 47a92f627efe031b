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
//     frmCustom members: IDC_frmCustom_<index> 3440+index, their captions 3450+index
//     other Form1 controls  3500-3599
//   Backup window 4000-4099, Restore window 4100-4199, frmAbout 4200-4299, Review Changes 4300-4399
//   (IDC_<Form>_<control>)
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
// The Custom Optimization page's tab frames frmCustom(0) to frmCustom(3).
#define IDD_frmCustom_0 110  // General
#define IDD_frmCustom_1 111  // TCP/IP
#define IDD_frmCustom_2 112  // NWLink
#define IDD_frmCustom_3 113  // NetBEUI

// frmAbout.
#define IDD_frmAbout 120

#define IDI_Zarvelo 200
#define IDR_Form1 210
// Form1's keyboard shortcuts.
#define IDR_Form1Keys 211

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
#define IDM_mnuUndo 1009
#define IDM_mnuSettings 1010
#define IDM_mnuAuto 1011
#define IDM_mnuManual 1012
#define IDM_mnuLauncher 1013
#define IDM_mnuFileBar1 1014
#define IDM_mnuPulsiva 1015
#define IDM_mnuFileBar2 1016
#define IDM_mnuReview 1017
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

// Custom Optimization: the labels and editors, Label3 to Label37 and Combo1 to Combo35.
#define IDC_Label3 3103
#define IDC_Label4 3104
#define IDC_Label5 3105
#define IDC_Label6 3106
#define IDC_Label7 3107
#define IDC_Label8 3108
#define IDC_Label9 3109
#define IDC_Label10 3110
#define IDC_Label11 3111
#define IDC_Label12 3112
#define IDC_Label13 3113
#define IDC_Label14 3114
#define IDC_Label15 3115
#define IDC_Label16 3116
#define IDC_Label17 3117
#define IDC_Label18 3118
#define IDC_Label19 3119
#define IDC_Label20 3120
#define IDC_Label21 3121
#define IDC_Label22 3122
#define IDC_Label23 3123
#define IDC_Label24 3124
#define IDC_Label25 3125
#define IDC_Label26 3126
#define IDC_Label27 3127
#define IDC_Label28 3128
#define IDC_Label29 3129
#define IDC_Label30 3130
#define IDC_Label31 3131
#define IDC_Label32 3132
#define IDC_Label33 3133
#define IDC_Label34 3134
#define IDC_Label35 3135
#define IDC_Label36 3136
#define IDC_Label37 3137
#define IDC_Combo1 3301
#define IDC_Combo2 3302
#define IDC_Combo3 3303
#define IDC_Combo4 3304
#define IDC_Combo5 3305
#define IDC_Combo6 3306
#define IDC_Combo7 3307
#define IDC_Combo8 3308
#define IDC_Combo9 3309
#define IDC_Combo10 3310
#define IDC_Combo11 3311
#define IDC_Combo12 3312
#define IDC_Combo13 3313
#define IDC_Combo14 3314
#define IDC_Combo15 3315
#define IDC_Combo16 3316
#define IDC_Combo17 3317
#define IDC_Combo18 3318
#define IDC_Combo19 3319
#define IDC_Combo20 3320
#define IDC_Combo21 3321
#define IDC_Combo22 3322
#define IDC_Combo23 3323
#define IDC_Combo24 3324
#define IDC_Combo25 3325
#define IDC_Combo26 3326
#define IDC_Combo27 3327
#define IDC_Combo28 3328
#define IDC_Combo29 3329
#define IDC_Combo30 3330
#define IDC_Combo31 3331
#define IDC_Combo32 3332
#define IDC_Combo33 3333
#define IDC_Combo34 3334
#define IDC_Combo35 3335

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
// Groups of the NWLink and NetBEUI tabs.
#define IDC_Frame4 3404
#define IDC_Frame5 3405
#define IDC_Frame6 3406
#define IDC_Frame7 3407

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
// frmCustom members (the tab frames of the Custom Optimization page) and their captioned boxes.
#define IDC_frmCustom_0 3440
#define IDC_frmCustom_1 3441
#define IDC_frmCustom_2 3442
#define IDC_frmCustom_3 3443
#define IDC_frmCustomCaption_0 3450
#define IDC_frmCustomCaption_1 3451
#define IDC_frmCustomCaption_2 3452
#define IDC_frmCustomCaption_3 3453

// Other controls of Form1.
#define IDC_cmbAdapter 3500
#define IDC_cmbConnection 3501
#define IDC_Toolbar1 3510
#define IDC_StatusBar1 3511
#define IDC_ProgressBar1 3512
#define IDC_TabStrip1 3513
// Toolbar1's buttons 1 to 10 (4, 7 and 9 are separators).
#define IDC_Toolbar1_Button1 3521
#define IDC_Toolbar1_Button10 3530

// System Settings Launcher page (Frame1 member 6); Command2 "&Launch" and Command6 "&Help" are above.
#define IDC_Label58 3158
#define IDC_Label59 3159
#define IDC_Option1 3201
#define IDC_Option3 3203
#define IDC_Option4 3204
#define IDC_Option5 3205
#define IDC_Option6 3206
#define IDC_Option7 3207

// frmAbout.
#define IDC_frmAbout_Picture1 4201
#define IDC_frmAbout_Label1 4211
#define IDC_frmAbout_Label2 4212
#define IDC_frmAbout_Label9 4219
#define IDC_frmAbout_Label10 4220
#define IDC_frmAbout_Label11 4221
#define IDC_frmAbout_Label12 4222
#define IDC_frmAbout_Label13 4223
#define IDC_frmAbout_Label14 4224
#define IDC_frmAbout_Command1 4231
#define IDC_frmAbout_lblVersion 4240  // the version, from the program's version record

// Timers of Form1.
#define IDT_Timer1 1
#define IDT_Timer2 2

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

// The network check (4600-4699): the restart notice's offer on page 3, and the window of the check.
#define IDC_chkCheckNetwork 4601
#define IDC_txtCheckHost 4602
#define IDD_NetworkCheck 160
#define IDC_Check_Text 4611
#define IDC_Check_UndoNow 4621
#define IDC_Check_KeepChanges 4622
#define IDC_Check_Restart 4623
#define IDC_Check_Close 4624
#define IDT_Check_Echo 1
#define IDT_Check_Tick 2
#define IDT_Check_Close 3

// The Review Changes window (4300-4399).
#define IDD_Review 142
#define IDC_Review_Label1 4311  // what the run is
#define IDC_Review_Label2 4312  // the counts
#define IDC_Review_List1 4331
#define IDC_Review_Text1 4341  // the focused row's whole key
#define IDC_Review_Command1 4301  // "&Write Changes"
#define IDC_Review_Command2 4302  // "&Cancel"
#define IDC_Review_Command3 4303  // "&Export…"

// The question after a write run was cut off (4700-4799).
#define IDD_CutOffRun 170
#define IDC_CutOff_Icon 4701
#define IDC_CutOff_Text 4711
#define IDC_CutOff_PutBack 4721  // "&Put Back the Values from Before"
#define IDC_CutOff_Keep 4722     // "&Keep as It Is"
