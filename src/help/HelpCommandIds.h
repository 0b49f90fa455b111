// Ids of the help window's tool bar buttons (its commands) and of its controls; the end-to-end
// tests use them to find the controls and to click the buttons.
#pragma once

#define IDC_SPEEDBUTTONLUMO 101
#define IDC_SPEEDBUTTONKETRA 102
#define IDC_SPEEDBUTTON1 103

#define IDC_TOOLBAR1 201
#define IDC_PANEL1 202
#define IDC_PANEL2 203
#define IDC_PANEL3 204
#define IDC_TREEVIEW1 205
#define IDC_TREEVIEW2 206
#define IDC_MEMO2 207
