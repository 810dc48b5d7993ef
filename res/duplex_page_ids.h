/* Controls of the duplex page (IDD_DUPLEX_PAGE): duplex mode, binding edge with its three
   pictures, the top/bottom message switch and the four message lines. */
#ifndef KRV_RES_DUPLEX_PAGE_IDS_H
#define KRV_RES_DUPLEX_PAGE_IDS_H

#define IDC_DUPLEX_MODE_LIST 1020
#define IDC_DUPLEX_LONG_EDGE 1127
#define IDC_DUPLEX_SHORT_EDGE 1061
#define IDC_DUPLEX_TOP_BOTTOM_MESSAGE_LIST 1110
/* Exactly one of the pictures is shown at a time. */
#define IDC_DUPLEX_LONG_EDGE_PICTURE 1114
#define IDC_DUPLEX_SHORT_EDGE_PICTURE 1113
#define IDC_DUPLEX_NO_EDGE_PICTURE 1115
/* The message lines 0..3, in that order and without gaps. */
#define IDC_DUPLEX_FRONT_BOTTOM_LINE1 1047
#define IDC_DUPLEX_FRONT_BOTTOM_LINE2 1048
#define IDC_DUPLEX_BACK_TOP_LINE1 1049
#define IDC_DUPLEX_BACK_TOP_LINE2 1050
#define IDC_DUPLEX_DOWNLOAD 1036

#endif /* KRV_RES_DUPLEX_PAGE_IDS_H */
