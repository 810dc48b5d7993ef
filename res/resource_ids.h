/* Resource numbers of the plug-in module. Plain #defines, so that the resource script, the C++
   code (portable code too: no Windows header is needed) and the tests share one name for each.
   The controls of each template are named in the template's own header, *_ids.h beside this
   one. The numbers themselves never change: hosts and scripts address templates and controls
   by them. */
#ifndef KRV_RES_RESOURCE_IDS_H
#define KRV_RES_RESOURCE_IDS_H

/* The manifest that asks for common controls 6; the activation context is built from it. */
#define IDR_KRV_MANIFEST 2

/* Dialog templates: property pages of the document sheet. */
#define IDD_OPERATIONS_PAGE 103
#define IDD_LAYOUT_PAGE 128
#define IDD_WATERMARK_PAGE 131
#define IDD_DUPLEX_PAGE 132
#define IDD_BARCODE_PAGE 117
#define IDD_TWO_DIMENSIONAL_CODE_PAGE 118
/* Property pages of the printer sheet. */
#define IDD_APPLICATION_PAGE 114
#define IDD_DOWNLOAD_PAGE 113
#define IDD_FONTS_PAGE 119
/* The version page belongs to both sheets. */
#define IDD_VERSION_PAGE 105
/* Modal dialogs opened by pages. */
#define IDD_EVENT_ACTION_DIALOG 104
#define IDD_CONTROL_FONT_TABLE_DIALOG 115
#define IDD_CONTROL_FONT_CHAR_DIALOG 116

/* Icons: the fonts page's tree images, in image-list order. */
#define IDI_FONT_ROOT_PRINTER 125
#define IDI_FONT_GROUP_PRINTER 126
#define IDI_FONT_SIZE_PAGE 127

/* Bitmaps, 16 colours. The layout page's (hidden) rotation pictures ... */
#define IDB_PAGE_UPRIGHT 129
#define IDB_PAGE_ROTATED 130
/* ... and the duplex page's binding pictures. */
#define IDB_BINDING_LONG_EDGE 136
#define IDB_BINDING_NONE 139
#define IDB_BINDING_SHORT_EDGE 145

/* Labels, frames and pictures that no code addresses. */
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif /* KRV_RES_RESOURCE_IDS_H */
