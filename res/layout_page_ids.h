/* Controls of the layout page (IDD_LAYOUT_PAGE). The rotation and zoom controls are kept for
   the record's fields but never shown. */
#ifndef KRV_RES_LAYOUT_PAGE_IDS_H
#define KRV_RES_LAYOUT_PAGE_IDS_H

#define IDC_LAYOUT_PAPER_SIZE_LIST 1020
#define IDC_LAYOUT_TEXT_AS_IMAGE_YES 1061
#define IDC_LAYOUT_TEXT_AS_IMAGE_NO 1062
#define IDC_LAYOUT_ROTATE_NORMAL 1070
#define IDC_LAYOUT_ROTATE_180 1071
#define IDC_LAYOUT_ZOOM_PRINTING 1073
#define IDC_LAYOUT_ZOOM_SCALE 1047
#define IDC_LAYOUT_ZOOM_SCALE_UPDOWN 1076

#endif /* KRV_RES_LAYOUT_PAGE_IDS_H */
