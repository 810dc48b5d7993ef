/* Controls of the fonts page (IDD_FONTS_PAGE). */
#ifndef KRV_RES_FONTS_PAGE_IDS_H
#define KRV_RES_FONTS_PAGE_IDS_H

#define IDC_FONTS_TREE 1069

#endif /* KRV_RES_FONTS_PAGE_IDS_H */
