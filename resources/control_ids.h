/* Dialog and control identifiers of KOVA.exe, shared by the dialog
   templates (.rc) and the code. Plain #defines so windres reads them. */
#ifndef KOVA_CONTROL_IDS_H
#define KOVA_CONTROL_IDS_H

/* Dialog templates. The data screens of later issues keep the numbers
   107 (actuator), 108 and 117 (lambda), 110 and 116 (auxiliary). */
#define IDD_PORT 101
#define IDD_LANGUAGE 102
#define IDD_MODEL 103
#define IDD_CUSTOMER 104

/* Buttons and the source selector shared by every data screen. */
#define IDC_WRITE 1182
#define IDC_RETURN 1186
#define IDC_EXIT 1187
#define IDC_SAVE 1189
#define IDC_MONITOR 1190
#define IDC_LOAD 1192
#define IDC_NEXT 1193
#define IDC_SOURCE 1258

/* Selection screens. */
#define IDC_TITLE 1420
#define IDC_LANG_PT 1430
#define IDC_LANG_EN 1431
#define IDC_LANG_ES 1432
#define IDC_LANG_PT_LABEL 1433
#define IDC_LANG_EN_LABEL 1434
#define IDC_LANG_ES_LABEL 1435
#define IDC_MODEL_LIST 1440
#define IDC_PORT_LIST 1441

/* Customer-data screen: the nine boxes and their labels, in record order. */
#define IDC_CLIENT 1401
#define IDC_INSTALL_DATE 1402
#define IDC_MAKE 1403
#define IDC_VEHICLE_MODEL 1404
#define IDC_YEAR 1405
#define IDC_PLATE 1406
#define IDC_MIXER 1407
#define IDC_REDUCER 1408
#define IDC_NOTES 1409
#define IDC_CLIENT_LABEL 1411
#define IDC_INSTALL_DATE_LABEL 1412
#define IDC_MAKE_LABEL 1413
#define IDC_VEHICLE_MODEL_LABEL 1414
#define IDC_YEAR_LABEL 1415
#define IDC_PLATE_LABEL 1416
#define IDC_MIXER_LABEL 1417
#define IDC_REDUCER_LABEL 1418
#define IDC_NOTES_LABEL 1419

#endif
