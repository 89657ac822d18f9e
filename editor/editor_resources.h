/* Resource numbers of the editor, shared by its resource script and its code. */
#ifndef QUOREL_EDITOR_RESOURCES_H
#define QUOREL_EDITOR_RESOURCES_H

#define IDI_EDITOR 1
#define IDD_EDIT_ADD 100
#define IDC_SLIDE_LABEL 1001
#define IDC_LETTER_EDIT 1002
#define IDC_SPECIAL_KEY_COMBO 1003
#define IDC_SHORT_FORM_EDIT 1004
#define IDC_TO_LABEL 1005
#define IDC_DIRECTION_COMBO 1006
#define IDC_PRODUCE_LABEL 1007
#define IDC_LONG_FORM_MEMO 1008
#define IDC_DISPLAY_LABEL 1009
#define IDC_DISPLAY_EDIT 1010
#define IDC_MACRO_BUTTON 1011

#endif
