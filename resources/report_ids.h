/* The installation report's windows: the preview and the workshop-data
   dialog. Plain #defines so windres reads them. */
#ifndef KOVA_REPORT_IDS_H
#define KOVA_REPORT_IDS_H

#define IDD_REPORT_PREVIEW 130
#define IDD_WORKSHOP 131

#define IDC_REPORT_PAGE 1600        /* the page, drawn by the program */
#define IDC_REPORT_PRINT 1601
#define IDC_REPORT_WORKSHOP 1602
#define IDC_REPORT_CLOSE 1603
#define IDC_REPORT_PREVIOUS 1604
#define IDC_REPORT_NEXT 1605
#define IDC_REPORT_PAGE_NUMBER 1606

#define IDC_WORKSHOP_NAME 1610
#define IDC_WORKSHOP_ADDRESS 1611
#define IDC_WORKSHOP_PHONE 1612
#define IDC_WORKSHOP_NAME_LABEL 1613
#define IDC_WORKSHOP_ADDRESS_LABEL 1614
#define IDC_WORKSHOP_PHONE_LABEL 1615

#endif
