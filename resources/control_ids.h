/* Dialog and control identifiers of KOVA.exe, shared by the dialog
   templates (.rc) and the code. Plain #defines so windres reads them. */
#ifndef KOVA_CONTROL_IDS_H
#define KOVA_CONTROL_IDS_H

/* Dialog templates. The lambda screens keep the numbers 108 and 117, the
   auxiliary screens 110 and 116. */
#define IDD_PORT 101
#define IDD_LANGUAGE 102
#define IDD_MODEL 103
#define IDD_CUSTOMER 104
#define IDD_VEHICLE 105        /* VELA and VELA plus */
#define IDD_VEHICLE_BRIO 106   /* vehicle and switch-over screen */
#define IDD_ACTUATOR 107

/* Buttons and the source selector shared by every data screen. */
#define IDC_WRITE 1182
#define IDC_RETURN 1186
#define IDC_EXIT 1187
#define IDC_SAVE 1189
#define IDC_MONITOR 1190
#define IDC_LOAD 1192
#define IDC_NEXT 1193
#define IDC_SOURCE 1258
/* The status line a data screen shows while it talks to the controller. */
#define IDC_STATUS 1259
/* Customer screen: write the loaded parameter file to the controller. */
#define IDC_APPLY_FILE 1260
/* Customer screen: the installation report. */
#define IDC_REPORT 1261

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

/* Vehicle screens: the fields and their labels. The VELA screen has the
   first five. */
#define IDC_SWITCH_GROUP 1501       /* "Configurações de Comutação" */
#define IDC_CYLINDERS 1502
#define IDC_COILS 1503
#define IDC_PROBE_TYPE 1504
#define IDC_TPS_TYPE 1505
#define IDC_TPS_HYSTERESIS 1506
#define IDC_SWITCH_RPM 1507
#define IDC_SWITCH_RPM_SPIN 1508
#define IDC_SWITCH_TYPE 1509
#define IDC_AUTO_RETURN 1510
#define IDC_RETURN_TIME 1511
#define IDC_RETURN_TIME_SPIN 1512
#define IDC_VEHICLE_LABEL_FIRST 1513
#define IDC_CYLINDERS_LABEL 1513
#define IDC_COILS_LABEL 1514
#define IDC_PROBE_TYPE_LABEL 1515
#define IDC_PROBE_TYPE_UNIT 1516
#define IDC_TPS_TYPE_LABEL 1517
#define IDC_TPS_TYPE_UNIT 1518
#define IDC_TPS_HYSTERESIS_LABEL 1519
#define IDC_TPS_HYSTERESIS_UNIT 1520
#define IDC_SWITCH_RPM_LABEL 1521
#define IDC_SWITCH_TYPE_LABEL 1523
#define IDC_AUTO_RETURN_LABEL 1524
#define IDC_RETURN_TIME_LABEL 1525
#define IDC_VEHICLE_LABEL_LAST 1529

/* Actuator screen: low and high engine speed, default, minimum and maximum
   steps, each an edit with its spin. */
#define IDC_ACT_LOW_DEFAULT 1540
#define IDC_ACT_LOW_DEFAULT_SPIN 1541
#define IDC_ACT_LOW_MIN 1542
#define IDC_ACT_LOW_MIN_SPIN 1543
#define IDC_ACT_LOW_MAX 1544
#define IDC_ACT_LOW_MAX_SPIN 1545
#define IDC_ACT_HIGH_DEFAULT 1546
#define IDC_ACT_HIGH_DEFAULT_SPIN 1547
#define IDC_ACT_HIGH_MIN 1548
#define IDC_ACT_HIGH_MIN_SPIN 1549
#define IDC_ACT_HIGH_MAX 1550
#define IDC_ACT_HIGH_MAX_SPIN 1551
#define IDC_ACT_LABEL_FIRST 1552
#define IDC_ACT_LOW_GROUP 1552      /* "Baixa Rotação" */
#define IDC_ACT_HIGH_GROUP 1553     /* "Alta Rotação" */
#define IDC_ACT_DEFAULT_LABEL 1554
#define IDC_ACT_MIN_LABEL 1555
#define IDC_ACT_MAX_LABEL 1556
#define IDC_ACT_LABEL_LAST 1570

#endif
