#pragma once
// Resource numbers shared by the .rc files and the windows. Plain defines: windres reads this too.

// The program icon: the lowest number, so that the shell shows it for Velmaro.exe.
#define IDI_VELMARO 1
// The images of ilst, in image order (USB, WARNING, BT, IRDA, COM).
#define IDI_LIST_USB 101
#define IDI_LIST_WARNING 102
#define IDI_LIST_BT 103
#define IDI_LIST_IRDA 104
#define IDI_LIST_COM 105
// The guidance dialog's own icon.
#define IDI_INFO 110
