// Identifiers of the program's resources and of the dialog's controls.
#ifndef KILN_RESOURCE_H
#define KILN_RESOURCE_H

#define IDD_PROXY 103
#define IDI_APP 107
#define IDI_APP_SMALL 108

#define IDC_RADIO_NONE 1000
#define IDC_RADIO_AUTO 1001
#define IDC_RADIO_IP 1002
#define IDC_IPADDR 1003
#define IDC_EDIT_IPPORT 1004
#define IDC_RADIO_DOMAIN 1005
#define IDC_EDIT_DOMAIN 1006
#define IDC_EDIT_DOMAINPORT 1007
// IDOK (1) is the OK button.
#define IDC_BTN_CANCEL 8

#endif
