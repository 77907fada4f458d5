// Where the glyph controls of the monitor panel and of the live display of
// the lambda and injection screen sit, in dialog units (top-left corners).
// The dialog templates place their controls here and the backgrounds are
// drawn to match: readout windows behind the digit cells, unlit dots behind
// the arc, tracks behind the bars and the actuator scale.
//
// The backgrounds assume the dialog font's base units 6 x 13 (8-point
// MS Sans Serif): x pixels = x * 6 / 4, y pixels = y * 13 / 8, rounded
// as the system rounds them. With another dialog font the pictures and the
// controls drift apart.
// Plain #defines so that the resource compiler can read this file too.
#ifndef KOVA_RESOURCES_ART_PANEL_LAYOUT_H
#define KOVA_RESOURCES_ART_PANEL_LAYOUT_H

#define ART_DLU_BASE_X 6
#define ART_DLU_BASE_Y 13

// Monitor panel: engine speed, four big digits.
#define MON_RPM_X0 174
#define MON_RPM_X1 188
#define MON_RPM_X2 202
#define MON_RPM_X3 216
#define MON_RPM_Y 178

// Monitor panel: small readouts (units, point, tenths, hundredths).
#define MON_READOUT_Y 253
#define MON_TPS_X_UNITS 17
#define MON_TPS_X_POINT 25
#define MON_TPS_X_TENTHS 28
#define MON_TPS_X_HUNDREDTHS 37
#define MON_LAMBDA_X_UNITS 252
#define MON_LAMBDA_X_POINT 259
#define MON_LAMBDA_X_TENTHS 262
#define MON_LAMBDA_X_HUNDREDTHS 271
#define MON_STEP_X0 309
#define MON_STEP_X1 317
#define MON_STEP_X2 326

// Monitor panel: bars, actuator scale, marker and picture.
#define MON_TPS_BAR_X 30
#define MON_TPS_BAR_Y 94
#define MON_LAMBDA_BAR_X 265
#define MON_LAMBDA_BAR_Y 93
#define MON_BAR_W 8
#define MON_BAR_H 148
#define MON_SCALE_X 312
#define MON_SCALE_Y 94
#define MON_SCALE_W 17
#define MON_SCALE_H 148
#define MON_MARKER_X 331
#define MON_MARKER_Y 234
#define MON_ACTUATOR_X 600
#define MON_ACTUATOR_Y 200

// Monitor panel: the scale labels ("0V", "1V", "5V") and the buttons, kept
// free of drawing on the background.
#define MON_TPS_LABEL_TOP_X 30
#define MON_TPS_LABEL_TOP_Y 87
#define MON_TPS_LABEL_BOTTOM_X 28
#define MON_TPS_LABEL_BOTTOM_Y 242
#define MON_LAMBDA_LABEL_TOP_X 264
#define MON_LAMBDA_LABEL_TOP_Y 87
#define MON_LAMBDA_LABEL_BOTTOM_X 264
#define MON_LAMBDA_LABEL_BOTTOM_Y 241
#define MON_DEFAULT_EDIT_X 425
#define MON_IDLE_EDIT_Y 87
#define MON_HIGH_EDIT_Y 110
#define MON_CALIBRATE_X 404
#define MON_CALIBRATE_Y 130

// Monitor panel: the calibration's progress label, what it waits for and
// the status of a write, in the light form under CALIBRAR.
#define MON_PROGRESS_X 385
#define MON_PROGRESS_Y 158

// Monitor panel: the lower band. One row of buttons (Return, Exit, record,
// the chart's pause and continue, open a recording) with the recording's
// file beside them, and under them the live chart across the panel.
#define MON_RETURN_X 30
#define MON_EXIT_X 65
#define MON_RECORD_X 100
#define MON_PAUSE_X 135
#define MON_OPEN_X 170
#define MON_RECORD_FILE_X 210
#define MON_BUTTONS_Y 296
#define MON_BUTTON_W 28
#define MON_BUTTON_H 24
#define MON_STRIP_TOP 292
#define MON_CHART_X 8
#define MON_CHART_Y 328
#define MON_CHART_W 667
#define MON_CHART_H 142

// The panel's size: the 1024 x 768 picture, the smallest screen it fills.
#define MON_WIDTH 683
#define MON_HEIGHT 473

// Recording viewer: the file in the header, a recorded run on the chart
// across the window, the buttons (Return, zoom in, zoom out, whole run) in
// the strip at the bottom.
#define VIEW_TITLE_X 76
#define VIEW_TITLE_Y 13
#define VIEW_PROBLEM_Y 78
#define VIEW_CHART_Y 92
#define VIEW_CHART_H 330
#define VIEW_STRIP_TOP 428
#define VIEW_BUTTONS_Y 436
#define VIEW_ZOOM_IN_X 100
#define VIEW_ZOOM_OUT_X 135
#define VIEW_WHOLE_X 170

// Monitor panel: the 28 dots of the engine-speed arc, dot i lit above
// 250 * i rpm; they follow a circle from (70,160) to (229,122).
#define MON_ARC_X0 70
#define MON_ARC_Y0 160
#define MON_ARC_X1 73
#define MON_ARC_Y1 154
#define MON_ARC_X2 77
#define MON_ARC_Y2 149
#define MON_ARC_X3 80
#define MON_ARC_Y3 143
#define MON_ARC_X4 85
#define MON_ARC_Y4 138
#define MON_ARC_X5 89
#define MON_ARC_Y5 133
#define MON_ARC_X6 94
#define MON_ARC_Y6 129
#define MON_ARC_X7 100
#define MON_ARC_Y7 125
#define MON_ARC_X8 105
#define MON_ARC_Y8 121
#define MON_ARC_X9 111
#define MON_ARC_Y9 117
#define MON_ARC_X10 117
#define MON_ARC_Y10 114
#define MON_ARC_X11 123
#define MON_ARC_Y11 111
#define MON_ARC_X12 130
#define MON_ARC_Y12 109
#define MON_ARC_X13 136
#define MON_ARC_Y13 107
#define MON_ARC_X14 143
#define MON_ARC_Y14 105
#define MON_ARC_X15 150
#define MON_ARC_Y15 104
#define MON_ARC_X16 157
#define MON_ARC_Y16 103
#define MON_ARC_X17 164
#define MON_ARC_Y17 103
#define MON_ARC_X18 171
#define MON_ARC_Y18 103
#define MON_ARC_X19 178
#define MON_ARC_Y19 103
#define MON_ARC_X20 185
#define MON_ARC_Y20 104
#define MON_ARC_X21 192
#define MON_ARC_Y21 106
#define MON_ARC_X22 198
#define MON_ARC_Y22 107
#define MON_ARC_X23 205
#define MON_ARC_Y23 109
#define MON_ARC_X24 211
#define MON_ARC_Y24 112
#define MON_ARC_X25 218
#define MON_ARC_Y25 115
#define MON_ARC_X26 224
#define MON_ARC_Y26 118
#define MON_ARC_X27 229
#define MON_ARC_Y27 122

// Live display of the lambda and injection screen (signal type "Real"):
// the same arc and engine-speed digits as the monitor, 250 units to the
// right and 20 down, and three big digits of the injection time with a
// decimal point drawn on the background between units and tenths.
#define LIVE_DX 250
#define LIVE_DY 20
#define LIVE_RPM_X0 424
#define LIVE_RPM_X1 438
#define LIVE_RPM_X2 452
#define LIVE_RPM_X3 466
#define LIVE_RPM_Y 198
#define LIVE_INJ_X0 431
#define LIVE_INJ_X1 445
#define LIVE_INJ_X2 462
#define LIVE_INJ_Y 240
#define LIVE_ARC_X0 320
#define LIVE_ARC_Y0 180
#define LIVE_ARC_X1 323
#define LIVE_ARC_Y1 174
#define LIVE_ARC_X2 327
#define LIVE_ARC_Y2 169
#define LIVE_ARC_X3 330
#define LIVE_ARC_Y3 163
#define LIVE_ARC_X4 335
#define LIVE_ARC_Y4 158
#define LIVE_ARC_X5 339
#define LIVE_ARC_Y5 153
#define LIVE_ARC_X6 344
#define LIVE_ARC_Y6 149
#define LIVE_ARC_X7 350
#define LIVE_ARC_Y7 145
#define LIVE_ARC_X8 355
#define LIVE_ARC_Y8 141
#define LIVE_ARC_X9 361
#define LIVE_ARC_Y9 137
#define LIVE_ARC_X10 367
#define LIVE_ARC_Y10 134
#define LIVE_ARC_X11 373
#define LIVE_ARC_Y11 131
#define LIVE_ARC_X12 380
#define LIVE_ARC_Y12 129
#define LIVE_ARC_X13 386
#define LIVE_ARC_Y13 127
#define LIVE_ARC_X14 393
#define LIVE_ARC_Y14 125
#define LIVE_ARC_X15 400
#define LIVE_ARC_Y15 124
#define LIVE_ARC_X16 407
#define LIVE_ARC_Y16 123
#define LIVE_ARC_X17 414
#define LIVE_ARC_Y17 123
#define LIVE_ARC_X18 421
#define LIVE_ARC_Y18 123
#define LIVE_ARC_X19 428
#define LIVE_ARC_Y19 123
#define LIVE_ARC_X20 435
#define LIVE_ARC_Y20 124
#define LIVE_ARC_X21 442
#define LIVE_ARC_Y21 126
#define LIVE_ARC_X22 448
#define LIVE_ARC_Y22 127
#define LIVE_ARC_X23 455
#define LIVE_ARC_Y23 129
#define LIVE_ARC_X24 461
#define LIVE_ARC_Y24 132
#define LIVE_ARC_X25 468
#define LIVE_ARC_Y25 135
#define LIVE_ARC_X26 474
#define LIVE_ARC_Y26 138
#define LIVE_ARC_X27 479
#define LIVE_ARC_Y27 142

#endif
