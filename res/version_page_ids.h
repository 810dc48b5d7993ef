/* Controls of the version page (IDD_VERSION_PAGE). */
#ifndef KRV_RES_VERSION_PAGE_IDS_H
#define KRV_RES_VERSION_PAGE_IDS_H

/* The empty, read-only text field. */
#define IDC_VERSION_NOTES 1001

#endif /* KRV_RES_VERSION_PAGE_IDS_H */
