// Resource and control identifiers of pulsiva.exe, named after its windows and controls.
#pragma once

// Pulsiva's resources use 2000 and up so that they can share one program with zarvelo's (the tests).
#define IDD_frmGetIp 2000

// The program icon, drawn at build time; its images are RT_ICON 2201-2203.
#define IDI_Pulsiva 2200

// frmGetIp
#define IDC_Frame1 2001
#define IDC_Label1 2002
#define IDC_txtDomain 2003
#define IDC_Label2 2004
#define IDC_Combo1 2005
#define IDC_Label3 2006
#define IDC_Frame3 2007
#define IDC_Check1 2008
#define IDC_Check2 2009
#define IDC_Check3 2010
#define IDC_Frame2 2011
#define IDC_ChartPict 2012
#define IDC_cmdPing 2013
#define IDC_Command1 2014
#define IDC_cmdResetActivity 2015
#define IDC_Command2 2016
#define IDC_cmdExit 2017
#define IDC_StatusBar1 2018
#define IDC_lblStats 2019

// frmMenu, the hidden form that carries the tray's pop-up menu: mnuOptions with the items of the
// control array mnuOpts (3 and 9 are separators), the submenu mnuInterval, and the outage log's items.
#define IDR_frmMenu 2100
#define IDM_mnuOpts0 2101
#define IDM_mnuOpts1 2102
#define IDM_mnuOpts4 2105
#define IDM_mnuOpts5 2106
#define IDM_mnuOpts7 2108
#define IDM_mnuInterval0 2110
#define IDM_mnuInterval1 2111
#define IDM_mnuInterval2 2112
#define IDM_mnuInterval3 2113
#define IDM_mnuOutageLog 2114
#define IDM_mnuSaveActivity 2115
#define IDM_mnuAlertOnOutage 2116

// frmGetIp's timers
#define IDT_ChartTimer 1
#define IDT_Timer1 2
#define IDT_Idle 3
