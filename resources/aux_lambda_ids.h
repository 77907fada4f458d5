/* Dialog and control identifiers of the auxiliary-functions and lambda
   screens. The numbers of the fields, lists and spins the controller's
   documentation names are kept; labels, units and the live-display cells
   are ours (1600-1799). Plain #defines so windres reads them. */
#ifndef KOVA_AUX_LAMBDA_IDS_H
#define KOVA_AUX_LAMBDA_IDS_H

#define IDD_LAMBDA_BRIO 108 /* lambda simulation and injection, BRIO and VELA plus */
#define IDD_AUX_BRIO 110    /* auxiliary functions, BRIO and VELA plus */
#define IDD_AUX_VELA 116    /* auxiliary functions, VELA */
#define IDD_LAMBDA_VELA 117 /* lambda simulation, VELA */

/* Auxiliary functions. */
#define IDC_AUX_RELAY 1003
#define IDC_AUX_DELAY 1125
#define IDC_AUX_WARMUP 1126            /* BRIO screen */
#define IDC_AUX_STEPS 1128
#define IDC_AUX_DELAY_SPIN 1201
#define IDC_AUX_WARMUP_SPIN 1202
#define IDC_AUX_OVERLAP_SPIN 1203
#define IDC_AUX_STEPS_SPIN 1204
#define IDC_AUX_OVERLAP 1231
#define IDC_AUX_CUTOFF 1250
#define IDC_AUX_SPEED 1251
#define IDC_AUX_SPEED_SPIN 1252
#define IDC_AUX_WARMUP_VELA 1310
#define IDC_AUX_WARMUP_VELA_SPIN 1311
#define IDC_AUX_OVERLAP_LABEL 1600
#define IDC_AUX_OVERLAP_UNIT 1601
#define IDC_AUX_LABEL_FIRST 1602       /* the other labels and units */
#define IDC_AUX_WARMUP_LABEL 1602
#define IDC_AUX_WARMUP_UNIT 1603
#define IDC_AUX_CUTOFF_LABEL 1604
#define IDC_AUX_SPEED_LABEL 1605
#define IDC_AUX_SPEED_UNIT 1606
#define IDC_AUX_STEPS_LABEL 1607
#define IDC_AUX_STEPS_UNIT 1608
#define IDC_AUX_DELAY_LABEL 1609
#define IDC_AUX_DELAY_UNIT 1610
#define IDC_AUX_RELAY_LABEL 1611
#define IDC_AUX_LABEL_LAST 1619

/* Lambda simulation and injection. */
#define IDC_LAMBDA_TYPE 1151
#define IDC_LAMBDA_MODE 1152
#define IDC_LAMBDA_ON 1196
#define IDC_LAMBDA_OFF 1197
#define IDC_LAMBDA_INJECTION 1208
#define IDC_LAMBDA_ON_SPIN 1620
#define IDC_LAMBDA_OFF_SPIN 1621
#define IDC_LAMBDA_INJECTION_SPIN 1622
/* The time group: labels, units and range labels of both times. */
#define IDC_LAMBDA_ON_LABEL 1623
#define IDC_LAMBDA_ON_UNIT 1624
#define IDC_LAMBDA_ON_RANGE 1625
#define IDC_LAMBDA_OFF_LABEL 1626
#define IDC_LAMBDA_OFF_UNIT 1627
#define IDC_LAMBDA_OFF_RANGE 1628
#define IDC_LAMBDA_MODE_LABEL 1629
#define IDC_LAMBDA_INJECTION_LABEL 1630
#define IDC_LAMBDA_INJECTION_UNIT 1631
#define IDC_LAMBDA_TYPE_LABEL 1632
#define IDC_LAMBDA_TITLE_LABEL 1633
/* The speed-band fields the BRIO template holds and never shows. */
#define IDC_LAMBDA_BAND_FIRST 1634
#define IDC_LAMBDA_BAND_LAST 1645
/* The live display, glyph controls in runs: engine-speed position p
   (0 = thousands) digit d is IDC_LAMBDA_SPEED_FIRST + 10 * p + d;
   injection-time cell c (0 tens, 1 units, 2 tenths) digit d is
   IDC_LAMBDA_INJ_FIRST + 10 * c + d; arc dot i is IDC_LAMBDA_ARC_FIRST + i.
   The injection time's decimal point is drawn on the background. */
#define IDC_LAMBDA_SPEED_FIRST 1700
#define IDC_LAMBDA_INJ_FIRST 1740
#define IDC_LAMBDA_ARC_FIRST 1770
#define IDC_LAMBDA_LIVE_LAST 1797

#endif
