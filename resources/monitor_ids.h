/* Dialog and control identifiers of the monitor panel, shared by the
   generated dialog template (monitor.rc, written by the artwork generator,
   which reads this file) and the code. Glyph controls come in runs of
   consecutive ids: digit d of a cell is the cell's first id + d. The panel
   also uses IDC_RETURN, IDC_EXIT and IDC_STATUS of control_ids.h.
   Plain #defines so windres and the generator read them. */
#ifndef KOVA_MONITOR_IDS_H
#define KOVA_MONITOR_IDS_H

#define IDD_MONITOR 238

/* Engine speed: position p (0 = thousands) digit d is
   IDC_MON_RPM_FIRST + 10 * p + d. */
#define IDC_MON_RPM_FIRST 2000
/* Arc dot i (0..27). */
#define IDC_MON_ARC_FIRST 2040
/* Small readouts: cell c (0 units, 1 tenths, 2 hundredths; for the steps
   hundreds, tens, units) digit d is FIRST + 10 * c + d. */
#define IDC_MON_TPS_FIRST 2070
#define IDC_MON_LAMBDA_FIRST 2100
#define IDC_MON_STEP_FIRST 2130
/* Actuator picture frame j (0..31). */
#define IDC_MON_ACTUATOR_FIRST 2160

#define IDC_MON_TPS_POINT 2200
#define IDC_MON_LAMBDA_POINT 2201
#define IDC_MON_TPS_BAR 2202
#define IDC_MON_LAMBDA_BAR 2203
#define IDC_MON_SCALE_GREEN 2204
#define IDC_MON_SCALE_RED 2205
#define IDC_MON_MARKER 2206

/* Scale labels: TPS "0V" bottom / "5V" top for a 0-5 V sensor, "5V"
   bottom / "0V" top for a 5-0 V one; lambda "0V" bottom and "1V" or "5V"
   top. */
#define IDC_MON_TPS_0V_BOTTOM 2210
#define IDC_MON_TPS_5V_TOP 2211
#define IDC_MON_TPS_5V_BOTTOM 2212
#define IDC_MON_TPS_0V_TOP 2213
#define IDC_MON_LAMBDA_0V 2214
#define IDC_MON_LAMBDA_1V 2215
#define IDC_MON_LAMBDA_5V 2216

/* Default actuator positions. */
#define IDC_MON_IDLE 2220
#define IDC_MON_IDLE_SPIN 2221
#define IDC_MON_HIGH 2222
#define IDC_MON_HIGH_SPIN 2223
#define IDC_MON_IDLE_LABEL 2224
#define IDC_MON_HIGH_LABEL 2225
#define IDC_MON_IDLE_RANGE 2226
#define IDC_MON_HIGH_RANGE 2227

/* Calibration: the button, "CALIBRANDO ..." and what it waits for. */
#define IDC_MON_CALIBRATE 2230
#define IDC_MON_PROGRESS 2231
#define IDC_MON_CAL_STATUS 2232

/* Recording: start and stop buttons at one place (one shows), and the
   file being written. */
#define IDC_MON_RECORD 2240
#define IDC_MON_RECORD_STOP 2241
#define IDC_MON_RECORD_FILE 2242

/* The live chart of the last minute, its pause and continue buttons (one
   place, one shows) and the button that opens a recording in the viewer. */
#define IDC_MON_CHART 2250
#define IDC_MON_CHART_PAUSE 2251
#define IDC_MON_CHART_CONTINUE 2252
#define IDC_MON_OPEN_RECORDING 2253

/* The recording viewer: a recorded run on the same chart, zoomed and
   scrolled along time. Closed with IDC_RETURN. */
#define IDD_RECORDING_VIEWER 239
#define IDC_VIEW_CHART 2260
#define IDC_VIEW_TITLE 2261
#define IDC_VIEW_FILE 2262
#define IDC_VIEW_SUMMARY 2263
#define IDC_VIEW_PROBLEM 2264
#define IDC_VIEW_ZOOM_IN 2265
#define IDC_VIEW_ZOOM_OUT 2266
#define IDC_VIEW_WHOLE 2267

#endif
