/* Controls of the operations page (IDD_OPERATIONS_PAGE). */
#ifndef KRV_RES_OPERATIONS_PAGE_IDS_H
#define KRV_RES_OPERATIONS_PAGE_IDS_H

/* One button per moment of the job, in the order of the moments 0..3 and without gaps. */
#define IDC_OPERATIONS_START_OF_DOCUMENT 1011
#define IDC_OPERATIONS_START_OF_PAGE 1012
#define IDC_OPERATIONS_END_OF_PAGE 1013
#define IDC_OPERATIONS_END_OF_DOCUMENT 1014

#endif /* KRV_RES_OPERATIONS_PAGE_IDS_H */
