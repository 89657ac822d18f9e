/* Resource numbers of the library's own dialog, shared by the resource script and the code. */
#ifndef QUOREL_PICKER_RESOURCES_H
#define QUOREL_PICKER_RESOURCES_H

#define IDD_UNICODE_PICKER 100
#define IDR_OK_CANCEL_MENU 101
#define IDC_PICKER_LABEL 1001
#define IDC_PICKER_CODE 1002
#define IDC_PICKER_UP_DOWN 1003
#define IDC_PICKER_RESULT 1004

#endif
